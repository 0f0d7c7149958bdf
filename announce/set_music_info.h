// Publishes one now-playing line to every running messenger window.
#pragma once

#include <cstdint>
#include <string_view>

#include "announce/delivery.h"
#include "announce/now_playing.h"

namespace quendral {

// The next window of the messenger's class after after (0: the first) among the
// top-level windows or among the message-only ones; 0 when there is none.
WindowHandle FindMessengerWindow(Search search, WindowHandle after);

// Builds the now-playing record once and hands it to every messenger window in one
// bounded step (DeliverToEveryWindow). A send that times out before its window took the
// record is withdrawn by the system; one the window already took still runs its course.
DeliveryReport SetMusicInfo(DeliveryPacer& pacer, std::u16string_view r_sArtist,
                            std::u16string_view r_sAlbum = {}, std::u16string_view r_sTitle = {},
                            std::u16string_view r_sWMContentID = {},
                            std::u16string_view r_sFormat = kDefaultFormat,
                            std::int16_t r_bShow = kTrue);

// Sends each entry to the messenger with the now-playing defaults, remembering from step
// to step which windows made a step wait.
class MessengerAnnouncer final : public Announcer {
public:
    DeliveryReport Announce(std::u16string_view entry) override;

private:
    DeliveryPacer pacer_;
};

}  // namespace quendral
