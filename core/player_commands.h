// The six player functions a browser can press, each bound to the label the
// page shows, the token by which a request names it, and the hot-key chord the
// music player listens for. The table order is the order of matching: the
// first row whose token a request carries is the one played.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "text.h"

struct PlayerCommand {
    std::string_view name;       // row name, for logs and tests
    std::string_view label;      // GBK: button text on the page and in the window
    std::string_view token;      // percentEncodeGbk(label), as a browser sends it
    std::array<std::uint8_t, 3> keys;  // Control, Alt, letter
    std::string_view chordText;  // the chord as the main window lists it
};

extern const std::array<PlayerCommand, 6> PlayerCommands;

// Every byte of a GBK text as "%" and two upper-case hex digits, ASCII included.
Text percentEncodeGbk(std::string_view gbk);
