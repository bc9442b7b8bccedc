// A main window described as data: the frame and one row per control, with
// its name, kind, place, text, look, state and the handlers it binds. Each
// edition gives its own table; the Win32 layer builds the window from it.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

struct MainWindow;
using Handler = void (*)(MainWindow&);

// Every control name of both editions. Controls are found by these names.
enum class ControlId {
    分组框1,
    按钮1,
    按钮2,
    按钮3,
    按钮4,
    透明标签1,
    透明标签2,
    透明标签3,
    透明标签4,
    透明标签5,
    透明标签6,
    透明标签7,
    透明标签8,
    透明标签9,
    播放按钮,
    上一首按钮,
    下一首按钮,
    音量加按钮,
    喜欢按钮,
    音量减按钮,
    超级链接框1,
    编辑框1,
    编辑框2,
    列表框1,
};

// Child-window identifiers are the names' numbers from here on, so that a
// test or tool outside the program can tell the controls apart.
constexpr int FirstControlIdentifier = 1000;

enum class ControlKind { GroupBox, PushButton, Label, HyperLink, PasswordEdit, ReadOnlyEdit, ListBox };

// A: 14 px regular; B: 12 px regular; C: 12 px bold; D: 21 px bold. All GB2312
// with no face name, so the system picks its face for that character set.
enum class FontKind { DefaultGui, A, B, C, D };

enum class Align { Left, Centre, Right };

struct Rgb {
    std::uint8_t red, green, blue;
};
inline constexpr Rgb Black{0, 0, 0};
inline constexpr Rgb Red{255, 0, 0};

struct ControlSpec {
    ControlId id;
    ControlKind kind;
    bool inGroupBox;  // position relative to 分组框1 instead of the client area
    int x, y, width, height;
    std::string_view text;  // GBK
    FontKind font = FontKind::DefaultGui;
    Align align = Align::Left;
    Rgb textColour = Black;
    bool disabled = false;
    bool hidden = false;
    Handler onClick = nullptr;         // Click of a push button
    Handler onLeftButtonUp = nullptr;  // LeftButtonUp of an edit box
    Handler onItemDoubleClick = nullptr;
    int textLimit = 0;  // edit boxes: most characters that can be typed, 0 for none
};

struct WindowLayout {
    int outerWidth, outerHeight;
    std::vector<ControlSpec> controls;  // in creation order
    Handler onDataArrival;              // 服务器1
    int port;                           // 服务器1
    Handler onClientLeave = nullptr;    // 服务器1
};
