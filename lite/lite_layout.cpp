#include "lite_layout.h"

#include "core/chord.h"
#include "core/main_window.h"
#include "core/window_handlers.h"
#include "simple_request_handler.h"

namespace {

void answerBrowser(MainWindow& window) { simpleRequestHandler(window.server->operations(), synthesizeChord); }

WindowLayout buildLiteLayout() {
    using K = ControlKind;
    WindowLayout layout{375, 234, {}, answerBrowser, 80};
    auto& controls = layout.controls;

    ControlSpec group{ControlId::分组框1, K::GroupBox, false, 5, 2, 360, 155, "快捷键设置"};
    group.font = FontKind::A;
    group.align = Align::Centre;
    controls.push_back(group);

    for (const ControlSpec& spec : shortcutTableControls({{20, 53, 87}})) controls.push_back(spec);

    ControlSpec test{ControlId::按钮1, K::PushButton, true, 105, 121, 60, 23, "测试"};
    test.font = FontKind::B;
    test.onClick = testHandler;
    controls.push_back(test);

    ControlSpec close{ControlId::按钮2, K::PushButton, true, 196, 121, 60, 23, "关闭"};
    close.onClick = exitHandler;
    controls.push_back(close);

    ControlSpec hint{ControlId::透明标签7, K::Label, false, 36, 162, 300, 23, "请将播放器全局快捷键对照上表设置"};
    hint.font = FontKind::A;
    hint.align = Align::Centre;
    hint.textColour = Red;
    controls.push_back(hint);

    ControlSpec addressLabel{ControlId::透明标签8, K::Label, false, 37, 183, 95, 23, "远程控制地址："};
    addressLabel.font = FontKind::B;
    addressLabel.align = Align::Right;
    addressLabel.textColour = Red;
    controls.push_back(addressLabel);

    controls.push_back({ControlId::超级链接框1, K::HyperLink, false, 128, 183, 96, 23, ""});

    ControlSpec author{ControlId::透明标签9, K::Label, false, 232, 184, 80, 20, "By:Ostrevan"};
    author.textColour = Red;
    controls.push_back(author);
    return layout;
}

}  // namespace

const WindowLayout& liteLayout() {
    static const WindowLayout layout = buildLiteLayout();
    return layout;
}
