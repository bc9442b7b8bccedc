// The program keeps its texts in GBK; the window system is spoken to in UTF-16,
// converted with code page 936 explicitly, so that the Chinese texts show
// right whatever the PC's system code page is.
#pragma once

#include <string>
#include <string_view>

#include "text.h"

struct HWND__;

std::wstring wideFromGbk(std::string_view gbk);
// Characters that GBK cannot hold come out as "?".
Text gbkFromWide(std::wstring_view wide);

// A window's own text (its caption, or a control's text) as the window system holds it.
std::wstring windowText(HWND__* window);
