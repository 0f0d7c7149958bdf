#include "ui/caption_font.h"

#include "support/handles.h"
#include "ui/dpi.h"

namespace quendral::caption_font {

SIZE RoomOf(const Caption& caption, int dpi) {
    const layout::PixelRect place = layout::ToPixels(caption.place, dpi);
    // DrawEdge's raised edge is two pixels at every DPI.
    const int inset = caption.drawn == Drawn::kButton      ? 2
                      : caption.drawn == Drawn::kInputLine ? dpi::Metric(SM_CYEDGE, dpi)
                                                           : 0;
    return {place.width - 2 * inset, place.height - 2 * inset};
}

namespace {

// Whether the caption, in dc's font, is no wider than its room and its line not cut. A
// button's captions have neither accents nor descenders, so they may cut into the room
// the line keeps for them; a label and the input box may not.
bool Fits(HDC dc, const Caption& caption, int dpi) {
    TEXTMETRICW metrics{};
    SIZE extent{};
    if (!GetTextMetricsW(dc, &metrics) ||
        !GetTextExtentPoint32W(dc, caption.text, lstrlenW(caption.text), &extent)) {
        return false;
    }
    const SIZE room = RoomOf(caption, dpi);
    if (extent.cx > room.cx) return false;
    if (caption.drawn != Drawn::kButton) return metrics.tmHeight <= room.cy;
    // Where DrawText's DT_VCENTER puts the line; the letters run from below its internal
    // leading down to the baseline.
    const int top = room.cy / 2 - metrics.tmHeight / 2;
    return top + metrics.tmInternalLeading >= 0 && top + metrics.tmAscent <= room.cy;
}

std::optional<LOGFONTW> MessageFontFitted(int dpi, std::span<const Caption> captions) {
    const std::optional<LOGFONTW> font = dpi::MessageFont(dpi);
    if (!font) return std::nullopt;
    return Fitted(*font, dpi, captions);
}

}  // namespace

LOGFONTW Fitted(LOGFONTW base, int dpi, std::span<const Caption> captions) {
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
        for (const Caption& caption : captions) all = all && Fits(dc.get(), caption, dpi);
        if (all) break;
    }
    if (height > 0) {
        base.lfHeight = -height;
        base.lfWidth = 0;
    }
    return base;
}

std::optional<LOGFONTW> ForCaptions(int dpi) {
    return MessageFontFitted(dpi, kCaptions);
}

std::optional<LOGFONTW> ForText(int dpi) {
    return MessageFontFitted(dpi, kInputLine);
}

}  // namespace quendral::caption_font
