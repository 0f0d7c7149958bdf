// SetMusicInfo against real receivers: stand-in messenger processes.
#include <doctest/doctest.h>

#include <algorithm>

#include "announce/set_music_info.h"
#include "harness/harness.h"
#include "support/identities.h"

using namespace quendral;
using namespace quendral::testing;

namespace {

std::vector<std::uint8_t> ExpectedBytes(std::u16string_view artist) {
    return BytesOf(BuildNowPlayingText(artist, u"", u"", u"", kDefaultFormat, kTrue));
}

void CheckRecord(const LoggedRecord& record, std::u16string_view artist) {
    CHECK(record.dwData == kNowPlayingRecordId);
    CHECK(record.cbData == record.bytes.size());
    CHECK(record.bytes == ExpectedBytes(artist));
}

// One call that remembers nothing of the calls before it.
void SendOnce(std::u16string_view artist) {
    DeliveryPacer pacer;
    SetMusicInfo(pacer, artist);
}

}  // namespace

TEST_CASE("SetMusicInfo::reaches every messenger window, byte for byte") {
    Messenger first;
    Messenger second;
    const std::u16string emoji = u"Şarkı \U0001F3B5 Ελληνικά";

    SendOnce(u"Hello");
    SendOnce(emoji);

    for (Messenger* messenger : {&first, &second}) {
        REQUIRE(messenger->WaitForRecords(2, 10000));
        const auto records = messenger->Records();
        REQUIRE(records.size() == 2);
        CHECK(records[0].cbData == 74);
        CheckRecord(records[0], u"Hello");
        CheckRecord(records[1], emoji);
    }
}

TEST_CASE("SetMusicInfo::with no messenger running sends nothing and returns") {
    // The messengers of the cases before are ended, and their windows go with them.
    REQUIRE(WaitUntil([] { return TopLevelWindows(kMessengerClassW).empty(); }, 30000));
    SendOnce(u"nobody listens");
    // A messenger that starts afterwards has nothing waiting for it: the first record it
    // gets, and its only one, is the one sent once it runs.
    Messenger late;
    SendOnce(u"now someone does");
    REQUIRE(late.WaitForRecords(1, 10000));
    CHECK(late.Records().size() == 1);
    CheckRecord(late.Records().at(0), u"now someone does");
}

TEST_CASE("SetMusicInfo::a messenger that stopped answering does not hold the others up") {
    Messenger hung(L"--hang");
    Messenger healthy;

    SendOnce(u"first");
    REQUIRE(hung.WaitForRecords(1, 10000));
    REQUIRE(healthy.WaitForRecords(1, 10000));

    SendOnce(u"second");
    REQUIRE(healthy.WaitForRecords(2, 10000));
    CheckRecord(healthy.Records().at(1), u"second");
    CHECK_FALSE(hung.Process().HasExited());
    CHECK(hung.Records().size() == 1);
}

TEST_CASE(
    "SetMusicInfo::the search lists top-level windows of the class before message-only ones") {
    // The message-only one starts first; had the search no order of its own, it could come
    // first too.
    Messenger messageOnly(L"--message-only --title listener");
    Messenger topLevel(L"--title top-level");
    const auto windows = CollectWindows(FindMessengerWindow);
    const auto at = [&](HWND window) {
        return std::find(windows.begin(), windows.end(), reinterpret_cast<WindowHandle>(window)) -
               windows.begin();
    };
    REQUIRE(at(topLevel.Window()) < static_cast<std::ptrdiff_t>(windows.size()));
    REQUIRE(at(messageOnly.Window()) < static_cast<std::ptrdiff_t>(windows.size()));
    CHECK(at(topLevel.Window()) < at(messageOnly.Window()));
    // Each search yields only its own kind.
    CHECK(FindMessengerWindow(Search::kMessageOnly, 0) == WindowHandle(messageOnly.Window()));
    CHECK(FindMessengerWindow(Search::kTopLevel, 0) == WindowHandle(topLevel.Window()));
}

TEST_CASE("SetMusicInfo::a messenger the system counts as hung costs the step none of its time") {
    // Once it has kept its first record without answering for five seconds, the system
    // counts the window as hung, and a send to it fails at once. The window behind it, which
    // answers only after 400 ms, then has the step's whole budget; had the hung one been
    // waited for, it would have the short wait left, and miss the record.
    REQUIRE(WaitUntil(
        [] {
            return TopLevelWindows(kMessengerClassW).empty() &&
                   MessageOnlyWindows(kMessengerClassW).empty();
        },
        30000));
    Messenger hung(L"--hang --title hung");
    SendOnce(u"first");
    REQUIRE(hung.WaitForRecords(1, 10000));
    REQUIRE(WaitUntil([&] { return IsHungAppWindow(hung.Window()) != FALSE; }, 30000));
    Messenger slow(L"--message-only --answer-after 400 --title slow");
    static_assert(400 > kShortWaitMs && 400 < kStepBudgetMs / 2);

    DeliveryPacer pacer;  // new: the hung window is not yet known as slow
    const DeliveryReport report = SetMusicInfo(pacer, u"second");
    CHECK(report.found == 2);
    CHECK(report.took == 1);
    CHECK(report.refused == 0);
    REQUIRE(slow.WaitForRecords(1, 10000));
    CheckRecord(slow.Records().at(0), u"second");
    CHECK(hung.Records().size() == 1);
}
