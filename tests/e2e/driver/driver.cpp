// nvdriver.exe: drives a Windows program's windows the way a user does, for end-to-end tests.
//
//   nvdriver wait TITLE [MS]            wait until a visible top-level window TITLE exists
//   nvdriver gone TITLE [MS]            wait until no visible window TITLE exists
//   nvdriver window TITLE               the window's frame, client size and screen origin, style
//                                       and the screen
//   nvdriver controls TITLE             every child control, one JSON object per line
//   nvdriver click TITLE CAPTION        press the button, check box or radio item CAPTION
//   nvdriver settext TITLE N TEXT       put TEXT into the N-th edit field (0-based)
//   nvdriver keys TITLE KEY...          type keys: Tab, Shift+Tab, Enter, Escape, Space, Alt+X,
//                                       or text:CHARACTERS (Windows-1252) typed one by one
//   nvdriver focus TITLE                the control holding the keyboard focus (JSON)
//   nvdriver close TITLE                ask the window to close (as the title bar's close box)
//   nvdriver scroll TITLE LINES         scroll the visible rich-text box down by LINES lines
//   nvdriver regset KEY VALUE DATA      set a text value (REG_SZ), creating the key
//   nvdriver regquery KEY VALUE         a value's type and data (hex) as JSON; exit 1 if missing
//   nvdriver regdelete KEY              delete a key with everything below it (missing: fine)
//   nvdriver regexists KEY              exit 0 when the key exists, 1 when not
//                                       (KEY begins with HKLM\ or HKCU\)
//   nvdriver tamper FILE                try what another program might do to FILE: rename it and
//                                       open it for writing; the error codes as JSON (0: it
//                                       worked, and a rename is then undone)
//   nvdriver serve                      run commands read from standard input, one a line (below)
//   nvdriver textsize FACE HEIGHT WEIGHT TEXT...
//                                       line and character height of that font here, and the
//                                       width of each TEXT as a label draws it (JSON)
//
// An argument written "hex:" followed by hexadecimal digits stands for those bytes, so titles
// and texts in Windows-1252 arrive unchanged whatever the locale Wine converts arguments with.
//
// Exit code 0 on success, 1 on time-out or "not found", 2 on misuse.
//
// serve: each line of input holds one command's arguments separated by tabs (in the "hex:" form
// when they may hold tabs or line breaks); for each, the answer is a line "EXIT OUTLEN ERRLEN"
// followed by OUTLEN bytes of output and ERRLEN bytes of error text. Starting Wine once for many
// commands keeps a test fast. The loop ends at the end of the input.

#include <windows.h>

#include <commctrl.h>

#include <fcntl.h>
#include <io.h>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr DWORD kDefaultWaitMs = 20000;
constexpr DWORD kPollMs = 50;

// What the command being run prints and reports; written out when it ends.
std::string gOut;
std::string gErr;

void Print(const std::string& text) {
    gOut += text;
}

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

// Asks `done` every kPollMs until it holds or `timeoutMs` have passed; whether it held.
template <typename Condition>
bool PollUntil(Condition done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs) {
            return false;
        }
        Sleep(kPollMs);
    }
    return true;
}

