// The window's drawing, which in high contrast takes system colours only.
#pragma once

#include <windows.h>

#include "ui/background.h"

namespace quendral::paint {

// The user's high-contrast setting, which Form1 asks unless it is given another way to.
bool SystemHighContrast();

// The client area of window: the picture, or the window colour in high contrast.
void Window(HDC dc, HWND window, bool highContrast, const Background& background);

// A button's raised face, its caption in font and its focus; onLabelFace for the one
// button on the labels' colour, the rest are white.
void Button(const DRAWITEMSTRUCT& item, bool highContrast, bool onLabelFace, HFONT font);

// The status strip: its part of window's picture with the text in font over it.
void Status(const DRAWITEMSTRUCT& item, HWND window, bool highContrast,
            const Background& background, HFONT font);

// Sets dc's colours for a label and returns the brush of its background.
HBRUSH LabelColours(HDC dc, bool highContrast);

}  // namespace quendral::paint
