#include "control_skin.h"

#include <windows.h>

#include <algorithm>
#include <string>
#include <unordered_map>

#include "gbk_wide.h"

namespace {

enum class Skinned { No, PushButton, CheckOrRadio, GroupBox, Edit, Other };

struct SkinnedControl {
    WNDPROC original;
    Skinned kind;
};

struct Skin {
    COLORREF frame = 0;
    HHOOK creationHook = nullptr;
    std::unordered_map<HWND, SkinnedControl> controls;
};
Skin skin;

std::wstring className(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

Skinned kindOf(HWND window) {
    const std::wstring name = className(window);
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    if (_wcsicmp(name.c_str(), L"Button") == 0) {
        switch (style & BS_TYPEMASK) {
            case BS_PUSHBUTTON:
            case BS_DEFPUSHBUTTON:
                return Skinned::PushButton;
            case BS_GROUPBOX:
                return Skinned::GroupBox;
            case BS_CHECKBOX:
            case BS_AUTOCHECKBOX:
            case BS_3STATE:
            case BS_AUTO3STATE:
            case BS_RADIOBUTTON:
            case BS_AUTORADIOBUTTON:
                return (style & (BS_PUSHLIKE | BS_BITMAP | BS_ICON)) ? Skinned::No : Skinned::CheckOrRadio;
        }
        return Skinned::No;
    }
    if (_wcsicmp(name.c_str(), L"Edit") == 0) {
        // The fields of an IP-address control draw as one box with it.
        HWND parent = GetParent(window);
        return parent && _wcsicmp(className(parent).c_str(), L"SysIPAddress32") == 0 ? Skinned::No : Skinned::Edit;
    }
    if (_wcsicmp(name.c_str(), L"ComboBox") == 0)
        return (style & 3) == CBS_SIMPLE ? Skinned::No : Skinned::Other;
    if (_wcsicmp(name.c_str(), L"ComboLBox") == 0 || _wcsicmp(name.c_str(), L"msctls_updown32") == 0)
        return Skinned::Other;
    return Skinned::No;
}

COLORREF darken(COLORREF colour, int by) {
    auto channel = [by](int value) { return static_cast<BYTE>(std::max(0, value - by)); };
    return RGB(channel(GetRValue(colour)), channel(GetGValue(colour)), channel(GetBValue(colour)));
}

COLORREF mix(COLORREF from, COLORREF to, int step, int steps) {
    auto channel = [&](int a, int b) { return static_cast<BYTE>(a + (b - a) * step / std::max(steps, 1)); };
    return RGB(channel(GetRValue(from), GetRValue(to)), channel(GetGValue(from), GetGValue(to)),
               channel(GetBValue(from), GetBValue(to)));
}

COLORREF frameColour(HWND window) {
    return IsWindowEnabled(window) ? skin.frame : darken(GetSysColor(COLOR_BTNFACE), 32);
}

void frameRect(HDC dc, RECT rect, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FrameRect(dc, &rect, brush);
    DeleteObject(brush);
}

void fillRect(HDC dc, const RECT& rect, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

// A push button drawn whole into a memory bitmap, then copied: no flicker.
void paintPushButton(HWND button, HDC target) {
    RECT client;
    GetClientRect(button, &client);
    const int width = client.right, height = client.bottom;
    HDC dc = CreateCompatibleDC(target);
    HBITMAP bitmap = CreateCompatibleBitmap(target, width, height);
    HGDIOBJ previousBitmap = SelectObject(dc, bitmap);

    const bool enabled = IsWindowEnabled(button);
    const bool pressed = SendMessageW(button, BM_GETSTATE, 0, 0) & BST_PUSHED;
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF light = mix(face, RGB(255, 255, 255), 3, 4);
    const COLORREF top = !enabled ? face : pressed ? face : light;
    const COLORREF bottom = !enabled ? face : pressed ? light : darken(face, 16);
    for (int y = 0; y < height; ++y) fillRect(dc, RECT{0, y, width, y + 1}, mix(top, bottom, y, height - 1));
    frameRect(dc, client, frameColour(button));

    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    HGDIOBJ previousFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(button, WM_GETFONT, 0, 0)));
    const std::wstring text = windowText(button);
    RECT textRect = client;
    if (pressed) OffsetRect(&textRect, 1, 1);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (GetFocus() == button) {
        RECT focus = client;
        InflateRect(&focus, -3, -3);
        DrawFocusRect(dc, &focus);
    }
    SelectObject(dc, previousFont);

    BitBlt(target, 0, 0, width, height, dc, 0, 0, SRCCOPY);
    SelectObject(dc, previousBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

// The group box's frame and title; its inside stays untouched, so that the
// controls over it show through.
void paintGroupBox(HWND box, HDC dc) {
    RECT client;
    GetClientRect(box, &client);
    HGDIOBJ previousFont = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(box, WM_GETFONT, 0, 0)));
    const std::wstring title = windowText(box);
    SIZE titleSize{};
    GetTextExtentPoint32W(dc, title.c_str(), static_cast<int>(title.size()), &titleSize);
    RECT frame = client;
    frame.top += titleSize.cy / 2;
    frameRect(dc, frame, frameColour(box));
    if (!title.empty()) {
        const int left = (client.right - titleSize.cx) / 2 - 2;  // title centred
        RECT titleRect{left, 0, left + titleSize.cx + 4, titleSize.cy};
        fillRect(dc, titleRect, GetSysColor(COLOR_BTNFACE));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(IsWindowEnabled(box) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
        DrawTextW(dc, title.c_str(), static_cast<int>(title.size()), &titleRect, DT_CENTER | DT_SINGLELINE);
    }
    SelectObject(dc, previousFont);
}

// A one-pixel frame in the scheme colour round the whole window; an edit box
// with a sunken edge gets a second frame inside it, in the window colour, or
// in the button face when the box cannot be typed into.
void paintOuterFrame(HWND window, bool isEdit) {
    HDC dc = GetWindowDC(window);
    RECT outer;
    GetWindowRect(window, &outer);
    OffsetRect(&outer, -outer.left, -outer.top);
    frameRect(dc, outer, frameColour(window));
    if (isEdit && (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_CLIENTEDGE)) {
        const bool typable = IsWindowEnabled(window) && !(GetWindowLongW(window, GWL_STYLE) & ES_READONLY);
        InflateRect(&outer, -1, -1);
        frameRect(dc, outer, GetSysColor(typable ? COLOR_WINDOW : COLOR_BTNFACE));
    }
    ReleaseDC(window, dc);
}

// The box of a check box or radio button, framed in the scheme colour.
void paintCheckFrame(HWND button) {
    RECT client;
    GetClientRect(button, &client);
    const int side = 13, top = (client.bottom - side) / 2;
    const bool rightHanded = GetWindowLongW(button, GWL_STYLE) & BS_LEFTTEXT;
    const int left = rightHanded ? client.right - side : 0;
    HDC dc = GetDC(button);
    frameRect(dc, RECT{left, top, left + side, top + side}, frameColour(button));
    ReleaseDC(button, dc);
}

bool changesLook(UINT message) {
    switch (message) {
        case BM_SETSTATE:
        case BM_SETCHECK:
        case BM_SETSTYLE:
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_ENABLE:
        case WM_SETTEXT:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case WM_MOUSEMOVE:
        case WM_MOUSELEAVE:
        case WM_UPDATEUISTATE:
            return true;
    }
    return false;
}

LRESULT CALLBACK skinnedProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto found = skin.controls.find(window);
    if (found == skin.controls.end()) return DefWindowProcW(window, message, wParam, lParam);
    const auto [original, kind] = found->second;
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        skin.controls.erase(found);
        return CallWindowProcW(original, window, message, wParam, lParam);
    }

