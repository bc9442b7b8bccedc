#include "full_edition.h"

#include <windows.h>

#include <memory>

#include "balloon_tip.h"
#include "core/chord.h"
#include "core/main_window.h"
#include "core/text_conversions.h"
#include "full_request_handler.h"
#include "shutdown_command.h"
#include "song_title.h"
#include "window_titles.h"

namespace {

// The parts of a POST still arriving, per connection; one window per program.
RequestAssembler requestsInPieces;

Text songTitleHtml(const MainWindow& window) {
    const std::int32_t handle = textToInt(controlText(window, ControlId::编辑框2));
    const std::optional<std::u16string> title = readWindowTitle(handle);
    return title ? titleForPage(*title, gbkCharacter) : Text();
}

}  // namespace

void answerBrowser(MainWindow& window) {
    FullEditionOperations edition;
    edition.password = [&window] { return controlText(window, ControlId::编辑框1); };
    edition.songTitleHtml = [&window] { return songTitleHtml(window); };
    edition.synthesizeChord = synthesizeChord;
    edition.pause = [](int milliseconds) { Sleep(static_cast<DWORD>(milliseconds)); };
    edition.startShutdown = startShutdownCommand;
    edition.exitProgram = [&window] { exitProgram(window, 0); };
    fullRequestHandler(window.server->operations(), edition, requestsInPieces);
}

void forgetLeavingClient(MainWindow& window) { requestsInPieces.forget(window.server->getCurrentClient()); }

void passwordHint(MainWindow& window) {
    static std::unique_ptr<BalloonTip> balloon;  // 气球提示框1, made on first use
    if (!balloon) balloon = std::make_unique<BalloonTip>(window.handle);
    POINT pointer{};
    GetCursorPos(&pointer);
    // Always the default password, whatever the box holds now.
    balloon->show(pointer.x, pointer.y, "默认关机密码:7395");
}

void fillPicker(MainWindow& window) {
    HWND list = window.control(ControlId::列表框1);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (std::int32_t handle : listTopLevelWindows()) {
        const std::optional<std::u16string> title = readWindowTitle(handle);
        if (!title || title->empty()) continue;
        const std::wstring text(title->begin(), title->end());
        const LRESULT index = SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        if (index < 0) continue;
        SendMessageW(list, LB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(handle));
    }
    if (SendMessageW(list, LB_GETCOUNT, 0, 0) > 0) setControlVisible(window, ControlId::列表框1, true);
}

void takePick(MainWindow& window) {
    HWND list = window.control(ControlId::列表框1);
    const LRESULT selected = SendMessageW(list, LB_GETCURSEL, 0, 0);
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    const std::int32_t handle = selected >= 0 && selected < count
                                    ? static_cast<std::int32_t>(SendMessageW(list, LB_GETITEMDATA, selected, 0))
                                    : -1;
    setControlText(window, ControlId::编辑框2, intToText(handle));
    setControlVisible(window, ControlId::列表框1, false);
}
