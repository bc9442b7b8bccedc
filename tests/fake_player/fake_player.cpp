// fake_player: stands in for the music player in end-to-end tests.
//
//   fake_player.exe LOG_FILE [--hold-ms N]
//
// Registers Ctrl+Alt+J/P/K/U/L/I as global hot keys, as the player does, and
// watches the keyboard through a low-level hook. Every observation becomes one
// line in LOG_FILE, written unbuffered with a single WriteFile, so it is there
// for the tests to read at once:
//
//   ready t=<ms> pid=<windows pid> hold=<ms>
//   key t=<ms> vk=0x11 scan=0x00 state=down injected=1 flags=0x10 msg=0x0100
//   hotkey t=<ms> id=1 key=J vk=0x4A mods=0x0003
//   error t=<ms> what=RegisterHotKey key=J code=1409
//
// t is wall-clock time in milliseconds since 1970, so the Linux side can set
// it against its own clock. "ready" comes only once every hot key and the hook
// are in place; any failure is logged as "error" and the program exits with 2.
//
// --hold-ms keeps each keyboard event in the hook for N ms before passing it
// on. The program that injects the keys waits for the hook, so a test can see
// whether anything it was meant to do first (answering the browser) happened
// before the chord or only after it. Keep N well below the system's low-level
// hook timeout (2 s under Wine): past it the injector stops waiting.
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cwchar>

#include "../tool_support/wall_clock.h"

namespace {

struct HotKey {
    int id;
    char letter;
};

// The player's keys, in the order of the relay's command table.
constexpr HotKey PlayerHotKeys[] = {{1, 'J'}, {2, 'P'}, {3, 'K'}, {4, 'U'}, {5, 'L'}, {6, 'I'}};
constexpr UINT PlayerModifiers = MOD_CONTROL | MOD_ALT;

HANDLE logFile = INVALID_HANDLE_VALUE;
DWORD holdMs = 0;

// One line: the kind word, the time, then the details.
void logLine(const char* kind, const char* format, ...) {
    char details[256];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(details, sizeof details, format, arguments);
    va_end(arguments);

    char line[320];
    const int length = std::snprintf(line, sizeof line, "%s t=%.3f %s\n", kind, wallClockMs(), details);
    DWORD written = 0;
    WriteFile(logFile, line, static_cast<DWORD>(std::min<int>(length, sizeof line - 1)), &written, nullptr);
}

LRESULT CALLBACK keyboardHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto* event = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        const bool up = (event->flags & LLKHF_UP) != 0;
        const bool injected = (event->flags & LLKHF_INJECTED) != 0;
        logLine("key", "vk=0x%02lX scan=0x%02lX state=%s injected=%d flags=0x%02lX msg=0x%04X",
                static_cast<unsigned long>(event->vkCode), static_cast<unsigned long>(event->scanCode),
                up ? "up" : "down", injected ? 1 : 0, static_cast<unsigned long>(event->flags),
                static_cast<unsigned>(wParam));
        if (holdMs) Sleep(holdMs);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_HOTKEY) {
        const int id = static_cast<int>(wParam);
        char letter = '?';
        for (const HotKey& key : PlayerHotKeys)
            if (key.id == id) letter = key.letter;
        logLine("hotkey", "id=%d key=%c vk=0x%02X mods=0x%04X", id, letter, HIWORD(lParam), LOWORD(lParam));
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Logs what failed, with the system's error code, and gives the exit code.
int fail(const char* what, char letter = 0) {
    const DWORD code = GetLastError();
    if (letter)
        logLine("error", "what=%s key=%c code=%lu", what, letter, code);
    else
        logLine("error", "what=%s code=%lu", what, code);
    return 2;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 2) {
        std::fputs("usage: fake_player LOG_FILE [--hold-ms N]\n", stderr);
        return 1;
    }
    for (int i = 2; i + 1 < argc; ++i)
        if (std::wcscmp(argv[i], L"--hold-ms") == 0) holdMs = static_cast<DWORD>(std::wcstoul(argv[i + 1], nullptr, 10));

    // Shared reading: the tests follow the log while it is written.
    logFile = CreateFileW(argv[1], FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                          CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (logFile == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "fake_player: cannot open the log file (error %lu)\n", GetLastError());
        return 1;
    }

    // A hidden top-level window receives WM_HOTKEY, just like the player's own.
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"FakePlayerWindow";
    if (!RegisterClassW(&windowClass)) return fail("RegisterClass");
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"fake_player", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                  nullptr, nullptr, instance, nullptr);
    if (!window) return fail("CreateWindow");

    for (const HotKey& key : PlayerHotKeys) {
        if (!RegisterHotKey(window, key.id, PlayerModifiers, static_cast<UINT>(key.letter)))
            return fail("RegisterHotKey", key.letter);
    }
    // A low-level hook runs on this thread's message loop, below.
    HHOOK hook = SetWindowsHookExW(WH_KEYBOARD_LL, keyboardHook, instance, 0);
    if (!hook) return fail("SetWindowsHookEx");

    logLine("ready", "pid=%lu hold=%lu", GetCurrentProcessId(), holdMs);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    UnhookWindowsHookEx(hook);
    for (const HotKey& key : PlayerHotKeys) UnregisterHotKey(window, key.id);
    CloseHandle(logFile);
    return 0;
}
