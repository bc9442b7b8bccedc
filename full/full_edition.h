// The full edition's handlers: its request handler and its window extras
// (password hint, song-title picker).
#pragma once

#include "core/window_layout.h"

void answerBrowser(MainWindow& window);      // DataArrival of 服务器1
void forgetLeavingClient(MainWindow& window);  // ClientLeave of 服务器1
void passwordHint(MainWindow& window);       // LeftButtonUp of 编辑框1
void fillPicker(MainWindow& window);         // Click of 按钮4
void takePick(MainWindow& window);           // ItemDoubleClick of 列表框1
