#include "wizard/install_progress.h"

#include <algorithm>
#include <cmath>

namespace nv::wizard {
namespace {

std::uint64_t Less(std::uint64_t from, std::uint64_t amount) {
    return from > amount ? from - amount : 0;
}

}  // namespace

InstallProgress::InstallProgress(toolkit::TProgressBar& bar, std::uint64_t payloadBytes,
                                 std::uint64_t setupBytes)
    : bar_(bar), payloadBytes_(payloadBytes), setupBytes_(setupBytes) {}

void InstallProgress::Start() {
    bar_.SetPosition(0);
    bar_.SetRange(0, kBarMaximum);
}

std::uint64_t InstallProgress::EntryStreamEstimate() const {
    switch (phase_) {
        case Phase::kRawCopy:
            return payloadBytes_ * kAssumedExpansion;
        case Phase::kInflate:
            // The blocks inflated so far tell how much the rest will give.
            if (consumed_ == 0) {
                return payloadBytes_ * kAssumedExpansion;
            }
            return std::max(inflated_,
                            static_cast<std::uint64_t>(std::llround(
                                static_cast<double>(inflated_) * static_cast<double>(rawCopied_) /
                                static_cast<double>(consumed_))));
        case Phase::kSplit:
        case Phase::kInstall:
            return inflated_;
    }
    return inflated_;
}

std::uint64_t InstallProgress::Ahead() const {
    const std::uint64_t stream = EntryStreamEstimate();
    std::uint64_t ahead = stepsLeft_ * kStepWeight;
    switch (phase_) {
        case Phase::kRawCopy:
            ahead += Less(payloadBytes_, rawCopied_);
            [[fallthrough]];
        case Phase::kInflate:
            ahead += Less(stream, inflated_);
            [[fallthrough]];
        case Phase::kSplit:
            // Until the entries are all known, the files to install are as large as the
            // entry stream.
            ahead += Less(stream, split_) + setupBytes_ + stream;
            break;
        case Phase::kInstall:
            ahead += std::max(copyLeft_, Less(setupBytes_ + productBytes_, copied_));
            break;
    }
    return ahead;
}

void InstallProgress::Advance(std::uint64_t done) {
    // `done` more bytes are finished and Ahead() bytes are thought to remain: the bar moves by
    // their share of what was left.
    if (done != 0) {
        const auto share =
            static_cast<double>(done) / (static_cast<double>(done) + static_cast<double>(Ahead()));
        fraction_ = std::min(1.0, fraction_ + (1.0 - fraction_) * share);
    }
    bar_.SetPosition(static_cast<std::int32_t>(Fraction() * kBarMaximum));
}

void InstallProgress::Extracted(const package::ExtractProgress& unit) {
    switch (unit.stage) {
        case package::ExtractStage::kRawCopy:
            rawCopied_ += unit.bytes;
            Advance(unit.bytes);
            return;
        case package::ExtractStage::kInflate:
            phase_ = Phase::kInflate;
            inflated_ += unit.bytes;
            consumed_ = unit.consumed;
            Advance(unit.bytes);
            return;
        case package::ExtractStage::kSplit:
            phase_ = Phase::kSplit;
            split_ += unit.bytes;
            Advance(unit.bytes);
            return;
        case package::ExtractStage::kCleanUp:
            FinishingStep();
            return;
    }
}

void InstallProgress::ProductEntry(std::uint32_t size) {
    productBytes_ += size;
}

void InstallProgress::BeginCopy(std::uint64_t size) {
    phase_ = Phase::kInstall;
    copyLeft_ = size;
}

void InstallProgress::CopyPiece() {
    const std::uint64_t piece = std::min(kCopyPiece, copyLeft_);
    copyLeft_ -= piece;
    copied_ += piece;
    Advance(piece);
}

void InstallProgress::EndCopy() {
    const std::uint64_t rest = copyLeft_;
    copyLeft_ = 0;
    copied_ += rest;
    Advance(rest);
}

void InstallProgress::FinishingStep() {
    if (stepsLeft_ > 0) {
        --stepsLeft_;
        Advance(kStepWeight);
    }
}

void InstallProgress::Complete() {
    fraction_ = 1.0;
    bar_.SetPosition(kBarMaximum);
}

}  // namespace nv::wizard
