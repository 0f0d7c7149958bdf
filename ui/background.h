// The background picture: decoded once from the program's resources, then kept as a
// bitmap at the size the window's client area has at its current DPI.
#pragma once

#include <windows.h>

#include "support/handles.h"
#include "ui/picture.h"

namespace quendral {

class Background {
public:
    // Decodes the JPEG resource; false if it can't (the window is then painted white).
    bool Load(HINSTANCE instance, int resourceId);

    // Prepares the bitmap for a window at this DPI: the picture's own pixels at 96 DPI,
    // scaled with smooth filtering to width x height otherwise.
    void Fit(int dpi, int width, int height);

    // Draws from the client area's top-left corner; falls back to a white fill.
    void Paint(HDC dc, const RECT& client) const { PaintPart(dc, client, {0, 0}); }
    // Draws the part of the picture that lies at from in the client area into area of dc.
    void PaintPart(HDC dc, const RECT& area, POINT from) const;

private:
    picture::Image source_;
    UniqueBitmap fitted_;
    SIZE fittedSize_{};
};

}  // namespace quendral
