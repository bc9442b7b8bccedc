// Other programs' windows: which are there, and what their titles say.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/text.h"

// Every visible top-level window, topmost first, as 32-bit handles.
std::vector<std::int32_t> listTopLevelWindows();

// The title of the window, or nothing when there is no such window or it has
// no title. A window that does not answer within the bound counts as untitled,
// so a hung program never holds up the page for long.
constexpr unsigned TitleReadTimeoutMs = 500;
std::optional<std::u16string> readWindowTitle(std::int32_t handle);

// One character as GBK bytes, empty when GBK has none: never a look-alike.
Text gbkCharacter(char32_t character);
