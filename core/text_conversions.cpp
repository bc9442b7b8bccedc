#include "text_conversions.h"

#include <cstring>
#include <string>

namespace {

// The full-width forms that an input method types in place of digits, signs,
// spaces and the like, turned into their ASCII bytes.
Text foldFullWidth(std::string_view text) {
    Text folded;
    folded.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const auto first = static_cast<unsigned char>(text[at]);
        if (first < 0x80) {
            folded += static_cast<char>(first);
            ++at;
            continue;
        }
        if (at + 1 >= text.size()) break;  // a lead byte without its partner is dropped
        const auto second = static_cast<unsigned char>(text[at + 1]);
        if (first == 0xA3 && second >= 0xA1 && second <= 0xFE) folded += static_cast<char>(second - 0x80);
        else if (first == 0xA1 && second == 0xA1) folded += ' ';
        else if (first == 0xA1 && second == 0xAB) folded += '~';
        else if (first == 0xA1 && (second == 0xEE || second == 0xEF)) folded += '*';
        else folded.append(text.substr(at, 2));
        at += 2;
    }
    return folded;
}

bool isCSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

std::int32_t textToInt(std::string_view text) {
    const Text folded = foldFullWidth(text);
    std::size_t at = 0;
    while (at < folded.size() && isCSpace(folded[at])) ++at;
    bool negative = false;
    if (at < folded.size() && (folded[at] == '+' || folded[at] == '-')) negative = folded[at++] == '-';
    std::uint32_t value = 0;  // unsigned: wraps modulo 2^32 without undefined behaviour
    for (; at < folded.size() && folded[at] >= '0' && folded[at] <= '9'; ++at)
        value = value * 10u + static_cast<std::uint32_t>(folded[at] - '0');
    if (negative) value = 0u - value;
    return static_cast<std::int32_t>(value);
}

Text intToText(std::int32_t value) { return std::to_string(value); }

int textLength(std::string_view text) { return static_cast<int>(text.size()); }

int compareText(std::string_view a, std::string_view b) {
    const std::size_t common = std::min(a.size(), b.size());
    const int bytes = common ? std::memcmp(a.data(), b.data(), common) : 0;  // memcmp compares unsigned
    if (bytes != 0) return bytes < 0 ? -1 : 1;
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}
