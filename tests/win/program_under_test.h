// Starts one of the programs as a user would and finds its main window, for
// tests that look at the program from outside, as another process.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

inline bool waitFor(const std::function<bool()>& condition, int timeoutMs = 10000) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        Sleep(10);
    }
    return true;
}

// A path handed over from the Linux side names a file on Wine's Z: drive.
inline std::wstring windowsPath(const char* path) {
    std::wstring converted;
    if (path[0] == '/') converted = L"Z:";
    for (const char* at = path; *at; ++at) converted += *at == '/' ? L'\\' : static_cast<wchar_t>(*at);
    return converted;
}

inline std::wstring environmentPath(const char* name) {
    const char* value = std::getenv(name);
    return value ? windowsPath(value) : std::wstring();
}

struct TopLevelSearch {
    DWORD processId;
    const wchar_t* className;
    std::vector<HWND> found;
};

inline BOOL CALLBACK collectTopLevel(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<TopLevelSearch*>(parameter);
    wchar_t name[128] = {};
    GetClassNameW(window, name, 128);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if ((!search->processId || owner == search->processId) && _wcsicmp(name, search->className) == 0)
        search->found.push_back(window);
    return TRUE;
}

// Top-level windows of a class, of one process or (processId 0) of any.
inline std::vector<HWND> topLevelWindows(const wchar_t* className, DWORD processId = 0) {
    TopLevelSearch search{processId, className, {}};
    EnumWindows(collectTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

inline std::wstring textOf(HWND window) {
    wchar_t text[512] = {};
    SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, nullptr);
    return text;
}

class ProgramUnderTest {
public:
    explicit ProgramUnderTest(const std::wstring& program) {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        std::wstring commandLine = L"\"" + program + L"\"";
        if (CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                           &startup, &process_)) {
            waitFor([&] { return (mainWindow_ = findMainWindow()) && IsWindowVisible(mainWindow_); }, 30000);
        }
    }
    ~ProgramUnderTest() {
        if (!process_.hProcess) return;
        if (isRunning()) {
            TerminateProcess(process_.hProcess, 99);
            WaitForSingleObject(process_.hProcess, 5000);
        }
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    ProgramUnderTest(const ProgramUnderTest&) = delete;
    ProgramUnderTest& operator=(const ProgramUnderTest&) = delete;

    HWND mainWindow() const { return mainWindow_; }
    DWORD processId() const { return process_.dwProcessId; }
    bool isRunning() const { return WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT; }
    bool waitForExit(DWORD* exitCode, int timeoutMs = 10000) const {
        if (WaitForSingleObject(process_.hProcess, static_cast<DWORD>(timeoutMs)) != WAIT_OBJECT_0) return false;
        return GetExitCodeProcess(process_.hProcess, exitCode);
    }
    HWND control(int identifier) const { return GetDlgItem(mainWindow_, identifier); }

private:
    HWND findMainWindow() const {
        const auto windows = topLevelWindows(L"HotkeyRelayMainWindow", process_.dwProcessId);
        return windows.empty() ? nullptr : windows.front();
    }
    PROCESS_INFORMATION process_{};
    HWND mainWindow_ = nullptr;
};
