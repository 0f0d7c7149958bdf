// A program that imports GetDpiForWindow by name, as Quendral must never: the import
// check must refuse it even where its list is told the function is XP's.
#define _WIN32_WINNT 0x0A00
#include <windows.h>

int main(void) {
    return (int)GetDpiForWindow(GetDesktopWindow());
}
