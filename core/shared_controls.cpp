#include "shared_controls.h"

#include "player_commands.h"
#include "window_handlers.h"

namespace {

// Which row of the command table stands where in the window's table.
struct Placement {
    std::size_t command;
    ControlId label;
    ControlId button;
    int column;
    int row;
};

constexpr Placement placements[] = {
    {1, ControlId::透明标签1, ControlId::播放按钮, 0, 0},   {3, ControlId::透明标签6, ControlId::音量加按钮, 1, 0},
    {0, ControlId::透明标签2, ControlId::上一首按钮, 0, 1}, {5, ControlId::透明标签5, ControlId::音量减按钮, 1, 1},
    {2, ControlId::透明标签3, ControlId::下一首按钮, 0, 2}, {4, ControlId::透明标签4, ControlId::喜欢按钮, 1, 2},
};

constexpr int labelX[] = {19, 195};
constexpr int buttonX[] = {97, 273};

// The six chord labels and six disabled caption buttons of the shortcut table.
std::vector<ControlSpec> shortcutTableControls(const int (&rowY)[3]) {
    std::vector<ControlSpec> controls;
    for (const Placement& place : placements) {
        const PlayerCommand& command = PlayerCommands[place.command];
        const int y = rowY[place.row];
        ControlSpec label{place.label, ControlKind::Label, true, labelX[place.column], y, 75, 23, command.chordText};
        label.font = FontKind::C;
        controls.push_back(label);
        // Captions only: the user copies these chords into the player.
        ControlSpec button{place.button, ControlKind::PushButton, true, buttonX[place.column], y, 65, 23, command.label};
        button.font = FontKind::B;
        button.disabled = true;
        controls.push_back(button);
    }
    return controls;
}

}  // namespace

std::vector<ControlSpec> sharedControls(const SharedControlPlaces& places) {
    using K = ControlKind;
    std::vector<ControlSpec> controls;

    ControlSpec group{ControlId::分组框1, K::GroupBox, false, 5, 2, 360, places.groupHeight, "快捷键设置"};
    group.font = FontKind::A;
    group.align = Align::Centre;
    controls.push_back(group);

    for (const ControlSpec& row : shortcutTableControls(places.rowY)) controls.push_back(row);

    ControlSpec test{ControlId::按钮1, K::PushButton, true, places.testButton.x, places.testButton.y, 60, 23, "测试"};
    test.font = FontKind::B;
    test.onClick = testHandler;
    controls.push_back(test);

    ControlSpec exit{ControlId::按钮2, K::PushButton, true, places.exitButton.x, places.exitButton.y, 60, 23,
                     places.exitCaption};
    exit.onClick = exitHandler;
    controls.push_back(exit);

    ControlSpec hint{ControlId::透明标签7, K::Label, false, places.hint.x, places.hint.y, 300, 23,
                     "请将播放器全局快捷键对照上表设置"};
    hint.font = FontKind::A;
    hint.align = Align::Centre;
    hint.textColour = Red;
    controls.push_back(hint);

    ControlSpec addressCaption{ControlId::透明标签8, K::Label, false, places.addressCaption.x, places.addressCaption.y,
                               95, 23, places.addressCaptionText};
    addressCaption.font = FontKind::B;
    addressCaption.align = Align::Right;
    addressCaption.textColour = Red;
    controls.push_back(addressCaption);

    controls.push_back({ControlId::超级链接框1, K::HyperLink, false, places.addressLink.x, places.addressLink.y, 96, 23, ""});

    ControlSpec author{ControlId::透明标签9, K::Label, false, places.author.x, places.author.y, 80, 20, "By:Ostrevan"};
    author.textColour = Red;
    controls.push_back(author);
    return controls;
}
