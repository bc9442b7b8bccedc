// The program's single top-level window, built from an edition's layout: a
// fixed frame with a minimise box, centred on the screen, the controls of the
// layout, the connection server 服务器1 and the tray icon.
#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "connection_server.h"
#include "text.h"
#include "tray_icon.h"
#include "window_layout.h"

struct HWND__;
struct HINSTANCE__;
struct HFONT__;

struct FontDeleter {
    void operator()(HFONT__* font) const;
};
using Font = std::unique_ptr<HFONT__, FontDeleter>;

struct MainWindow {
    HWND__* handle = nullptr;
    const WindowLayout* layout = nullptr;
    std::unique_ptr<ConnectionServer> server;  // 服务器1
    std::unique_ptr<TrayIcon> tray;
    std::vector<HWND__*> controls;            // by ControlId
    std::vector<Font> fonts;                  // by FontKind; the default GUI font is the system's

    HWND__* control(ControlId id) const { return controls[static_cast<std::size_t>(id)]; }
    const ControlSpec* layoutRow(ControlId id) const;
};

// Creates the window, raises WindowCreated and PositionChanged, shows it
// centred and runs the message loop until the window is gone.
int runMainWindow(HINSTANCE__* instance, const WindowLayout& layout);

// What the handlers may do with the window and its controls.
enum class WindowState { Normal, Minimised, Maximised };
WindowState windowState(const MainWindow& window);
void setWindowVisible(MainWindow& window, bool visible);
// Restores a minimised or maximised window and centres it on the screen.
void restoreAndCentre(MainWindow& window);
void setCaption(MainWindow& window, std::string_view text);
Text controlText(const MainWindow& window, ControlId id);
void setControlText(MainWindow& window, ControlId id, std::string_view text);
void setControlVisible(MainWindow& window, ControlId id, bool visible);
// Destroys the window (tray icon, connections), releases Windows Sockets, ends the process.
[[noreturn]] void exitProgram(MainWindow& window, int exitCode);
