#include "win/toolkit/test_form.h"

#include "toolkit/win32/message_pump.h"

namespace nv::toolkit::win32::test {
namespace {

template <class T>
T& Place(TForm& form, const std::string& name, TWinControl& parent, int left, int top, int width,
         int height) {
    T& control = form.CreateComponent<T>(name);
    control.SetParent(&parent);
    control.SetBounds(left, top, width, height);
    return control;
}

}  // namespace

TestForm::TestForm(bool hiddenPageMadeLater) : form(std::make_unique<TForm>()) {
    TForm& f = *form;
    f.SetName("fTest");
    f.SetCaption("Toolkit Test");
    f.SetBorderStyle(TFormBorderStyle::Dialog);
    f.SetBorderIcons(BorderIconBit(TBorderIcon::SystemMenu));
    f.SetBounds(40, 30, 0, 0);
    f.SetClientWidth(653);
    f.SetClientHeight(500);

    image = &Place<TImage>(f, "iPicture", f, 46, 240, 110, 145);
    image->SetStretch(true);
    page = &Place<TPanel>(f, "pPage", f, 208, 144, 441, 313);
    page->SetColor(kClWhite);
    page->SetBevelOuter(TBevelCut::None);
    page->SetTabOrder(0);

    leftLabel = &Place<TLabel>(f, "lbLeft", *page, 24, 40, 50, 13);
    leftLabel->SetCaption("&Left");
    rightLabel = &Place<TLabel>(f, "lbRight", *page, 24, 88, 79, 13);
    rightLabel->SetAlignment(TAlignment::RightJustify);
    rightLabel->SetCaption("&Installationspfad:");
    edit = &Place<TEdit>(f, "edPath", *page, 109, 84, 268, 21);
    edit->SetText("C:\\Programme\\Norvista");
    edit->SetTabOrder(0);
    pageButton = &Place<TButton>(f, "btnBrowse", *page, 384, 84, 17, 21);
    pageButton->SetCaption("...");
    pageButton->SetTabOrder(1);
    checkBox = &Place<TCheckBox>(f, "cbDesktop", *page, 109, 112, 17, 17);
    checkBox->SetCaption("&D");
    checkBox->SetChecked(true);
    checkBox->SetTabOrder(2);
    radioGroup = &Place<TRadioGroup>(f, "rgLanguage", *page, 136, 130, 185, 81);
    radioGroup->SetCaption("Language/Sprache");
    radioGroup->Items()->Add("&English");
    radioGroup->Items()->Add("&Deutsch");
    radioGroup->SetColor(kClWhite);
    radioGroup->SetTabOrder(3);
    richEdit = &Place<TRichEdit>(f, "reText", *page, 16, 216, 300, 60);
    richEdit->SetReadOnly(true);
    richEdit->SetScrollBars(TScrollStyle::Both);
    richEdit->Lines()->Add("first line");
    richEdit->Lines()->Add("second line");
    richEdit->SetTabOrder(4);
    progressBar = &Place<TProgressBar>(f, "pbProgress", *page, 40, 284, 361, 16);
    progressBar->SetPosition(30);
    progressBar->SetTabOrder(5);

    nextButton = &Place<TButton>(f, "btnNext", f, 480, 464, 75, 25);
    nextButton->SetCaption("&Weiter");
    nextButton->SetTabOrder(6);
    cancelButton = &Place<TButton>(f, "btnCancel", f, 558, 464, 78, 25);
    cancelButton->SetCaption("&Abbrechen");
    cancelButton->SetTabOrder(7);

    backend = std::make_unique<Win32Backend>([this](HWND owner, const std::string& text) {
        errors.push_back({owner, text});
    });
    if (hiddenPageMadeLater) {
        page->SetVisible(false);
        backend->CreateHiddenWindowsOnceShown();
    }
    f.AttachBackend(backend.get());
    services = std::make_unique<Win32UiServices>(f, host);
}

TestForm::~TestForm() {
    // The form goes first, so the backend sees each control leave.
    form.reset();
    Pump();
}

HWND TestForm::RadioItem(int index) const {
    HWND item = GetWindow(Window(*radioGroup), GW_CHILD);
    for (; item != nullptr; item = GetWindow(item, GW_HWNDNEXT)) {
        if ((GetWindowLongPtrA(item, GWL_STYLE) & BS_TYPEMASK) == BS_AUTORADIOBUTTON &&
            index-- == 0) {
            return item;
        }
    }
    return nullptr;
}

RECT TestForm::ClientRect(const TControl& control) const {
    RECT rect{};
    GetWindowRect(Window(control), &rect);
    MapWindowPoints(HWND_DESKTOP, Main(), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void Pump() {
    DeliverPendingMessages(nullptr);
}

}  // namespace nv::toolkit::win32::test
