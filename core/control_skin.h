// A skin for the standard controls of every window of the window thread:
// push buttons with gradient faces, check boxes, radio buttons, group boxes,
// edit boxes, drop-down combo boxes with their lists, and spin controls get
// frames in the scheme's colour. Controls created later are skinned too.
#pragma once

// Scheme 1, 2 or 3 switches the skin on (again) with that scheme's colour; any
// other value switches it off and gives the controls back their own look.
void enableControlSkin(int scheme);
