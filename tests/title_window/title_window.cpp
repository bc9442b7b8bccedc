// title_window: a visible top-level window with a given title, standing in for
// the music player's window whose title is the current song.
//
//   title_window.exe TITLE [--at X,Y] [--count N] [--retitle-on-key LETTER DELAY_MS NEW_TITLE]
//
// TITLE is taken from the wide command line, so "<", "&" and characters
// outside GBK (U+266B, emoji) arrive as typed. Once the window is shown the
// program prints one line on stdout and then stays until it is killed or one
// of its windows is closed:
//
//   {"ready":true,"hwnd":<decimal>,"pid":<windows pid>}
//
// --count N shows N windows instead, titled "TITLE 1" to "TITLE N" and made in
// that order, so "TITLE 1" lies lowest; hwnd is that of "TITLE 1".
//
// --retitle-on-key: when the key LETTER is released (as the last key of a
// Ctrl+Alt+LETTER chord is), the title becomes NEW_TITLE DELAY_MS later. A
// program that reads the title right after the chord sees the old one; one
// that reads it after a longer pause sees the new one.
//
// Posting the message 0x8001 (WM_APP + 1) to the window makes its thread stop
// answering for good: a window that hangs, for readers of its title.
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>

namespace {

constexpr UINT HangMessage = WM_APP + 1;
constexpr UINT_PTR RetitleTimer = 1;

HWND mainWindow = nullptr;
UINT retitleKey = 0;  // virtual-key code of LETTER, 0 for none
UINT retitleDelayMs = 0;
std::wstring newTitle;

LRESULT CALLBACK keyboardHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && retitleKey) {
        const auto* event = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        if ((event->flags & LLKHF_UP) && event->vkCode == retitleKey)
            SetTimer(mainWindow, RetitleTimer, retitleDelayMs, nullptr);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case HangMessage:
            for (;;) Sleep(INFINITE);
        case WM_TIMER:
            if (wParam == RetitleTimer) {
                KillTimer(window, RetitleTimer);
                SetWindowTextW(window, newTitle.c_str());
                return 0;
            }
            break;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int usage() {
    std::fputs("usage: title_window TITLE [--at X,Y] [--count N] [--retitle-on-key LETTER DELAY_MS NEW_TITLE]\n", stderr);
    return 1;
}

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 2) return usage();
    const std::wstring title = argv[1];
    int x = 20, y = 20;
    int count = 0;  // 0: one window titled TITLE
    for (int i = 2; i < argc; ++i) {
        if (std::wcscmp(argv[i], L"--at") == 0 && i + 1 < argc) {
            if (std::swscanf(argv[++i], L"%d,%d", &x, &y) != 2) return usage();
        } else if (std::wcscmp(argv[i], L"--count") == 0 && i + 1 < argc) {
            count = static_cast<int>(std::wcstol(argv[++i], nullptr, 10));
            if (count < 1) return usage();
        } else if (std::wcscmp(argv[i], L"--retitle-on-key") == 0 && i + 3 < argc) {
            const wchar_t letter = argv[i + 1][0];
            if (!((letter >= L'A' && letter <= L'Z') || (letter >= L'0' && letter <= L'9'))) return usage();
            retitleKey = letter;
            retitleDelayMs = static_cast<UINT>(std::wcstoul(argv[i + 2], nullptr, 10));
            newTitle = argv[i + 3];
            i += 3;
        } else {
            return usage();
        }
    }

    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = L"TitleWindowForTests";
    if (!RegisterClassW(&windowClass)) return 2;
    // Small and near the top-left corner, away from the centred relay window.
    for (int n = 1; n <= std::max(count, 1); ++n) {
        const std::wstring text = count ? title + L" " + std::to_wstring(n) : title;
        HWND window = CreateWindowExW(0, windowClass.lpszClassName, text.c_str(), WS_OVERLAPPEDWINDOW, x, y, 320, 90,
                                      nullptr, nullptr, instance, nullptr);
        if (!window) return 2;
        if (!mainWindow) mainWindow = window;
        ShowWindow(window, SW_SHOWNOACTIVATE);
        UpdateWindow(window);
    }

    HHOOK hook = nullptr;
    if (retitleKey) {
        hook = SetWindowsHookExW(WH_KEYBOARD_LL, keyboardHook, instance, 0);
        if (!hook) return 2;
    }

    std::printf("{\"ready\":true,\"hwnd\":%lld,\"pid\":%lu}\n",
                static_cast<long long>(reinterpret_cast<INT_PTR>(mainWindow)), GetCurrentProcessId());
    std::fflush(stdout);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (hook) UnhookWindowsHookEx(hook);
    return 0;
}
