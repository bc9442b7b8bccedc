// The address link: shows its web address, opens it when clicked, and shows
// by its colour whether the pointer is over it and whether the last click
// opened the address. Its window text is the web address.
#pragma once

struct HWND__;
struct HINSTANCE__;

// The window class name of the link control, registered on first use.
const wchar_t* hyperlinkClass(HINSTANCE__* instance);
