// The one page of the simple edition: six submit buttons in a get form.
#pragma once

#include <string_view>

// GBK, sent byte for byte after the answer header.
extern const std::string_view SimpleControlPage;
