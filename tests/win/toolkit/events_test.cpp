// User actions raised as the controls' events, the default error report, and closing the
// form from inside a handler.

#include <windows.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <new>
#include <stdexcept>
#include <string>

#include "base/error.h"
#include "toolkit/win32/error_report.h"
#include "toolkit/win32/message_pump.h"
#include "win/toolkit/test_form.h"

namespace nv::toolkit::win32::test {
namespace {

void Click(HWND window) {
    SendMessageA(window, BM_CLICK, 0, 0);
    Pump();
}

TEST(Win32Events, ButtonAndCheckBoxClicksRunTheirHandlers) {
    TestForm t;
    int pressed = 0;
    t.nextButton->OnClick = [&](TComponent& sender) {
        EXPECT_EQ(&sender, t.nextButton);
        ++pressed;
    };
    Click(t.Window(*t.nextButton));
    EXPECT_EQ(pressed, 1);

    int toggled = 0;
    t.checkBox->OnClick = [&](TComponent&) { ++toggled; };
    Click(t.Window(*t.checkBox));
    EXPECT_EQ(toggled, 1);
    EXPECT_FALSE(t.checkBox->Checked());
    Click(t.Window(*t.checkBox));
    EXPECT_TRUE(t.checkBox->Checked());
    EXPECT_EQ(toggled, 2);

    // Changing the state from the program raises no event.
    t.checkBox->SetChecked(false);
    EXPECT_EQ(toggled, 2);
}

TEST(Win32Events, RadioClickChoosesTheItemAndRunsTheHandler) {
    TestForm t;
    std::vector<int> seen;
    t.radioGroup->OnClick = [&](TComponent&) { seen.push_back(t.radioGroup->ItemIndex()); };
    Click(t.RadioItem(1));
    EXPECT_EQ(t.radioGroup->ItemIndex(), 1);
    ASSERT_EQ(seen.size(), 1U);
    EXPECT_EQ(seen[0], 1);

    Click(t.RadioItem(0));
    EXPECT_EQ(t.radioGroup->ItemIndex(), 0);
    EXPECT_EQ(SendMessageA(t.RadioItem(1), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    ASSERT_EQ(seen.size(), 2U);

    // Clicking the chosen item again is a choice as well: the handler runs again.
    Click(t.RadioItem(0));
    EXPECT_EQ(t.radioGroup->ItemIndex(), 0);
    EXPECT_EQ(seen, (std::vector<int>{1, 0, 0}));

    // Choices the program makes raise nothing.
    t.radioGroup->SetItemIndex(1);
    EXPECT_EQ(seen.size(), 3U);
}

TEST(Win32Events, TypingIntoTheEditReachesTheModelButProgramTextsDoNotEcho) {
    TestForm t;
    HWND edit = t.Window(*t.edit);
    // WM_SETTEXT sent from outside is what a user's typing looks like to the parent.
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("E:\\Typed"));
    EXPECT_EQ(t.edit->Text(), "E:\\Typed");
    SendMessageA(edit, EM_SETSEL, 8, 8);
    SendMessageA(edit, WM_CHAR, 'x', 0);
    EXPECT_EQ(t.edit->Text(), "E:\\Typedx");
    t.edit->SetText("F:\\Program");
    char text[64] = {};
    GetWindowTextA(edit, text, sizeof text);
    EXPECT_STREQ(text, "F:\\Program");
    EXPECT_EQ(t.edit->Text(), "F:\\Program");
}

TEST(Win32Events, EnterAndEscapePressNoButton) {
    TestForm t;
    int pressed = 0;
    t.nextButton->OnClick = [&](TComponent&) { ++pressed; };
    t.cancelButton->OnClick = [&](TComponent&) { ++pressed; };
    SendMessageA(t.Main(), WM_COMMAND, IDOK, 0);
    SendMessageA(t.Main(), WM_COMMAND, IDCANCEL, 0);
    Pump();
    EXPECT_EQ(pressed, 0);
    EXPECT_FALSE(t.form->Closed());
}

TEST(Win32Events, AnExceptionFromAHandlerEndsInTheErrorReport) {
    TestForm t;
    t.nextButton->OnClick = [&](TComponent&) {
        t.nextButton->SetEnabled(false);
        throw Error("Verzeichnis kann nicht erstellt werden");
    };
    t.cancelButton->OnClick = [](TComponent&) { throw std::runtime_error("plain failure"); };
    t.pageButton->OnClick = [](TComponent&) { throw 42; };

    Click(t.Window(*t.nextButton));
    ASSERT_EQ(t.errors.size(), 1U);
    EXPECT_EQ(t.errors[0].owner, t.Main());
    EXPECT_EQ(t.errors[0].text, "Verzeichnis kann nicht erstellt werden");
    // The window stays as the handler left it.
    EXPECT_TRUE(IsWindow(t.Main()));
    EXPECT_FALSE(IsWindowEnabled(t.Window(*t.nextButton)));

    Click(t.Window(*t.cancelButton));
    Click(t.Window(*t.pageButton));
    ASSERT_EQ(t.errors.size(), 3U);
    EXPECT_EQ(t.errors[1].text, "plain failure");
    EXPECT_FALSE(t.errors[2].text.empty());
    EXPECT_FALSE(t.form->Closed());
}

// The program words the errors its window reports: each kind with its details, and memory
// running out or an exception of unknown type as the errors of those kinds.
std::string WordedForTest(const Error& error) {
    return std::string("worded ") + ErrorKindName(error.Kind()) + " [" + error.Path() + "] " +
           std::to_string(error.SystemCode());
}

TEST(Win32Events, TheErrorReportShowsTheProgramsWordingOfEachError) {
    TestForm t;
    SetErrorDescriber(WordedForTest);
    t.nextButton->OnClick = [](TComponent&) {
        throw Error(ErrorKind::kWriteFailed, "C:\\tempnv\\package.dlz", 112);
    };
    t.cancelButton->OnClick = [](TComponent&) { throw std::bad_alloc(); };
    t.pageButton->OnClick = [](TComponent&) { throw 42; };
    t.checkBox->OnClick = [](TComponent&) {
        throw Error("Verzeichnis kann nicht erstellt werden");
    };
    for (const TControl* control : std::initializer_list<const TControl*>{
             t.nextButton, t.cancelButton, t.pageButton, t.checkBox}) {
        Click(t.Window(*control));
    }
    SetErrorDescriber(nullptr);
    ASSERT_EQ(t.errors.size(), 4U);
    EXPECT_EQ(t.errors[0].text, "worded write-failed [C:\\tempnv\\package.dlz] 112");
    EXPECT_EQ(t.errors[1].text, "worded out-of-memory [] 0");
    EXPECT_EQ(t.errors[2].text, "worded unexpected [] 0");
    EXPECT_EQ(t.errors[3].text, "worded text [] 0");
}

TEST(Win32Events, TheCloseBoxClosesTheFormAndOtherWindowsIgnoreWmClose) {
    TestForm t;
    HWND main = t.Main();
    // A multi-line edit posts WM_CLOSE to its parent on Escape: the page must not go.
    SendMessageA(t.Window(*t.page), WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(t.Window(*t.page)));
    EXPECT_FALSE(t.form->Closed());

    SendMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(t.form->Closed());
    EXPECT_FALSE(IsWindow(main));
    EXPECT_EQ(t.Main(), nullptr);
    EXPECT_EQ(Win32Application().Run(*t.form), 0);
}

TEST(Win32Events, CloseInsideANestedMessageLoopWaitsForTheHandler) {
    TestForm t;
    HWND main = t.Main();
    bool stillShownAfterNestedLoop = false;
    bool handlerFinished = false;
    t.cancelButton->OnClick = [&](TComponent&) { t.form->Close(); };
    t.nextButton->OnClick = [&](TComponent&) {
        // The user presses Cancel while the handler lets messages through.
        PostMessageA(t.Window(*t.cancelButton), BM_CLICK, 0, 0);
        t.services->ProcessMessages();
        stillShownAfterNestedLoop = t.form->Closed() && IsWindow(main);
        t.progressBar->SetPosition(100);  // the handler goes on with the window
        handlerFinished = true;
    };
    PostMessageA(t.Window(*t.nextButton), BM_CLICK, 0, 0);
    EXPECT_EQ(Win32Application().Run(*t.form), 0);
    EXPECT_TRUE(stillShownAfterNestedLoop);
    EXPECT_TRUE(handlerFinished);
    EXPECT_FALSE(IsWindow(main));
    EXPECT_TRUE(t.errors.empty());
}

TEST(Win32Events, AQuitRequestSurvivesANestedMessageLoop) {
    TestForm t;
    t.nextButton->OnClick = [&](TComponent&) {
        PostQuitMessage(7);
        t.services->ProcessMessages();
        t.services->ProcessMessages();
    };
    PostMessageA(t.Window(*t.nextButton), BM_CLICK, 0, 0);
    EXPECT_EQ(Win32Application().Run(*t.form), 7);
    EXPECT_FALSE(t.form->Closed());
}

TEST(Win32Events, TabMovesTheFocusInTabOrderAndADisabledFocusMovesOn) {
    TestForm t;
    t.form->SetVisible(true);
    SetForegroundWindow(t.Main());
    SetActiveWindow(t.Main());
    Pump();
    ASSERT_EQ(GetActiveWindow(), t.Main());
    SetFocus(t.Window(*t.edit));
    MSG tab{GetFocus(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
    DeliverMessage(tab, t.Main());
    EXPECT_EQ(GetFocus(), t.Window(*t.pageButton));

    // The focused button is disabled: the keyboard must not go dead.
    t.pageButton->SetEnabled(false);
    HWND focus = GetFocus();
    ASSERT_NE(focus, nullptr);
    EXPECT_TRUE(IsWindowEnabled(focus));
    EXPECT_TRUE(IsChild(t.Main(), focus));
}

TEST(Win32Events, ServicesNameTheMainWindow) {
    TestForm t;
    EXPECT_EQ(t.services->MainWindowHandle(), t.Main());
    t.form->Close();
    EXPECT_EQ(t.services->MainWindowHandle(), nullptr);
}

}  // namespace
}  // namespace nv::toolkit::win32::test
