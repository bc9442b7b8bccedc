// Opening an address in the PC's default browser.
#pragma once

#include <string_view>

void openUrl(std::string_view url);
