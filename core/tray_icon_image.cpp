#include "tray_icon_image.h"

#include <array>
#include <cmath>
#include <cstdint>

namespace {

constexpr int Side = 16;
constexpr std::size_t PixelBytes = Side * Side * 4;
constexpr std::size_t MaskBytes = Side * 4;
constexpr std::size_t ImageBytes = 40 + PixelBytes + MaskBytes;  // 1128
constexpr std::size_t FileBytes = 22 + ImageBytes;               // 1150

// A white "play" triangle on a blue square whose shade deepens downwards.
// Every pixel is opaque.
std::array<std::uint8_t, 4> pixel(int x, int y) {  // y from the top
    // The triangle's corners: (5, 3), (5, 12) and (12, 7.5).
    if (x >= 5 && x <= 12 && std::abs(y - 7.5) <= (12 - x) * 4.5 / 7) return {255, 255, 255, 255};
    const auto blue = static_cast<std::uint8_t>(220 - 6 * y);
    const auto green = static_cast<std::uint8_t>(120 - 4 * y);
    return {blue, green, 30, 255};
}

void put16(std::uint8_t* at, std::uint16_t value) {
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}
void put32(std::uint8_t* at, std::uint32_t value) {
    put16(at, static_cast<std::uint16_t>(value));
    put16(at + 2, static_cast<std::uint16_t>(value >> 16));
}

std::array<std::uint8_t, FileBytes> drawIcon() {
    std::array<std::uint8_t, FileBytes> ico{};
    std::uint8_t* at = ico.data();
    put16(at + 2, 1);  // type: icon
    put16(at + 4, 1);  // one image
    at[6] = Side;
    at[7] = Side;
    put16(at + 10, 1);   // planes
    put16(at + 12, 32);  // bits per pixel
    put32(at + 14, ImageBytes);
    put32(at + 18, 22);
    std::uint8_t* header = at + 22;  // BITMAPINFOHEADER; height counts picture and mask
    put32(header, 40);
    put32(header + 4, Side);
    put32(header + 8, 2 * Side);
    put16(header + 12, 1);
    put16(header + 14, 32);
    std::uint8_t* pixels = header + 40;
    for (int row = 0; row < Side; ++row)  // bottom row first
        for (int x = 0; x < Side; ++x)
            for (std::uint8_t byte : pixel(x, Side - 1 - row)) *pixels++ = byte;
    return ico;  // the AND mask stays zero
}

}  // namespace

std::string_view trayIconImage() {
    static const std::array<std::uint8_t, FileBytes> ico = drawIcon();
    return {reinterpret_cast<const char*>(ico.data()), ico.size()};
}
