#include "main_window.h"

#include <windows.h>
#include <windowsx.h>

#include <algorithm>

#include "gbk_wide.h"
#include "hyperlink.h"
#include "window_handlers.h"

namespace {

constexpr wchar_t MainWindowClass[] = L"HotkeyRelayMainWindow";
constexpr UINT ReportUnreachableMessage = WM_APP + 3;
constexpr std::size_t ControlCount = static_cast<std::size_t>(ControlId::列表框1) + 1;

Font createFont(int pixelHeight, int weight) {
    // No face name: the system picks its face for the GB2312 character set.
    return Font(CreateFontW(-pixelHeight, 0, 0, 0, weight, FALSE, FALSE, FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L""));
}

std::vector<Font> createFonts() {
    std::vector<Font> fonts;
    fonts.emplace_back();  // FontKind::DefaultGui: the stock font, not ours to delete
    fonts.push_back(createFont(14, FW_NORMAL));  // A
    fonts.push_back(createFont(12, FW_NORMAL));  // B
    fonts.push_back(createFont(12, FW_BOLD));    // C
    fonts.push_back(createFont(21, FW_BOLD));    // D
    return fonts;
}

HFONT fontFor(const MainWindow& window, FontKind kind) {
    HFONT font = window.fonts[static_cast<std::size_t>(kind)].get();
    return font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

struct ClassAndStyle {
    const wchar_t* className;
    DWORD style;
    DWORD extendedStyle;
};

ClassAndStyle classAndStyle(const ControlSpec& row, HINSTANCE instance) {
    const DWORD common = WS_CHILD | (row.hidden ? 0 : WS_VISIBLE) | (row.disabled ? WS_DISABLED : 0);
    const DWORD align = row.align == Align::Centre ? SS_CENTER : row.align == Align::Right ? SS_RIGHT : SS_LEFT;
    switch (row.kind) {
        case ControlKind::GroupBox:
            return {L"BUTTON", common | BS_GROUPBOX | BS_CENTER, 0};
        case ControlKind::PushButton:
            return {L"BUTTON", common | WS_TABSTOP | BS_PUSHBUTTON | BS_CENTER | BS_VCENTER, 0};
        case ControlKind::Label:
            // One line, vertically centred, no "&" prefixes.
            return {L"STATIC", common | align | SS_CENTERIMAGE | SS_NOPREFIX, 0};
        case ControlKind::HyperLink:
            return {hyperlinkClass(instance), common, 0};
        case ControlKind::PasswordEdit:
            return {L"EDIT", common | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL | ES_PASSWORD, WS_EX_CLIENTEDGE};
        case ControlKind::ReadOnlyEdit:
            return {L"EDIT", common | ES_LEFT | ES_AUTOHSCROLL | ES_READONLY, WS_EX_CLIENTEDGE};
        case ControlKind::ListBox:
            return {L"LISTBOX", common | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, WS_EX_CLIENTEDGE};
    }
    return {L"STATIC", common, 0};
}

// A single-line edit box is at least as tall as its font's text plus its edges.
int editHeight(HWND edit, HFONT font, int height) {
    HDC dc = GetDC(edit);
    HGDIOBJ previous = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, previous);
    ReleaseDC(edit, dc);
    return std::max<int>(height, metrics.tmHeight + 2 * GetSystemMetrics(SM_CYEDGE));
}

LRESULT CALLBACK editProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam);

