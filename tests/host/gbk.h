// Test helper: UTF-8 to GBK through the C library, independent of how the
// program holds its texts.
#pragma once

#include <gtest/gtest.h>
#include <iconv.h>

#include <string>

inline std::string gbkFromUtf8(const std::string& utf8) {
    iconv_t converter = iconv_open("GBK", "UTF-8");
    std::string out(utf8.size() * 2 + 4, '\0');
    char* in = const_cast<char*>(utf8.data());
    std::size_t inLeft = utf8.size(), outLeft = out.size();
    char* outAt = out.data();
    const std::size_t converted = iconv(converter, &in, &inLeft, &outAt, &outLeft);
    iconv_close(converter);
    EXPECT_NE(converted, static_cast<std::size_t>(-1)) << utf8;
    out.resize(out.size() - outLeft);
    return out;
}

// One character in GBK through the C library, empty when GBK has no such character.
inline std::string gbkOf(char32_t character) {
    iconv_t converter = iconv_open("GBK", "UTF-32LE");
    char bytes[8];
    char* in = reinterpret_cast<char*>(&character);
    char* out = bytes;
    std::size_t inLeft = 4, outLeft = sizeof bytes;
    const bool converted = iconv(converter, &in, &inLeft, &out, &outLeft) != static_cast<std::size_t>(-1);
    iconv_close(converter);
    return converted ? std::string(bytes, sizeof bytes - outLeft) : std::string();
}
