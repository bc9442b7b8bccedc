#include "shutdown_command.h"

#include <windows.h>

#include <string>

void startShutdownCommand() {
    // The program is named by its full path in the system directory: a file
    // called shutdown.exe beside this program or in the current directory
    // must never run in its place.
    wchar_t systemDirectory[MAX_PATH];
    const UINT length = GetSystemDirectoryW(systemDirectory, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    const std::wstring program = std::wstring(systemDirectory, length) + L"\\shutdown.exe";
    std::wstring commandLine = L"shutdown -s -t 0";

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return;
    WaitForInputIdle(process.hProcess, 1000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}