void createControl(MainWindow& window, const ControlSpec& row, POINT groupOrigin, HINSTANCE instance) {
    const ClassAndStyle kind = classAndStyle(row, instance);
    const int x = row.x + (row.inGroupBox ? groupOrigin.x : 0);
    const int y = row.y + (row.inGroupBox ? groupOrigin.y : 0);
    HWND control = CreateWindowExW(kind.extendedStyle, kind.className, wideFromGbk(row.text).c_str(), kind.style, x,
                                   y, row.width, row.height, window.handle,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(FirstControlIdentifier + static_cast<int>(row.id))),
                                   instance, nullptr);
    window.controls[static_cast<std::size_t>(row.id)] = control;
    if (!control) return;
    HFONT font = fontFor(window, row.font);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);

    switch (row.kind) {
        case ControlKind::PasswordEdit:
        case ControlKind::ReadOnlyEdit:
            if (row.kind == ControlKind::PasswordEdit) SendMessageW(control, EM_SETPASSWORDCHAR, L'*', 0);
            if (row.textLimit > 0) SendMessageW(control, EM_LIMITTEXT, static_cast<WPARAM>(row.textLimit), 0);
            SetWindowPos(control, nullptr, 0, 0, row.width, editHeight(control, font, row.height),
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            if (row.onLeftButtonUp) {
                SetPropW(control, L"HotkeyRelayEditProc", reinterpret_cast<HANDLE>(GetWindowLongPtrW(control, GWLP_WNDPROC)));
                SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(editProc));
            }
            break;
        case ControlKind::ListBox: {
            const LRESULT itemHeight = SendMessageW(control, LB_GETITEMHEIGHT, 0, 0);
            SendMessageW(control, LB_SETITEMHEIGHT, 0, itemHeight + 1);
            // When shown it covers the controls beneath it.
            SetWindowPos(control, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            break;
        }
        case ControlKind::GroupBox:
            // The controls placed over the group box must get the mouse and paint above it.
            SetWindowPos(control, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            break;
        default:
            break;
    }
}

MainWindow* windowOf(HWND handle) { return reinterpret_cast<MainWindow*>(GetWindowLongPtrW(handle, GWLP_USERDATA)); }

const ControlSpec* layoutRowOf(const MainWindow& window, HWND child) {
    const int id = GetDlgCtrlID(child) - FirstControlIdentifier;
    if (id < 0 || static_cast<std::size_t>(id) >= ControlCount) return nullptr;
    return window.layoutRow(static_cast<ControlId>(id));
}

LRESULT CALLBACK editProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto original = reinterpret_cast<WNDPROC>(GetPropW(edit, L"HotkeyRelayEditProc"));
    const LRESULT result = CallWindowProcW(original, edit, message, wParam, lParam);
    // The box holds the mouse while a button is down: a release elsewhere is not over it.
    RECT client;
    GetClientRect(edit, &client);
    const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (message == WM_LBUTTONUP && PtInRect(&client, at)) {
        MainWindow* window = windowOf(GetParent(edit));
        const ControlSpec* row = window ? layoutRowOf(*window, edit) : nullptr;
        if (row && row->onLeftButtonUp) row->onLeftButtonUp(*window);
    } else if (message == WM_NCDESTROY) {
        RemovePropW(edit, L"HotkeyRelayEditProc");
    }
    return result;
}

LRESULT colourChild(const MainWindow& window, HWND child, HDC dc) {
    const ControlSpec* row = layoutRowOf(window, child);
    if (row && row->kind == ControlKind::Label) {
        // Labels draw their text straight onto whatever lies behind them.
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(row->textColour.red, row->textColour.green, row->textColour.blue));
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    }
    if (row && (row->kind == ControlKind::PasswordEdit || row->kind == ControlKind::ReadOnlyEdit ||
                 row->kind == ControlKind::ListBox)) {
        SetBkColor(dc, RGB(255, 255, 255));
        SetTextColor(dc, RGB(0, 0, 0));
        return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    }
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

LRESULT CALLBACK mainWindowProc(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* window = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        window->handle = handle;
        SetWindowLongPtrW(handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
    }
    MainWindow* window = windowOf(handle);
    if (!window) return DefWindowProcW(handle, message, wParam, lParam);

    switch (message) {
        case WM_COMMAND: {
            const ControlSpec* row = layoutRowOf(*window, reinterpret_cast<HWND>(lParam));
            if (!row) break;
            if (HIWORD(wParam) == BN_CLICKED && row->onClick) row->onClick(*window);
            if (HIWORD(wParam) == LBN_DBLCLK && row->onItemDoubleClick) row->onItemDoubleClick(*window);
            return 0;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
            return colourChild(*window, reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam));
        case WM_WINDOWPOSCHANGED: {
            const LRESULT result = DefWindowProcW(handle, message, wParam, lParam);
            const auto* position = reinterpret_cast<const WINDOWPOS*>(lParam);
            // PositionChanged: moves and size changes (minimise, restore), not showing or hiding.
            if ((position->flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE)) minimiseHandler(*window);
            return result;
        }
        case TrayCallbackMessage:
            if (const int code = trayEventCode(static_cast<unsigned>(lParam))) trayHandler(*window, code);
            return 0;
        case ReportUnreachableMessage:
            reportUnreachable(*window);
            return 0;
        case WM_DESTROY:
            window->tray.reset();    // removes the icon
            window->server.reset();  // closes every connection
            PostQuitMessage(0);
            return 0;
        case WM_NCDESTROY:
            SetWindowLongPtrW(handle, GWLP_USERDATA, 0);
            window->handle = nullptr;
            break;
    }
    return DefWindowProcW(handle, message, wParam, lParam);
}

