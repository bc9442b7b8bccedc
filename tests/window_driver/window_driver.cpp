// window_driver: acts on the relay's main window the way a user at the PC
// does, for the end-to-end tests. Every command prints one JSON line on stdout
// and exits with 0, or prints {"error":...} and exits with 1.
//
//   window_driver find                    {"hwnd":N,"pid":P,"visible":true}
//   window_driver click ID                the button ID clicked (BM_CLICK)
//   window_driver get-text ID             {"id":ID,"text":"..."}
//   window_driver set-text ID TEXT        sets the text, answers with the text read back
//   window_driver state ID                {"id":ID,"visible":..,"enabled":..,"rect":[l,t,r,b]}
//   window_driver items                   the picker's items: {"visible":..,"items":[{"text":..,"value":N}]}
//   window_driver pick TITLE [--via mouse|notify]
//       clicks 按钮4 (the picker's fill button), finds the item whose text is
//       TITLE in 列表框1 and double-clicks it: with "mouse" (the default) as
//       real mouse input at the item's rectangle, with "notify" by selecting
//       it and sending the list box's double-click notification. Waits until
//       the list hides and answers {"picked":true,"index":i,"selection":i,
//       "value":N,"handleText":"<text of 编辑框2>","listVisible":false,
//       "via":...,"items":[...]} (selection: the list's own, after the clicks).
//   window_driver title HWND              {"hwnd":N,"title":"..."} of any window
//   window_driver set-title HWND TEXT     sets the title of any window (a test window)
//   window_driver hang HWND               posts WM_APP + 1: a test window stops answering
//   window_driver close HWND              posts WM_CLOSE: a test window ends by itself
//
// ID is a control's index in the window's control table; its child-window
// identifier is 1000 + ID. Texts come from the wide command line.
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include "../tool_support/json_line.h"

namespace {

constexpr wchar_t MainWindowClass[] = L"HotkeyRelayMainWindow";
constexpr int FirstControlIdentifier = 1000;
constexpr int FillButton = 4;   // 按钮4
constexpr int HandleBox = 22;   // 编辑框2
constexpr int PickerList = 23;  // 列表框1
constexpr UINT SendTimeoutMs = 30'000;
constexpr DWORD WaitMs = 10'000;

int fail(const std::string& what) {
    std::printf("{\"error\":%s,\"code\":%lu}\n", tool::jsonString(tool::wide(what)).c_str(), GetLastError());
    std::fflush(stdout);
    return 1;
}

void print(const std::string& line) {
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

// SendMessage that gives up rather than hang the test when the window does not answer.
bool send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result = nullptr) {
    DWORD_PTR value = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, SendTimeoutMs, &value)) return false;
    if (result) *result = static_cast<LRESULT>(value);
    return true;
}

HWND mainWindow() { return FindWindowW(MainWindowClass, nullptr); }

HWND control(HWND main, int id) { return GetDlgItem(main, FirstControlIdentifier + id); }

std::wstring windowText(HWND window) {
    LRESULT length = 0;
    if (!send(window, WM_GETTEXTLENGTH, 0, 0, &length)) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    LRESULT copied = 0;
    send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), &copied);
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

struct Item {
    std::wstring text;
    long long value;
};

std::vector<Item> listItems(HWND list) {
    std::vector<Item> items;
    LRESULT count = 0;
    if (!send(list, LB_GETCOUNT, 0, 0, &count) || count < 0) return items;
    for (LRESULT i = 0; i < count; ++i) {
        LRESULT length = 0;
        send(list, LB_GETTEXTLEN, i, 0, &length);
        std::wstring text(length > 0 ? static_cast<std::size_t>(length) + 1 : 1, L'\0');
        LRESULT copied = 0;
        send(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()), &copied);
        text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
        LRESULT value = 0;
        send(list, LB_GETITEMDATA, i, 0, &value);
        items.push_back({text, static_cast<long long>(value)});
    }
    return items;
}

std::string itemsJson(const std::vector<Item>& items) {
    std::string out = "[";
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i) out += ",";
        out += "{\"text\":" + tool::jsonString(items[i].text) + ",\"value\":" + std::to_string(items[i].value) + "}";
    }
    return out + "]";
}

template <typename Check>
bool waitFor(Check check, DWORD timeoutMs = WaitMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (check()) return true;
        if (GetTickCount64() > deadline) return false;
        Sleep(20);
    }
}

