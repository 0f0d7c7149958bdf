// The platform's own cost of a window: a program that only opens one plain window, of
// the same client size as Quendral's, and runs its messages until it is closed. The
// benchmark sets Quendral's start-up time and memory against this program's.
#include "bench/baselines.h"

const quendral::bench::WindowProgram quendral::bench::kProgram{
    kBaselineWindowClass, kBaselineWindowCaption, &DefWindowProcW};
