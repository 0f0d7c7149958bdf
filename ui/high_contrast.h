// Whether the window is drawn for high contrast: without the picture, in the system's
// colours only. The one place the drawing code learns it from.
#pragma once

#include <optional>

namespace quendral::high_contrast {

// The user's setting (SPI_GETHIGHCONTRAST), unless a test has said otherwise.
bool IsOn();

// For tests, which can't switch the system's setting on under Wine: IsOn answers on,
// or the system again after nullopt. The program itself never calls it.
void OverrideForTests(std::optional<bool> on);

}  // namespace quendral::high_contrast
