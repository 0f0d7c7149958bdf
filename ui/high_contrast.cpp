#include "ui/high_contrast.h"

#include <windows.h>

namespace quendral::high_contrast {

namespace {

std::optional<bool> overridden;

}  // namespace

bool IsOn() {
    if (overridden) return *overridden;
    HIGHCONTRASTW setting{};
    setting.cbSize = sizeof(setting);
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(setting), &setting, 0) != FALSE &&
           (setting.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

void OverrideForTests(std::optional<bool> on) {
    overridden = on;
}

}  // namespace quendral::high_contrast
