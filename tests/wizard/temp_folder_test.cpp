// The temporary folder of an elevated setup: made private, an existing one trusted only when
// nobody else can write to it, held from its check to the end of the installation, and
// nothing written through a link left in it.

#include <algorithm>

#include "base/error.h"
#include "host/sim/sim_faults.h"
#include "wizard/temp_folder.h"
#include "wizard_fixture.h"

namespace nv::wizard::testing {
namespace {

using host::sim::SimFolderSecurity;
using host::sim::SimOp;
using host::sim::SimOwner;

constexpr char kTempnv[] = "C:\\setup\\tempnv";
constexpr char kDriveTempnv[] = "C:\\tempnv";

class TempFolderTest : public WizardTest {
protected:
    void AddFolderWith(const char* path, const SimFolderSecurity& security) {
        host.AddFolder(path);
        host.SetFolderSecurity(path, security);
    }
    // Files the installation left or wrote in a folder.
    std::vector<std::string> Entries(const char* folder) { return host.FolderEntries(folder); }
    // The folder ChooseTempFolder settles on, or "" for none; its hold ends at once.
    std::string Chosen() {
        const std::optional<TempFolder> temp = ChooseTempFolder(host);
        return temp ? temp->path : std::string();
    }
    bool IsPrivate(const char* folder) {
        return host.ProtectionOf(folder) == host::FolderProtection::kPrivate;
    }
};

TEST_F(TempFolderTest, AFreshFolderIsPrivateEvenWhereOthersMayWrite) {
    // A downloads folder anyone may write to: a folder made there plainly would inherit that.
    host.SetFolderSecurity("C:\\setup", {SimOwner::kCurrentUser, true, false});
    EXPECT_EQ(Chosen(), kTempFolder);
    EXPECT_TRUE(IsPrivate(kTempnv));
    const auto security = host.FolderSecurity(kTempnv);
    ASSERT_TRUE(security.has_value());
    EXPECT_FALSE(security->othersMayWrite);
    EXPECT_NE(host.HoldSafeFolder(kTempnv), nullptr);
}

TEST_F(TempFolderTest, ThePrivateFolderAdmitsTheAccountOnlyWhenNotElevated) {
    // Elevated, the account's own entry would let any of its unelevated programs rewrite
    // what the setup extracts.
    for (const bool elevated : {true, false}) {
        host.SetElevated(elevated);
        const std::optional<TempFolder> temp = ChooseTempFolder(host);
        ASSERT_TRUE(temp.has_value());
        EXPECT_TRUE(IsPrivate(kTempnv));
        EXPECT_EQ(host.AdmitsAccount(kTempnv), !elevated) << elevated;
        EXPECT_EQ(host.FolderSecurity(kTempnv)->owner,
                  elevated ? SimOwner::kAdministrators : SimOwner::kCurrentUser);
        EXPECT_TRUE(host.IsHeld(kTempnv));
        EXPECT_FALSE(host.OtherUserRename(kTempnv, "C:\\setup\\moved"));
        EXPECT_TRUE(temp->hold->RemoveIfEmpty());
    }
}

// From its check to the end of the installation the folder is held, and each extracted file
// from its creation until it is copied: nobody can rename the folder or rewrite a file. After
// a failed copy the files stay, no longer held.
TEST_F(TempFolderTest, TheFolderAndEachExtractedFileAreHeldUntilTheRunEnds) {
    host.SetFolderSecurity("C:\\setup", {SimOwner::kCurrentUser, true, false});
    host.AddFile(std::string(kDefaultFolder) + "brannok.wav", "in use");
    host.SetFileInUse(std::string(kDefaultFolder) + "brannok.wav", true);
    int heldFiles = 0;
    ui.onPump = [&] {
        if (host.FolderExists(kTempnv)) {
            EXPECT_TRUE(host.IsHeld(kTempnv));
            EXPECT_FALSE(host.OtherUserRename(kTempnv, "C:\\setup\\moved"));
        }
        for (const auto& [name, data] : ProductFiles()) {
            const std::string path = std::string(kTempnv) + "\\" + name;
            if (host.FileExists(path)) {
                EXPECT_TRUE(host.IsHeld(path)) << name;
                heldFiles += 1;
            }
        }
    };
    Install();
    EXPECT_EQ(VisiblePanel(), "pCopyError");
    EXPECT_GT(heldFiles, 8);
    EXPECT_FALSE(host.IsHeld(kTempnv));
    EXPECT_FALSE(host.IsHeld(kDefaultFolder));
    for (const auto& [name, data] : ProductFiles()) {
        const std::string path = std::string(kTempnv) + "\\" + name;
        EXPECT_EQ(host.FileData(path), data) << name;
        EXPECT_FALSE(host.IsHeld(path)) << name;
    }
}

TEST_F(TempFolderTest, AFolderOnAVolumeWithoutAccessListsCountsAsNotMade) {
    // A FAT stick or a share: "tempnv" there, made or found, cannot be closed to others.
    host.SetVolumeWithoutAccessLists("C:\\setup");
    EXPECT_EQ(Chosen(), kTempFolderFallback);
    host.SetVolumeWithoutAccessLists("C:\\");
    EXPECT_EQ(Chosen(), "");
    Install();
    EXPECT_EQ(VisiblePanel(), "pTempdir");
}

TEST_F(TempFolderTest, TheFallBackOnDriveCIsPrivateToo) {
    host.SetReadOnlyFolder("C:\\setup");
    host.SetFolderSecurity("C:\\", {SimOwner::kAdministrators, true, false});
    EXPECT_EQ(Chosen(), kTempFolderFallback);
    EXPECT_TRUE(IsPrivate(kDriveTempnv));
    EXPECT_FALSE(host.FolderExists(kTempnv));
}

// The account owns a safe folder only where none of its programs runs with fewer rights.
TEST_F(TempFolderTest, ASafeExistingFolderIsUsedAsItIs) {
    for (const SimOwner owner :
         {SimOwner::kCurrentUser, SimOwner::kAdministrators, SimOwner::kSystem}) {
        if (host.FolderExists(kTempnv)) {
            host.RemoveFolder(kTempnv);
        }
        host.SetElevated(owner != SimOwner::kCurrentUser);
        AddFolderWith(kTempnv, {owner, false, false});
        EXPECT_EQ(Chosen(), kTempFolder) << static_cast<int>(owner);
        EXPECT_FALSE(host.FolderExists(kDriveTempnv));
        EXPECT_FALSE(host.ProtectionOf(kTempnv).has_value());  // not made anew
    }
}

// Each way an existing "tempnv" may be untrustworthy sends the setup to "C:\tempnv".
struct UnsafeTempnv {
    const char* name;
    SimFolderSecurity security;
};

class UnsafeTempnvTest : public TempFolderTest,
                         public ::testing::WithParamInterface<UnsafeTempnv> {};

TEST_P(UnsafeTempnvTest, IsPassedOverForDriveC) {
    AddFolderWith(kTempnv, GetParam().security);
    EXPECT_EQ(Chosen(), kTempFolderFallback);
    EXPECT_TRUE(IsPrivate(kDriveTempnv));
}

TEST_P(UnsafeTempnvTest, AWholeInstallationWritesNothingIntoIt) {
    AddFolderWith(kTempnv, GetParam().security);
    Install();
    EXPECT_EQ(Form().PageNumber, 5);
    EXPECT_EQ(VisiblePanel(), "pSuccess");
    EXPECT_TRUE(Entries(kTempnv).empty());
    EXPECT_FALSE(host.FolderExists(kDriveTempnv));  // used and removed again
    EXPECT_FALSE(CreatedFileIn("c:\\setup\\tempnv\\"));
    EXPECT_TRUE(CreatedFileIn("c:\\tempnv\\"));
}

INSTANTIATE_TEST_SUITE_P(
    Folders, UnsafeTempnvTest,
    ::testing::Values(
        UnsafeTempnv{"OwnedBySomeoneElse", {SimOwner::kOtherUser, false, false}},
        UnsafeTempnv{"UsersFolderOthersMayWrite", {SimOwner::kCurrentUser, true, false}},
        UnsafeTempnv{"AdministratorsFolderOthersMayWrite",
                     {SimOwner::kAdministrators, true, false}},
        UnsafeTempnv{"AJunction", {SimOwner::kAdministrators, false, true}},
        UnsafeTempnv{"OwnedByTheElevatedAccount", {SimOwner::kCurrentUser, false, false}},
        UnsafeTempnv{"PassingOnToOthers", {SimOwner::kAdministrators, false, false, false, true}}),
    [](const ::testing::TestParamInfo<UnsafeTempnv>& info) {
        return std::string(info.param.name);
    });

TEST_F(TempFolderTest, AFolderWhoseSecurityCannotBeReadIsNotTrusted) {
    AddFolderWith(kTempnv, {SimOwner::kCurrentUser, false, false});
    host.Fail(SimOp::kFolderSecurity, kTempnv);
    EXPECT_EQ(Chosen(), kTempFolderFallback);
}

TEST_F(TempFolderTest, BothUnsafeShowsTheTemporaryFolderPage) {
    AddFolderWith(kTempnv, {SimOwner::kOtherUser, false, false});
    AddFolderWith(kDriveTempnv, {SimOwner::kAdministrators, true, false});
    EXPECT_EQ(Chosen(), "");

    Install();
    ExpectPage(4, 3, "pTempdir");
    EXPECT_FALSE(Form().btnNext->Enabled());
    EXPECT_FALSE(Form().btnPrev->Enabled());
    EXPECT_TRUE(Entries(kTempnv).empty());
    EXPECT_TRUE(Entries(kDriveTempnv).empty());
    EXPECT_FALSE(host.RegistryStringAt(kRecordKeyPath, "InstallPath").has_value());
}

TEST_F(TempFolderTest, AnUnsafeTempnvAndNoWayToMakeTheFallBackShowsThePage) {
    AddFolderWith(kTempnv, {SimOwner::kCurrentUser, true, false});
    host.Fail(SimOp::kCreateFolder, kDriveTempnv);
    Install();
    EXPECT_EQ(VisiblePanel(), "pTempdir");
    EXPECT_TRUE(Entries(kTempnv).empty());
}

TEST_F(TempFolderTest, AFileNamedTempnvIsPassedOver) {
    host.AddFile(kTempnv, "not a folder");
    EXPECT_EQ(Chosen(), kTempFolderFallback);
    EXPECT_EQ(host.FileData(kTempnv), "not a folder");
}

// --- Links in place of the files the installation writes ----------------------------------

TEST_F(TempFolderTest, ALinkInPlaceOfAnExtractedFileIsReplacedNotWrittenThrough) {
    constexpr char kVictim[] = "C:\\Windows\\system32\\victim.dll";
    host.AddFile(kVictim, "system library");
    host.AddFolder(kTempnv);
    host.AddFileLink("C:\\setup\\tempnv\\Norvis.exe", kVictim);
    host.AddFileLink("C:\\setup\\tempnv\\package.dlz", kVictim);
    ASSERT_EQ(host.FileData("C:\\setup\\tempnv\\Norvis.exe"), "system library");

    Install();
    EXPECT_EQ(VisiblePanel(), "pSuccess");
    EXPECT_EQ(host.FileData(kVictim), "system library");
    const auto product = ProductFiles();
    const auto norvis = std::find_if(product.begin(), product.end(),
                                     [](const auto& file) { return file.first == "Norvis.exe"; });
    EXPECT_EQ(host.FileData(std::string(kDefaultFolder) + "Norvis.exe"), norvis->second);
}

TEST_F(TempFolderTest, CreatingAFileOverALinkLeavesTheTargetAndReadsBackTheNewData) {
    host.AddFile("C:\\data\\target.txt", "original");
    host.AddFileLink("C:\\data\\link.txt", "C:\\data\\target.txt");
    host.CreateFileForWriting("C:\\data\\link.txt")->Write("new", 3);
    EXPECT_EQ(host.FileData("C:\\data\\target.txt"), "original");
    EXPECT_EQ(host.FileData("C:\\data\\link.txt"), "new");
}

}  // namespace
}  // namespace nv::wizard::testing
