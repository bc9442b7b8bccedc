#include "hyperlink.h"

#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <string>

#include "gbk_wide.h"

namespace {

constexpr wchar_t LinkClass[] = L"HotkeyRelayLink";
constexpr COLORREF HoverColour = RGB(51, 153, 255);
constexpr COLORREF OpenedColour = RGB(255, 0, 0);
constexpr COLORREF UnopenedColour = RGB(0, 0, 255);

struct LinkState {
    bool hovering = false;
    bool opened = false;
};

std::wstring registryDefault(const std::wstring& key) {
    wchar_t value[1024];
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return {};
    return value;
}

// When the shell cannot open a bare address, start the program registered
// for web pages with the address after its command, as a browser would be.
bool openWithWebPageProgram(const std::wstring& address) {
    const std::wstring fileClass = registryDefault(L".htm");
    if (fileClass.empty()) return false;
    std::wstring command = registryDefault(fileClass + L"\\shell\\open\\command");
    if (command.empty()) return false;
    if (auto at = command.find(L"\"%1\""); at != std::wstring::npos) command.resize(at);
    else if (auto at1 = command.find(L"%1"); at1 != std::wstring::npos) command.resize(at1);
    else command.pop_back();
    command += L" " + address;

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOW;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

bool openAddress(const std::wstring& address) {
    if (address.empty()) return false;
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", address.c_str(), nullptr, nullptr, SW_SHOW));
    return result > 32 || openWithWebPageProgram(address);
}

void paint(HWND window, const LinkState& state) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, state.hovering ? HoverColour : state.opened ? OpenedColour : UnopenedColour);
    HGDIOBJ previousFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    const std::wstring text = windowText(window);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &client,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, previousFont);
    EndPaint(window, &paint);
}

LRESULT CALLBACK linkProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<LinkState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
        case WM_NCCREATE:
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new LinkState));
            break;
        case WM_NCDESTROY:
            delete state;
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            break;
        case WM_PAINT:
            paint(window, *state);
            return 0;
        case WM_ERASEBKGND:
            return TRUE;  // painted whole in WM_PAINT: no flicker
        case WM_SETTEXT:
            InvalidateRect(window, nullptr, FALSE);
            break;
        case WM_SETCURSOR:
            SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND)));
            return TRUE;
        case WM_MOUSEMOVE:
            if (!state->hovering) {
                state->hovering = true;
                TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, window, 0};
                TrackMouseEvent(&track);
                InvalidateRect(window, nullptr, FALSE);
            }
            return 0;
        case WM_MOUSELEAVE:
            state->hovering = false;
            InvalidateRect(window, nullptr, FALSE);
            return 0;
        case WM_LBUTTONDOWN:
            state->opened = openAddress(windowText(window));
            InvalidateRect(window, nullptr, FALSE);
            return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

const wchar_t* hyperlinkClass(HINSTANCE instance) {
    static const ATOM registered = [instance] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = linkProc;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = LinkClass;
        return RegisterClassW(&windowClass);
    }();
    (void)registered;
    return LinkClass;
}
