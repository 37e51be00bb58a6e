// The installation page while the installation runs: window messages run after every unit of
// work from the first piece of the payload to the record, the buttons stay as the page flow
// set them, and the progress bar follows the work from empty to full.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "host/sim/sim_faults.h"
#include "package/extract.h"
#include "package_support.h"
#include "wizard/install_progress.h"
#include "wizard_fixture.h"

namespace nv::wizard::testing {
namespace {

using host::sim::SimOp;

constexpr char kTemp[] = "C:\\setup\\tempnv\\";
// The installation folder as the operation log names it.
constexpr char kInstalled[] = "c:\\program files\\norvista\\";

// Product files large enough that every stage takes many units of work.
std::vector<std::pair<std::string, std::string>> LargerProductFiles() {
    std::vector<std::pair<std::string, std::string>> files = ProductFiles();
    const auto noise = package::testing::Noise(150000, 7);
    const auto text = package::testing::Text(600000, 8);
    files[0].second.assign(noise.begin(), noise.end());  // Sorvelin.exe
    files[1].second.assign(text.begin(), text.end());    // Norvis.exe
    return files;
}

// What the machine and the window look like at one moment of the installation.
struct Moment {
    std::size_t operations = 0;  // counted host operations so far
    std::size_t dlz = 0;         // bytes in "package.dlz"
    std::size_t dld = 0;         // bytes in "package.dld"
    std::size_t extracted = 0;   // bytes in the extracted product files
    int position = 0;            // of pbInstall
};

class ProgressTest : public WizardTest {
protected:
    ProgressTest() {
        files = LargerProductFiles();
        host.SetExecutable(kSetupPath, SetupWithPayload(files));
    }

    std::size_t SizeOf(const std::string& path) { return host.FileData(path).value_or("").size(); }

    Moment Now() {
        Moment moment;
        moment.operations = host.OperationLog().size();
        moment.dlz = SizeOf(std::string(kTemp) + "package.dlz");
        moment.dld = SizeOf(std::string(kTemp) + "package.dld");
        for (const auto& [name, data] : files) {
            moment.extracted += SizeOf(kTemp + name);
        }
        moment.position = Form().pbInstall->Position();
        return moment;
    }

    // Installs with the pump recording each moment it runs, and checking that the user still
    // cannot go forward or back.
    void InstallRecording() {
        WalkToFolderPage();
        ui.onPump = [this] {
            EXPECT_FALSE(Form().btnNext->Enabled());
            EXPECT_FALSE(Form().btnPrev->Enabled());
            EXPECT_TRUE(Form().btnCancel->Enabled());
            moments.push_back(Now());
        };
        Next();
        ui.onPump = nullptr;
    }

    // Counted operations of `kind` between two moments, on targets that start with `prefix`.
    int Count(SimOp kind, std::size_t from, std::size_t to, const std::string& prefix = "") {
        const auto& log = host.OperationLog();
        return static_cast<int>(std::count_if(
            log.begin() + static_cast<std::ptrdiff_t>(from),
            log.begin() + static_cast<std::ptrdiff_t>(to), [&](const host::sim::SimOperation& op) {
                return op.op == kind && op.target.rfind(prefix, 0) == 0;
            }));
    }

    // Whether the last operation before `moment` wrote a piece of the installed Norvis.exe.
    bool CopyingNorvis(const Moment& moment) {
        const host::sim::SimOperation& last = host.OperationLog()[moment.operations - 1];
        return last.op == SimOp::kWrite && last.target == std::string(kInstalled) + "norvis.exe";
    }

