// nvdriver.exe: drives a Windows program's windows the way a user does, for end-to-end tests.
//
//   nvdriver wait TITLE [MS]            wait until a visible top-level window TITLE exists
//   nvdriver gone TITLE [MS]            wait until no visible window TITLE exists
//   nvdriver window TITLE               the window's frame, client size, style and the screen
//   nvdriver controls TITLE             every child control, one JSON object per line
//   nvdriver click TITLE CAPTION        press the button, check box or radio item CAPTION
//   nvdriver settext TITLE N TEXT       put TEXT into the N-th edit field (0-based)
//   nvdriver keys TITLE KEY...          type keys: Tab, Shift+Tab, Enter, Escape, Alt+X, or text
//   nvdriver focus TITLE                the control holding the keyboard focus (JSON)
//   nvdriver close TITLE                ask the window to close (as the title bar's close box)
//
// Exit code 0 on success, 1 on time-out or "not found", 2 on misuse.

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr DWORD kDefaultWaitMs = 20000;
constexpr DWORD kPollMs = 50;

// Time a window may take to answer a message before it counts as hung.
constexpr UINT kAnswerMs = 5000;

// Sends a message without hanging on a window whose thread does not answer; false then.
bool Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR& result) {
    return SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kAnswerMs,
                               &result) != 0;
}

std::string WindowText(HWND window) {
    DWORD_PTR length = 0;
    if (!Ask(window, WM_GETTEXTLENGTH, 0, 0, length)) {
        return "<no answer>";
    }
    std::string text(static_cast<size_t>(length) + 1, '\0');
    DWORD_PTR got = 0;
    if (!Ask(window, WM_GETTEXT, static_cast<WPARAM>(text.size()),
             reinterpret_cast<LPARAM>(text.data()), got)) {
        return "<no answer>";
    }
    text.resize(static_cast<size_t>(got));
    return text;
}

// The caption of a top-level window, read without sending it a message.
std::string TopLevelTitle(HWND window) {
    char title[512] = {};
    GetWindowTextA(window, title, sizeof title);
    return title;
}

std::string ClassOf(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

// JSON string literal; bytes above 127 are Windows-1252 and passed as \u00XX of the same value,
// so the reader can map them back to bytes.
std::string Json(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c >= 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

struct FindTop {
    const std::string* title;
    HWND found;
};

BOOL CALLBACK FindTopProc(HWND window, LPARAM param) {
    auto* find = reinterpret_cast<FindTop*>(param);
    if (IsWindowVisible(window) && TopLevelTitle(window) == *find->title) {
        find->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindTopWindow(const std::string& title) {
    FindTop find{&title, nullptr};
    EnumWindows(FindTopProc, reinterpret_cast<LPARAM>(&find));
    return find.found;
}

HWND WaitTopWindow(const std::string& title, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (HWND window = FindTopWindow(title)) {
            return window;
        }
        if (GetTickCount() - start > timeoutMs) {
            return nullptr;
        }
        Sleep(kPollMs);
    }
}

BOOL CALLBACK CollectProc(HWND window, LPARAM param) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

std::vector<HWND> Descendants(HWND top) {
    std::vector<HWND> all;
    EnumChildWindows(top, CollectProc, reinterpret_cast<LPARAM>(&all));
    return all;
}

std::string StripAmpersands(const std::string& caption) {
    std::string out;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size()) {
            ++i;
        }
        out += caption[i];
    }
    return out;
}

bool IsCheckable(HWND window) {
    if (ClassOf(window) != "Button") {
        return false;
    }
    const LONG type = GetWindowLongA(window, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON ||
           type == BS_AUTORADIOBUTTON || type == BS_3STATE || type == BS_AUTO3STATE;
}

std::string Describe(HWND top, HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(HWND_DESKTOP, top, reinterpret_cast<POINT*>(&rect), 2);
    const std::string cls = ClassOf(control);
    std::string json = "{\"class\":" + Json(cls) + ",\"text\":" + Json(WindowText(control));
    json += ",\"id\":" + std::to_string(GetDlgCtrlID(control));
    json += ",\"x\":" + std::to_string(rect.left) + ",\"y\":" + std::to_string(rect.top);
    json += ",\"w\":" + std::to_string(rect.right - rect.left);
    json += ",\"h\":" + std::to_string(rect.bottom - rect.top);
    json += ",\"visible\":" + std::string(IsWindowVisible(control) ? "true" : "false");
    json += ",\"enabled\":" + std::string(IsWindowEnabled(control) ? "true" : "false");
    const LONG style = GetWindowLongA(control, GWL_STYLE);
    json += ",\"style\":" + std::to_string(static_cast<unsigned long>(style));
    if (IsCheckable(control)) {
        DWORD_PTR state = 0;
        Ask(control, BM_GETCHECK, 0, 0, state);
        json += ",\"checked\":" + std::string(state == BST_CHECKED ? "true" : "false");
    }
    if (cls == PROGRESS_CLASSA) {
        DWORD_PTR position = 0;
        DWORD_PTR max = 0;
        Ask(control, PBM_GETPOS, 0, 0, position);
        Ask(control, PBM_GETRANGE, FALSE, 0, max);
        json += ",\"position\":" + std::to_string(position) + ",\"max\":" + std::to_string(max);
    }
    HWND parent = GetParent(control);
    json += ",\"parent\":" + Json(parent == top ? std::string() : ClassOf(parent) + ":" +
                                                                      WindowText(parent));
    return json + "}";
}

HWND FindByCaption(HWND top, const std::string& caption) {
    for (HWND control : Descendants(top)) {
        if (!IsWindowVisible(control) || ClassOf(control) != "Button") {
            continue;
        }
        const std::string text = WindowText(control);
        if (text == caption || StripAmpersands(text) == caption) {
            return control;
        }
    }
    return nullptr;
}

void PressKey(WORD key, bool down) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof input);
}

