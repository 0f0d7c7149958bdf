// Quendral's benchmark. It drives the real Quendral.exe from outside, through window
// messages as the tests do, and sets each figure against what the platform itself costs
// for the same work, measured side by side in the same run, as medians over rounds.
//
//   bench.exe [--shipped PATH] [--start-from DIR] [--rounds N] [--steps N] [--ticks N]
//
//   --shipped PATH  the Quendral.exe that ships (the 32-bit build), read as a file for
//                   its size and imports; default: the Quendral.exe beside this program
//   --start-from DIR  the build folder whose Quendral.exe, Quendral_timed.exe and
//                   baseline programs figures 4 and 5 start (the shipped 32-bit build
//                   where the machine runs it); default: this program's own folder
//   --rounds N      rounds per figure (7)
//   --steps N       steps timed per round and side (30)
//   --ticks N       timer ticks watched at pace 1 (30)
//   --figures LIST  the figures to measure, as digits: "8" or "123" (all of 1 to 8)
//   --note TEXT     a note to print under the table (may be given more than once)
//
// The table goes to standard output as Markdown, progress to standard error. The exit
// code is 0 when every figure was measured, whether or not it meets its target.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "announce/delivery.h"
#include "announce/now_playing.h"
#include "announce/set_music_info.h"
#include "rotation/pace.h"
#include "rotation/rotation.h"
#include "support/harness.h"
#include "support/pe_image.h"
#include "support/quendral_app.h"

#if defined(__GNUC__)
#define BENCH_PRINTF_LIKE(string, first) __attribute__((format(gnu_printf, string, first)))
#else
#define BENCH_PRINTF_LIKE(string, first)
#endif

namespace {

namespace qt = quendral::testing;

// Windows the benchmark looks for (the baselines' names are those in their sources).
constexpr wchar_t kBaselineWindowClass[] = L"QuendralBaselineWindow";
constexpr wchar_t kBaselineWindowCaption[] = L"Baseline window";
constexpr wchar_t kBaselineButtonClass[] = L"QuendralBaselineButton";
constexpr wchar_t kBaselineButtonCaption[] = L"Baseline button";

constexpr DWORD kStartTimeoutMs = 20000;
constexpr int kSmallList = 3;
constexpr int kLargeList = quendral::kMaxEntries;
constexpr int kReceivers = 8;
constexpr int kMemorySteps = 5;
constexpr int kFastPace = quendral::kMaxPace;  // no tick comes between two presses
constexpr int kCadencePace = 1;
constexpr int kSlowReceivers = 4;
constexpr int kSlowAnswerMs = 1500;
constexpr DWORD kSlowWatchMs = 15000;

constexpr double kStepTarget = 1.2;
constexpr double kFlatTarget = 1.1;
constexpr double kLinearTarget = 1.2;
constexpr double kStartTarget = 1.5;
constexpr double kMemoryTarget = 1.5;
constexpr std::uint64_t kSizeTarget = 400 * 1024;
constexpr double kCadenceTarget = 0.02;
constexpr double kSlowShareTarget = 0.8;

struct Settings {
    std::wstring shipped;
    std::wstring startFrom;  // ends with a backslash
    int rounds = 7;
    int steps = 30;
    int ticks = 30;
    std::string figures = "12345678";
    std::vector<std::string> notes;

    bool Wants(char figure) const { return figures.find(figure) != std::string::npos; }
};

// ---------------------------------------------------------------------------- time

double NowMicroseconds() {
    static const double perSecond = [] {
        LARGE_INTEGER frequency{};
        QueryPerformanceFrequency(&frequency);
        return static_cast<double>(frequency.QuadPart);
    }();
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1e6 / perSecond;
}

class Stopwatch {
public:
    double Microseconds() const { return NowMicroseconds() - start_; }

private:
    double start_ = NowMicroseconds();
};

// ---------------------------------------------------------------------------- text

std::string Text(const char* format, ...) BENCH_PRINTF_LIKE(1, 2);
std::string Text(const char* format, ...) {
    va_list args, again;
    va_start(args, format);
    va_copy(again, args);
    const int length = std::vsnprintf(nullptr, 0, format, args);
    std::string text(length > 0 ? static_cast<std::size_t>(length) : 0, '\0');
    std::vsnprintf(text.data(), text.size() + 1, format, again);
    va_end(again);
    va_end(args);
    return text;
}

void Say(const char* format, ...) BENCH_PRINTF_LIKE(1, 2);
void Say(const char* format, ...) {
    static const double start = NowMicroseconds();
    va_list args;
    va_start(args, format);
    std::fprintf(stderr, "bench [%5.1f s]: ", (NowMicroseconds() - start) / 1e6);
    std::vfprintf(stderr, format, args);
    std::fputc('\n', stderr);
    std::fflush(stderr);
    va_end(args);
}

// 1234567 as "1,234,567".
std::string Grouped(std::uint64_t number) {
    std::string digits = std::to_string(number);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) digits.insert(at, ",");
    return digits;
}

std::string Narrow(std::wstring_view text) {
    std::string ascii;
    for (wchar_t unit : text) ascii += unit < 0x80 ? static_cast<char>(unit) : '?';
    return ascii;
}

// ---------------------------------------------------------------------------- statistics

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// What one side costs in each round and what the other costs, and their ratio per round.
struct Paired {
    std::vector<double> measured;
    std::vector<double> reference;
    std::vector<double> ratios;

    void Add(double measuredValue, double referenceValue) {
        measured.push_back(measuredValue);
        reference.push_back(referenceValue);
        ratios.push_back(measuredValue / referenceValue);
    }
    double Ratio() const { return Median(ratios); }
};

