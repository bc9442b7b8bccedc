// fake_shutdown: a stand-in for the system's shutdown.exe in the test Wine
// prefix. It shuts nothing down: it appends one JSON line saying how it was
// started to the file that the environment variable SHUTDOWN_LOG names, and
// exits with code 0.
//
//   {"module":"C:\\windows\\system32\\shutdown.exe","commandLine":"shutdown -s -t 0",
//    "currentDirectory":"Z:\\tmp\\x\\","pid":123,"t":1700000000000.123}
//
// module is the file that was really run (GetModuleFileNameW), commandLine the
// line exactly as the starting program passed it (GetCommandLineW), t the
// wall-clock time of the start in milliseconds since 1970. A
// SHUTDOWN_LOG that starts with "/" is a Unix path and is reached through
// Wine's Z: drive. Without SHUTDOWN_LOG the run is not recorded.
#include <windows.h>

#include <cstdio>
#include <string>

#include "../tool_support/json_line.h"
#include "../tool_support/wall_clock.h"

namespace {

std::wstring environmentVariable(const wchar_t* name) {
    const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0) return {};
    std::wstring value(size, L'\0');
    value.resize(GetEnvironmentVariableW(name, value.data(), size));
    return value;
}

std::wstring windowsPathOf(std::wstring path) {
    if (path.empty() || path[0] != L'/') return path;
    for (wchar_t& c : path)
        if (c == L'/') c = L'\\';
    return L"Z:" + path;
}

std::wstring moduleFileName() {
    std::wstring name(32768, L'\0');
    name.resize(GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size())));
    return name;
}

std::wstring currentDirectory() {
    std::wstring directory(32768, L'\0');
    directory.resize(GetCurrentDirectoryW(static_cast<DWORD>(directory.size()), directory.data()));
    return directory;
}

}  // namespace

int main() {
    const double startedAt = wallClockMs();
    const std::wstring logPath = windowsPathOf(environmentVariable(L"SHUTDOWN_LOG"));
    if (logPath.empty()) return 0;

    char milliseconds[32];
    std::snprintf(milliseconds, sizeof milliseconds, "%.3f", startedAt);
    const std::string line = "{\"module\":" + tool::jsonString(moduleFileName()) +
                             ",\"commandLine\":" + tool::jsonString(GetCommandLineW()) +
                             ",\"currentDirectory\":" + tool::jsonString(currentDirectory()) +
                             ",\"pid\":" + std::to_string(GetCurrentProcessId()) + ",\"t\":" + milliseconds + "}\n";
    HANDLE log = CreateFileW(logPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE) return 0;
    DWORD written = 0;
    WriteFile(log, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(log);
    return 0;
}
