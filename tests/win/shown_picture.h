// The background picture as Quendral's window must show it, and shots of the screen that
// wait for another process's paint to reach it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "harness/harness.h"
#include "ui/picture.h"

namespace quendral::testing {

// The background as Quendral.exe beside this program carries it (RCDATA 101), as a file's
// bytes; empty if it can't be read.
std::vector<std::uint8_t> BackgroundResource();

// The picture as a client area of this size shows it at the screen's DPI: its own pixels at
// 96 DPI, scaled to the client area at others. Empty if it can't be read.
picture::Image PictureAsShown(SIZE client);

// Copies the screen's rectangle at origin into shot (of that size) until painted() holds,
// within a bound: another process paints, and Wine puts its paint on the screen, on their
// own time, even after a message sent to it has been answered. The shot holds the last try.
bool ShootUntil(const Canvas& shot, POINT origin, SIZE size, const std::function<bool()>& painted);

// Whether the shot's pixel at x, y (a shot size.cx wide) is the picture's at px, py.
bool SameAsPicture(const Canvas& shot, int width, int x, int y, const picture::Image& picture,
                   int px, int py);

}  // namespace quendral::testing