// Microseconds per step over `steps` steps, after one untimed step that brings the
// windows involved to the state the timed ones run in (focus, activation, caches).
template <class Step>
double TimePerStep(int steps, Step&& step) {
    step(0);
    const Stopwatch watch;
    for (int i = 1; i <= steps; ++i) step(i);
    return watch.Microseconds() / steps;
}

// ---------------------------------------------------------------------------- windows

std::wstring CaptionOf(HWND window) {
    // Another process's caption is read without a message, so a busy program cannot stall it.
    wchar_t caption[128]{};
    GetWindowTextW(window, caption, static_cast<int>(std::size(caption)));
    return caption;
}

// Polls, millisecond by millisecond and without pumping, for the visible top-level
// window of a class and caption that a process opened.
HWND WaitForShownWindow(DWORD pid, const wchar_t* className, const wchar_t* caption,
                        DWORD timeoutMs) {
    const Stopwatch watch;
    for (;;) {
        for (HWND window : qt::TopLevelWindows(className, pid)) {
            if (IsWindowVisible(window) && CaptionOf(window) == caption) return window;
        }
        if (watch.Microseconds() > timeoutMs * 1000.0) return nullptr;
        Sleep(1);
    }
}

std::uint64_t PeakWorkingSet(HANDLE process) {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(process, &counters, sizeof(counters))) return 0;
    return counters.PeakWorkingSetSize;
}

// "Wine 8.0" under Wine, "Windows" elsewhere.
std::string PlatformName() {
    using VersionFunction = const char* (*)();
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    const FARPROC found = ntdll != nullptr ? GetProcAddress(ntdll, "wine_get_version") : nullptr;
    if (found == nullptr) return "Windows";
    // Through void(*)(), the one function type any other converts to without a warning.
    const auto version = reinterpret_cast<VersionFunction>(reinterpret_cast<void (*)()>(found));
    return std::string("Wine ") + version();
}

// ---------------------------------------------------------------------------- records

// The text of an entry; every entry has the same length, so every record the same size.
std::u16string EntryText(int index) {
    std::string number = std::to_string(index);
    number.insert(0, number.size() < 5 ? 5 - number.size() : 0, '0');
    std::u16string text = u"Entry ";
    for (char digit : number) text += static_cast<char16_t>(digit);
    return text;
}

// The record Quendral sends for an entry, sent straight from here the way Quendral sends it.
class NowPlayingRecord {
public:
    explicit NowPlayingRecord(std::u16string_view entry)
        : text_(quendral::BuildNowPlayingText(entry, {}, {}, {}, quendral::kDefaultFormat,
                                              quendral::kTrue)) {}

    void SendTo(HWND messenger) const {
        COPYDATASTRUCT record{};
        record.dwData = quendral::kNowPlayingRecordId;
        record.cbData = quendral::ByteLength(text_);
        record.lpData = const_cast<char16_t*>(text_.data());
        DWORD_PTR ignored = 0;
        if (!SendMessageTimeoutA(messenger, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&record),
                                 SMTO_BLOCK | SMTO_ABORTIFHUNG, quendral::kStepBudgetMs,
                                 &ignored)) {
            throw std::runtime_error("the stand-in messenger did not take a record");
        }
    }

private:
    std::u16string text_;
};

// ---------------------------------------------------------------------------- programs

// Presses "<" or ">" until the pace label reads seconds.
void SetPace(qt::QuendralApp& app, int seconds) {
    for (int press = 0; press <= 2 * quendral::kMaxPace; ++press) {
        const int pace = quendral::ParsePace(app.PaceText());
        if (pace == seconds) return;
        app.Press(pace < seconds ? app.Longer() : app.Shorter());
    }
    throw std::runtime_error("Quendral's pace does not move");
}