bool parseInt(const wchar_t* text, long long& value) {
    wchar_t* end = nullptr;
    value = std::wcstoll(text, &end, 10);
    return end != text && *end == L'\0';
}

// Sleeps while handling this thread's messages, so that the window system
// never waits on this tool while it delivers the input the tool sent.
void pumpFor(DWORD ms) {
    const ULONGLONG deadline = GetTickCount64() + ms;
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now), QS_ALLINPUT);
    }
}

// One mouse event at a screen point. Each event carries the point itself
// (absolute, over the primary screen): under Wine neither SetCursorPos nor a
// move sent on its own from this tool moves the pointer as Wine sees it, and a
// bare click would land where the pointer was.
void mouseAt(POINT point, DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>((point.x * 65536LL + GetSystemMetrics(SM_CXSCREEN) - 1) / GetSystemMetrics(SM_CXSCREEN));
    input.mi.dy = static_cast<LONG>((point.y * 65536LL + GetSystemMetrics(SM_CYSCREEN) - 1) / GetSystemMetrics(SM_CYSCREEN));
    input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
}

// A real double-click: the pointer moves onto the middle of the item, then
// two clicks there, well inside the system's double-click time.
bool doubleClickAt(HWND main, HWND list, const RECT& item, POINT& point, std::string& why) {
    point = {(item.left + item.right) / 2, (item.top + item.bottom) / 2};
    MapWindowPoints(list, nullptr, &point, 1);
    SetForegroundWindow(main);
    BringWindowToTop(main);
    pumpFor(100);
    HWND under = WindowFromPoint(point);
    if (under != list) {
        why = "another window lies over the item at " + std::to_string(point.x) + "," + std::to_string(point.y);
        return false;
    }
    mouseAt(point, 0);
    pumpFor(50);
    for (int click = 0; click < 2; ++click) {
        mouseAt(point, MOUSEEVENTF_LEFTDOWN);
        pumpFor(20);
        mouseAt(point, MOUSEEVENTF_LEFTUP);
        pumpFor(20);
    }
    return true;
}

int pick(HWND main, const std::wstring& title, bool viaMouse) {
    HWND list = control(main, PickerList);
    HWND handleBox = control(main, HandleBox);
    HWND fillButton = control(main, FillButton);
    if (!list || !handleBox || !fillButton) return fail("the picker's controls are missing");
    const std::wstring before = windowText(handleBox);

    if (!send(fillButton, BM_CLICK, 0, 0)) return fail("the fill button did not answer BM_CLICK");
    if (!waitFor([&] { return IsWindowVisible(list) != FALSE; })) {
        return fail("the list did not show after the fill button; items: " + itemsJson(listItems(list)));
    }
    const std::vector<Item> items = listItems(list);
    int index = -1;
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i].text == title) {
            if (index >= 0) return fail("two items carry the title; items: " + itemsJson(items));
            index = static_cast<int>(i);
        }
    if (index < 0) return fail("no item carries the title; items: " + itemsJson(items));

    POINT point{};
    RECT item{};
    if (viaMouse) {
        send(list, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
        LRESULT ok = LB_ERR;
        if (!send(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item), &ok) ||
            ok == LB_ERR)
            return fail("LB_GETITEMRECT failed");
        std::string why;
        if (!doubleClickAt(main, list, item, point, why)) return fail(why);
    } else {
        send(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
        send(main, WM_COMMAND, MAKEWPARAM(FirstControlIdentifier + PickerList, LBN_DBLCLK),
             reinterpret_cast<LPARAM>(list));
    }

    LRESULT selection = LB_ERR;
    if (!waitFor([&] { return !IsWindowVisible(list); }))
        return fail("the list is still shown after the double-click; the handle box holds \"" +
                    tool::utf8(windowText(handleBox)) + "\" (was \"" + tool::utf8(before) + "\")");
    send(list, LB_GETCURSEL, 0, 0, &selection);
    print("{\"picked\":true,\"index\":" + std::to_string(index) + ",\"selection\":" + std::to_string(selection) +
          ",\"itemRect\":[" + std::to_string(item.left) + "," + std::to_string(item.top) + "," +
          std::to_string(item.right) + "," + std::to_string(item.bottom) + "],\"point\":[" + std::to_string(point.x) +
          "," + std::to_string(point.y) + "]" + ",\"value\":" + std::to_string(items[index].value) +
          ",\"handleText\":" + tool::jsonString(windowText(handleBox)) + ",\"listVisible\":" +
          (IsWindowVisible(list) ? "true" : "false") + ",\"via\":\"" + (viaMouse ? "mouse" : "notify") +
          "\",\"items\":" + itemsJson(items) + "}");
    return 0;
}

