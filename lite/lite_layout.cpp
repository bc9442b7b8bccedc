#include "lite_layout.h"

#include "core/chord.h"
#include "core/main_window.h"
#include "core/shared_controls.h"
#include "simple_request_handler.h"

namespace {

void answerBrowser(MainWindow& window) { simpleRequestHandler(window.server->operations(), synthesizeChord); }

WindowLayout buildLiteLayout() {
    WindowLayout layout{375, 234, {}, answerBrowser, 80};
    layout.controls = sharedControls({
        155,                // 分组框1's height
        {20, 53, 87},       // shortcut table rows
        {105, 121},         // 按钮1
        {196, 121}, "关闭",  // 按钮2
        {36, 162},          // 透明标签7
        {37, 183},          // 透明标签8
        {128, 183},         // 超级链接框1
        {232, 184},         // 透明标签9
        "远程控制地址：",
    });
    return layout;
}

}  // namespace

const WindowLayout& liteLayout() {
    static const WindowLayout layout = buildLiteLayout();
    return layout;
}
