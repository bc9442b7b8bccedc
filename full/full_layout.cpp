#include "full_layout.h"

#include "core/shared_controls.h"
#include "full_edition.h"

namespace {

WindowLayout buildFullLayout() {
    using K = ControlKind;
    WindowLayout layout{375, 295, {}, answerBrowser, 80, forgetLeavingClient};
    layout.controls = sharedControls({
        206,                // 分组框1's height
        {29, 62, 96},       // shortcut table rows
        {22, 130},          // 按钮1
        {109, 130}, "退出",  // 按钮2
        {35, 214},          // 透明标签7
        {57, 239},          // 透明标签8
        {148, 239},         // 超级链接框1
        {253, 239},         // 透明标签9
        "控制页面地址：",
    });
    auto& controls = layout.controls;

    // A caption for the password box beside it.
    ControlSpec passwordCaption{ControlId::按钮3, K::PushButton, true, 195, 130, 60, 23, "关机密码"};
    passwordCaption.disabled = true;
    controls.push_back(passwordCaption);

    ControlSpec password{ControlId::编辑框1, K::PasswordEdit, true, 276, 129, 70, 23, "7395"};
    password.font = FontKind::D;
    password.textLimit = 4;
    password.onLeftButtonUp = passwordHint;
    controls.push_back(password);

    ControlSpec pick{ControlId::按钮4, K::PushButton, true, 78, 173, 60, 23, "获取歌名"};
    pick.onClick = fillPicker;
    controls.push_back(pick);

    // Only the picker writes the chosen window's handle here.
    ControlSpec handle{ControlId::编辑框2, K::ReadOnlyEdit, true, 184, 173, 100, 23, ""};
    handle.font = FontKind::D;
    handle.disabled = true;
    controls.push_back(handle);

    // Last, so that when shown it covers the table, 按钮3 and 编辑框1.
    ControlSpec titles{ControlId::列表框1, K::ListBox, true, 4, 17, 350, 150, ""};
    titles.hidden = true;
    titles.onItemDoubleClick = takePick;
    controls.push_back(titles);
    return layout;
}

}  // namespace

const WindowLayout& fullLayout() {
    static const WindowLayout layout = buildFullLayout();
    return layout;
}
