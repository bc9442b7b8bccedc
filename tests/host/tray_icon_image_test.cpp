#include <gtest/gtest.h>

#include <cstdint>
#include <set>

#include "core/tray_icon_image.h"

namespace {

std::uint32_t at(std::string_view bytes, std::size_t offset, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[offset + i]);
    return value;
}

TEST(TrayIconImage, IsOneOpaqueSixteenPixelImageIn1150Bytes) {
    const std::string_view ico = trayIconImage();
    ASSERT_EQ(ico.size(), 1150u);
    struct Field {
        std::size_t offset;
        int size;
        std::uint32_t value;
    };
    const Field header[] = {
        {0, 2, 0},    {2, 2, 1},     {4, 2, 1},   {6, 1, 16},  {7, 1, 16},  {8, 1, 0},   {9, 1, 0},
        {10, 2, 1},   {12, 2, 32},   {14, 4, 1128}, {18, 4, 22}, {22, 4, 40}, {26, 4, 16}, {30, 4, 32},
        {34, 2, 1},   {36, 2, 32},   {38, 4, 0},  {42, 4, 0},  {46, 4, 0},  {50, 4, 0},  {54, 4, 0}, {58, 4, 0},
    };
    for (const Field& field : header) EXPECT_EQ(at(ico, field.offset, field.size), field.value) << field.offset;

    std::set<std::uint32_t> colours;
    for (std::size_t pixel = 62; pixel < 62 + 1024; pixel += 4) {
        EXPECT_EQ(static_cast<unsigned char>(ico[pixel + 3]), 255) << "pixel at " << pixel;
        colours.insert(at(ico, pixel, 3));
    }
    EXPECT_GT(colours.size(), 2u) << "a picture, not a blank square";
    for (std::size_t mask = 1086; mask < 1150; ++mask) EXPECT_EQ(ico[mask], 0);
}

}  // namespace
