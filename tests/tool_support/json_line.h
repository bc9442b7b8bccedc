// JSON text for the Windows test tools: UTF-16 strings out as UTF-8 JSON
// strings, so the node side can read what a tool saw without any code page in
// between. Header only; each tool includes it with its own sources.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace tool {

inline std::string utf8(std::wstring_view wide) {
    if (wide.empty()) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                         nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), size, nullptr, nullptr);
    return out;
}

inline std::wstring wide(std::string_view utf8Text) {
    if (utf8Text.empty()) return {};
    const int size = MultiByteToWideChar(CP_UTF8, 0, utf8Text.data(), static_cast<int>(utf8Text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8Text.data(), static_cast<int>(utf8Text.size()), out.data(), size);
    return out;
}

// A quoted JSON string. Control characters become \u escapes; everything
// else is UTF-8 as it is (lone surrogates come out as U+FFFD).
inline std::string jsonString(std::wstring_view text) {
    std::string out = "\"";
    for (char c : utf8(text)) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escaped[8];
                    wsprintfA(escaped, "\\u%04x", static_cast<unsigned char>(c));
                    out += escaped;
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

}  // namespace tool
