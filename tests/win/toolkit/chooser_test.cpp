// The folder chooser's window on a simulated file system, driven from a second thread the way a
// user drives it: find the window, read its fields, press its buttons. Its browsing is tested
// headless in folder_browser_test.

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "host/sim/sim_host.h"
#include "toolkit/win32/folder_chooser.h"

namespace nv::toolkit::win32::test {
namespace {

constexpr char kChooserCaption[] = "Verzeichnis ausw\xE4hlen";
constexpr char kConfirmCaption[] = "Best\xE4tigung";
constexpr int kNameField = 100;
constexpr int kFolderList = 102;
constexpr int kFileList = 103;
constexpr char kRoot[] = "C:\\nv_chooser_test";

// Polls for a top-level window of this process with `caption`; null after a generous wait.
HWND WaitForWindow(const char* caption) {
    for (int attempt = 0; attempt < 400; ++attempt) {
        HWND window = FindWindowA(nullptr, caption);
        if (window != nullptr && IsWindowVisible(window)) {
            return window;
        }
        Sleep(25);
    }
    return nullptr;
}

bool WaitUntilGone(HWND window) {
    for (int attempt = 0; attempt < 400 && IsWindow(window); ++attempt) {
        Sleep(25);
    }
    return !IsWindow(window);
}

std::string TextOf(HWND window) {
    char text[MAX_PATH] = {};
    SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

std::vector<std::string> ListItems(HWND list) {
    std::vector<std::string> items;
    const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char text[MAX_PATH] = {};
        SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        items.emplace_back(text);
    }
    return items;
}

std::vector<std::string> ChildTexts(HWND window) {
    std::vector<std::string> texts;
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        texts.push_back(TextOf(child));
    }
    return texts;
}

bool Contains(const std::vector<std::string>& list, const std::string& wanted) {
    for (const std::string& item : list) {
        if (item == wanted) {
            return true;
        }
    }
    return false;
}

void Press(HWND dialog, int id) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
}

// The folders the chooser had made, in order.
std::vector<std::string> made;

// Runs the chooser on this thread while `user` acts on it from another; a folder it is to
// make is recorded and made.
std::optional<std::string> ChooseWith(host::sim::SimHost& sim, const std::string& start,
                                      const std::function<void(HWND)>& user) {
    std::thread actor([&user] {
        HWND chooser = WaitForWindow(kChooserCaption);
        if (chooser == nullptr) {
            ADD_FAILURE() << "the chooser did not appear";
            return;
        }
        user(chooser);
    });
    made.clear();
    std::optional<std::string> result =
        ChooseFolder(nullptr, sim, start, [&sim](const std::string& folder) {
            made.push_back(folder);
            sim.AddFolder(folder);
            return sim.FolderExists(folder);
        });
    actor.join();
    return result;
}

class ChooserTest : public ::testing::Test {
protected:
    ChooserTest() {
        sim_.AddFolder(std::string(kRoot) + "\\Sub\\Inner");
        sim_.AddFile(std::string(kRoot) + "\\readme.txt", "");
    }
    host::sim::SimHost sim_;
    std::string root_ = kRoot;
};

TEST_F(ChooserTest, ShowsTheStartFolderWithItsFoldersFilesAndFixedTexts) {
    std::string name;
    std::vector<std::string> folders;
    std::vector<std::string> files;
    std::vector<std::string> texts;
    const auto result = ChooseWith(sim_, root_, [&](HWND chooser) {
        name = TextOf(GetDlgItem(chooser, kNameField));
        folders = ListItems(GetDlgItem(chooser, kFolderList));
        files = ListItems(GetDlgItem(chooser, kFileList));
        texts = ChildTexts(chooser);
        Press(chooser, IDCANCEL);
    });
    EXPECT_FALSE(result.has_value());
    EXPECT_EQ(name, root_);
    EXPECT_EQ(folders, (std::vector<std::string>{"..", "Sub"}));
    EXPECT_EQ(files, (std::vector<std::string>{"readme.txt"}));
    for (const char* text : {"Verzeichnis&name:", "&Verzeichnisse:", "&Dateien: (*.*)",
                             "&Laufwerke:", "OK", "Abbrechen"}) {
        EXPECT_TRUE(Contains(texts, text)) << text;
    }
    EXPECT_EQ(sim_.CurrentFolder(), root_) << "showing a folder makes it current";
}

TEST_F(ChooserTest, ATypedMissingFolderIsCreatedOnlyAfterYes) {
    const std::string wanted = root_ + "\\New\\Deeper";
    bool askedTwice = false;
    bool stayedOpenAfterNo = false;
    const auto result = ChooseWith(sim_, root_, [&](HWND chooser) {
        SendMessageA(GetDlgItem(chooser, kNameField), WM_SETTEXT, 0,
                     reinterpret_cast<LPARAM>(wanted.c_str()));
        Press(chooser, IDOK);
        HWND question = WaitForWindow(kConfirmCaption);
        if (question == nullptr) {
            ADD_FAILURE() << "no confirmation";
            Press(chooser, IDCANCEL);
            return;
        }
        const std::vector<std::string> texts = ChildTexts(question);
        EXPECT_TRUE(Contains(texts, "&Ja"));
        EXPECT_TRUE(Contains(texts, "&Nein"));
        EXPECT_TRUE(Contains(
            texts, "Das angegebene Verzeichnis existiert nicht. Soll es angelegt werden?"));
        Press(question, IDNO);
        WaitUntilGone(question);
        stayedOpenAfterNo = IsWindow(chooser) && !sim_.FolderExists(wanted) && made.empty();
        Press(chooser, IDOK);
        question = WaitForWindow(kConfirmCaption);
        askedTwice = question != nullptr;
        if (question != nullptr) {
            Press(question, IDYES);
        }
    });
    EXPECT_TRUE(stayedOpenAfterNo);
    EXPECT_TRUE(askedTwice);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(*result, wanted + "\\");
    EXPECT_EQ(made, std::vector<std::string>{wanted}) << "made by the program's maker";
    EXPECT_TRUE(sim_.FolderExists(wanted));
    EXPECT_EQ(sim_.CurrentFolder(), root_) << "the current folder is the last one shown";
}

}  // namespace
}  // namespace nv::toolkit::win32::test
