// The song title on the control page: the text of another program's window,
// so it is escaped before it joins the page's markup.
#pragma once

#include <functional>
#include <string_view>

#include "core/text.h"

// One character (a Unicode code point) as GBK bytes, or empty when GBK has no
// such character.
using GbkEncoder = std::function<Text(char32_t)>;

// The title as GBK page text: &, <, >, " and ' become entities, and characters
// GBK cannot hold become numeric references, so any title shows as on the PC.
Text titleForPage(std::u16string_view title, const GbkEncoder& toGbk);
