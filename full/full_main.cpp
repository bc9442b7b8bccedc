// hotkey_relay: the full edition. Serves the control page with the current
// song's title on port 80, plays the chord of each press, and shuts the PC
// down on a press of the shutdown button with the right password.
#include <windows.h>

#include "core/main_window.h"
#include "core/out_of_memory.h"
#include "full_layout.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    endProcessWhenOutOfMemory();
    return runMainWindow(instance, fullLayout());
}