HWND windowArgument(const wchar_t* text) {
    long long value = 0;
    if (!parseInt(text, value)) return nullptr;
    return reinterpret_cast<HWND>(static_cast<INT_PTR>(value));
}

int usage() {
    return fail("usage: window_driver find | click ID | get-text ID | set-text ID TEXT | state ID | items | "
                "pick TITLE [--via mouse|notify] | title HWND | set-title HWND TEXT | hang HWND | close HWND");
}

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 2) return usage();
    const std::wstring command = argv[1];

    if (command == L"title" || command == L"set-title" || command == L"hang" || command == L"close") {
        if (argc < 3) return usage();
        HWND window = windowArgument(argv[2]);
        if (!window || !IsWindow(window)) return fail("no such window");
        if (command == L"hang" || command == L"close") {
            if (!PostMessageW(window, command == L"hang" ? WM_APP + 1 : WM_CLOSE, 0, 0)) return fail("PostMessage failed");
            print("{\"posted\":" + std::to_string(reinterpret_cast<INT_PTR>(window)) + "}");
            return 0;
        }
        if (command == L"title") {
            print("{\"hwnd\":" + std::to_string(reinterpret_cast<INT_PTR>(window)) +
                  ",\"title\":" + tool::jsonString(windowText(window)) + "}");
            return 0;
        }
        if (argc < 4) return usage();
        if (!send(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[3]))) return fail("WM_SETTEXT failed");
        print("{\"title\":" + tool::jsonString(windowText(window)) + "}");
        return 0;
    }

    HWND main = nullptr;
    waitFor([&] { return (main = mainWindow()) != nullptr; });
    if (!main) return fail("the relay's main window was not found");

    if (command == L"find") {
        DWORD pid = 0;
        GetWindowThreadProcessId(main, &pid);
        print("{\"hwnd\":" + std::to_string(reinterpret_cast<INT_PTR>(main)) + ",\"pid\":" + std::to_string(pid) +
              ",\"visible\":" + (IsWindowVisible(main) ? "true" : "false") + ",\"title\":" +
              tool::jsonString(windowText(main)) + "}");
        return 0;
    }
    if (command == L"items") {
        HWND list = control(main, PickerList);
        if (!list) return fail("the list box is missing");
        print(std::string("{\"visible\":") + (IsWindowVisible(list) ? "true" : "false") +
              ",\"items\":" + itemsJson(listItems(list)) + "}");
        return 0;
    }
    if (command == L"pick") {
        if (argc < 3) return usage();
        bool viaMouse = true;
        if (argc >= 5 && std::wcscmp(argv[3], L"--via") == 0) viaMouse = std::wcscmp(argv[4], L"notify") != 0;
        return pick(main, argv[2], viaMouse);
    }

    long long id = 0;
    if (argc < 3 || !parseInt(argv[2], id)) return usage();
    HWND child = control(main, static_cast<int>(id));
    if (!child) return fail("no control with index " + std::to_string(id));
    const std::string idJson = "{\"id\":" + std::to_string(id);

    if (command == L"click") {
        if (!send(child, BM_CLICK, 0, 0)) return fail("BM_CLICK was not answered");
        print(idJson + ",\"clicked\":true}");
        return 0;
    }
    if (command == L"get-text") {
        print(idJson + ",\"text\":" + tool::jsonString(windowText(child)) + "}");
        return 0;
    }
    if (command == L"set-text") {
        if (argc < 4) return usage();
        if (!send(child, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[3]))) return fail("WM_SETTEXT failed");
        print(idJson + ",\"text\":" + tool::jsonString(windowText(child)) + "}");
        return 0;
    }
    if (command == L"state") {
        RECT rect{};
        GetWindowRect(child, &rect);
        print(idJson + ",\"visible\":" + (IsWindowVisible(child) ? "true" : "false") + ",\"enabled\":" +
              (IsWindowEnabled(child) ? "true" : "false") + ",\"rect\":[" + std::to_string(rect.left) + "," +
              std::to_string(rect.top) + "," + std::to_string(rect.right) + "," + std::to_string(rect.bottom) + "]}");
        return 0;
    }
    return usage();
}