HWND WaitTopWindow(const std::string& title, DWORD timeoutMs) {
    HWND window = nullptr;
    PollUntil([&] { return (window = FindTopWindow(title)) != nullptr; }, timeoutMs);
    return window;
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
    if (cls == "RichEdit20A") {
        DWORD_PTR first = 0;
        Ask(control, EM_GETFIRSTVISIBLELINE, 0, 0, first);
        json += ",\"first_line\":" + std::to_string(first);
    }
    if (cls == PROGRESS_CLASSA) {
        DWORD_PTR position = 0;
        DWORD_PTR max = 0;
        Ask(control, PBM_GETPOS, 0, 0, position);
        Ask(control, PBM_GETRANGE, FALSE, 0, max);
        json += ",\"position\":" + std::to_string(position) + ",\"max\":" + std::to_string(max);
    }
    HWND parent = GetParent(control);
    json += ",\"hwnd\":" + std::to_string(reinterpret_cast<std::uintptr_t>(control));
    json += ",\"parent_hwnd\":" +
            std::to_string(parent == top ? 0 : reinterpret_cast<std::uintptr_t>(parent));
    json += ",\"parent\":" +
            Json(parent == top ? std::string() : ClassOf(parent) + ":" + WindowText(parent));
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

// Types characters as the keyboard would deliver them (WM_CHAR), whatever the keyboard layout.
void TypeText(const std::string& text) {
    for (char c : text) {
        wchar_t unit = 0;
        if (MultiByteToWideChar(1252, 0, &c, 1, &unit, 1) != 1) {
            continue;
        }
        INPUT input[2]{};
        for (INPUT& event : input) {
            event.type = INPUT_KEYBOARD;
            event.ki.wScan = unit;
            event.ki.dwFlags = KEYEVENTF_UNICODE;
        }
        input[1].ki.dwFlags |= KEYEVENTF_KEYUP;
        SendInput(2, input, sizeof input[0]);
    }
}

bool SendKeys(const std::string& keys) {
    if (keys.compare(0, 5, "text:") == 0) {
        TypeText(keys.substr(5));
    } else if (keys == "Tab") {
        Chord({}, VK_TAB);
    } else if (keys == "Shift+Tab") {
        Chord({VK_SHIFT}, VK_TAB);
    } else if (keys == "Enter") {
        Chord({}, VK_RETURN);
    } else if (keys == "Escape") {
        Chord({}, VK_ESCAPE);
    } else if (keys == "Space") {
        Chord({}, VK_SPACE);
    } else if (keys.size() == 5 && keys.compare(0, 4, "Alt+") == 0) {
        const char letter = keys[4];
        const WORD key = (letter >= 'a' && letter <= 'z') ? static_cast<WORD>(letter - 'a' + 'A')
                                                          : static_cast<WORD>(letter);
        Chord({VK_MENU}, key);
    } else {
        return false;
    }
    return true;
}

// "hex:4265..." stands for the bytes it spells; anything else is taken as it is.
std::string DecodeArgument(const char* argument) {
    const std::string text = argument;
    if (text.compare(0, 4, "hex:") != 0 || text.size() % 2 != 0) {
        return text;
    }
    std::string bytes;
    for (std::size_t i = 4; i + 1 < text.size(); i += 2) {
        char digits[3] = {text[i], text[i + 1], '\0'};
        char* end = nullptr;
        const unsigned long value = std::strtoul(digits, &end, 16);
        if (end != digits + 2) {
            return text;
        }
        bytes += static_cast<char>(value);
    }
    return bytes;
}

// The width from a text's origin to the right edge of the last pixel it inks when drawn with
// the font selected into `dc` (outline fonts may ink beyond their advance widths).
int InkedWidth(HDC dc, const std::string& text, int width, int height) {
    width += height + 8;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(dc);
    int inked = 0;
    if (bitmap != nullptr && bits != nullptr && memory != nullptr) {
        auto* pixels = static_cast<std::uint32_t*>(bits);
        std::fill(pixels, pixels + static_cast<std::size_t>(width) * height, 0xFFFFFFU);
        HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
        HGDIOBJ oldFont = SelectObject(memory, GetCurrentObject(dc, OBJ_FONT));
        SetBkMode(memory, TRANSPARENT);
        RECT area{0, 0, width, height};
        DrawTextA(memory, text.c_str(), static_cast<int>(text.size()), &area,
                  DT_EXPANDTABS | DT_LEFT | DT_NOCLIP);
        GdiFlush();
        for (int y = 0; y < height; ++y) {
            for (int x = width - 1; x >= inked; --x) {
                if ((pixels[static_cast<std::size_t>(y) * width + x] & 0xFFFFFFU) != 0xFFFFFFU) {
                    inked = x + 1;
                    break;
                }
            }
        }
        SelectObject(memory, oldFont);
        SelectObject(memory, oldBitmap);
    }
    if (memory != nullptr) {
        DeleteDC(memory);
    }
    if (bitmap != nullptr) {
        DeleteObject(bitmap);
    }
    return inked;
}

// Measures texts in a font made the way a form makes its fonts, on the screen's device context:
// "widths" by the text metrics, "inked" to the last pixel the drawn text inks.
int TextSize(const std::vector<std::string>& args) {
    // args: program, "textsize", face, height, weight, texts...
    if (args.size() < 5) {
        return 2;
    }
    const int height = std::atoi(args[3].c_str());
    const int weight = std::atoi(args[4].c_str());
    HFONT font = CreateFontA(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_DONTCARE, args[2].c_str());
    HDC dc = GetDC(nullptr);
    if (font == nullptr || dc == nullptr) {
        return 1;
    }
    HGDIOBJ previous = SelectObject(dc, font);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    char face[LF_FACESIZE] = {};
    GetTextFaceA(dc, sizeof face, face);
    std::string json =
        "{\"face\":" + Json(face) + ",\"line_height\":" + std::to_string(metrics.tmHeight) +
        ",\"char_height\":" + std::to_string(metrics.tmHeight - metrics.tmInternalLeading) +
        ",\"weight\":" + std::to_string(metrics.tmWeight);
    std::string widths;
    std::string inked;
    for (std::size_t i = 5; i < args.size(); ++i) {
        RECT rect{0, 0, 0, 0};
        DrawTextA(dc, args[i].c_str(), static_cast<int>(args[i].size()), &rect,
                  DT_CALCRECT | DT_EXPANDTABS | DT_LEFT);
        widths += (i > 5 ? "," : "") + std::to_string(rect.right - rect.left);
        inked += (i > 5 ? "," : "") + std::to_string(InkedWidth(dc, args[i], rect.right - rect.left,
                                                                rect.bottom - rect.top));
    }
    Print(json + ",\"widths\":[" + widths + "],\"inked\":[" + inked + "]}\n");
    SelectObject(dc, previous);
    ReleaseDC(nullptr, dc);
    DeleteObject(font);
    return 0;
}

int Usage() {
    gErr +=
        "usage: nvdriver wait|gone|window|controls|click|settext|keys|focus|close|scroll TITLE "
        "...\n"
        "       nvdriver textsize FACE HEIGHT WEIGHT TEXT...\n"
        "       nvdriver regset|regquery|regdelete|regexists KEY [VALUE [DATA]]\n"
        "       nvdriver tamper FILE\n"
        "       nvdriver serve\n";
    return 2;
}

int Fail(const char* what, const std::string& detail) {
    gErr += std::string("nvdriver: ") + what + ": " + detail + "\n";
    return 1;
}

// "HKLM\\Software\\..." split into its root key and the path below it; false for other roots.
bool SplitKey(const std::string& key, HKEY& root, std::string& path) {
    const std::size_t slash = key.find('\\');
    const std::string head = key.substr(0, slash);
    path = slash == std::string::npos ? std::string() : key.substr(slash + 1);
    if (head == "HKLM" || head == "HKEY_LOCAL_MACHINE") {
        root = HKEY_LOCAL_MACHINE;
    } else if (head == "HKCU" || head == "HKEY_CURRENT_USER") {
        root = HKEY_CURRENT_USER;
    } else {
        return false;
    }
    return true;
}

int Registry(const std::vector<std::string>& args) {
    const std::string& command = args[1];
    HKEY root = nullptr;
    std::string path;
    if (!SplitKey(args[2], root, path)) {
        return Fail("unknown registry root", args[2]);
    }
    if (command == "regdelete" && args.size() == 3) {
        // Deletes the key itself as well, since a sub-key path is given.
        const LSTATUS status = RegDeleteTreeA(root, path.c_str());
        return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND
                   ? 0
                   : Fail("cannot delete", args[2]);
    }
    HKEY key = nullptr;
    if (command == "regexists" && args.size() == 3) {
        if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
            return 1;
        }
        RegCloseKey(key);
        return 0;
    }
    if (command == "regset" && args.size() == 5) {
        if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
            ERROR_SUCCESS) {
            return Fail("cannot create", args[2]);
        }
        const LSTATUS status = RegSetValueExA(key, args[3].c_str(), 0, REG_SZ,
                                              reinterpret_cast<const BYTE*>(args[4].c_str()),
                                              static_cast<DWORD>(args[4].size() + 1));
        RegCloseKey(key);
        return status == ERROR_SUCCESS ? 0 : Fail("cannot set", args[3]);
    }
    if (command == "regquery" && args.size() == 4) {
        if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
            return Fail("no key", args[2]);
        }
        DWORD type = 0;
        DWORD size = 0;
        LSTATUS status = RegQueryValueExA(key, args[3].c_str(), nullptr, &type, nullptr, &size);
        std::string data(size, '\0');
        if (status == ERROR_SUCCESS && size > 0) {
            status = RegQueryValueExA(key, args[3].c_str(), nullptr, &type,
                                      reinterpret_cast<BYTE*>(data.data()), &size);
            data.resize(size);
        }
        RegCloseKey(key);
        if (status != ERROR_SUCCESS) {
            return Fail("no value", args[3]);
        }
        std::string hex;
        for (unsigned char c : data) {
            char digits[3];
            std::snprintf(digits, sizeof digits, "%02x", c);
            hex += digits;
        }
        Print("{\"type\":" + std::to_string(type) + ",\"data\":\"" + hex + "\"}\n");
        return 0;
    }
    return Usage();
}

