#include <doctest/doctest.h>

#include "announce/delivery.h"
#include "rotation/status.h"

using namespace quendral;

namespace {

StepReport Published(std::u16string line, DeliveryReport delivery) {
    return {StepReport::Kind::kPublished, std::move(line), delivery};
}

StepReport NotSent() {
    StepReport report;
    report.kind = StepReport::Kind::kNotSent;
    return report;
}

}  // namespace

TEST_CASE("Status::says what each step did") {
    SUBCASE("before and without a line") {
        CHECK(kStatusBeforeFirstStep == u"Add lines, then press Ok");
        CHECK(StatusText({}) == u"Nothing to send: the list is empty");
        CHECK(StatusText(NotSent()) == u"Not sent: the system is short of memory for this line");
        CHECK(StatusText(Published(u"x", {0, 0, 0})) == u"No messenger is running");
    }
    SUBCASE("every window took it: singular and plural") {
        CHECK(StatusText(Published(u"Tarkan - Şımarık", {1, 1, 0})) ==
              u"Sent to 1 messenger: Tarkan - Şımarık");
        CHECK(StatusText(Published(u"a", {2, 2, 0})) == u"Sent to 2 messengers: a");
        CHECK(StatusText(Published(u"", {1, 1, 0})) == u"Sent to 1 messenger: ");
    }
    SUBCASE("some took it; none did, timed out or gone") {
        CHECK(StatusText(Published(u"a", {2, 1, 0})) == u"Sent to 1 of 2 messengers: a");
        CHECK(StatusText(Published(u"a", {1, 0, 0})) == u"Sent to 0 of 1 messenger: a");
        CHECK(StatusText(Published(u"a", {3, 0, 0})) == u"Sent to 0 of 3 messengers: a");
    }
    SUBCASE("refused for rights: asked about only when no window took it") {
        const std::u16string refused =
            u"Not sent: Windows refused it. Is the messenger running as administrator?";
        CHECK(StatusText(Published(u"a", {1, 0, 1})) == refused);
        CHECK(StatusText(Published(u"a", {3, 0, 1})) == refused);
        CHECK(StatusText(Published(u"a", {3, 1, 2})) == u"Sent to 1 of 3 messengers: a");
    }
}

TEST_CASE("Status::the line is shown on one line and cut at 100 units") {
    SUBCASE("tabs, line breaks and control characters show as spaces, CR LF as one") {
        CHECK(OneLine(u"a\tb\r\nc\nd\re\u2028f\u0085g\u0001h") == u"a b c d e f g h");
    }
    SUBCASE("100 units whole, 101 cut to 100 and an ellipsis") {
        const std::u16string hundred(100, u'x');
        CHECK(OneLine(hundred) == hundred);
        CHECK(OneLine(hundred + u"y") == hundred + u"\u2026");
    }
    SUBCASE("a surrogate pair on the edge is kept whole or left out whole") {
        const std::u16string note = u"\U0001F3B5";
        REQUIRE(note.size() == 2);
        // The pair as units 99 and 100: it goes, the text ends before it.
        CHECK(OneLine(std::u16string(99, u'x') + note + u"z") ==
              std::u16string(99, u'x') + u"\u2026");
        // As units 98 and 99: it stays, and the cut comes after it.
        CHECK(OneLine(std::u16string(98, u'x') + note + u"z") ==
              std::u16string(98, u'x') + note + u"\u2026");
        CHECK(OneLine(std::u16string(98, u'x') + note) == std::u16string(98, u'x') + note);
    }
    SUBCASE("the status quotes the shown line") {
        const StepReport report{StepReport::Kind::kPublished,
                                u"one\ttwo" + std::u16string(200, u'-'), DeliveryReport{1, 1, 0}};
        const std::u16string text = StatusText(report);
        CHECK(text.starts_with(u"Sent to 1 messenger: one two---"));
        CHECK(text.size() == std::u16string_view(u"Sent to 1 messenger: ").size() + 101);
        CHECK(text.ends_with(u"\u2026"));
    }
}

TEST_CASE("Status::the error a failed send left decides between refused and not taken") {
    // Windows' own numbers, written out: ERROR_ACCESS_DENIED, then the errors a timeout, a
    // hung window and a window gone leave (ERROR_TIMEOUT, none, ERROR_INVALID_WINDOW_HANDLE).
    constexpr std::uint32_t accessDenied = 5;
    constexpr std::uint32_t otherErrors[] = {1460, 0, 1400};
    CHECK(FailedSendOutcome(accessDenied) == SendOutcome::kRefused);
    for (const std::uint32_t error : otherErrors) {
        INFO("error " << error);
        CHECK(FailedSendOutcome(error) == SendOutcome::kNotTaken);
    }

    // From the failed call to the strip: one messenger whose sends all fail with the error.
    const auto stripAfter = [](std::uint32_t error) {
        DeliveryPacer pacer;
        const DeliveryReport delivery = DeliverToEveryWindow(
            pacer,
            [](Search search, WindowHandle after) -> WindowHandle {
                return search == Search::kTopLevel && after == 0 ? 0x10 : 0;
            },
            [error](WindowHandle, unsigned) { return FailedSendOutcome(error); },
            [] { return std::uint64_t{0}; });
        return StatusText(Published(u"a", delivery));
    };
    CHECK(stripAfter(accessDenied) ==
          u"Not sent: Windows refused it. Is the messenger running as administrator?");
    CHECK(stripAfter(1460) == u"Sent to 0 of 1 messenger: a");
}
