#include "text.h"

#include <algorithm>

namespace {

bool isLeadByte(unsigned char byte) { return byte >= 0x80; }

unsigned char foldAscii(unsigned char byte) {
    return (byte >= 'A' && byte <= 'Z') ? static_cast<unsigned char>(byte + 0x20) : byte;
}

bool sameBytes(const char* at, std::string_view needle, bool ignoreCase) {
    for (std::size_t i = 0; i < needle.size(); ++i) {
        auto a = static_cast<unsigned char>(at[i]);
        auto b = static_cast<unsigned char>(needle[i]);
        if (ignoreCase) {
            a = foldAscii(a);
            b = foldAscii(b);
        }
        if (a != b) return false;
    }
    return true;
}

}  // namespace

int findText(std::string_view haystack, std::string_view needle, int start, bool ignoreCase) {
    const std::size_t length = haystack.size();
    const std::size_t scanFrom = start > 1 ? static_cast<std::size_t>(start) - 1 : 0;
    std::size_t remaining = scanFrom < length ? length - scanFrom : 0;

    // The empty needle is found at the first byte, not at the start position.
    if (needle.empty()) return remaining > 0 ? 1 : -1;

    std::size_t at = scanFrom;
    while (remaining >= needle.size()) {
        if (sameBytes(haystack.data() + at, needle, ignoreCase)) return static_cast<int>(at) + 1;
        if (isLeadByte(static_cast<unsigned char>(haystack[at]))) {
            // A lead byte as the very last byte has no partner: nothing more to scan.
            if (at + 1 >= length) return -1;
            at += 2;
            remaining -= 2;
        } else {
            at += 1;
            remaining -= 1;
        }
    }
    return -1;
}

Text bytesToText(std::string_view data) {
    return Text(data.substr(0, std::min(data.find('\0'), data.size())));
}