// Tries to rename `file` and to open it for writing, as any program of the same account could;
// reports each attempt's error code (0 when it was allowed).
int Tamper(const std::string& file) {
    const std::string aside = file + ".tampered";
    DWORD renameError = ERROR_SUCCESS;
    if (MoveFileA(file.c_str(), aside.c_str())) {
        MoveFileA(aside.c_str(), file.c_str());
    } else {
        renameError = GetLastError();
    }
    DWORD writeError = ERROR_SUCCESS;
    HANDLE writer = CreateFileA(file.c_str(), GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (writer == INVALID_HANDLE_VALUE) {
        writeError = GetLastError();
    } else {
        CloseHandle(writer);
    }
    Print("{\"rename\":" + std::to_string(renameError) +
          ",\"write\":" + std::to_string(writeError) + "}\n");
    return 0;
}

// Runs one command; args[0] is the program's name.
int Execute(const std::vector<std::string>& args) {
    if (args.size() < 3) {
        return Usage();
    }
    const int argc = static_cast<int>(args.size());
    const std::string command = args[1];
    const std::string title = args[2];
    if (command.compare(0, 3, "reg") == 0) {
        return Registry(args);
    }
    if (command == "tamper" && argc == 3) {
        return Tamper(title);
    }
    if (command == "textsize") {
        const int code = TextSize(args);
        return code == 2 ? Usage() : code;
    }
    const DWORD waitMs = (argc > 3 && (command == "wait" || command == "gone"))
                             ? static_cast<DWORD>(std::strtoul(args[3].c_str(), nullptr, 10))
                             : kDefaultWaitMs;

    if (command == "gone") {
        const bool gone = PollUntil([&] { return FindTopWindow(title) == nullptr; }, waitMs);
        return gone ? 0 : Fail("still there", title);
    }

    HWND top = WaitTopWindow(title, waitMs);
    if (top == nullptr) {
        return Fail("no window", title);
    }
    // A window found is asked once before anything in it is looked at: a wizard makes the
    // windows of its hidden pages right after its first paint, before it handles any message.
    // Keys come as a user's do, without asking first.
    if (command != "keys") {
        DWORD_PTR answer = 0;
        (void)Ask(top, WM_NULL, 0, 0, answer);
    }
    if (command == "wait") {
        return 0;
    }
    if (command == "window") {
        RECT frame;
        RECT client;
        GetWindowRect(top, &frame);
        GetClientRect(top, &client);
        POINT origin{0, 0};
        ClientToScreen(top, &origin);
        const LONG style = GetWindowLongA(top, GWL_STYLE);
        char json[512];
        std::snprintf(
            json, sizeof json,
            "{\"left\":%ld,\"top\":%ld,\"width\":%ld,\"height\":%ld,\"client_width\":%ld,"
            "\"client_height\":%ld,\"screen_width\":%d,\"screen_height\":%d,\"style\":%lu,"
            "\"ex_style\":%lu,\"client_left\":%ld,\"client_top\":%ld}\n",
            frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top, client.right,
            client.bottom, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
            static_cast<unsigned long>(style),
            static_cast<unsigned long>(GetWindowLongA(top, GWL_EXSTYLE)), origin.x, origin.y);
        Print(json);
        return 0;
    }
    if (command == "controls") {
        for (HWND control : Descendants(top)) {
            Print(Describe(top, control) + "\n");
        }
        return 0;
    }
    if (command == "click" && argc == 4) {
        HWND control = FindByCaption(top, args[3]);
        if (control == nullptr) {
            return Fail("no visible button", args[3]);
        }
        if (!IsWindowEnabled(control)) {
            return Fail("disabled", args[3]);
        }
        PostMessageA(control, BM_CLICK, 0, 0);
        return 0;
    }
    if (command == "settext" && argc == 5) {
        int wanted = std::atoi(args[3].c_str());
        for (HWND control : Descendants(top)) {
            if (ClassOf(control) == "Edit" && wanted-- == 0) {
                DWORD_PTR ignored = 0;
                Ask(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(args[4].c_str()), ignored);
                return 0;
            }
        }
        return Fail("no edit field", args[3]);
    }
    if (command == "keys") {
        // Keys go to the active window: typed before the window has become it, they would be
        // lost. Waiting for that asks nothing of the window itself.
        SetForegroundWindow(top);
        (void)PollUntil([top] { return GetForegroundWindow() == top; }, waitMs);
        for (int i = 3; i < argc; ++i) {
            if (!SendKeys(args[static_cast<std::size_t>(i)])) {
                return Fail("unknown key", args[static_cast<std::size_t>(i)]);
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
        Print(Describe(top, info.hwndFocus) + "\n");
        return 0;
    }
    if (command == "close") {
        PostMessageA(top, WM_CLOSE, 0, 0);
        return 0;
    }
    if (command == "scroll" && argc == 4) {
        for (HWND control : Descendants(top)) {
            if (ClassOf(control) == "RichEdit20A" && IsWindowVisible(control)) {
                DWORD_PTR ignored = 0;
                Ask(control, EM_LINESCROLL, 0, std::atoi(args[3].c_str()), ignored);
                return 0;
            }
        }
        return Fail("no visible rich-text box", title);
    }
    return Usage();
}

void WriteAll(const std::string& bytes) {
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

// Answers commands from standard input until it ends.
int Serve(const std::string& program) {
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    std::string line;
    for (int c = std::fgetc(stdin); c != EOF; c = std::fgetc(stdin)) {
        if (c != '\n') {
            line += static_cast<char>(c);
            continue;
        }
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        std::vector<std::string> args{program};
        std::size_t start = 0;
        while (start <= line.size()) {
            const std::size_t tab = std::min(line.find('\t', start), line.size());
            args.push_back(DecodeArgument(line.substr(start, tab - start).c_str()));
            start = tab + 1;
        }
        line.clear();
        gOut.clear();
        gErr.clear();
        const int code = Execute(args);
        WriteAll(std::to_string(code) + " " + std::to_string(gOut.size()) + " " +
                 std::to_string(gErr.size()) + "\n" + gOut + gErr);
        std::fflush(stdout);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == "serve") {
        return Serve(argv[0]);
    }
    std::vector<std::string> args;
    for (int i = 0; i < argc; ++i) {
        args.push_back(DecodeArgument(argv[i]));
    }
    const int code = Execute(args);
    std::fputs(gOut.c_str(), stdout);
    std::fputs(gErr.c_str(), stderr);
    return code;
}
