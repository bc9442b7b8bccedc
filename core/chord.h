// Injects a hot-key chord into the desktop's input stream.
#pragma once

#include <cstdint>

// Key-down of each non-zero key in order, then key-up of each in the same order
// (not reversed), scan code 0, no pause between the events.
void synthesizeChord(std::uint8_t first, std::uint8_t second, std::uint8_t third);
