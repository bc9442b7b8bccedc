// hotkey_relay_lite: serves the simple control page on port 80 and plays the
// chord of each press.
#include <windows.h>

#include "core/chord.h"
#include "core/connection_server.h"
#include "core/main_window.h"
#include "simple_request_handler.h"

namespace {
constexpr WindowFrame LiteFrame{375, 234};
constexpr int ControlPagePort = 80;
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    HWND window = createMainWindow(instance, LiteFrame);
    if (!window) return 1;
    int exitCode = 0;
    {
        ConnectionServer server(ControlPagePort);  // 服务器1
        const ConnectionOperations operations = server.operations();
        ConnectionServer::Events events;
        events.dataArrival = [&] { simpleRequestHandler(operations, synthesizeChord); };
        server.setEvents(events);

        showCentred(window);
        exitCode = runMessageLoop();
    }
    return exitCode;
}
