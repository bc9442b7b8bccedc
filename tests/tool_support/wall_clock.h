// Milliseconds since 1970, as Node's Date.now() counts them, so that the test
// tools' log lines can be compared with the harness's own times.
#pragma once

#include <windows.h>

inline double wallClockMs() {
    FILETIME now;
    GetSystemTimePreciseAsFileTime(&now);
    const ULONGLONG ticks = (static_cast<ULONGLONG>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    constexpr ULONGLONG UnixEpochTicks = 116444736000000000ULL;  // 1601 to 1970 in 100 ns
    return static_cast<double>(ticks - UnixEpochTicks) / 10000.0;
}
