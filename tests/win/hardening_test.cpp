// Quendral.exe under stress, end to end against stand-in messenger processes:
// receivers that hang or vanish, a full list, a long run, hostile and huge text, and
// the stand-in messenger itself fed malformed records.
#include <doctest/doctest.h>

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "announce/delivery.h"
#include "harness/harness.h"
#include "harness/quendral_app.h"
#include "rotation/win32_seams.h"
#include "support/identities.h"
#include "support/stopwatch.h"

using namespace quendral::testing;
using quendral::Stopwatch;
namespace {

// Long enough for a loaded machine; a program that stopped answering never does.
constexpr UINT kProbeTimeoutMs = 20000;
constexpr std::size_t kMegabyte = 1024 * 1024;

// Every record announces an entry, each the one after the entry before it, round and round.
void CheckFollowsList(const std::vector<LoggedRecord>& records,
                      const std::vector<std::u16string>& entries) {
    CHECK(FollowsList(AnnouncedEntries(records, entries), entries.size()));
}

// Sends WM_NULL and waits at most timeoutMs: the milliseconds the answer took, or none.
std::optional<double> Probe(HWND window, UINT timeoutMs = kProbeTimeoutMs) {
    const Stopwatch watch;
    DWORD_PTR result = 0;
    if (SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &result) == 0) {
        return std::nullopt;
    }
    return watch.Ms();
}

void PressTimes(QuendralApp& app, HWND button, int times) {
    for (int i = 0; i < times; ++i) app.Press(button);
}

const std::vector<std::u16string> kEntries{u"one", u"two", u"three"};

// The indexes in kEntries of the entries a messenger's records announce, in order ("0 1";
// -1 for a record that is none of them).
std::string AnnouncedBy(const Messenger& messenger) {
    std::string indexes;
    for (const int index : AnnouncedEntries(messenger.Records(), kEntries)) {
        indexes += (indexes.empty() ? "" : " ") + std::to_string(index);
    }
    return indexes;
}

// Pace 0 switches the timer off, so only "Ok" steps the rotation; then the entries.
void StepOnlyOnOk(QuendralApp& app, const std::vector<std::u16string>& entries = {}) {
    PressTimes(app, app.Shorter(), 2);
    REQUIRE(app.PaceText() == u"0");
    for (const auto& entry : entries) app.AddEntry(entry);
}

// Presses "Ok" steps times, each press given up after a bound; after each, every messenger
// has one record a step. False if a click never came back.
bool StepWithin(QuendralApp& app, std::size_t steps, UINT timeoutMs,
                std::initializer_list<const Messenger*> messengers) {
    for (std::size_t step = 1; step <= steps; ++step) {
        INFO("step " << step);
        DWORD_PTR result = 0;
        const bool returned =
            SendMessageTimeoutW(app.Ok(), BM_CLICK, 0, 0, SMTO_NORMAL, timeoutMs, &result) != 0;
        CHECK(returned);
        for (const Messenger* messenger : messengers) CHECK(messenger->Records().size() == step);
        if (!returned) return false;
    }
    return true;
}

// Sends a WM_COPYDATA record of bytes (none at a null pointer if empty): false if the
// send failed or timed out.
bool SendRecord(HWND window, ULONG_PTR data, const std::vector<std::uint8_t>& bytes, UINT flags,
                UINT timeoutMs, DWORD_PTR* answer = nullptr) {
    COPYDATASTRUCT copy{};
    copy.dwData = data;
    copy.cbData = static_cast<DWORD>(bytes.size());
    copy.lpData = bytes.empty() ? nullptr : const_cast<std::uint8_t*>(bytes.data());
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy), flags,
                               timeoutMs, answer != nullptr ? answer : &ignored) != 0;
}

std::u16string Numbered(int number) {
    const std::string digits = std::to_string(number);
    return u"entry " + std::u16string(digits.begin(), digits.end());
}

