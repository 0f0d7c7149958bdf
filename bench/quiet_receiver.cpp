// A receiver that costs next to nothing: a window of the messenger's class that takes
// every record at once and only counts the now-playing ones, drawing and logging
// nothing, so that the benchmark's steps time the sender, not the receiver.
#include "bench/baselines.h"
#include "announce/now_playing.h"
#include "support/identities.h"

namespace {

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    static LRESULT taken = 0;
    if (message == WM_COPYDATA) {
        taken += reinterpret_cast<const COPYDATASTRUCT*>(lParam)->dwData ==
                 quendral::kNowPlayingRecordId;
        return TRUE;
    }
    if (message == quendral::bench::kRecordsTaken) return taken;
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

const quendral::bench::WindowProgram quendral::bench::kProgram{quendral::kMessengerClassW,
                                                               kQuietReceiverCaption, &Procedure};
