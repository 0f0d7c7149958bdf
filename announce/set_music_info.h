// Publishes one now-playing line to every running messenger window.
#pragma once

#include <cstdint>
#include <string_view>

#include "announce/now_playing.h"

namespace quendral {

// How long one messenger window may take to accept the record before it is skipped.
inline constexpr unsigned kSendTimeoutMs = 2000;

// Builds the now-playing record once and sends it, synchronously, to each top-level
// window of the messenger's class in the order the system lists them. A window that
// does not answer within kSendTimeoutMs (or is already hung) is passed over.
void SetMusicInfo(std::u16string_view r_sArtist, std::u16string_view r_sAlbum = {},
                  std::u16string_view r_sTitle = {}, std::u16string_view r_sWMContentID = {},
                  std::u16string_view r_sFormat = kDefaultFormat, std::int16_t r_bShow = kTrue);

}  // namespace quendral
