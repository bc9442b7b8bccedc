// The notification-area icon: one 16 x 16, 32-bit image in ICO form, 1,150 bytes.
#pragma once

#include <string_view>

std::string_view trayIconImage();
