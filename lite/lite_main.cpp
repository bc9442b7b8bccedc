// hotkey_relay_lite: the simple edition. Serves the six-button page on port 80
// and plays the chord of each press.
#include <windows.h>

#include "core/main_window.h"
#include "core/out_of_memory.h"
#include "lite_layout.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    endProcessWhenOutOfMemory();
    return runMainWindow(instance, liteLayout());
}
