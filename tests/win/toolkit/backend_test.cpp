// The windows the backend makes for a form: their classes, places, texts and state, and how
// they follow changes of the model.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <richedit.h>

#include <string>

#include "win/toolkit/test_form.h"

namespace nv::toolkit::win32::test {
namespace {

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string TextOf(HWND window) {
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

LONG_PTR StyleOf(HWND window) {
    return GetWindowLongPtrA(window, GWL_STYLE);
}

std::string RichText(HWND window) {
    GETTEXTEX request{};
    char buffer[256] = {};
    request.cb = sizeof buffer;
    request.flags = GT_USECRLF;
    request.codepage = CP_ACP;
    SendMessageA(window, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&request),
                 reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

TEST(Win32Backend, MakesOneWindowOfTheRightClassPerControl) {
    TestForm t;
    EXPECT_EQ(ClassOf(t.Main()), "TForm");
    EXPECT_EQ(ClassOf(t.Window(*t.page)), "NvPanel");
    EXPECT_EQ(ClassOf(t.Window(*t.leftLabel)), "Static");
    EXPECT_EQ(ClassOf(t.Window(*t.edit)), "Edit");
    EXPECT_EQ(ClassOf(t.Window(*t.pageButton)), "Button");
    EXPECT_EQ(ClassOf(t.Window(*t.checkBox)), "Button");
    EXPECT_EQ(ClassOf(t.Window(*t.richEdit)), "RichEdit20A");
    EXPECT_EQ(ClassOf(t.Window(*t.progressBar)), PROGRESS_CLASSA);
    EXPECT_EQ(t.Window(*t.image), nullptr) << "pictures are painted by their parent";

    EXPECT_EQ(StyleOf(t.Window(*t.pageButton)) & BS_TYPEMASK, BS_PUSHBUTTON);
    EXPECT_EQ(StyleOf(t.Window(*t.checkBox)) & BS_TYPEMASK, BS_AUTOCHECKBOX);
    EXPECT_NE(GetWindowLongPtrA(t.Window(*t.edit), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    EXPECT_NE(GetWindowLongPtrA(t.Window(*t.page), GWL_EXSTYLE) & WS_EX_CONTROLPARENT, 0);
    const LONG_PTR rich = StyleOf(t.Window(*t.richEdit));
    EXPECT_NE(rich & ES_READONLY, 0);
    EXPECT_NE(rich & WS_VSCROLL, 0);
    EXPECT_NE(rich & WS_HSCROLL, 0);
    EXPECT_EQ(StyleOf(t.Window(*t.rightLabel)) & SS_TYPEMASK, SS_RIGHT);
    EXPECT_EQ(StyleOf(t.Window(*t.leftLabel)) & SS_NOPREFIX, 0) << "& must underline";
}

TEST(Win32Backend, RadioGroupIsAGroupBoxWithOneRadioButtonPerItem) {
    TestForm t;
    HWND first = t.RadioItem(0);
    HWND second = t.RadioItem(1);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(t.RadioItem(2), nullptr);
    EXPECT_EQ(TextOf(first), "&English");
    EXPECT_EQ(TextOf(second), "&Deutsch");
    EXPECT_EQ(StyleOf(first) & BS_TYPEMASK, BS_AUTORADIOBUTTON);
    EXPECT_NE(StyleOf(first) & WS_GROUP, 0);
    EXPECT_NE(StyleOf(first) & WS_TABSTOP, 0) << "Tab enters at the first item when none is chosen";
    EXPECT_EQ(StyleOf(second) & WS_GROUP, 0);

    bool foundFrame = false;
    for (HWND child = GetWindow(t.Window(*t.radioGroup), GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if ((StyleOf(child) & BS_TYPEMASK) == BS_GROUPBOX) {
            foundFrame = true;
            EXPECT_EQ(TextOf(child), "Language/Sprache");
        }
    }
    EXPECT_TRUE(foundFrame);

    // Nothing chosen, then item 1 chosen by the program: the buttons follow, the tab stop
    // moves to the chosen one.
    EXPECT_EQ(SendMessageA(first, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageA(second, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    t.radioGroup->SetItemIndex(1);
    EXPECT_EQ(SendMessageA(first, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageA(second, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(StyleOf(first) & WS_TABSTOP, 0);
    EXPECT_NE(StyleOf(second) & WS_TABSTOP, 0);

    // New items replace the buttons.
    t.radioGroup->Items()->Add("&Third");
    HWND third = t.RadioItem(2);
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(TextOf(third), "&Third");
    EXPECT_EQ(SendMessageA(t.RadioItem(1), BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST(Win32Backend, PlacesControlsRelativeToTheirVisualParent) {
    TestForm t;
    RECT client{};
    GetClientRect(t.Main(), &client);
    EXPECT_EQ(client.right, 653);
    EXPECT_EQ(client.bottom, 500);

    RECT frame{};
    GetWindowRect(t.Main(), &frame);
    EXPECT_EQ(t.form->Width(), frame.right - frame.left) << "the model learns the outer size";
    EXPECT_EQ(t.form->Height(), frame.bottom - frame.top);
    EXPECT_EQ(frame.left, 40);
    EXPECT_EQ(frame.top, 30);

    const RECT page = t.ClientRect(*t.page);
    EXPECT_EQ(page.left, 208);
    EXPECT_EQ(page.top, 144);
    EXPECT_EQ(page.right - page.left, 441);
    EXPECT_EQ(page.bottom - page.top, 313);
    const RECT edit = t.ClientRect(*t.edit);
    EXPECT_EQ(edit.left, 208 + 109);
    EXPECT_EQ(edit.top, 144 + 84);
    EXPECT_EQ(edit.right - edit.left, 268);
    const RECT next = t.ClientRect(*t.nextButton);
    EXPECT_EQ(next.left, 480);
    EXPECT_EQ(next.top, 464);

    t.nextButton->SetBounds(10, 20, 30, 40);
    const RECT moved = t.ClientRect(*t.nextButton);
    EXPECT_EQ(moved.left, 10);
    EXPECT_EQ(moved.top, 20);
    EXPECT_EQ(moved.right - moved.left, 30);
    EXPECT_EQ(moved.bottom - moved.top, 40);

    t.form->SetClientWidth(400);
    GetClientRect(t.Main(), &client);
    EXPECT_EQ(client.right, 400);
}

TEST(Win32Backend, FormHasAFixedDialogFrameWithOnlyTheCloseBox) {
    TestForm t;
    const LONG_PTR style = StyleOf(t.Main());
    EXPECT_NE(style & WS_CAPTION, 0);
    EXPECT_NE(style & WS_SYSMENU, 0);
    EXPECT_EQ(style & WS_THICKFRAME, 0);
    EXPECT_EQ(style & WS_MINIMIZEBOX, 0);
    EXPECT_EQ(style & WS_MAXIMIZEBOX, 0);
    EXPECT_NE(GetWindowLongPtrA(t.Main(), GWL_EXSTYLE) & WS_EX_DLGMODALFRAME, 0);
    EXPECT_EQ(TextOf(t.Main()), "Toolkit Test");
    t.form->SetCaption("Other");
    EXPECT_EQ(TextOf(t.Main()), "Other");
    EXPECT_EQ(StyleOf(t.Window(*t.nextButton)) & BS_DEFPUSHBUTTON, 0);
}

TEST(Win32Backend, MirrorsTextsVisibilityAndEnabledState) {
    TestForm t;
    EXPECT_EQ(TextOf(t.Window(*t.nextButton)), "&Weiter");
    EXPECT_EQ(TextOf(t.Window(*t.leftLabel)), "&Left");
    EXPECT_EQ(TextOf(t.Window(*t.edit)), "C:\\Programme\\Norvista");
    t.nextButton->SetCaption("&Next");
    t.edit->SetText("D:\\Elsewhere\\");
    t.checkBox->SetCaption("&X");
    EXPECT_EQ(TextOf(t.Window(*t.nextButton)), "&Next");
    EXPECT_EQ(TextOf(t.Window(*t.edit)), "D:\\Elsewhere\\");
    EXPECT_EQ(TextOf(t.Window(*t.checkBox)), "&X");
    EXPECT_EQ(t.edit->Text(), "D:\\Elsewhere\\");

    t.form->SetVisible(true);
    EXPECT_TRUE(IsWindowVisible(t.Window(*t.edit)));
    t.edit->SetVisible(false);
    EXPECT_FALSE(IsWindowVisible(t.Window(*t.edit)));
    t.page->SetVisible(false);
    EXPECT_FALSE(IsWindowVisible(t.Window(*t.leftLabel)));
    t.page->SetVisible(true);
    EXPECT_TRUE(IsWindowVisible(t.Window(*t.leftLabel)));
    EXPECT_FALSE(IsWindowVisible(t.Window(*t.edit)));

    t.nextButton->SetEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(t.Window(*t.nextButton)));
    t.nextButton->SetEnabled(true);
    EXPECT_TRUE(IsWindowEnabled(t.Window(*t.nextButton)));
    t.radioGroup->SetEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(t.RadioItem(0)));
    EXPECT_FALSE(IsWindowEnabled(t.RadioItem(1)));
}

TEST(Win32Backend, AutoSizedLabelsKeepTheirAnchoredEdge) {
    TestForm t;
    const RECT left = t.ClientRect(*t.leftLabel);
    const RECT right = t.ClientRect(*t.rightLabel);
    EXPECT_GT(right.bottom - right.top, 0);

    t.leftLabel->SetCaption("&Left, and a much longer text than before");
    const RECT grownLeft = t.ClientRect(*t.leftLabel);
    EXPECT_EQ(grownLeft.left, left.left);
    EXPECT_GT(grownLeft.right, left.right);
    EXPECT_EQ(t.leftLabel->Width(), grownLeft.right - grownLeft.left) << "the model learns it";

    t.rightLabel->SetCaption("&Installationspfad und noch mehr:");
    const RECT grownRight = t.ClientRect(*t.rightLabel);
    EXPECT_EQ(grownRight.right, right.right);
    EXPECT_LT(grownRight.left, right.left);
    EXPECT_EQ(t.rightLabel->Left() + t.rightLabel->Width(), 24 + 79);

    // A bigger font makes a taller label.
    const int height = t.leftLabel->Height();
    t.leftLabel->Font()->SetHeight(-19);
    EXPECT_GT(t.leftLabel->Height(), height);

    // An empty caption keeps one line's height.
    t.leftLabel->SetCaption("");
    EXPECT_GT(t.leftLabel->Height(), 0);
}

TEST(Win32Backend, MirrorsRichTextProgressAndCheckState) {
    TestForm t;
    HWND rich = t.Window(*t.richEdit);
    EXPECT_EQ(RichText(rich), "first line\r\nsecond line");
    // Text that looks like a rich-text document is shown as it is.
    t.richEdit->Lines()->SetText("{\\rtf1 not formatting}\nnext");
    EXPECT_EQ(RichText(rich), "{\\rtf1 not formatting}\r\nnext");
    t.richEdit->Lines()->Clear();
    EXPECT_EQ(RichText(rich), "");

    HWND bar = t.Window(*t.progressBar);
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 30);
    EXPECT_EQ(SendMessageA(bar, PBM_GETRANGE, FALSE, 0), 100);
    EXPECT_EQ(SendMessageA(bar, PBM_GETRANGE, TRUE, 0), 0);
    t.progressBar->SetRange(0, 50);
    t.progressBar->SetPosition(45);
    EXPECT_EQ(SendMessageA(bar, PBM_GETRANGE, FALSE, 0), 50);
    EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 45);

    HWND box = t.Window(*t.checkBox);
    EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_CHECKED);
    t.checkBox->SetChecked(false);
    EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);

    t.edit->SetReadOnly(true);
    EXPECT_NE(StyleOf(t.Window(*t.edit)) & ES_READONLY, 0);
}

TEST(Win32Backend, TabOrderFollowsTabOrderProperty) {
    TestForm t;
    HWND page = t.Window(*t.page);
    auto firstChild = [page] { return GetWindow(page, GW_CHILD); };
    EXPECT_EQ(firstChild(), t.Window(*t.edit));
    EXPECT_EQ(GetWindow(t.Window(*t.edit), GW_HWNDNEXT), t.Window(*t.pageButton));

    t.checkBox->SetTabOrder(-1);
    EXPECT_EQ(firstChild(), t.Window(*t.checkBox));
    EXPECT_EQ(GetWindow(t.Window(*t.checkBox), GW_HWNDNEXT), t.Window(*t.edit));

    t.edit->SetTabStop(false);
    EXPECT_EQ(StyleOf(t.Window(*t.edit)) & WS_TABSTOP, 0);
    EXPECT_NE(StyleOf(t.Window(*t.pageButton)) & WS_TABSTOP, 0);
}

TEST(Win32Backend, ControlsCreatedLaterAndDestroyedEarlyComeAndGo) {
    TestForm t;
    TButton& late = t.form->CreateComponent<TButton>("btnLate");
    late.SetParent(t.page);
    late.SetBounds(1, 2, 50, 20);
    late.SetCaption("Late");
    HWND window = t.Window(late);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(GetParent(window), t.Window(*t.page));
    EXPECT_EQ(TextOf(window), "Late");

    t.form->RemoveComponent(late).reset();
    EXPECT_FALSE(IsWindow(window));
}

TEST(Win32Backend, HiddenWindowsMadeAfterTheFirstPaintTakeTheModelsStateOfThatMoment) {
    const struct {
        const char* how;
        void (*make)(TestForm&);
    } ways[] = {
        {"the first message after the first paint",
         [](TestForm& t) {
             t.form->SetVisible(true);
             Pump();
         }},
        {"the page shown before that message",
         [](TestForm& t) {
             t.form->SetVisible(true);
             t.page->SetVisible(true);
         }},
        {"a window asked for before the form shows", [](TestForm& t) { (void)t.Window(*t.edit); }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.how);
        TestForm t(true);
        EXPECT_EQ(FindWindowExA(t.Main(), nullptr, "NvPanel", nullptr), nullptr);
        t.leftLabel->SetCaption("&Later, longer");
        t.richEdit->Lines()->Add("third line");
        t.progressBar->SetPosition(60);
        way.make(t);

        HWND page = FindWindowExA(t.Main(), nullptr, "NvPanel", nullptr);
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(page, t.Window(*t.page));
        EXPECT_EQ(IsWindowVisible(page) != FALSE, t.page->Visible() && t.form->Visible());
        EXPECT_EQ(TextOf(t.Window(*t.leftLabel)), "&Later, longer");
        EXPECT_GT(t.leftLabel->Width(), 50) << "measured to its text when made";
        EXPECT_EQ(RichText(t.Window(*t.richEdit)), "first line\r\nsecond line\r\nthird line");
        EXPECT_EQ(SendMessageA(t.Window(*t.progressBar), PBM_GETPOS, 0, 0), 60);
        EXPECT_EQ(GetWindow(page, GW_CHILD), t.Window(*t.edit)) << "tab order applied";
        EXPECT_EQ(GetWindow(t.Main(), GW_CHILD), page) << "tab order applied";
    }
}

TEST(Win32Backend, DetachingLeavesTheModelHeadless) {
    TestForm t;
    HWND main = t.Main();
    HWND label = t.Window(*t.leftLabel);
    t.form->AttachBackend(nullptr);
    EXPECT_FALSE(IsWindow(main));
    EXPECT_FALSE(IsWindow(label));
    t.leftLabel->SetCaption("still works");
    EXPECT_EQ(t.leftLabel->Caption(), "still works");
}

}  // namespace
}  // namespace nv::toolkit::win32::test
