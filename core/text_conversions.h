// Conversions between Text and integers, joining, length and comparison.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string_view>

#include "text.h"

// Full-width digits, signs and spaces fold to ASCII first, so a handle typed
// with a Chinese input method still reads; then atoi's rules in the "C" locale,
// wrapping modulo 2^32 instead of clamping.
std::int32_t textToInt(std::string_view text);

// "%d" of the value.
Text intToText(std::int32_t value);

int textLength(std::string_view text);

// -1, 0 or 1, bytes compared as unsigned; a prefix sorts first.
int compareText(std::string_view a, std::string_view b);

// The parts in order, measured once each, in one allocation.
template <typename Parts>
Text joinTexts(const Parts& parts) {
    std::size_t length = 0;
    for (std::string_view part : parts) length += part.size();
    Text joined;
    joined.reserve(length);
    for (std::string_view part : parts) joined += part;
    return joined;
}

inline Text concatText(std::initializer_list<std::string_view> parts) { return joinTexts(parts); }
