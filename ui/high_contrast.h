// Whether the window is drawn for high contrast: without the picture, in system colours.
#pragma once

namespace quendral::high_contrast {

// The user's setting (SPI_GETHIGHCONTRAST): what Form1 asks unless it is given another.
bool IsOn();

}  // namespace quendral::high_contrast
