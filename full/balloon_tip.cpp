#include "balloon_tip.h"

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "core/gbk_wide.h"

namespace {

constexpr UINT_PTR HideTimer = 1;

void CALLBACK hideTip(HWND tip, UINT, UINT_PTR timer, DWORD) {
    KillTimer(tip, timer);
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = GetWindow(tip, GW_OWNER);
    tool.uId = 1;
    SendMessageW(tip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
}

}  // namespace

BalloonTip::~BalloonTip() {
    if (tip_ && IsWindow(tip_)) DestroyWindow(tip_);
    if (font_) DeleteObject(font_);
}

void BalloonTip::create() {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    tip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_BALLOON | TTS_NOPREFIX | TTS_ALWAYSTIP,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner_, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
    if (!tip_) return;
    // Shown at once and without fading, black on pale yellow, 9-point 宋体.
    SendMessageW(tip_, TTM_SETDELAYTIME, TTDT_INITIAL, 0);
    SendMessageW(tip_, TTM_SETTIPBKCOLOR, RGB(255, 255, 225), 0);
    SendMessageW(tip_, TTM_SETTIPTEXTCOLOR, RGB(0, 0, 0), 0);
    HDC screen = GetDC(nullptr);
    const int height = -MulDiv(9, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    font_ = CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"宋体");
    SendMessageW(tip_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);

    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_TRACK | TTF_ABSOLUTE;
    tool.hwnd = owner_;
    tool.uId = 1;
    tool.lpszText = const_cast<wchar_t*>(L"");
    SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

bool BalloonTip::show(int x, int y, std::string_view text) {
    if (!tip_) create();
    if (!tip_) return false;
    std::wstring wide = wideFromGbk(text);
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = owner_;
    tool.uId = 1;
    tool.lpszText = wide.data();
    SendMessageW(tip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(tip_, TTM_TRACKPOSITION, 0, MAKELPARAM(x, y));
    SendMessageW(tip_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
    SetTimer(tip_, HideTimer, DisplayTimeMs, hideTip);  // a new show starts the time anew
    return true;
}
