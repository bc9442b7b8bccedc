#pragma once

#include "core/window_layout.h"

// The full edition's window: the shared controls, the password box with its
// hint, and the song-title picker.
const WindowLayout& fullLayout();