struct TooltipSearch {
    DWORD pid;
    bool visibleOnly;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTooltip(HWND window, LPARAM parameter) {
    auto& search = *reinterpret_cast<TooltipSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t name[128]{};
    GetClassNameW(window, name, 128);
    if (owner == search.pid && std::wstring_view(name).ends_with(L"tooltips_class32") &&
        (!search.visibleOnly || IsWindowVisible(window))) {
        search.found.push_back(window);
    }
    return TRUE;
}

// Tooltip windows of a process (only the visible ones if asked); the system may
// decorate the class name.
std::vector<HWND> Tooltips(DWORD pid, bool visibleOnly) {
    TooltipSearch search{pid, visibleOnly, {}};
    EnumWindows(&CollectTooltip, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A balloon points at a box when it lies under the box's lower edge (or over its upper
// edge, where there is no room below) and shares some of its width.
bool HangsFrom(const RECT& balloon, const RECT& box) {
    constexpr LONG kSlack = 8;
    const bool besideHorizontally = balloon.left < box.right && balloon.right > box.left;
    const bool below = balloon.top >= box.bottom - kSlack && balloon.top <= box.bottom + kSlack;
    const bool above = balloon.bottom >= box.top - kSlack && balloon.bottom <= box.top + kSlack;
    return besideHorizontally && (below || above);
}

// Posts clicks in batches. Posted messages are handled in order, so a selection change
// posted to the list after each batch shows when the batch has been handled.
void PostClicks(QuendralApp& app, HWND button, int count) {
    for (WPARAM marker = 0; count > 0; marker ^= 1) {
        const int batch = std::min(count, 1000);
        for (int i = 0; i < batch; ++i) PostMessageW(button, BM_CLICK, 0, 0);
        count -= batch;
        PostMessageW(app.List(), LB_SETCURSEL, marker, 0);
        REQUIRE(WaitUntil(
            [&] {
                return SendMessageW(app.List(), LB_GETCURSEL, 0, 0) == static_cast<LRESULT>(marker);
            },
            30000));
    }
}

// A process's memory and window-system objects. Wine takes the memory figures from
// Linux (pagefile: the process's anonymous resident memory; working set: all of its
// resident memory) and reports private usage and both object counts as 0.
struct Usage {
    std::size_t pagefile = 0;
    std::size_t workingSet = 0;
    std::size_t privateUsage = 0;
    DWORD gdiObjects = 0;
    DWORD userObjects = 0;
};

Usage UsageOf(HANDLE process) {
    Usage usage;
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof(counters);
    if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                             sizeof(counters))) {
        usage.pagefile = counters.PagefileUsage;
        usage.workingSet = counters.WorkingSetSize;
        usage.privateUsage = counters.PrivateUsage;
    }
    usage.gdiObjects = GetGuiResources(process, GR_GDIOBJECTS);
    usage.userObjects = GetGuiResources(process, GR_USEROBJECTS);
    return usage;
}

doctest::String Describe(const Usage& usage) {
    std::string text = "pagefile " + std::to_string(usage.pagefile / 1024) + " KiB, working set " +
                       std::to_string(usage.workingSet / 1024) + " KiB, private " +
                       std::to_string(usage.privateUsage / 1024) + " KiB, GDI objects " +
                       std::to_string(usage.gdiObjects) + ", USER objects " +
                       std::to_string(usage.userObjects);
    return doctest::String(text.c_str());
}

}  // namespace

TEST_CASE("Delivery::a messenger that never answers leaves Quendral responsive") {
    Messenger hung(L"--hang --title hung");
    Messenger healthy(L"--title healthy");
    QuendralApp app;
    StepOnlyOnOk(app, kEntries);

    // Each "Ok" is one step. The silent window makes the first wait out the step's budget;
    // after that it gets a short wait, and once the system counts it as hung none at all.
    // Without a bound the click would never come back.
    constexpr std::size_t kSteps = 6;
    const Stopwatch watch;
    REQUIRE(StepWithin(app, kSteps, 20000, {&healthy}));
    MESSAGE(kSteps << " steps beside a hung messenger took " << watch.Ms() << " ms");
    CheckFollowsList(healthy.Records(), kEntries);
    CHECK(hung.Records().size() == 1);
    CHECK(Probe(app.Form()).has_value());
    CHECK(app.Close());
}

