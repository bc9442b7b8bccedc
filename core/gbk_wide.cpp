#include "gbk_wide.h"

#include <windows.h>

namespace {
constexpr UINT GbkCodePage = 936;
}

std::wstring wideFromGbk(std::string_view gbk) {
    if (gbk.empty()) return {};
    const int length = MultiByteToWideChar(GbkCodePage, 0, gbk.data(), static_cast<int>(gbk.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(GbkCodePage, 0, gbk.data(), static_cast<int>(gbk.size()), wide.data(), length);
    return wide;
}

Text gbkFromWide(std::wstring_view wide) {
    if (wide.empty()) return {};
    const int length = WideCharToMultiByte(GbkCodePage, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                           nullptr, nullptr);
    Text gbk(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(GbkCodePage, 0, wide.data(), static_cast<int>(wide.size()), gbk.data(), length, nullptr,
                        nullptr);
    return bytesToText(gbk);
}

std::wstring windowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}