    std::vector<std::pair<std::string, std::string>> files;
    std::vector<Moment> moments;
};

// A message posted at any moment of the installation waits for one unit of work at most:
// a raw piece, an inflated block, an 8192-byte piece of the entry stream (whose data is
// written a split piece at a time), a piece of a file copy, a deletion, the initialisation
// file, a shortcut, the record.
TEST_F(ProgressTest, MessagesRunAfterEveryUnitOfWork) {
    InstallRecording();
    ASSERT_EQ(Form().PageNumber, 5);
    ASSERT_GT(moments.size(), 40U);

    Moment before;
    for (std::size_t i = 0; i < moments.size(); ++i) {
        const Moment& now = moments[i];
        SCOPED_TRACE("pump " + std::to_string(i));
        EXPECT_LE(now.dlz, before.dlz + 32768);
        EXPECT_LE(now.dld, before.dld + 32768);  // the blocks hold 32768 bytes each
        EXPECT_LE(now.extracted, before.extracted + package::kSplitPiece);
        // At most one piece of one copy: one new file in the installation folder.
        EXPECT_LE(Count(SimOp::kCreateFile, before.operations, now.operations, kInstalled), 1);
        EXPECT_LE(Count(SimOp::kWrite, before.operations, now.operations, kInstalled), 1);
        EXPECT_LE(Count(SimOp::kRemoveFile, before.operations, now.operations), 2);
        EXPECT_LE(Count(SimOp::kWriteProfile, before.operations, now.operations), 1);
        EXPECT_LE(Count(SimOp::kSaveShellLink, before.operations, now.operations), 2);
        before = now;
    }
    // Nothing but the success page follows the last pump.
    const std::size_t end = host.OperationLog().size();
    EXPECT_EQ(Count(SimOp::kCreateKey, before.operations, end), 0);
    EXPECT_EQ(Count(SimOp::kSetValue, before.operations, end), 0);
    EXPECT_EQ(Count(SimOp::kSaveShellLink, before.operations, end), 0);

    // Each file copy lets messages run while it goes on: the setup (whole) and Norvis.exe
    // (600000 bytes) take several pieces each.
    EXPECT_GE(std::count_if(moments.begin(), moments.end(),
                            [this](const Moment& moment) { return CopyingNorvis(moment); }),
              600000 / InstallProgress::kCopyPiece);
}

TEST_F(ProgressTest, TheBarRisesFromEmptyToFullWithTheWork) {
    InstallRecording();
    ASSERT_EQ(Form().PageNumber, 5);
    EXPECT_EQ(Form().pbInstall->Min(), 0);
    EXPECT_EQ(Form().pbInstall->Max(), 100);
    EXPECT_EQ(Form().pbInstall->Position(), 100);

    ASSERT_FALSE(moments.empty());
    EXPECT_LE(moments.front().position, 5);
    for (std::size_t i = 1; i < moments.size(); ++i) {
        EXPECT_GE(moments[i].position, moments[i - 1].position) << "pump " << i;
    }
    // Not full before the work is: while the product files are still being copied the bar
    // shows less than full, and while the payload is copied raw it shows little.
    int duringRawCopy = 0;
    int duringProductCopy = -1;
    bool inflating = false;
    for (const Moment& moment : moments) {
        inflating = inflating || moment.dld != 0;
        if (!inflating) {
            duringRawCopy = std::max(duringRawCopy, moment.position);
        }
        if (CopyingNorvis(moment)) {
            duringProductCopy = moment.position;
        }
    }
    EXPECT_LE(duringRawCopy, 15);
    EXPECT_GT(duringProductCopy, 30);
    EXPECT_LT(duringProductCopy, 95);
}

TEST_F(ProgressTest, TheBarStartsEmptyAgainOnASecondRun) {
    WalkToFolderPage();
    Form().edInstallpath->SetText("Q:\\Nowhere");  // no such drive: the folder error page
    Next();
    ASSERT_EQ(VisiblePanel(), "pError");
    const int afterFailure = Form().pbInstall->Position();
    EXPECT_GT(afterFailure, 0);
    EXPECT_LT(afterFailure, 100);

    Prev();
    Form().edInstallpath->SetText("C:\\Good");
    std::vector<int> positions;
    ui.onPump = [&] { positions.push_back(Form().pbInstall->Position()); };
    Next();
    ASSERT_EQ(Form().PageNumber, 5);
    ASSERT_FALSE(positions.empty());
    EXPECT_LT(positions.front(), afterFailure);
    EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
    EXPECT_EQ(Form().pbInstall->Position(), 100);
}

// --- The accounting on its own -------------------------------------------------------------

class InstallProgressTest : public ::testing::Test {
protected:
    toolkit::TProgressBar bar;
};

// With a payload that inflates to exactly the assumed size, no estimate ever changes and the
// fraction is the share of all work done.
TEST_F(InstallProgressTest, WithExactEstimatesTheFractionIsTheShareOfWorkDone) {
    using package::ExtractStage;
    constexpr std::uint64_t kPayload = 100004;  // block stream of 100000 bytes and the trailer
    constexpr std::uint64_t kStream = kPayload * InstallProgress::kAssumedExpansion;
    constexpr std::uint64_t kSetup = 300000;
    const std::uint64_t steps = InstallProgress::kFinishingSteps * InstallProgress::kStepWeight;
    // The entry stream's files are installed whole: as many bytes as the stream.
    const double total = kPayload + kStream + kStream + kSetup + kStream + steps;
    InstallProgress progress(bar, kPayload, kSetup);
    progress.Start();
    EXPECT_EQ(bar.Position(), 0);
    double done = 0;
    const auto expect = [&](const char* what) {
        EXPECT_NEAR(progress.Fraction(), done / total, 1e-9) << what;
        EXPECT_EQ(bar.Position(), static_cast<int>(progress.Fraction() * 100)) << what;
    };
    for (std::uint64_t piece : {32768U, 32768U, 32768U, 1700U}) {  // 100004 bytes
        progress.Extracted({ExtractStage::kRawCopy, piece, 0});
        done += piece;
        expect("raw");
    }
    // Blocks that expand exactly as assumed, whatever their sizes.
    std::uint64_t consumed = 0;
    for (std::uint64_t in : {40000U, 60004U}) {
        consumed += in;
        progress.Extracted({ExtractStage::kInflate, in * 3, consumed});
        done += in * 3;
        expect("inflate");
    }
    for (std::uint64_t at = 0; at < kStream; at += 8192) {
        const std::uint64_t piece = std::min<std::uint64_t>(8192, kStream - at);
        progress.Extracted({ExtractStage::kSplit, piece, 0});
        done += piece;
        expect("split");
    }
    progress.ProductEntry(static_cast<std::uint32_t>(kStream - 1000));
    progress.ProductEntry(1000);
    for (int i = 0; i < 2; ++i) {
        progress.Extracted({ExtractStage::kCleanUp, 0, 0});
        done += InstallProgress::kStepWeight;
        expect("package file deleted");
    }
    for (std::uint64_t size : {kSetup, kStream - 1000, std::uint64_t{1000}}) {
        progress.BeginCopy(size);
        for (std::uint64_t left = size; left > 0;) {
            const std::uint64_t piece = std::min(InstallProgress::kCopyPiece, left);
            progress.CopyPiece();
            left -= piece;
            done += piece;
            expect("copy piece");
        }
        progress.EndCopy();
        expect("copy ended");
    }
    for (int i = 2; i < InstallProgress::kFinishingSteps; ++i) {
        EXPECT_LT(bar.Position(), 100);
        progress.FinishingStep();
        done += InstallProgress::kStepWeight;
        expect("finishing step");
    }
    EXPECT_DOUBLE_EQ(progress.Fraction(), 1.0);
    EXPECT_EQ(bar.Position(), 100);
}

// A payload of data that does not compress: the first guess is too large, the blocks correct
// it. The bar never moves back, and once the sizes are known it moves in proportion.
TEST_F(InstallProgressTest, AWrongGuessBendsTheRestOfTheWayWithoutGoingBack) {
    using package::ExtractStage;
    InstallProgress progress(bar, 65540, 80000);
    progress.Start();
    std::vector<double> seen;
    const package::ExtractProgress guessed[] = {{ExtractStage::kRawCopy, 32768, 0},
                                                {ExtractStage::kRawCopy, 32768, 0},
                                                {ExtractStage::kInflate, 32760, 32770},
                                                {ExtractStage::kInflate, 32760, 65536}};
    for (const package::ExtractProgress& unit : guessed) {
        progress.Extracted(unit);
        seen.push_back(progress.Fraction());
    }
    // From here every size is known: equal amounts of work move the bar equally far.
    const double known = progress.Fraction();
    progress.Extracted({ExtractStage::kSplit, 8192, 0});
    const double perPiece = progress.Fraction() - known;
    EXPECT_GT(perPiece, 0);
    for (int i = 1; i < 7; ++i) {  // 57344 of the 65520 bytes
        progress.Extracted({ExtractStage::kSplit, 8192, 0});
        EXPECT_NEAR(progress.Fraction() - known, perPiece * (i + 1), 1e-9) << i;
    }
    seen.push_back(progress.Fraction());
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_LT(seen.back(), 1.0);
    progress.Complete();
    EXPECT_EQ(bar.Position(), 100);
}

TEST_F(InstallProgressTest, ACopyReportingMorePiecesThanItsSizeStopsAtItsShare) {
    InstallProgress progress(bar, 10, 65536);
    progress.Start();
    progress.BeginCopy(65536);
    progress.CopyPiece();
    const double afterFile = progress.Fraction();
    progress.CopyPiece();  // a host that reports an empty last piece
    progress.EndCopy();
    EXPECT_DOUBLE_EQ(progress.Fraction(), afterFile);
    EXPECT_LT(afterFile, 1.0);
}

}  // namespace
}  // namespace nv::wizard::testing
