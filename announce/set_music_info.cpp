#include "announce/set_music_info.h"

#include <windows.h>

#include "support/identities.h"
#include "support/stopwatch.h"

namespace quendral {

static_assert(kAccessDenied == ERROR_ACCESS_DENIED);

WindowHandle FindMessengerWindow(Search search, WindowHandle after) {
    const HWND parent = search == Search::kMessageOnly ? HWND_MESSAGE : nullptr;
    return reinterpret_cast<WindowHandle>(
        FindWindowExA(parent, reinterpret_cast<HWND>(after), kMessengerClass, nullptr));
}

DeliveryReport SetMusicInfo(DeliveryPacer& pacer, std::u16string_view r_sArtist,
                            std::u16string_view r_sAlbum, std::u16string_view r_sTitle,
                            std::u16string_view r_sWMContentID, std::u16string_view r_sFormat,
                            std::int16_t r_bShow) {
    const std::u16string text =
        BuildNowPlayingText(r_sArtist, r_sAlbum, r_sTitle, r_sWMContentID, r_sFormat, r_bShow);
    COPYDATASTRUCT record{};
    record.dwData = kNowPlayingRecordId;
    record.cbData = ByteLength(text);
    record.lpData = const_cast<char16_t*>(text.data());

    return DeliverToEveryWindow(
        pacer, FindMessengerWindow,
        [&record](WindowHandle window, unsigned waitMs) {
            // SMTO_BLOCK: no other handler of Quendral runs while it waits. SMTO_ABORTIFHUNG:
            // a window the system counts as hung costs nothing. One gone fails at once.
            DWORD_PTR ignored = 0;
            SetLastError(ERROR_SUCCESS);
            if (SendMessageTimeoutA(reinterpret_cast<HWND>(window), WM_COPYDATA, 0,
                                    reinterpret_cast<LPARAM>(&record),
                                    SMTO_BLOCK | SMTO_ABORTIFHUNG, waitMs, &ignored) != 0) {
                return SendOutcome::kTook;
            }
            return FailedSendOutcome(GetLastError());
        },
        [] { return static_cast<std::uint64_t>(Stopwatch::Now() / 1000); });
}

DeliveryReport MessengerAnnouncer::Announce(std::u16string_view entry) {
    return SetMusicInfo(pacer_, entry);
}

}  // namespace quendral
