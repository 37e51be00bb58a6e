#pragma once
// A small form with one control of each kind, shown through the Win32 backend, for the tests
// of the backend and its events. Error reports are collected instead of shown.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "host/sim/sim_host.h"
#include "toolkit/form.h"
#include "toolkit/image.h"
#include "toolkit/radio_group.h"
#include "toolkit/std_controls.h"
#include "toolkit/win32/win32_application.h"
#include "toolkit/win32/win32_backend.h"

namespace nv::toolkit::win32::test {

struct ErrorReport {
    HWND owner;
    std::string text;
};

class TestForm {
public:
    // With `hiddenPageMadeLater`, the page starts hidden and the backend makes hidden windows
    // only once the form has been shown.
    explicit TestForm(bool hiddenPageMadeLater = false);
    ~TestForm();
    TestForm(const TestForm&) = delete;
    TestForm& operator=(const TestForm&) = delete;
    TestForm(TestForm&&) = delete;
    TestForm& operator=(TestForm&&) = delete;

    HWND Window(const TControl& control) const { return backend->WindowOf(control); }
    HWND Main() const { return backend->MainWindow(); }
    // The radio group's button `index` as the window system lists it, or null.
    HWND RadioItem(int index) const;
    // The control's rectangle relative to the form's client area.
    RECT ClientRect(const TControl& control) const;

    std::vector<ErrorReport> errors;
    std::unique_ptr<TForm> form;
    std::unique_ptr<Win32Backend> backend;
    host::sim::SimHost host;  // the file system the services' chooser walks
    std::unique_ptr<Win32UiServices> services;

    TPanel* page = nullptr;
    TLabel* leftLabel = nullptr;
    TLabel* rightLabel = nullptr;
    TEdit* edit = nullptr;
    TButton* pageButton = nullptr;
    TCheckBox* checkBox = nullptr;
    TRadioGroup* radioGroup = nullptr;
    TRichEdit* richEdit = nullptr;
    TProgressBar* progressBar = nullptr;
    TImage* image = nullptr;
    TButton* nextButton = nullptr;
    TButton* cancelButton = nullptr;
};

// Delivers every waiting message of this thread.
void Pump();

}  // namespace nv::toolkit::win32::test
