// The fonts of the texts of Quendral's window. The layout was drawn for
// a font narrower than today's message fonts (in Segoe UI 9 pt "Second:" loses its colon),
// so the captions take the message font's face at the largest whole-pixel height, not
// above its own, at which every caption is whole. The list and the input box keep the
// message font wherever a line fits the input box.
#pragma once

#include <windows.h>

#include <optional>
#include <span>

#include "support/identities.h"
#include "ui/layout.h"

namespace quendral::caption_font {

// How a control draws its text, which decides the room the text has.
enum class Drawn {
    kLabel,      // a static control's: from the top-left corner of its rectangle
    kButton,     // an owner-drawn button's: centred inside its raised edge
    kInputLine,  // the input box's: one line inside its client edge
};

struct Caption {
    const wchar_t* text;
    layout::TwipsRect place;
    Drawn drawn;
};

// The captions the caption font must fit; the pace has a font of its own.
inline constexpr Caption kCaptions[] = {
    {captions::kSecond, layout::kLabel1, Drawn::kLabel},
    {captions::kShorter, layout::kAz, Drawn::kButton},
    {captions::kLonger, layout::kCok, Drawn::kButton},
    {captions::kOk, layout::kCommand2, Drawn::kButton},
    {captions::kAdd, layout::kCommand1, Drawn::kButton},
    {captions::kClear, layout::kCommand3, Drawn::kButton},
};

// A line of the input box, which the text font must fit.
inline constexpr Caption kInputLine[] = {{L"", layout::kEkle, Drawn::kInputLine}};

// The room a caption's text has at dpi: its place, less a button's or the input box's edge.
SIZE RoomOf(const Caption& caption, int dpi);

// base at the largest whole-pixel height, not above its own and not below 6 pt, at
// which every one of captions fits at dpi.
LOGFONTW Fitted(LOGFONTW base, int dpi, std::span<const Caption> captions);

// The system's message font at dpi fitted to the captions, or to a line of the input
// box; nothing if the system doesn't say.
std::optional<LOGFONTW> ForCaptions(int dpi);
std::optional<LOGFONTW> ForText(int dpi);

}  // namespace quendral::caption_font
