// The handlers that both editions' windows share.
#pragma once

#include "window_layout.h"

void startUpHandler(MainWindow& window);    // WindowCreated
void minimiseHandler(MainWindow& window);   // PositionChanged
void trayHandler(MainWindow& window, int code);  // TrayEvent
void testHandler(MainWindow& window);       // Click of 按钮1
void exitHandler(MainWindow& window);       // Click of 按钮2
// Tells the user once why phones cannot reach the page, when 服务器1 could not listen.
void reportUnreachable(MainWindow& window);

// The tray callback's mouse message as a TrayEvent code, 0 for none.
int trayEventCode(unsigned mouseMessage);