// Fills Quendral's list with count entries, its list not redrawn meanwhile. All but the
// last go straight into the list box (LB_ADDSTRING, as "Add" itself appends them): typing
// each into the input box and pressing "Add" would take four times as long. The last one
// goes through "Add", which must still take it.
void FillList(qt::QuendralApp& app, int count) {
    SendMessageW(app.List(), WM_SETREDRAW, FALSE, 0);
    for (int i = 0; i + 1 < count; ++i) {
        const std::u16string entry = EntryText(i);
        SendMessageW(app.List(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
    }
    app.AddEntry(EntryText(count - 1));
    SendMessageW(app.List(), WM_SETREDRAW, TRUE, 0);
    RedrawWindow(app.List(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
    if (app.EntryCount() != count) {
        throw std::runtime_error(
            Text("Quendral holds %d entries, not %d", app.EntryCount(), count));
    }
}

// A Quendral with its small list, at a pace that keeps its timer quiet.
void Prepare(qt::QuendralApp& app) {
    for (int i = 0; i < kSmallList; ++i) app.AddEntry(EntryText(i));
    SetPace(app, kFastPace);
}

// baseline_button.exe, started, with its window and its one button found.
class BaselineButton {
public:
    BaselineButton() : process_(qt::BesideThisProgram(L"baseline_button.exe"), L"") {
        const HWND window = WaitForShownWindow(process_.Id(), kBaselineButtonClass,
                                               kBaselineButtonCaption, kStartTimeoutMs);
        button_ = window != nullptr ? FindWindowExW(window, nullptr, L"Button", L"Ok") : nullptr;
        if (button_ == nullptr) throw std::runtime_error("the baseline button did not appear");
        WaitForInputIdle(process_.Handle(), 5000);
    }

    void Press() const { SendMessageW(button_, BM_CLICK, 0, 0); }

private:
    qt::ChildProcess process_;
    HWND button_ = nullptr;
};

// A window of the messenger's class inside the benchmark itself, which notes when each
// now-playing record arrives. Sent messages reach it whenever this thread waits in a
// message call, so no messenger process stands between Quendral's timer and the clock.
class ArrivalClock {
public:
    explicit ArrivalClock(std::size_t expected) {
        arrivals_.reserve(expected + 16);
        const HINSTANCE instance = GetModuleHandleW(nullptr);
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = &ArrivalClock::Procedure;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = quendral::kMessengerClassW;
        if (!RegisterClassExW(&windowClass)) throw std::runtime_error("cannot register a class");
        window_ = CreateWindowExW(0, quendral::kMessengerClassW, L"Benchmark arrival clock",
                                  WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr, instance, this);
        if (window_ == nullptr) {
            UnregisterClassW(quendral::kMessengerClassW, instance);
            throw std::runtime_error("cannot open the arrival clock's window");
        }
    }
    ArrivalClock(const ArrivalClock&) = delete;
    ArrivalClock& operator=(const ArrivalClock&) = delete;
    ~ArrivalClock() {
        DestroyWindow(window_);
        UnregisterClassW(quendral::kMessengerClassW, GetModuleHandleW(nullptr));
    }

    // Microseconds on this program's clock, one for each record, in order of arrival.
    const std::vector<double>& Arrivals() const { return arrivals_; }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam,
                                      LPARAM lParam) noexcept {
        const double now = NowMicroseconds();
        if (message == WM_NCCREATE) {
            const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            SetWindowLongPtrW(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<ArrivalClock*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message == WM_COPYDATA && self != nullptr) {
            const auto* record = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
            if (record != nullptr && record->dwData == quendral::kNowPlayingRecordId) {
                try {
                    self->arrivals_.push_back(now);
                } catch (...) {
                    // Out of memory: the arrival is lost and the figure comes out short.
                }
            }
            return TRUE;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    std::vector<double> arrivals_;
    HWND window_ = nullptr;
};

// ---------------------------------------------------------------------------- report

enum class Verdict { kUnmeasured, kMet, kMissed };

struct Row {
    const char* label;
    const char* figure;
    std::string target;
    std::string value = "not measured";
    Verdict verdict = Verdict::kUnmeasured;
};

class Report {
public:
    Report() {
        rows_ = {
            {"1a", "Step cost: \"Ok\" press / (plain owner-drawn button press + direct send)",
             Text("≤ %.2f", kStepTarget)},
            {"1b", "Step cost: \"Ok\" press / (WM_NULL round trip to Quendral + direct send)",
             Text("≤ %.2f", kStepTarget)},
            {"2", "Flat in the list's size: step with 32,767 entries / step with 3",
             Text("≤ %.2f", kFlatTarget)},
            {"3", "Linear in receivers: step with 8 messengers / (8 × step with 1)",
             Text("≤ %.2f", kLinearTarget)},
            {"4", "Start-up to the window shown: Quendral / baseline window",
             Text("≤ %.2f", kStartTarget)},
            {"5", "Peak working set after start and 5 steps: Quendral / baseline window",
             Text("≤ %.2f", kMemoryTarget)},
            {"6a", "Size of the shipped 32-bit Quendral.exe (picture and icon included)",
             Text("≤ 400 KB (%s bytes)", Grouped(kSizeTarget).c_str())},
            {"6b", "DLLs the shipped 32-bit Quendral.exe imports", "Windows' own only"},
            {"7", "Cadence at pace 1: mean interval between records", "1,000 ms ± 2 %"},
            {"8",
             "Slow receivers at pace 1 over 15 s: Quendral's worst answer and the records a "
             "healthy messenger got behind 4 that take 1.5 s a record / the healthy one alone",
             Text("worst ≤ %s ms; ≥ %.0f %% of the records",
                  Grouped(quendral::kAnswerBoundMs).c_str(), kSlowShareTarget * 100)},
        };
    }

    void Set(std::string_view label, std::string value, bool met) {
        Row& row = Find(label);
        row.value = std::move(value);
        row.verdict = met ? Verdict::kMet : Verdict::kMissed;
    }

    // Figures (by number, as digits) that an error stopped before they were measured.
    void Unmeasured(std::string_view figures, const std::string& why) {
        for (Row& row : rows_) {
            if (figures.find(row.label[0]) != std::string_view::npos &&
                row.verdict == Verdict::kUnmeasured && row.value == "not measured") {
                row.value = "not measured: " + why;
            }
        }
    }

    void Note(std::string note) { notes_.push_back(std::move(note)); }

    // A block of Markdown printed under the table, before the notes.
    void Section(std::string text) { sections_.push_back(std::move(text)); }

    // Leaves out the figures this run does not measure.
    void Keep(const Settings& settings) {
        std::erase_if(rows_, [&](const Row& row) { return !settings.Wants(row.label[0]); });
    }

    bool Complete() const {
        return std::none_of(rows_.begin(), rows_.end(),
                            [](const Row& row) { return row.verdict == Verdict::kUnmeasured; });
    }

    void Print(std::FILE* out, const std::string& heading) const {
        std::fprintf(out, "# Quendral benchmark\n\n%s\n\n", heading.c_str());
        std::fprintf(out, "| Figure | Value | Target | Met |\n| --- | --- | --- | --- |\n");
        int met = 0;
        for (const Row& row : rows_) {
            const char* verdict = row.verdict == Verdict::kMet      ? "yes"
                                  : row.verdict == Verdict::kMissed ? "**no**"
                                                                    : "—";
            if (row.verdict == Verdict::kMet) ++met;
            std::fprintf(out, "| %s. %s | %s | %s | %s |\n", row.label, row.figure,
                         row.value.c_str(), row.target.c_str(), verdict);
        }
        std::fprintf(out, "\n%d of %d targets met.\n", met, static_cast<int>(rows_.size()));
        for (const std::string& section : sections_) std::fprintf(out, "\n%s", section.c_str());
        if (!notes_.empty()) {
            std::fprintf(out, "\nNotes:\n\n");
            for (const std::string& note : notes_) std::fprintf(out, "- %s\n", note.c_str());
        }
        std::fflush(out);
    }

private:
    Row& Find(std::string_view label) {
        for (Row& row : rows_) {
            if (label == row.label) return row;
        }
        throw std::logic_error("no such figure");
    }

    std::vector<Row> rows_;
    std::vector<std::string> sections_;
    std::vector<std::string> notes_;
};

std::string Microseconds(double value) {
    return value >= 10000 ? Text("%s µs", Grouped(static_cast<std::uint64_t>(value)).c_str())
                          : Text("%.0f µs", value);
}

std::string Megabytes(double bytes) {
    return Text("%.1f MB", bytes / (1024.0 * 1024.0));
}

// ---------------------------------------------------------------------------- figures

// Checks that the messenger logged exactly the records the steps should have delivered.
void ExpectRecords(const qt::Messenger& messenger, std::size_t expected, const char* what) {
    messenger.WaitForRecords(expected, 5000);
    const std::size_t logged = messenger.Records().size();
    if (logged != expected) {
        throw std::runtime_error(Text("%s: the messenger logged %lld records where %lld were sent",
                                      what, static_cast<long long>(logged),
                                      static_cast<long long>(expected)));
    }
}

// 6. The shipped file, read as data.
void SizeAndImports(Report& report, const Settings& settings) {
    Say("size and imports of %s", Narrow(settings.shipped).c_str());
    const std::vector<std::uint8_t> bytes = qt::FileBytes(settings.shipped);
    const qt::PeImage file = qt::ParsePeImage(bytes);
    if (!file.valid) throw std::runtime_error("cannot read " + Narrow(settings.shipped));
    report.Set("6a",
               Text("%s bytes (%.1f KB)", Grouped(bytes.size()).c_str(), bytes.size() / 1024.0),
               bytes.size() <= kSizeTarget);

    std::vector<std::string> loaded = file.imports;
    loaded.insert(loaded.end(), file.delayImports.begin(), file.delayImports.end());
    std::string dlls, foreign;
    for (const std::string& dll : loaded) {
        dlls += (dlls.empty() ? "" : ", ") + dll;
        if (!qt::IsWindowsOwnDll(dll)) foreign += (foreign.empty() ? "" : ", ") + dll;
    }
    report.Set("6b",
               Text("%d: %s", static_cast<int>(loaded.size()), dlls.c_str()) +
                   (foreign.empty() ? "" : "; not Windows' own: " + foreign),
               foreign.empty() && !loaded.empty());
    if (file.machine != IMAGE_FILE_MACHINE_I386) {
        report.Note("Figure 6 read a file that is not a 32-bit (i386) program: machine " +
                    Text("0x%04x", file.machine) + ".");
    }
}

struct Launch {
    double microseconds = 0;
    std::uint64_t peakWorkingSet = 0;
};

// Starts a program, times it from CreateProcess to its visible window, lets exercise
// work it, reads its peak working set and ends it.
template <class Exercise>
Launch LaunchProgram(const std::wstring& program, const wchar_t* className, const wchar_t* caption,
                     Exercise&& exercise) {
    Launch launch;
    const Stopwatch watch;
    qt::ChildProcess process(program, L"");
    const HWND window = WaitForShownWindow(process.Id(), className, caption, kStartTimeoutMs);
    launch.microseconds = watch.Microseconds();
    if (window == nullptr) throw std::runtime_error(Narrow(program) + " showed no window");
    WaitForInputIdle(process.Handle(), 5000);
    exercise(window);
    launch.peakWorkingSet = PeakWorkingSet(process.Handle());
    // Ended rather than closed: without a window manager, Wine waits 2 s for one to confirm
    // that a closing window was withdrawn, which would only make the run longer.
    process.Kill();
    if (launch.peakWorkingSet == 0) throw std::runtime_error("no working set figure");
    return launch;
}

// 4 and 5. Start-up time and memory against a program that only opens a window.
void StartUpAndMemory(Report& report, const Settings& settings) {
    Say("start-up and memory: %d rounds", settings.rounds);
    qt::Messenger messenger;
    std::size_t delivered = 0;
    // The programs of the build being timed (settings.startFrom).
    const auto launch = [&](const wchar_t* program, auto&&... rest) {
        return LaunchProgram(settings.startFrom + program, rest...);
    };
    const auto quendral = [&] {
        return launch(
            L"Quendral.exe", quendral::kFormClass, quendral::kFormCaption, [&](HWND form) {
                const HWND input = FindWindowExW(form, nullptr, L"Edit", nullptr);
                const HWND add = FindWindowExW(form, nullptr, L"Button", L"Add");
                const HWND ok = FindWindowExW(form, nullptr, L"Button", L"Ok");
                if (input == nullptr || add == nullptr || ok == nullptr) {
                    throw std::runtime_error("a control of Quendral's window is missing");
                }
                for (int i = 0; i < kSmallList; ++i) {
                    const std::u16string entry = EntryText(i);
                    SendMessageW(input, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(entry.c_str()));
                    SendMessageW(add, BM_CLICK, 0, 0);
                }
                for (int i = 0; i < kMemorySteps; ++i) SendMessageW(ok, BM_CLICK, 0, 0);
                delivered += kMemorySteps;
                ExpectRecords(messenger, delivered, "start-up");
            });
    };
    const auto baseline = [&] {
        return launch(L"baseline_window.exe", kBaselineWindowClass, kBaselineWindowCaption,
                      [](HWND) {});
    };
    // Not a figure: what common controls 6 alone add to a start (one button, as Quendral's).
    const auto withButton = [&] {
        return launch(L"baseline_button.exe", kBaselineButtonClass, kBaselineButtonCaption,
                      [](HWND) {});
    };

    quendral();  // warm-up: files cached, the system's DLLs mapped once
    baseline();
    withButton();
    Paired time, memory;
    std::vector<double> buttonTimes;
    for (int round = 0; round < settings.rounds; ++round) {
        Launch measured, reference, button;
        for (int turn = 0; turn < 3; ++turn) {
            switch ((round + turn) % 3) {
                case 0:
                    measured = quendral();
                    break;
                case 1:
                    reference = baseline();
                    break;
                default:
                    button = withButton();
                    break;
            }
        }
        time.Add(measured.microseconds, reference.microseconds);
        memory.Add(static_cast<double>(measured.peakWorkingSet),
                   static_cast<double>(reference.peakWorkingSet));
        buttonTimes.push_back(button.microseconds);
        Say("  round %d: start-up %.0f / %.0f ms (with one button %.0f ms), peak working set "
            "%s / %s",
            round + 1, measured.microseconds / 1000, reference.microseconds / 1000,
            button.microseconds / 1000,
            Megabytes(static_cast<double>(measured.peakWorkingSet)).c_str(),
            Megabytes(static_cast<double>(reference.peakWorkingSet)).c_str());
    }
    report.Set("4",
               Text("%.2f (%.0f ms vs %.0f ms)", time.Ratio(), Median(time.measured) / 1000,
                    Median(time.reference) / 1000),
               time.Ratio() <= kStartTarget);
    report.Set("5",
               Text("%.2f (%s vs %s)", memory.Ratio(), Megabytes(Median(memory.measured)).c_str(),
                    Megabytes(Median(memory.reference)).c_str()),
               memory.Ratio() <= kMemoryTarget);
    report.Note(
        Text("Figure 4: the baseline window with one common-controls-6 button like "
             "\"Ok\" (baseline_button.exe) starts in %.0f ms, %.2f times the plain "
             "window: the platform's price of the controls library alone.",
             Median(buttonTimes) / 1000, Median(buttonTimes) / Median(time.reference)));
    report.Note(
        "Figure 5: under Wine the working set is the whole process's resident memory, "
        "Wine's own libraries included, as the system reports it.");
}

// The marks Quendral_timed.exe wrote: a line with its performance counter's frequency,
// then one line per phase, "ticks phase", in the order the phases ended. Each comes back
// as the phase and the microseconds from start (a time on the same counter) to its end.
std::vector<std::pair<std::string, double>> ReadPhaseMarks(const std::wstring& path, double start) {
    const std::vector<std::uint8_t> bytes = qt::FileBytes(path);
    std::vector<std::pair<std::string, double>> marks;
    double frequency = 0;
    std::size_t at = 0;
    while (at < bytes.size()) {
        std::size_t end = at;
        while (end < bytes.size() && bytes[end] != '\n') ++end;
        std::string line(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                         bytes.begin() + static_cast<std::ptrdiff_t>(end));
        if (!line.empty() && line.back() == '\r') line.pop_back();
        at = end + 1;
        const std::size_t space = line.find(' ');
        if (space == std::string::npos) continue;
        const double value = std::strtod(line.substr(0, space).c_str(), nullptr);
        const std::string phase = line.substr(space + 1);
        if (frequency == 0) {
            if (phase == "frequency" && value > 0) frequency = value;
            continue;
        }
        marks.emplace_back(phase, value * 1e6 / frequency - start);
    }
    return marks;
}

// Notes to figure 4: where Quendral's start-up goes, phase by phase, from the benchmark's
// own build of it, which marks the end of each phase and writes the marks down once
// the window has been painted. Medians over the rounds, after one round to warm up.
void StartUpPhases(Report& report, const Settings& settings) {
    const std::wstring program = settings.startFrom + L"Quendral_timed.exe";
    Say("start-up phases: %d rounds of %s", settings.rounds, Narrow(program).c_str());
    std::vector<std::string> order;
    std::vector<std::vector<double>> durations;
    std::vector<double> painted, seen;
    for (int round = 0; round <= settings.rounds; ++round) {
        const std::wstring path = qt::FreshTempPath(L"quendral-phases");
        const double start = NowMicroseconds();
        std::vector<std::pair<std::string, double>> marks;
        double shown = 0;
        {
            qt::ChildProcess process(program, L"--phases \"" + path + L"\"");
            const HWND window = WaitForShownWindow(process.Id(), quendral::kFormClass,
                                                   quendral::kFormCaption, kStartTimeoutMs);
            shown = NowMicroseconds() - start;
            if (window == nullptr) throw std::runtime_error("Quendral_timed.exe showed no window");
            // The file appears, whole, once the window has been painted.
            const Stopwatch waiting;
            while (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES &&
                   waiting.Microseconds() < kStartTimeoutMs * 1000.0) {
                Sleep(1);
            }
            marks = ReadPhaseMarks(path, start);
            process.Kill();
        }
        DeleteFileW(path.c_str());
        if (marks.empty()) throw std::runtime_error("Quendral_timed.exe wrote no start-up marks");
        if (round == 0) continue;
        double previous = 0;
        for (const auto& [phase, end] : marks) {
            auto found = std::find(order.begin(), order.end(), phase);
            if (found == order.end()) {
                order.push_back(phase);
                durations.emplace_back();
                found = order.end() - 1;
            }
            durations[static_cast<std::size_t>(found - order.begin())].push_back(end - previous);
            previous = end;
        }
        painted.push_back(previous);
        seen.push_back(shown);
        Say("  round %d: painted after %.1f ms, seen shown after %.1f ms", round, previous / 1000,
            shown / 1000);
    }

    const double total = Median(painted);
    std::string table = Text(
        "Where Quendral's start-up goes (notes, not targets): Quendral_timed.exe, the same "
        "program built with marks at the end of each phase, medians over %d starts. A "
        "phase runs from the end of the one above it; the first from CreateProcess.\n\n"
        "| phase | ms | share |\n| --- | --- | --- |\n",
        settings.rounds);
    for (std::size_t i = 0; i < order.size(); ++i) {
        const double phase = Median(durations[i]);
        table += Text("| %s | %.1f | %.0f %% |\n", order[i].c_str(), phase / 1000,
                      total > 0 ? phase * 100 / total : 0.0);
    }
    table += Text("| **CreateProcess to the first paint done** | **%.1f** | |\n", total / 1000);
    table += Text("| CreateProcess to the window seen shown by the benchmark | %.1f | |\n",
                  Median(seen) / 1000);
    report.Section(table);
}

// What figures 1 to 3 share: one stand-in messenger, a Quendral with a small list, the
// baseline button, and the count of records the messenger should have logged.
class StepRig {
public:
    explicit StepRig(int steps) : steps_(steps) {
        Prepare(small);
        for (int i = 0; i < kSmallList; ++i) records_.emplace_back(EntryText(i));
    }

    int Steps() const { return steps_; }

    // Microseconds per press of a Quendral's "Ok": one step, one record to each messenger.
    double PressOk(qt::QuendralApp& app) {
        sent_ += static_cast<std::size_t>(steps_) + 1;
        return TimePerStep(steps_, [&](int) { app.Press(app.Ok()); });
    }

    // Microseconds per press of the baseline button plus the record sent from here.
    double PressBaseline() {
        sent_ += static_cast<std::size_t>(steps_) + 1;
        return TimePerStep(steps_, [&](int i) {
            button_.Press();
            records_[static_cast<std::size_t>(i % kSmallList)].SendTo(messenger.Window());
        });
    }

    // Microseconds per bare round trip to Quendral's window plus the record sent from here.
    double RoundTrip() {
        sent_ += static_cast<std::size_t>(steps_) + 1;
        return TimePerStep(steps_, [&](int i) {
            SendMessageW(small.Form(), WM_NULL, 0, 0);
            records_[static_cast<std::size_t>(i % kSmallList)].SendTo(messenger.Window());
        });
    }

    // Checks that the messenger logged exactly the records sent to it so far.
    void ExpectDelivered(const char* what) const { ExpectRecords(messenger, sent_, what); }

    // Starts counting afresh from what the messenger logged, after a pause in which a
    // Quendral's timer may have ticked.
    void Recount() { sent_ = messenger.Records().size(); }

    qt::Messenger messenger;
    qt::QuendralApp small;

private:
    int steps_;
    BaselineButton button_;
    std::vector<NowPlayingRecord> records_;
    std::size_t sent_ = 0;
};

// 1. A press of "Ok" against what the platform spends on the same: a press of a plain
// owner-drawn button, or a bare round trip to Quendral's window, plus the record sent
// straight to the messenger.
void StepCost(Report& report, const Settings& settings, StepRig& rig) {
    Say("1: \"Ok\" against the baseline press and a round trip, %d rounds of %d steps",
        settings.rounds, rig.Steps());
    Paired againstButton, againstRoundTrip;
    for (int round = 0; round < settings.rounds; ++round) {
        double ok = 0, plain = 0, bare = 0;
        for (int turn = 0; turn < 3; ++turn) {
            switch ((round + turn) % 3) {
                case 0:
                    ok = rig.PressOk(rig.small);
                    break;
                case 1:
                    plain = rig.PressBaseline();
                    break;
                default:
                    bare = rig.RoundTrip();
                    break;
            }
        }
        againstButton.Add(ok, plain);
        againstRoundTrip.Add(ok, bare);
        Say("  round %d: \"Ok\" %.0f µs, button + send %.0f µs, WM_NULL + send %.0f µs", round + 1,
            ok, plain, bare);
    }
    rig.ExpectDelivered("figure 1");
    for (auto [label, paired] : {std::pair{"1a", &againstButton}, {"1b", &againstRoundTrip}}) {
        const double measured = Median(paired->measured);
        const double reference = Median(paired->reference);
        report.Set(label,
                   Text("%.2f (%s vs %s per step, %+.0f µs)", paired->Ratio(),
                        Microseconds(measured).c_str(), Microseconds(reference).c_str(),
                        measured - reference),
                   paired->Ratio() <= kStepTarget);
    }
}

// 2. A step with the list full against a step with the small list, two Quendrals side by side.
void FlatInListSize(Report& report, const Settings& settings, StepRig& rig) {
    Say("2: filling a second Quendral with %d entries", kLargeList);
    qt::QuendralApp large;
    SetPace(large, kFastPace);
    const Stopwatch filling;
    FillList(large, kLargeList);
    const double fillSeconds = filling.Microseconds() / 1e6;
    rig.Recount();
    rig.PressOk(large);  // warm-up
    rig.PressOk(rig.small);

    Say("2: %d entries against %d, %d alternating rounds", kLargeList, kSmallList, settings.rounds);
    Paired flat;
    for (int round = 0; round < settings.rounds; ++round) {
        double full = 0, small = 0;
        if (round % 2 == 0) {
            small = rig.PressOk(rig.small);
            full = rig.PressOk(large);
        } else {
            full = rig.PressOk(large);
            small = rig.PressOk(rig.small);
        }
        flat.Add(full, small);
        Say("  round %d: %d entries %.0f µs, %d entries %.0f µs", round + 1, kLargeList, full,
            kSmallList, small);
    }
    rig.ExpectDelivered("figure 2");
    report.Set(
        "2",
        Text("%.2f (%s vs %s per step)", flat.Ratio(), Microseconds(Median(flat.measured)).c_str(),
             Microseconds(Median(flat.reference)).c_str()),
        flat.Ratio() <= kFlatTarget);
    report.Note(
        Text("Figure 2: the full list was filled through Quendral's list box "
             "(LB_ADDSTRING, the last entry through \"Add\", WM_SETREDRAW off) in %.1f s.",
             fillSeconds));
}

// 3. A step with 8 messengers against 8 steps with 1. The other 7 are started for each
// round and ended after it, so both sides alternate within the same run.
void LinearInReceivers(Report& report, const Settings& settings, StepRig& rig) {
    Say("3: %d messengers against 1, %d alternating rounds", kReceivers, settings.rounds);
    const auto expectReceivers = [](int count) {
        if (qt::TopLevelWindows(quendral::kMessengerClassW).size() !=
            static_cast<std::size_t>(count)) {
            throw std::runtime_error(Text("not exactly %d messenger windows are open", count));
        }
    };
    const auto timeOne = [&] {
        expectReceivers(1);
        return rig.PressOk(rig.small);
    };
    const auto timeMany = [&] {
        std::vector<std::unique_ptr<qt::Messenger>> others;
        for (int i = 2; i <= kReceivers; ++i) {
            others.push_back(std::make_unique<qt::Messenger>(L"--title \"Receiver " +
                                                             std::to_wstring(i) + L"\""));
        }
        for (const auto& other : others) WaitForInputIdle(other->Process().Handle(), 5000);
        expectReceivers(kReceivers);
        const double many = rig.PressOk(rig.small);
        for (const auto& other : others) {
            ExpectRecords(*other, static_cast<std::size_t>(rig.Steps()) + 1, "figure 3");
        }
        return many;
    };

    Paired linear;
    for (int round = 0; round < settings.rounds; ++round) {
        double one = 0, many = 0;
        if (round % 2 == 0) {
            one = timeOne();
            many = timeMany();
        } else {
            many = timeMany();
            one = timeOne();
        }
        linear.Add(many, kReceivers * one);
        Say("  round %d: %d messengers %.0f µs, 1 messenger %.0f µs", round + 1, kReceivers, many,
            one);
    }
    rig.ExpectDelivered("figure 3");
    report.Set("3",
               Text("%.2f (%s with %d vs %s with 1 per step)", linear.Ratio(),
                    Microseconds(Median(linear.measured)).c_str(), kReceivers,
                    Microseconds(Median(linear.reference) / kReceivers).c_str()),
               linear.Ratio() <= kLinearTarget);
}

// 1, 2 and 3: the cost of one step, which should stay close to the platform's own, flat
// in the list's size and linear in the number of receivers.
void Steps(Report& report, const Settings& settings) {
    Say("steps: a stand-in messenger, Quendral and the baseline button");
    StepRig rig(settings.steps);
    // Warm-up: every path once, untimed.
    rig.PressOk(rig.small);
    rig.PressBaseline();
    rig.RoundTrip();
    rig.ExpectDelivered("warm-up");

    const std::pair<char, void (*)(Report&, const Settings&, StepRig&)> figures[] = {
        {'1', &StepCost}, {'2', &FlatInListSize}, {'3', &LinearInReceivers}};
    for (const auto& [figure, measure] : figures) {
        if (!settings.Wants(figure)) continue;
        try {
            measure(report, settings, rig);
        } catch (const std::exception& error) {
            report.Unmeasured(std::string_view(&figure, 1), error.what());
        }
    }
}

// 7. The timer's cadence at pace 1, timed on arrival by a receiver inside the benchmark.
void Cadence(Report& report, const Settings& settings) {
    Say("7: cadence at pace %d over %d ticks", kCadencePace, settings.ticks);
    if (!qt::TopLevelWindows(quendral::kMessengerClassW).empty()) {
        throw std::runtime_error("a messenger window is still open");
    }
    const auto expected = static_cast<std::size_t>(settings.ticks) + 1;  // "Ok", then each tick
    ArrivalClock clock(expected);
    qt::QuendralApp app;
    for (int i = 0; i < kSmallList; ++i) app.AddEntry(EntryText(i));
    SetPace(app, kCadencePace);
    app.Press(app.Ok());
    const DWORD patience = static_cast<DWORD>(settings.ticks + 10) * 1000;
    qt::WaitUntil([&] { return clock.Arrivals().size() >= expected; }, patience);
    const std::vector<double>& arrivals = clock.Arrivals();
    if (arrivals.size() < expected) {
        throw std::runtime_error(Text("%d of %d records arrived", static_cast<int>(arrivals.size()),
                                      static_cast<int>(expected)));
    }

    const double period = kCadencePace * 1000.0;
    double worst = 0;
    for (std::size_t i = 1; i < expected; ++i) {
        const double interval = (arrivals[i] - arrivals[i - 1]) / 1000;
        if (std::abs(interval - period) > std::abs(worst)) worst = interval - period;
    }
    const double mean = (arrivals[expected - 1] - arrivals[0]) / 1000 / settings.ticks;
    const double off = (mean - period) / period;
    report.Set("7",
               Text("%.1f ms (%+.2f %%) over %d ticks; worst interval off by %+.1f ms", mean,
                    off * 100, settings.ticks, worst),
               std::abs(off) <= kCadenceTarget);
}

struct Watched {
    double worstMs = 0;
    int unanswered = 0;
    std::size_t records = 0;
};

// Quendral rotating at pace 1 with a healthy messenger last in the window order behind
// slowCount slow ones, probed with WM_NULL every 100 ms for kSlowWatchMs.
Watched WatchBehindSlow(int slowCount) {
    qt::Messenger healthy(L"--title healthy");
    std::vector<std::unique_ptr<qt::Messenger>> slow;
    for (int i = 1; i <= slowCount; ++i) {
        slow.push_back(std::make_unique<qt::Messenger>(L"--answer-after " +
                                                       std::to_wstring(kSlowAnswerMs) +
                                                       L" --title slow" + std::to_wstring(i)));
    }
    SetWindowPos(healthy.Window(), HWND_BOTTOM, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    qt::QuendralApp app;
    for (int i = 0; i < kSmallList; ++i) app.AddEntry(EntryText(i));
    SetPace(app, 1);
    // Posted, so that the first step, the one that meets the slow windows unknown, is watched too.
    PostMessageW(app.Ok(), BM_CLICK, 0, 0);

    Watched watched;
    const std::size_t before = healthy.Records().size();
    const Stopwatch watch;
    while (watch.Microseconds() < kSlowWatchMs * 1000.0) {
        const Stopwatch probe;
        DWORD_PTR ignored = 0;
        // A bound well past the target, so that the worst answer is measured, not cut.
        if (SendMessageTimeoutW(app.Form(), WM_NULL, 0, 0, SMTO_NORMAL,
                                4 * quendral::kAnswerBoundMs, &ignored) == 0) {
            ++watched.unanswered;
        }
        watched.worstMs = std::max(watched.worstMs, probe.Microseconds() / 1000);
        Sleep(100);
    }
    watched.records = healthy.Records().size() - before;
    return watched;
}

// 8. Slow receivers ahead of a healthy one against the healthy one alone.
void SlowReceivers(Report& report) {
    Say("8: %d slow messengers and a healthy one, then the healthy one alone, %u s each",
        kSlowReceivers, static_cast<unsigned>(kSlowWatchMs / 1000));
    const Watched crowded = WatchBehindSlow(kSlowReceivers);
    const Watched alone = WatchBehindSlow(0);
    Say("  with slow ones: worst %.0f ms, %d unanswered, %d records; alone: worst %.0f ms, %d "
        "records",
        crowded.worstMs, crowded.unanswered, static_cast<int>(crowded.records), alone.worstMs,
        static_cast<int>(alone.records));
    const double share = alone.records > 0 ? static_cast<double>(crowded.records) /
                                                 static_cast<double>(alone.records)
                                           : 0;
    report.Set(
        "8",
        Text("worst %s ms (alone %s ms); %d records (alone %d): %.0f %%",
             Grouped(static_cast<std::uint64_t>(crowded.worstMs)).c_str(),
             Grouped(static_cast<std::uint64_t>(alone.worstMs)).c_str(),
             static_cast<int>(crowded.records), static_cast<int>(alone.records), share * 100),
        crowded.unanswered == 0 && crowded.worstMs <= quendral::kAnswerBoundMs &&
            share >= kSlowShareTarget);
}

int Positive(const wchar_t* text, int fallback) {
    const int value = _wtoi(text);
    return value > 0 ? value : fallback;
}

Settings ParseSettings(int argc, wchar_t** argv) {
    Settings settings;
    settings.shipped = qt::BesideThisProgram(L"Quendral.exe");
    settings.startFrom = qt::BesideThisProgram(L"");
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::wstring_view option = argv[i];
        if (option == L"--shipped") {
            settings.shipped = argv[i + 1];
        } else if (option == L"--start-from") {
            settings.startFrom = argv[i + 1];
            if (settings.startFrom.back() != L'\\') settings.startFrom += L'\\';
        } else if (option == L"--rounds") {
            settings.rounds = Positive(argv[i + 1], settings.rounds);
        } else if (option == L"--steps") {
            settings.steps = Positive(argv[i + 1], settings.steps);
        } else if (option == L"--ticks") {
            settings.ticks = Positive(argv[i + 1], settings.ticks);
        } else if (option == L"--figures") {
            settings.figures = Narrow(argv[i + 1]);
        } else if (option == L"--note") {
            settings.notes.push_back(Narrow(argv[i + 1]));
        } else {
            Say("unknown option %s", Narrow(option).c_str());
        }
    }
    return settings;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const Settings settings = ParseSettings(argc, argv);
    const Stopwatch whole;
    Report report;

    report.Keep(settings);
    for (const std::string& note : settings.notes) report.Note(note);
    try {
        if (settings.Wants('6')) SizeAndImports(report, settings);
    } catch (const std::exception& error) {
        report.Unmeasured("6", error.what());
    }
    try {
        if (settings.Wants('4') || settings.Wants('5')) StartUpAndMemory(report, settings);
    } catch (const std::exception& error) {
        report.Unmeasured("45", error.what());
    }
    try {
        if (settings.Wants('4')) StartUpPhases(report, settings);
    } catch (const std::exception& error) {
        report.Note(std::string("The start-up phases were not measured: ") + error.what());
    }
    try {
        if (settings.Wants('1') || settings.Wants('2') || settings.Wants('3')) {
            Steps(report, settings);
        }
    } catch (const std::exception& error) {
        report.Unmeasured("123", error.what());
    }
    try {
        if (settings.Wants('7')) Cadence(report, settings);
    } catch (const std::exception& error) {
        report.Unmeasured("7", error.what());
    }
    try {
        if (settings.Wants('8')) SlowReceivers(report);
    } catch (const std::exception& error) {
        report.Unmeasured("8", error.what());
    }

    SYSTEM_INFO system{};
    GetNativeSystemInfo(&system);
    const qt::PeImage started =
        qt::ParsePeImage(qt::FileBytes(settings.startFrom + L"Quendral.exe"));
    const int startedBits = started.machine == IMAGE_FILE_MACHINE_I386 ? 32 : 64;
    const std::string heading = Text(
        "Timings from the %d-bit build (figures 4 and 5: the %d-bit build, Quendral and "
        "baselines alike) under %s on %d processors; size and imports from the "
        "shipped 32-bit Quendral.exe, read as a file. Ratios are medians over %d rounds, each "
        "round timing both sides back to back (%d steps a side for figures 1 to 3). The whole "
        "run took %.0f s.",
        static_cast<int>(sizeof(void*) * 8), startedBits, PlatformName().c_str(),
        static_cast<int>(system.dwNumberOfProcessors), settings.rounds, settings.steps,
        whole.Microseconds() / 1e6);
    report.Print(stdout, heading);
    return report.Complete() ? 0 : 1;
}