void registerMainWindowClass(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = mainWindowProc;
    windowClass.hInstance = instance;
    // Shared: the system keeps the class's icons, nothing here destroys them.
    windowClass.hIcon = static_cast<HICON>(LoadImageW(instance, L"DEFAULT_ICON", IMAGE_ICON, 32, 32, LR_SHARED));
    windowClass.hIconSm = static_cast<HICON>(LoadImageW(instance, L"DEFAULT_ICON", IMAGE_ICON,
                                                        GetSystemMetrics(SM_CXSMICON),
                                                        GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = MainWindowClass;
    RegisterClassExW(&windowClass);
}

POINT centredOrigin(int outerWidth, int outerHeight) {
    return {(GetSystemMetrics(SM_CXSCREEN) - outerWidth) / 2, (GetSystemMetrics(SM_CYSCREEN) - outerHeight) / 2};
}

}  // namespace

void FontDeleter::operator()(HFONT font) const { DeleteObject(font); }

const ControlSpec* MainWindow::layoutRow(ControlId id) const {
    for (const ControlSpec& row : layout->controls)
        if (row.id == id) return &row;
    return nullptr;
}

int runMainWindow(HINSTANCE instance, const WindowLayout& layout) {
    registerMainWindowClass(instance);
    MainWindow window;
    window.layout = &layout;
    window.controls.assign(ControlCount, nullptr);
    window.fonts = createFonts();

    const POINT origin = centredOrigin(layout.outerWidth, layout.outerHeight);
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    if (!CreateWindowExW(0, MainWindowClass, L"", style, origin.x, origin.y, layout.outerWidth, layout.outerHeight,
                         nullptr, nullptr, instance, &window))
        return 1;

    const ControlSpec* group = window.layoutRow(ControlId::分组框1);
    const POINT groupOrigin = group ? POINT{group->x, group->y} : POINT{0, 0};
    for (const ControlSpec& row : layout.controls) createControl(window, row, groupOrigin, instance);

    window.server = std::make_unique<ConnectionServer>(layout.port);
    ConnectionServer::Events events;
    events.dataArrival = [&window] { window.layout->onDataArrival(window); };
    if (layout.onClientLeave) events.clientLeave = [&window] { window.layout->onClientLeave(window); };
    window.server->setEvents(events);
    window.tray = std::make_unique<TrayIcon>(window.handle);

    startUpHandler(window);   // WindowCreated, while still invisible
    minimiseHandler(window);  // PositionChanged, once
    ShowWindow(window.handle, SW_SHOWNORMAL);
    UpdateWindow(window.handle);
    if (!window.server->isListening()) PostMessageW(window.handle, ReportUnreachableMessage, 0, 0);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

WindowState windowState(const MainWindow& window) {
    if (IsIconic(window.handle)) return WindowState::Minimised;
    if (IsZoomed(window.handle)) return WindowState::Maximised;
    return WindowState::Normal;
}

void setWindowVisible(MainWindow& window, bool visible) { ShowWindow(window.handle, visible ? SW_SHOW : SW_HIDE); }

void restoreAndCentre(MainWindow& window) {
    if (!IsWindowVisible(window.handle)) return;
    if (windowState(window) != WindowState::Normal) ShowWindow(window.handle, SW_RESTORE);
    RECT outer;
    GetWindowRect(window.handle, &outer);
    const POINT centred = centredOrigin(outer.right - outer.left, outer.bottom - outer.top);
    if (centred.x != outer.left || centred.y != outer.top)
        SetWindowPos(window.handle, nullptr, centred.x, centred.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void setCaption(MainWindow& window, std::string_view text) {
    SetWindowTextW(window.handle, wideFromGbk(text).c_str());
}

Text controlText(const MainWindow& window, ControlId id) {
    HWND control = window.control(id);
    return control ? gbkFromWide(windowText(control)) : Text();
}

void setControlText(MainWindow& window, ControlId id, std::string_view text) {
    if (HWND control = window.control(id)) SetWindowTextW(control, wideFromGbk(text).c_str());
}

void setControlVisible(MainWindow& window, ControlId id, bool visible) {
    if (HWND control = window.control(id)) ShowWindow(control, visible ? SW_SHOW : SW_HIDE);
}

void exitProgram(MainWindow& window, int exitCode) {
    if (window.handle) DestroyWindow(window.handle);  // tray icon and connections go with it
    ExitProcess(static_cast<UINT>(exitCode));
}
