// The full edition's documents: the control page around the song title, and
// the two alert pages of the shutdown button. GBK.
#pragma once

#include <string_view>

#include "core/text.h"

extern const std::string_view ControlPageHead;
extern const std::string_view ControlPageTail;
extern const std::string_view ShutdownDonePage;
extern const std::string_view WrongPasswordPage;

// The control page with the song title, already made safe for the page.
Text buildControlPage(std::string_view titleHtml);
