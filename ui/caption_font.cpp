#include "ui/caption_font.h"

#include "support/handles.h"
#include "ui/dpi.h"

namespace quendral::caption_font {

using controls::Control, controls::Drawn;

SIZE RoomOf(const Control& control, int dpi) {
    const layout::PixelRect place = layout::ToPixels(control.place, dpi);
    // DrawEdge's raised edge is two pixels at every DPI.
    const int inset = control.drawn == Drawn::kButton      ? 2
                      : control.drawn == Drawn::kInputLine ? dpi::Metric(SM_CYEDGE, dpi)
                                                           : 0;
    return {place.width - 2 * inset, place.height - 2 * inset};
}

namespace {

// Whether the caption fits its room in dc's font. A button's captions have no accents or
// descenders, so they may cut into the room the line keeps for them; the others may not.
bool Fits(HDC dc, const Control& control, int dpi) {
    TEXTMETRICW metrics{};
    SIZE extent{};
    if (!GetTextMetricsW(dc, &metrics) ||
        !GetTextExtentPoint32W(dc, control.caption, lstrlenW(control.caption), &extent)) {
        return false;
    }
    const SIZE room = RoomOf(control, dpi);
    if (extent.cx > room.cx) return false;
    if (control.drawn != Drawn::kButton) return metrics.tmHeight <= room.cy;
    // Where DrawText's DT_VCENTER puts the line; the letters run from below its internal
    // leading down to the baseline.
    const int top = room.cy / 2 - metrics.tmHeight / 2;
    return top + metrics.tmInternalLeading >= 0 && top + metrics.tmAscent <= room.cy;
}

std::optional<LOGFONTW> MessageFontFitted(int dpi, controls::Font fitted) {
    const std::optional<LOGFONTW> font = dpi::MessageFont(dpi);
    if (!font) return std::nullopt;
    return Fitted(*font, dpi, fitted);
}

}  // namespace

LOGFONTW Fitted(LOGFONTW base, int dpi, controls::Font fitted) {
    const LONG smallest = MulDiv(6, dpi, 72);
    LONG height = base.lfHeight < 0 ? -base.lfHeight : 0;
    UniqueDc dc(CreateCompatibleDC(nullptr));
    for (; dc && height > smallest; --height) {
        LOGFONTW trial = base;
        trial.lfHeight = -height;
        trial.lfWidth = 0;
        UniqueFont font(CreateFontIndirectW(&trial));
        if (!font) break;
        Selection selected(dc.get(), font.get());
        bool all = true;
        for (const Control& control : controls::kControls) {
            all = all && (!controls::FittedTo(control, fitted) || Fits(dc.get(), control, dpi));
        }
        if (all) break;
    }
    if (height > 0) {
        base.lfHeight = -height;
        base.lfWidth = 0;
    }
    return base;
}

std::optional<LOGFONTW> ForCaptions(int dpi) {
    return MessageFontFitted(dpi, controls::Font::kCaption);
}

std::optional<LOGFONTW> ForText(int dpi) {
    return MessageFontFitted(dpi, controls::Font::kText);
}

}  // namespace quendral::caption_font
