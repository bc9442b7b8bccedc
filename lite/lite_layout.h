#pragma once

#include "core/window_layout.h"

// The simple edition's window: shorter than the full one, without its extras.
const WindowLayout& liteLayout();
