#include "ui/caption_font.h"

#include "support/handles.h"

namespace quendral::caption_font {

SIZE RoomOf(const Caption& caption, int dpi) {
    const layout::PixelRect place = layout::ToPixels(caption.place, dpi);
    int inset = 0;
    if (caption.drawn == Drawn::kButton) inset = kButtonEdge;
    if (caption.drawn == Drawn::kInputLine) {
        inset = GetSystemMetricsForDpi(SM_CYEDGE, static_cast<UINT>(dpi));
    }
    return {place.width - 2 * inset, place.height - 2 * inset};
}

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

namespace {

std::optional<LOGFONTW> MessageFontFitted(int dpi, std::span<const Caption> captions) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (!SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0,
                                    static_cast<UINT>(dpi))) {
        return std::nullopt;
    }
    return Fitted(metrics.lfMessageFont, dpi, captions);
}

}  // namespace

std::optional<LOGFONTW> ForCaptions(int dpi) {
    return MessageFontFitted(dpi, kCaptions);
}

std::optional<LOGFONTW> ForText(int dpi) {
    return MessageFontFitted(dpi, kInputLine);
}

}  // namespace quendral::caption_font
