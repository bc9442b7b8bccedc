#include "window_titles.h"

#include <windows.h>

#include <chrono>

namespace {

HWND windowFromHandle(std::int32_t handle) {
    // Window handles keep their meaning in 32 bits and widen by sign extension.
    return reinterpret_cast<HWND>(static_cast<INT_PTR>(handle));
}

BOOL CALLBACK collectVisible(HWND window, LPARAM parameter) {
    if (GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE)
        reinterpret_cast<std::vector<std::int32_t>*>(parameter)->push_back(
            static_cast<std::int32_t>(reinterpret_cast<INT_PTR>(window)));
    return TRUE;
}

}  // namespace

std::vector<std::int32_t> listTopLevelWindows() {
    std::vector<std::int32_t> windows;
    EnumWindows(collectVisible, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::optional<std::u16string> readWindowTitle(std::int32_t handle) {
    HWND window = windowFromHandle(handle);
    if (!IsWindow(window)) return std::nullopt;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(TitleReadTimeoutMs);
    auto remainingMs = [&] {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        return static_cast<UINT>(std::max<long long>(left.count(), 1));
    };
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, remainingMs(), &length) ||
        length == 0)
        return std::nullopt;
    std::wstring title(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, title.size(), reinterpret_cast<LPARAM>(title.data()),
                             SMTO_ABORTIFHUNG | SMTO_BLOCK, remainingMs(), &copied) ||
        copied == 0)
        return std::nullopt;
    title.resize(std::min<std::size_t>(copied, length));
    return std::u16string(title.begin(), title.end());
}

Text gbkCharacter(char32_t character) {
    wchar_t units[2];
    int count = 1;
    if (character >= 0x10000) {
        units[0] = static_cast<wchar_t>(0xD800 + ((character - 0x10000) >> 10));
        units[1] = static_cast<wchar_t>(0xDC00 + ((character - 0x10000) & 0x3FF));
        count = 2;
    } else {
        units[0] = static_cast<wchar_t>(character);
    }
    char bytes[8];
    BOOL usedDefault = FALSE;
    const int length = WideCharToMultiByte(936, WC_NO_BEST_FIT_CHARS, units, count, bytes, sizeof bytes, nullptr,
                                           &usedDefault);
    if (length <= 0 || usedDefault) return {};
    return Text(bytes, static_cast<std::size_t>(length));
}
