#include "window_handlers.h"

#include <winsock2.h>
#include <windows.h>

#include "control_skin.h"
#include "gbk_wide.h"
#include "host_address.h"
#include "main_window.h"
#include "shell.h"
#include "text_conversions.h"
#include "tray_icon_image.h"

namespace {
constexpr int SkinScheme = 3;
}

void startUpHandler(MainWindow& window) {
    enableControlSkin(SkinScheme);
    setCaption(window, concatText({"Tavrelo—主机：", localHostName()}));
    setControlText(window, ControlId::超级链接框1, hostIPv4Address(localHostName()));
}

void minimiseHandler(MainWindow& window) {
    if (windowState(window) != WindowState::Minimised) return;
    setWindowVisible(window, false);  // leaves the taskbar too
    window.tray->set(trayIconImage());
}

void trayHandler(MainWindow& window, int code) {
    if (code != 1) return;  // no tray menu
    setWindowVisible(window, true);
    restoreAndCentre(window);
}

void testHandler(MainWindow& window) {
    openUrl(concatText({"http://", controlText(window, ControlId::超级链接框1)}));
}

void exitHandler(MainWindow& window) { exitProgram(window, 0); }

void reportUnreachable(MainWindow& window) {
    const int error = window.server->listenError();
    const Text port = intToText(window.server->port());
    Text why;
    if (error == WSAEADDRINUSE)
        why = concatText({"端口 ", port, " 已被其他程序占用。请关闭占用该端口的程序，然后重新启动本程序。"});
    else if (error == WSAEACCES)
        why = concatText({"本程序没有使用端口 ", port, " 的权限。"});
    else
        why = concatText({"网络初始化失败（错误代码 ", intToText(error), "）。"});
    const Text message = concatText({"手机和其他电脑无法连接遥控页面：", why});
    MessageBoxW(window.handle, wideFromGbk(message).c_str(), L"Tavrelo", MB_OK | MB_ICONWARNING);
}

int trayEventCode(unsigned mouseMessage) {
    switch (mouseMessage) {
        case WM_LBUTTONUP: return 1;
        case WM_LBUTTONDBLCLK: return 2;
        case WM_RBUTTONUP:
        case WM_CONTEXTMENU: return 3;
    }
    return 0;
}