TEST_CASE("Delivery::windows that move to the top on each record get it once a step") {
    Messenger first(L"--raise --title first");
    Messenger second(L"--raise --title second");
    QuendralApp app;
    StepOnlyOnOk(app, kEntries);

    // Each record is taken before its send returns, so the logs are complete when the
    // click comes back. A search that restarts after each reordered window never ends.
    StepWithin(app, 4, 20000, {&first, &second});
    CheckFollowsList(first.Records(), kEntries);
    CheckFollowsList(second.Records(), kEntries);
    CHECK(Probe(app.Form()).has_value());
    CHECK(app.Close());
}

TEST_CASE("Delivery::message-only windows of the class get every record too, once a step") {
    Messenger topLevel(L"--title top-level");
    Messenger messageOnly(L"--message-only --title listener");
    const DWORD listener = messageOnly.Process().Id();
    REQUIRE(MessageOnlyWindows(quendral::kMessengerClassW, listener) ==
            std::vector<HWND>{messageOnly.Window()});
    REQUIRE(TopLevelWindows(quendral::kMessengerClassW, listener).empty());
    QuendralApp app;
    StepOnlyOnOk(app, kEntries);

    // After each "Ok" each window has exactly one record more.
    REQUIRE(StepWithin(app, 3, 20000, {&topLevel, &messageOnly}));
    CHECK(AnnouncedBy(topLevel) == "0 1 2");
    CHECK(AnnouncedBy(messageOnly) == "0 1 2");
    CHECK(app.Close());
}

