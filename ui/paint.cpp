#include "ui/paint.h"

#include <string>

#include "support/handles.h"
#include "support/window_text.h"

namespace quendral::paint {

namespace {

// What the labels and Clear stand on: the layout's Color 9, the system's caption-text colour.
constexpr int kLabelFace = COLOR_CAPTIONTEXT;
// The picture's own lettering on its status strip.
constexpr COLORREF kStripText = RGB(0x3E, 0x53, 0x71);

// The label face is white in the classic scheme but black in today's, where button-text black
// would vanish on it: text on it takes whichever of black and white stands out.
COLORREF TextColourOn(COLORREF background) {
    const int luminance =
        (GetRValue(background) * 299 + GetGValue(background) * 587 + GetBValue(background) * 114) /
        1000;
    return luminance >= 128 ? RGB(0, 0, 0) : RGB(255, 255, 255);
}

}  // namespace

bool SystemHighContrast() {
    HIGHCONTRASTW setting{};
    setting.cbSize = sizeof(setting);
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(setting), &setting, 0) != FALSE &&
           (setting.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

void Window(HDC dc, HWND window, bool highContrast, const Background& background) {
    RECT client{};
    GetClientRect(window, &client);
    if (highContrast) {
        FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
    } else {
        background.Paint(dc, client);
    }
}

void Button(const DRAWITEMSTRUCT& item, bool highContrast, bool onLabelFace, HFONT font) {
    HDC dc = item.hDC;
    RECT face = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const COLORREF colour = highContrast  ? GetSysColor(COLOR_BTNFACE)
                            : onLabelFace ? GetSysColor(kLabelFace)
                                          : RGB(255, 255, 255);

    SetDCBrushColor(dc, colour);
    FillRect(dc, &face, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    DrawEdge(dc, &face, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST);

    const std::u16string caption = WindowText(item.hwndItem);
    RECT text = face;
    if (pressed) OffsetRect(&text, 1, 1);
    const bool enabled = (item.itemState & ODS_DISABLED) == 0;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, !enabled       ? GetSysColor(COLOR_GRAYTEXT)
                     : highContrast ? GetSysColor(COLOR_BTNTEXT)
                                    : TextColourOn(colour));
    Selection selected(dc, font);
    DrawTextW(dc, WideCString(caption), -1, &text,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);

    // In high contrast the focus is shown even where keyboard cues are hidden.
    if ((item.itemState & ODS_FOCUS) != 0 &&
        (highContrast || (item.itemState & ODS_NOFOCUSRECT) == 0)) {
        RECT focus = face;
        InflateRect(&focus, -1, -1);
        DrawFocusRect(dc, &focus);
    }
}

// Drawn off-screen first, so that a changing text never flickers.
void Status(const DRAWITEMSTRUCT& item, HWND window, bool highContrast,
            const Background& background, HFONT font) {
    const RECT area = item.rcItem;
    const RECT local{0, 0, area.right - area.left, area.bottom - area.top};
    UniqueDc memory(CreateCompatibleDC(item.hDC));
    void* bits = nullptr;  // a DIB: drawn into without a word to the display server
    UniqueBitmap bitmap = TopDownBitmap(local.right, local.bottom, &bits);
    if (!memory || !bitmap) return;
    Selection drawn(memory.get(), bitmap.get());
    HDC dc = memory.get();
    if (highContrast) {
        FillRect(dc, &local, GetSysColorBrush(COLOR_BTNFACE));
    } else {
        POINT from{area.left, area.top};
        MapWindowPoints(item.hwndItem, window, &from, 1);
        background.PaintPart(dc, local, from);
    }
    const std::u16string text = WindowText(item.hwndItem);
    RECT room = local;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, highContrast ? GetSysColor(COLOR_BTNTEXT) : kStripText);
    Selection selected(dc, font);
    DrawTextW(dc, WideCString(text), static_cast<int>(text.size()), &room,
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    BitBlt(item.hDC, area.left, area.top, local.right, local.bottom, dc, 0, 0, SRCCOPY);
}

HBRUSH LabelColours(HDC dc, bool highContrast) {
    const int background = highContrast ? COLOR_BTNFACE : kLabelFace;
    SetTextColor(dc,
                 highContrast ? GetSysColor(COLOR_BTNTEXT) : TextColourOn(GetSysColor(background)));
    SetBkColor(dc, GetSysColor(background));
    return GetSysColorBrush(background);
}

}  // namespace quendral::paint
