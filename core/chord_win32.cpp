#include "chord.h"

#include <windows.h>

void synthesizeChord(std::uint8_t first, std::uint8_t second, std::uint8_t third) {
    const std::uint8_t keys[] = {first, second, third};
    // The first key is always sent; a later key of 0 means "no such key".
    auto present = [&](int i) { return i == 0 || keys[i] != 0; };
    for (int i = 0; i < 3; ++i)
        if (present(i)) keybd_event(keys[i], 0, 0, 0);
    for (int i = 0; i < 3; ++i)
        if (present(i)) keybd_event(keys[i], 0, KEYEVENTF_KEYUP, 0);
}