TEST_CASE("Delivery::a click sent from inside a record waits until the step has ended") {
    // The first messenger presses "Ok" inside its first record and waits for that click
    // while Quendral's send still waits on the record. Quendral handles nothing else
    // while it sends, so the two wait on each other until the send gives up; only then
    // does the step go on to the messenger behind, end, and let the click's step run.
    Messenger behind(L"--title behind");
    Messenger clicking(L"--click-ok-on-record --title clicking");
    QuendralApp app;
    StepOnlyOnOk(app, kEntries);
    SetWindowPos(clicking.Window(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    REQUIRE(TopLevelWindows(quendral::kMessengerClassW) ==
            std::vector<HWND>{clicking.Window(), behind.Window()});

    DWORD_PTR result = 0;
    REQUIRE(SendMessageTimeoutW(app.Ok(), BM_CLICK, 0, 0, SMTO_NORMAL, 20000, &result) != 0);
    REQUIRE(clicking.Records().size() >= 1);
    // The click's step is the second, and it reaches the messenger behind with time to
    // spare: once that has the second entry, both steps are over.
    WaitUntil([&] { return AnnouncedBy(behind).ends_with("1"); }, 20000);
    // The first step reaches the messenger behind only after waiting out the clicking
    // one, with the short wait left, which a loaded machine may miss: then the record is
    // withdrawn and it has the second step's alone. Had the click been handled inside
    // the first send, its step would have reached it first, and with the first entry
    // again, the rotation not having moved on yet: "0 0".
    const std::string behindGot = AnnouncedBy(behind);
    INFO("the messenger behind got: " << behindGot);
    CHECK((behindGot == "0 1" || behindGot == "1"));
    CHECK(AnnouncedBy(clicking).starts_with("0"));
    CHECK(Probe(app.Form()).has_value());
    CHECK(app.Close());
}

TEST_CASE("Delivery::a window that closes inside its record leaves the ones behind it served") {
    Messenger behind(L"--title behind");
    Messenger last(L"--title last");
    Messenger closing(L"--close-on-record --title closing");
    QuendralApp app;
    StepOnlyOnOk(app, {u"one", u"two"});
    SetWindowPos(closing.Window(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    REQUIRE(TopLevelWindows(quendral::kMessengerClassW).front() == closing.Window());

    app.Press(app.Ok());
    CHECK(closing.Records().size() == 1);
    CHECK(closing.Process().HasExited(10000));
    CHECK(behind.Records().size() == 1);
    CHECK(last.Records().size() == 1);

    app.Press(app.Ok());
    for (Messenger* messenger : {&behind, &last}) {
        const std::vector<LoggedRecord> records = messenger->Records();
        REQUIRE(records.size() == 2);
        CHECK(IsRecordOf(records[0], u"one"));
        CHECK(IsRecordOf(records[1], u"two"));
    }
    CHECK(app.Close());
}

TEST_CASE("Delivery::slow messengers in front neither freeze Quendral nor starve a healthy one") {
    // Four windows that take 1.5 s over each record but never count as hung, all ahead
    // of a healthy one in the window order.
    Messenger healthy(L"--title healthy");
    std::vector<std::unique_ptr<Messenger>> slow;
    for (int i = 1; i <= 4; ++i) {
        slow.push_back(
            std::make_unique<Messenger>(L"--answer-after 1500 --title slow" + std::to_wstring(i)));
    }
    SetWindowPos(healthy.Window(), HWND_BOTTOM, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    REQUIRE(TopLevelWindows(quendral::kMessengerClassW).back() == healthy.Window());
    QuendralApp app;
    StepOnlyOnOk(app, kEntries);

    // A step that waited for every slow window would keep Quendral from answering for
    // 6 s each time, 30 s for five steps; a bounded one takes 2 s for the first and
    // little for the rest. The bound below is far from both, so only the first fails it.
    constexpr std::size_t kSteps = 5;
    const Stopwatch watch;
    REQUIRE(StepWithin(app, kSteps, 30000, {&healthy}));  // every step reaches it
    const double tookMs = watch.Ms();
    MESSAGE(kSteps << " steps behind four slow messengers took " << tookMs << " ms");
    CHECK(tookMs < 15000);
    CheckFollowsList(healthy.Records(), kEntries);
    for (const auto& messenger : slow) CHECK_FALSE(messenger->Process().HasExited());
    CHECK(app.Close());
}

TEST_CASE("Delivery::a send that times out before the window took the record withdraws it") {
    // What a step can count on when it stops waiting for a slow window: a record the window
    // had already taken runs its course; one still waiting in its queue is withdrawn and
    // never arrives. (A wait of 0 is no help: Wine reads it as no limit at all.)
    Messenger slow(L"--answer-after 3000");
    const auto send = [&](std::u16string_view entry, UINT waitMs) {
        return SendRecord(slow.Window(), quendral::kNowPlayingRecordId, RecordBytesFor(entry),
                          SMTO_BLOCK | SMTO_ABORTIFHUNG, waitMs);
    };
    // The idle window takes the first at once and keeps it 3 s.
    CHECK_FALSE(send(u"taken", 1000));
    REQUIRE(slow.Records().size() == 1);
    // Meanwhile the second waits in its queue until its sender gives up.
    CHECK_FALSE(send(u"withdrawn", 500));
    // The third is waited for until the window has finished with the first and taken it.
    CHECK(send(u"waited for", 20000));
    const std::vector<LoggedRecord> records = slow.Records();
    REQUIRE(records.size() == 2);
    CHECK(IsRecordOf(records[0], u"taken"));
    CHECK(IsRecordOf(records[1], u"waited for"));
}

TEST_CASE("Delivery::a messenger that goes away mid-rotation leaves the others served") {
    Messenger leaving(L"--title leaving");
    Messenger staying(L"--title staying");
    QuendralApp app;
    StepOnlyOnOk(app, kEntries);
    PressTimes(app, app.Ok(), 2);
    REQUIRE(leaving.Records().size() == 2);
    REQUIRE(staying.Records().size() == 2);

    SUBCASE("its process is ended") {
        leaving.Process().Kill();
    }
    SUBCASE("its window is closed") {
        PostMessageW(leaving.Window(), WM_CLOSE, 0, 0);
    }
    REQUIRE(leaving.Process().HasExited(10000));

    PressTimes(app, app.Ok(), 3);
    CHECK(staying.Records().size() == 5);
    CHECK_FALSE(app.Process().HasExited());
    CHECK(Probe(app.Form()).has_value());
    CheckFollowsList(staying.Records(), kEntries);
    CHECK(app.Close());
}

TEST_CASE("List::a full list refuses more with one balloon, and its rotation wraps at the end") {
    QuendralApp app;
    StepOnlyOnOk(app);

    // Filled through the window as a user would. Painting is what costs most under
    // Wine, so the list draws nothing and the window stays minimized meanwhile.
    ShowWindow(app.Form(), SW_SHOWMINNOACTIVE);
    SendMessageW(app.List(), WM_SETREDRAW, FALSE, 0);
    const Stopwatch fill;
    for (int i = 1; i <= quendral::kMaxEntries; ++i) app.AddEntry(Numbered(i));
    const double fillMs = fill.Ms();
    SendMessageW(app.List(), WM_SETREDRAW, TRUE, 0);
    ShowWindow(app.Form(), SW_RESTORE);
    REQUIRE(app.EntryCount() == quendral::kMaxEntries);
    MESSAGE("filling " << quendral::kMaxEntries << " entries through the window took "
                       << fillMs / 1000 << " s");

    // One more is refused: the typed text stays and a balloon at the input box says why.
    app.AddEntry(u"one too many");
    CHECK(app.EntryCount() == quendral::kMaxEntries);
    CHECK(app.InputText() == u"one too many");
    const DWORD pid = app.Process().Id();
    REQUIRE(WaitUntil([&] { return Tooltips(pid, true).size() == 1; }, 30000));
    {
        RECT balloon{}, box{};
        GetWindowRect(Tooltips(pid, true).front(), &balloon);
        GetWindowRect(app.Input(), &box);
        INFO("balloon " << balloon.left << "," << balloon.top << "-" << balloon.right << ","
                        << balloon.bottom << ", input box " << box.left << "," << box.top << "-"
                        << box.right << "," << box.bottom);
        CHECK(HangsFrom(balloon, box));
    }

    // Refusals in a row renew the one balloon rather than pile up more.
    PressTimes(app, app.Add(), 10);
    CHECK(Tooltips(pid, false).size() == 1);
    CHECK(Tooltips(pid, true).size() == 1);
    CHECK(app.InputText() == u"one too many");
    // It goes by itself.
    CHECK(WaitUntil([&] { return Tooltips(pid, true).empty(); },
                    quendral::BalloonNotice::kShowMs + 30000));

    // Ok announces the first entry; the steps that follow reach the last and wrap.
    {
        Messenger first;
        app.Press(app.Ok());
        REQUIRE(first.WaitForRecords(1, 10000));
        CHECK(IsRecordOf(first.Records().at(0), Numbered(1)));
    }
    // With no messenger running a step costs little.
    const Stopwatch walk;
    PostClicks(app, app.Ok(), quendral::kMaxEntries - 2);
    MESSAGE("walking " << quendral::kMaxEntries - 2 << " more steps with no messenger took "
                       << walk.Ms() / 1000 << " s");
    Messenger last;
    app.Press(app.Ok());
    app.Press(app.Ok());
    REQUIRE(last.WaitForRecords(2, 10000));
    const std::vector<LoggedRecord> records = last.Records();
    REQUIRE(records.size() == 2);
    CHECK(IsRecordOf(records[0], Numbered(quendral::kMaxEntries)));
    CHECK(IsRecordOf(records[1], Numbered(1)));
    CHECK(app.EntryCount() == quendral::kMaxEntries);
    CHECK(app.Close());
}

TEST_CASE("LongRun::ten thousand steps keep memory flat and every record arrives") {
    const std::vector<std::u16string> entries{u"alpha", u"beta \U0001F3B5", u"gamma"};
    constexpr int kSteps = 10000;
    constexpr int kWarmUp = 500;
    Messenger messenger;
    QuendralApp app;
    StepOnlyOnOk(app, entries);
    // Minimized, as a messenger mostly is: drawing each record costs it ~20 ms under Wine.
    ShowWindow(messenger.Window(), SW_SHOWMINNOACTIVE);

    Usage warm;
    double warmMs = 0;
    const Stopwatch watch;
    for (int step = 1; step <= kSteps; ++step) {
        app.Press(app.Ok());
        if (step == kWarmUp) {
            warm = UsageOf(app.Process().Handle());
            warmMs = watch.Ms();
        }
    }
    const double totalMs = watch.Ms();
    const Usage end = UsageOf(app.Process().Handle());
    MESSAGE("after " << kWarmUp << " steps: " << Describe(warm));
    MESSAGE("after " << kSteps << " steps: " << Describe(end));
    MESSAGE((kSteps - kWarmUp) << " steps took " << (totalMs - warmMs) / 1000 << " s: "
                               << (kSteps - kWarmUp) * 1000.0 / (totalMs - warmMs) << " steps/s");

    REQUIRE_FALSE(app.Process().HasExited());
    CHECK(Probe(app.Form()).has_value());
    REQUIRE(messenger.WaitForRecords(kSteps, 10000));
    const std::vector<LoggedRecord> records = messenger.Records();
    CHECK(records.size() == kSteps);
    int astray = 0;
    for (std::size_t k = 0; k < records.size(); ++k) {
        if (!IsRecordOf(records[k], entries[k % entries.size()])) ++astray;
    }
    CHECK(astray == 0);
    CHECK(end.pagefile <= warm.pagefile + kMegabyte);
    CHECK(end.workingSet <= warm.workingSet + kMegabyte);
    // An object lost per step would add thousands. Wine counts none (see Usage).
    if (warm.gdiObjects == 0 && end.gdiObjects == 0 && warm.userObjects == 0 &&
        end.userObjects == 0) {
        MESSAGE("this system reports no GDI or USER object counts; they are not checked");
    } else {
        CHECK(end.gdiObjects <= warm.gdiObjects + 16);
        CHECK(end.userObjects <= warm.userObjects + 16);
    }
    CHECK(app.Close());
}

TEST_CASE("Text::hostile and huge entries are kept and announced unit for unit") {
    // Under Wine 8 an input box holding more than about 1,035,000 characters takes the
    // process down while measuring its text, so the huge entry stays at a million.
    std::u16string huge(1'000'000, u' ');
    for (std::size_t i = 0; i < huge.size(); ++i) huge[i] = static_cast<char16_t>(u'!' + i % 94);
    const std::vector<std::pair<std::string, std::u16string>> cases{
        {"a 1,000,000-character entry", huge},
        {"nothing but separators", u"\\0\\0\\0"},
        {"a lone high surrogate", u"\xD800"},
        {"a lone low surrogate between letters", std::u16string{u'a', u'\xDC00', u'b'}},
        {"Hebrew", u"\u05E9\u05DC\u05D5\u05DD \u05E2\u05D5\u05DC\u05DD"},
        {"Arabic with digits", u"\u0645\u0631\u062D\u0628\u0627 123 \u0628\u0627\u0644\u0639"},
    };
    Messenger messenger;
    QuendralApp app;
    StepOnlyOnOk(app);
    for (std::size_t i = 0; i < cases.size(); ++i) {
        INFO(cases[i].first);
        app.AddEntry(cases[i].second);
        CHECK(app.InputText().empty());
        CHECK(SendMessageW(app.List(), LB_GETTEXTLEN, i, 0) ==
              static_cast<LRESULT>(cases[i].second.size()));
    }
    REQUIRE(app.EntryCount() == static_cast<int>(cases.size()));

    PressTimes(app, app.Ok(), static_cast<int>(cases.size()));
    REQUIRE(messenger.WaitForRecords(cases.size(), 20000));
    const std::vector<LoggedRecord> records = messenger.Records();
    REQUIRE(records.size() == cases.size());
    for (std::size_t i = 0; i < cases.size(); ++i) {
        INFO(cases[i].first);
        CHECK(IsRecordOf(records[i], cases[i].second));
    }
    CHECK_FALSE(app.Process().HasExited());
    CHECK(Probe(app.Form()).has_value());
    CHECK(app.Close());
}

TEST_CASE("Messenger::malformed records sent for real are logged exactly as they came") {
    const std::vector<std::uint8_t> good = RecordBytesFor(u"Hello");
    Messenger messenger;
    ULONG_PTR data = quendral::kNowPlayingRecordId;
    std::vector<std::uint8_t> bytes;
    SUBCASE("dwData other than 0x547") {
        data = 0x548;
        bytes = good;
    }
    SUBCASE("dwData with every bit set") {
        data = ~ULONG_PTR{0};
        bytes = good;
    }
    SUBCASE("no bytes at a null pointer") {}
    SUBCASE("an odd byte count") {
        bytes = good;
        bytes.push_back(0x41);
    }
    SUBCASE("cbData reaching past the text into a bigger buffer") {
        bytes = good;
        bytes.resize(good.size() + 64, 0xCD);
    }
    SUBCASE("no terminator") {
        bytes.assign(good.begin(), good.end() - 2);
    }
    SUBCASE("no tag") {
        bytes = BytesOf(std::u16string(u"just some text") + u'\0');
    }
    SUBCASE("random bytes") {
        std::mt19937 random(20240611);
        bytes.resize(257);
        for (auto& byte : bytes) byte = static_cast<std::uint8_t>(random());
    }

    DWORD_PTR answer = 0;
    CHECK(SendRecord(messenger.Window(), data, bytes, SMTO_ABORTIFHUNG, 10000, &answer));
    CHECK(answer == TRUE);
    CHECK_FALSE(messenger.Process().HasExited());
    CHECK(Probe(messenger.Window()).has_value());

    REQUIRE(messenger.WaitForRecords(1, 5000));
    const std::vector<LoggedRecord> records = messenger.Records();
    REQUIRE(records.size() == 1);
    CHECK(records[0].dwData == data);
    CHECK(records[0].cbData == bytes.size());
    CHECK(records[0].bytes == bytes);
}

TEST_CASE("Messenger::a stream of records whose pattern repeats {2} leaves its memory flat") {
    // 180 KB records that would render to 60 million characters each.
    std::u16string text = u"\\0Music\\01\\0";
    for (int i = 0; i < 30'000; ++i) text += u"{2}";
    text += u"\\0artist\\0title\\0" + std::u16string(2'000, u'a') + u"\\0\\0";
    text += u'\0';
    const std::vector<std::uint8_t> bytes = BytesOf(text);
    constexpr int kRecords = 40;
    constexpr int kWarmUp = 5;
    Messenger messenger;
    Usage warm;
    for (int i = 1; i <= kRecords; ++i) {
        REQUIRE(SendRecord(messenger.Window(), quendral::kNowPlayingRecordId, bytes,
                           SMTO_ABORTIFHUNG, 30000));
        if (i == kWarmUp) warm = UsageOf(messenger.Process().Handle());
    }
    REQUIRE(Probe(messenger.Window()).has_value());
    const Usage end = UsageOf(messenger.Process().Handle());
    MESSAGE("after " << kWarmUp << " records: " << Describe(warm));
    MESSAGE("after " << kRecords << " records: " << Describe(end));
    CHECK(end.pagefile <= warm.pagefile + 8 * kMegabyte);
    CHECK(WindowText(FindWindowExW(messenger.Window(), nullptr, L"Static", nullptr)).size() < 4200);
    CHECK(messenger.Records().size() == kRecords);
}
