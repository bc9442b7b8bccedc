#include "full_layout.h"

#include "core/window_handlers.h"
#include "full_edition.h"

namespace {

WindowLayout buildFullLayout() {
    using K = ControlKind;
    WindowLayout layout{375, 295, {}, answerBrowser, 80, forgetLeavingClient};
    auto& controls = layout.controls;

    ControlSpec group{ControlId::分组框1, K::GroupBox, false, 5, 2, 360, 206, "快捷键设置"};
    group.font = FontKind::A;
    group.align = Align::Centre;
    controls.push_back(group);

    for (const ControlSpec& spec : shortcutTableControls({{29, 62, 96}})) controls.push_back(spec);

    ControlSpec test{ControlId::按钮1, K::PushButton, true, 22, 130, 60, 23, "测试"};
    test.font = FontKind::B;
    test.onClick = testHandler;
    controls.push_back(test);

    ControlSpec exit{ControlId::按钮2, K::PushButton, true, 109, 130, 60, 23, "退出"};
    exit.onClick = exitHandler;
    controls.push_back(exit);

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

    ControlSpec hint{ControlId::透明标签7, K::Label, false, 35, 214, 300, 23, "请将播放器全局快捷键对照上表设置"};
    hint.font = FontKind::A;
    hint.align = Align::Centre;
    hint.textColour = Red;
    controls.push_back(hint);

    ControlSpec addressLabel{ControlId::透明标签8, K::Label, false, 57, 239, 95, 23, "控制页面地址："};
    addressLabel.font = FontKind::B;
    addressLabel.align = Align::Right;
    addressLabel.textColour = Red;
    controls.push_back(addressLabel);

    controls.push_back({ControlId::超级链接框1, K::HyperLink, false, 148, 239, 96, 23, ""});

    ControlSpec author{ControlId::透明标签9, K::Label, false, 253, 239, 80, 20, "By:Ostrevan"};
    author.textColour = Red;
    controls.push_back(author);

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
