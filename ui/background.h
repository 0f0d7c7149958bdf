// The background picture: decoded once from the program's resources, then kept as a
// bitmap at the size the window's client area has at its current DPI.
#pragma once

#include <windows.h>

#include <vector>

#include "ui/handles.h"

namespace quendral {

class Background {
public:
    // Decodes the JPEG resource with the Windows Imaging Component; false if it can't.
    bool Load(HINSTANCE instance, int resourceId);

    // Prepares the bitmap for a window at this DPI: the picture's own pixels at 96 DPI,
    // scaled with smooth filtering to width x height otherwise.
    void Fit(int dpi, int width, int height);

    // Draws from the client area's top-left corner; falls back to a white fill.
    void Paint(HDC dc, const RECT& client) const;

private:
    std::vector<BYTE> pixels_;  // 32-bit BGRA rows, top-down
    int width_ = 0;
    int height_ = 0;
    UniqueBitmap fitted_;
    SIZE fittedSize_{};
};

}  // namespace quendral
