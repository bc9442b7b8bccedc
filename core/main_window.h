// The program's single top-level window: a fixed frame with a minimise box,
// centred on the screen, carrying the program icon.
#pragma once

struct HWND__;
struct HINSTANCE__;

struct WindowFrame {
    int outerWidth;
    int outerHeight;
};

// Creates the window, still invisible. Closing it ends the message loop.
HWND__* createMainWindow(HINSTANCE__* instance, const WindowFrame& frame);
void showCentred(HWND__* window);
// Runs the window thread's message loop until the window is gone; the exit code.
int runMessageLoop();
