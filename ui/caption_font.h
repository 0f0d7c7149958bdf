// The message font, shrunk until every caption that takes it is whole: the layout was
// drawn for a narrower font (in Segoe UI 9 pt "Second:" loses its colon).
#pragma once

#include <windows.h>

#include <optional>

#include "ui/controls.h"

namespace quendral::caption_font {

// The room a control's text has at dpi: its place, less a button's or the input box's edge.
SIZE RoomOf(const controls::Control& control, int dpi);

// base at the largest whole-pixel height, not above its own and not below 6 pt, at
// which the caption of every control fitted to font fits at dpi.
LOGFONTW Fitted(LOGFONTW base, int dpi, controls::Font font);

// The system's message font at dpi fitted to the captions, or to a line of the input
// box; nothing if the system doesn't say.
std::optional<LOGFONTW> ForCaptions(int dpi);
std::optional<LOGFONTW> ForText(int dpi);

}  // namespace quendral::caption_font