void Chord(const std::vector<WORD>& modifiers, WORD key) {
    for (WORD m : modifiers) {
        PressKey(m, true);
    }
    PressKey(key, true);
    PressKey(key, false);
    for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it) {
        PressKey(*it, false);
    }
}

bool SendKeySpec(const std::string& spec) {
    if (spec == "Tab") {
        Chord({}, VK_TAB);
    } else if (spec == "Shift+Tab") {
        Chord({VK_SHIFT}, VK_TAB);
    } else if (spec == "Enter") {
        Chord({}, VK_RETURN);
    } else if (spec == "Escape") {
        Chord({}, VK_ESCAPE);
    } else if (spec == "Space") {
        Chord({}, VK_SPACE);
    } else if (spec.size() == 5 && spec.compare(0, 4, "Alt+") == 0) {
        const char letter = spec[4];
        const WORD key = (letter >= 'a' && letter <= 'z') ? static_cast<WORD>(letter - 'a' + 'A')
                                                           : static_cast<WORD>(letter);
        Chord({VK_MENU}, key);
    } else {
        return false;
    }
    return true;
}

int Usage() {
    std::fputs("usage: nvdriver wait|gone|window|controls|click|settext|keys|focus|close TITLE ...\n",
                stderr);
    return 2;
}

int Fail(const char* what, const std::string& detail) {
    std::fprintf(stderr, "nvdriver: %s: %s\n", what, detail.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        return Usage();
    }
    const std::string command = argv[1];
    const std::string title = argv[2];
    const DWORD waitMs = (argc > 3 && (command == "wait" || command == "gone"))
                             ? static_cast<DWORD>(std::strtoul(argv[3], nullptr, 10))
                             : kDefaultWaitMs;

    if (command == "gone") {
        const DWORD start = GetTickCount();
        while (FindTopWindow(title) != nullptr) {
            if (GetTickCount() - start > waitMs) {
                return Fail("still there", title);
            }
            Sleep(kPollMs);
        }
        return 0;
    }

    HWND top = WaitTopWindow(title, waitMs);
    if (top == nullptr) {
        return Fail("no window", title);
    }
    if (command == "wait") {
        return 0;
    }
    if (command == "window") {
        RECT frame;
        RECT client;
        GetWindowRect(top, &frame);
        GetClientRect(top, &client);
        const LONG style = GetWindowLongA(top, GWL_STYLE);
        std::printf(
            "{\"left\":%ld,\"top\":%ld,\"width\":%ld,\"height\":%ld,\"client_width\":%ld,"
            "\"client_height\":%ld,\"screen_width\":%d,\"screen_height\":%d,\"style\":%lu,"
            "\"ex_style\":%lu}\n",
            frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top,
            client.right, client.bottom, GetSystemMetrics(SM_CXSCREEN),
            GetSystemMetrics(SM_CYSCREEN), static_cast<unsigned long>(style),
            static_cast<unsigned long>(GetWindowLongA(top, GWL_EXSTYLE)));
        return 0;
    }
    if (command == "controls") {
        for (HWND control : Descendants(top)) {
            std::printf("%s\n", Describe(top, control).c_str());
        }
        return 0;
    }
    if (command == "click" && argc == 4) {
        HWND control = FindByCaption(top, argv[3]);
        if (control == nullptr) {
            return Fail("no visible button", argv[3]);
        }
        if (!IsWindowEnabled(control)) {
            return Fail("disabled", argv[3]);
        }
        PostMessageA(control, BM_CLICK, 0, 0);
        return 0;
    }
    if (command == "settext" && argc == 5) {
        int wanted = std::atoi(argv[3]);
        for (HWND control : Descendants(top)) {
            if (ClassOf(control) == "Edit" && wanted-- == 0) {
                DWORD_PTR ignored = 0;
                Ask(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[4]), ignored);
                return 0;
            }
        }
        return Fail("no edit field", argv[3]);
    }
    if (command == "keys") {
        SetForegroundWindow(top);
        for (int i = 3; i < argc; ++i) {
            if (!SendKeySpec(argv[i])) {
                return Fail("unknown key", argv[i]);
            }
            Sleep(kPollMs);
        }
        return 0;
    }
    if (command == "focus") {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        if (!GetGUIThreadInfo(GetWindowThreadProcessId(top, nullptr), &info) ||
            info.hwndFocus == nullptr) {
            return Fail("no focus", title);
        }
        std::printf("%s\n", Describe(top, info.hwndFocus).c_str());
        return 0;
    }
    if (command == "close") {
        PostMessageA(top, WM_CLOSE, 0, 0);
        return 0;
    }
    return Usage();
}
