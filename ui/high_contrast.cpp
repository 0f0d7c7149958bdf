#include "ui/high_contrast.h"

#include <windows.h>

namespace quendral::high_contrast {

bool IsOn() {
    HIGHCONTRASTW setting{};
    setting.cbSize = sizeof(setting);
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(setting), &setting, 0) != FALSE &&
           (setting.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

}  // namespace quendral::high_contrast
