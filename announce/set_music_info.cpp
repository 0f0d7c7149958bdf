#include "announce/set_music_info.h"

#include <windows.h>

namespace quendral {

void SetMusicInfo(std::u16string_view r_sArtist, std::u16string_view r_sAlbum,
                  std::u16string_view r_sTitle, std::u16string_view r_sWMContentID,
                  std::u16string_view r_sFormat, std::int16_t r_bShow) {
    const std::u16string text =
        BuildNowPlayingText(r_sArtist, r_sAlbum, r_sTitle, r_sWMContentID, r_sFormat, r_bShow);
    COPYDATASTRUCT record{};
    record.dwData = kNowPlayingTag;
    record.cbData = ByteLength(text);
    record.lpData = const_cast<char16_t*>(text.data());

    DeliverToEveryWindow(
        [](WindowHandle after) {
            return reinterpret_cast<WindowHandle>(
                FindWindowExA(nullptr, reinterpret_cast<HWND>(after), kMessengerClass, nullptr));
        },
        [&record](WindowHandle window) {
            // A plain SendMessage would wait forever on a messenger that stopped answering.
            DWORD_PTR ignored = 0;
            SendMessageTimeoutA(reinterpret_cast<HWND>(window), WM_COPYDATA, 0,
                                reinterpret_cast<LPARAM>(&record), SMTO_BLOCK | SMTO_ABORTIFHUNG,
                                kSendTimeoutMs, &ignored);
        });
}

}  // namespace quendral
