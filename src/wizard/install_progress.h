#pragma once
// The installation's progress bar, moved in proportion to the work: the bytes of the payload
// copied raw, the bytes inflated, the bytes split into files and the bytes copied into the
// installation folder, plus a small fixed weight for each finishing step (deleting, the
// initialisation file, the shortcuts, the record).
//
// Not every amount is known when the installation starts: the block stream stores no
// decompressed sizes, so the size of the entry stream is first assumed, then extrapolated
// from the blocks inflated so far, and known once the last block is inflated; the size of
// the product's files is known once the entry stream is split. Each unit of work moves the
// bar by its share of all the work estimated to lie ahead at that moment, so a corrected
// estimate bends the rest of the way and the bar never moves back.

#include <array>
#include <cstdint>

#include "host/host.h"
#include "package/extract.h"
#include "toolkit/std_controls.h"
#include "wizard/product_identity.h"

namespace nv::wizard {

// The steps of an installation after the product's files are copied, in their order. Each is
// one finishing step of the progress bar.
enum class StepAfterCopies {
    kLanguage,         // "norvis.ini"
    kDesktopShortcut,  // when asked for
    kQuickLaunchShortcut,
    kStartMenuEntries,
    kRecord,  // the installation record, and the entry in the list of installed programs
};

inline constexpr std::array<StepAfterCopies, 5> kStepsAfterCopies = {
    StepAfterCopies::kLanguage,
    StepAfterCopies::kDesktopShortcut,
    StepAfterCopies::kQuickLaunchShortcut,
    StepAfterCopies::kStartMenuEntries,
    StepAfterCopies::kRecord,
};

class InstallProgress {
public:
    // What a finishing step weighs, in bytes of copying.
    static constexpr std::uint64_t kStepWeight = 65536;
    // Finishing steps: the two package files and the extracted product files deleted, the
    // temporary folder removed, and each step after the copies.
    static constexpr int kFinishingSteps =
        static_cast<int>(2 + kProductFiles.size() + 1 + kStepsAfterCopies.size());
    // The entry stream's size relative to the payload until the first block tells better
    // (typical program files and help texts compress to about a third).
    static constexpr std::uint64_t kAssumedExpansion = 3;
    // The host copies files in pieces of this size.
    static constexpr std::uint64_t kCopyPiece = host::kCopyPiece;
    // The bar's range: 0 to this.
    static constexpr std::int32_t kBarMaximum = 100;

    // `payloadBytes`: the payload's length with its trailer; `setupBytes`: the size of the
    // setup file, which is copied whole into the installation folder.
    InstallProgress(toolkit::TProgressBar& bar, std::uint64_t payloadBytes,
                    std::uint64_t setupBytes);

    // Sets the bar empty with its range.
    void Start();
    // A unit of work of the extraction is done.
    void Extracted(const package::ExtractProgress& unit);
    // The extraction found an entry that will be installed, of `size` bytes.
    void ProductEntry(std::uint32_t size);
    // A file of `size` bytes is about to be copied (or skipped).
    void BeginCopy(std::uint64_t size);
    // The host reports a piece of the current copy.
    void CopyPiece();
    // The current copy has ended, finished or not.
    void EndCopy();
    // A finishing step is done.
    void FinishingStep();
    // Everything is done: the bar is full.
    void Complete();

    // The share of the work done, which the bar shows: it only grows, and reaches 1 exactly
    // when nothing lies ahead. With estimates that never change it is exactly the share of all
    // work done.
    double Fraction() const { return fraction_; }

private:
    enum class Phase { kRawCopy, kInflate, kSplit, kInstall };

    std::uint64_t EntryStreamEstimate() const;
    std::uint64_t Ahead() const;
    void Advance(std::uint64_t done);

    toolkit::TProgressBar& bar_;
    double fraction_ = 0.0;
    Phase phase_ = Phase::kRawCopy;
    const std::uint64_t payloadBytes_;
    const std::uint64_t setupBytes_;
    std::uint64_t rawCopied_ = 0;
    std::uint64_t inflated_ = 0;
    std::uint64_t consumed_ = 0;
    std::uint64_t split_ = 0;
    std::uint64_t productBytes_ = 0;
    std::uint64_t copied_ = 0;
    std::uint64_t copyLeft_ = 0;  // of the current copy
    int stepsLeft_ = kFinishingSteps;
};

}  // namespace nv::wizard
