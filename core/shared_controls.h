// The controls both editions' windows have, placed where an edition wants them.
#pragma once

#include <string_view>
#include <vector>

#include "window_layout.h"

struct Place {
    int x, y;
};

// Where an edition puts the shared controls, and the two texts that differ.
struct SharedControlPlaces {
    int groupHeight;
    int rowY[3];  // the shortcut table's rows, inside 分组框1
    Place testButton, exitButton;  // inside 分组框1
    std::string_view exitCaption;
    Place hint, addressCaption, addressLink, author;
    std::string_view addressCaptionText;
};

// 分组框1 with the shortcut table and the test and exit buttons, the hint, the
// address caption and link, and the author line, in creation order.
std::vector<ControlSpec> sharedControls(const SharedControlPlaces& places);