    if ((kind == Skinned::PushButton || kind == Skinned::GroupBox) && message == WM_ERASEBKGND) return TRUE;
    if ((kind == Skinned::PushButton || kind == Skinned::GroupBox) && message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        if (kind == Skinned::PushButton) paintPushButton(window, dc);
        else paintGroupBox(window, dc);
        EndPaint(window, &paint);
        return 0;
    }

    const LRESULT result = CallWindowProcW(original, window, message, wParam, lParam);
    // The standard controls redraw some states at once, outside WM_PAINT:
    // draw the skin over them again.
    if (kind == Skinned::PushButton && changesLook(message) && IsWindowVisible(window)) {
        HDC dc = GetDC(window);
        paintPushButton(window, dc);
        ReleaseDC(window, dc);
    } else if (kind == Skinned::CheckOrRadio && (message == WM_PAINT || changesLook(message))) {
        paintCheckFrame(window);
    } else if (kind == Skinned::Edit && (message == WM_NCPAINT || message == WM_ENABLE || message == EM_SETREADONLY)) {
        paintOuterFrame(window, true);
    } else if (kind == Skinned::Other && (message == WM_PAINT || message == WM_NCPAINT || message == WM_ENABLE)) {
        paintOuterFrame(window, false);
    }
    return result;
}

void skinWindow(HWND window) {
    const Skinned kind = kindOf(window);
    if (kind == Skinned::No || skin.controls.count(window)) return;
    const auto original = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(skinnedProc)));
    skin.controls.emplace(window, SkinnedControl{original, kind});
    RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE);
}

BOOL CALLBACK skinChild(HWND window, LPARAM) {
    skinWindow(window);
    return TRUE;
}

BOOL CALLBACK skinTopLevel(HWND window, LPARAM) {
    skinWindow(window);
    EnumChildWindows(window, skinChild, 0);  // every descendant
    return TRUE;
}

LRESULT CALLBACK creationHook(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_CREATE) skinWindow(call->hwnd);
    return CallNextHookEx(skin.creationHook, code, wParam, lParam);
}

void switchOff() {
    if (skin.creationHook) UnhookWindowsHookEx(skin.creationHook);
    skin.creationHook = nullptr;
    const auto skinned = std::move(skin.controls);
    skin.controls.clear();
    for (const auto& [window, control] : skinned) {
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(control.original));
        RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
}

}  // namespace

void enableControlSkin(int scheme) {
    static constexpr COLORREF schemeFrames[] = {RGB(123, 158, 189), RGB(164, 185, 127), RGB(198, 197, 215)};
    switchOff();
    if (scheme < 1 || scheme > 3) return;
    skin.frame = schemeFrames[scheme - 1];
    EnumThreadWindows(GetCurrentThreadId(), skinTopLevel, 0);
    skin.creationHook = SetWindowsHookExW(WH_CALLWNDPROC, creationHook, nullptr, GetCurrentThreadId());
}
