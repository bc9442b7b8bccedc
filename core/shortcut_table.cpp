#include "player_commands.h"
#include "window_layout.h"

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

}  // namespace

std::vector<ControlSpec> shortcutTableControls(ShortcutRows rows) {
    std::vector<ControlSpec> controls;
    for (const Placement& place : placements) {
        const PlayerCommand& command = PlayerCommands[place.command];
        const int y = rows.y[place.row];
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
