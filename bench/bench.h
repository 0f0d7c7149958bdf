// What the benchmark's files, one a group of figures, share: settings, the table with its one
// catch, the text; medians over interleaved rounds, the windows waited for, the entries
// typed, the quiet receivers steps are timed against, and the headers they all use.
#pragma once

#include <windows.h>

#include <algorithm>
#include <array>
#include <cstdarg>
#include <cstdio>
#include <exception>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "announce/delivery.h"
#include "announce/now_playing.h"
#include "bench/baselines.h"
#include "harness/harness.h"
#include "harness/quendral_app.h"
#include "support/identities.h"
#include "support/stopwatch.h"
#include "support/text.h"
#include "support/window_text.h"

namespace quendral::bench {

struct Settings {
    std::wstring shipped;
    int rounds = 7;
    int steps = 100;
    int ticks = 30;
    std::string figures = "12345678";
    std::vector<std::string> notes;
};

#if defined(__GNUC__)
__attribute__((format(gnu_printf, 1, 2)))
#endif
inline std::string
Text(const char* format, ...) {
    va_list args, again;
    va_start(args, format);
    va_copy(again, args);
    const int length = std::vsnprintf(nullptr, 0, format, args);
    std::string text(static_cast<std::size_t>(std::max(length, 0)), '\0');
    std::vsnprintf(text.data(), text.size() + 1, format, again);
    va_end(again);
    va_end(args);
    return text;
}

struct Row {
    const char* label;
    const char* figure;
    std::string target;
    std::string value = "not measured";
    const char* met = "—";  // "yes" or "**no**" once measured
};

// Every figure's row, in the table's order (bench.cpp).
std::vector<Row> Figures();

struct Report {
    // The figures wanted: those whose label starts with one of its digits.
    explicit Report(const std::string& figures) : wanted(figures), rows(Figures()) {
        std::erase_if(rows, [&](const Row& row) { return !Wants(row.label[0]); });
    }
    bool Wants(char figure) const { return wanted.find(figure) != std::string::npos; }

    // Sets a row's value; one left out of this run is ignored.
    void Set(std::string_view label, const std::string& value, bool met) {
        for (Row& row : rows) {
            if (label == row.label)
                row = {row.label, row.figure, row.target, value, met ? "yes" : "**no**"};
        }
    }

    // Runs measure when one of the figures named (as digits: "45") is wanted, with a line of
    // progress on standard error; should it throw, the rows of those figures that it had
    // not set yet read "not measured: why".
    template <class Measure>
    void Attempt(const std::string& figures, Measure&& measure) {
        if (std::none_of(figures.begin(), figures.end(), [&](char f) { return Wants(f); })) return;
        std::fprintf(stderr, "bench [%5.1f s]: measuring %s\n", run.Microseconds() / 1e6,
                     figures.c_str());
        try {
            measure();
        } catch (const std::exception& error) {
            for (Row& row : rows) {
                if (figures.find(row.label[0]) != figures.npos && row.value == "not measured") {
                    row.value += std::string(": ") + error.what();
                }
            }
        }
    }

    bool Complete() const {
        return std::none_of(rows.begin(), rows.end(),
                            [](const Row& row) { return row.value.starts_with("not measured"); });
    }

    // To standard output: the heading, the rows, then the sections and the notes.
    void Print(const std::string& heading) const {
        std::printf(
            "# Quendral benchmark\n\n%s\n\n| Figure | Value | Target | Met |\n"
            "| --- | --- | --- | --- |\n",
            heading.c_str());
        int met = 0;
        for (const Row& row : rows) {
            met += std::string_view(row.met) == "yes";
            std::printf("| %s. %s | %s | %s | %s |\n", row.label, row.figure, row.value.c_str(),
                        row.target.c_str(), row.met);
        }
        std::printf("\n%d of %d targets met.\n", met, static_cast<int>(rows.size()));
        for (const std::string& section : sections) std::printf("\n%s", section.c_str());
        if (!notes.empty()) std::printf("\nNotes:\n\n");
        for (const std::string& note : notes) std::printf("- %s\n", note.c_str());
        std::fflush(stdout);
    }

    const Stopwatch run;
    const std::string wanted;
    std::vector<Row> rows;
    std::vector<std::string> sections;  // Markdown printed under the table, before the notes
    std::vector<std::string> notes;
};

namespace qt = quendral::testing;

inline constexpr DWORD kStartTimeoutMs = 20000;
inline constexpr int kSmallList = 3;

inline constexpr double kStepTarget = 1.2, kFlatTarget = 1.1, kLinearTarget = 1.2;
inline constexpr double kStartTarget = 1.5, kMemoryTarget = 1.5;
inline constexpr std::uint64_t kSizeTarget = 400 * 1024;
inline constexpr double kCadenceTarget = 0.02, kSlowShareTarget = 0.8;

inline double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 != 0 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// The median over the rounds of measured / reference, each round's values set against
// each other.
inline double MedianRatio(const std::vector<double>& measured,
                          const std::vector<double>& reference) {
    std::vector<double> ratios;
    for (std::size_t i = 0; i < measured.size(); ++i) ratios.push_back(measured[i] / reference[i]);
    return Median(ratios);
}

// Measures every side once a round, back to back, the side that goes first moving on by
// one each round so that none always runs first. Each side's values in the order given.
template <class... Side>
std::array<std::vector<double>, sizeof...(Side)> Interleaved(int rounds, Side&&... sides) {
    constexpr std::size_t count = sizeof...(Side);
    const std::array<std::function<double()>, count> measure{std::ref(sides)...};
    std::array<std::vector<double>, count> values;
    for (std::size_t round = 0; round < static_cast<std::size_t>(rounds); ++round) {
        for (std::size_t turn = 0; turn < count; ++turn) {
            values[(round + turn) % count].push_back(measure[(round + turn) % count]());
        }
    }
    return values;
}

// Polls, millisecond by millisecond and without pumping, for the visible top-level window
// of a class and caption that a process opened; null if none showed in time. Another
// process's caption is read without a message, so a busy program cannot stall the poll.
inline HWND WaitForShownWindow(DWORD pid, const wchar_t* className, const wchar_t* caption) {
    for (const Stopwatch watch; watch.Ms() <= kStartTimeoutMs; Sleep(1)) {
        for (HWND window : qt::TopLevelWindows(className, pid)) {
            if (IsWindowVisible(window) &&
                WindowText(window) == reinterpret_cast<const char16_t*>(caption)) {
                return window;
            }
        }
    }
    return nullptr;
}

// Moves another program's window: the step figures' windows stand apart, so that how much
// of a press's painting shows never depends on which window covers which.
inline void PlaceAt(HWND window, int x, int y) {
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The text of an entry; every entry has the same length, so every record the same size.
inline std::u16string EntryText(int index) {
    const std::string text = Text("Entry %05d", index);
    return {text.begin(), text.end()};
}

// A Quendral with the small list, at a pace.
inline void Prepare(qt::QuendralApp& app, int pace) {
    for (int i = 0; i < kSmallList; ++i) app.AddEntry(EntryText(i));
    app.SetPace(pace);
}

// A quiet receiver (quiet_receiver.exe), started and ready for records.
struct QuietReceiver {
    QuietReceiver() {
        if (window == nullptr) throw std::runtime_error("the quiet receiver showed no window");
        WaitForInputIdle(process.Handle(), 5000);
        PlaceAt(window, 640, 512);
    }
    std::size_t Taken() const {  // the now-playing records it has taken
        DWORD_PTR taken = 0;
        SendMessageTimeoutW(window, kRecordsTaken, 0, 0, SMTO_ABORTIFHUNG, 5000, &taken);
        return taken;
    }
    // Throws, naming what sent them, unless it has taken exactly expected records.
    void Expect(std::size_t expected, const char* what) const {
        if (const std::size_t taken = Taken(); taken != expected) {
            throw std::runtime_error(Text("%s: a receiver took %d records where %d were sent", what,
                                          static_cast<int>(taken), static_cast<int>(expected)));
        }
    }

    qt::ChildProcess process{qt::BesideThisProgram(L"quiet_receiver.exe"), L""};
    const HWND window = WaitForShownWindow(process.Id(), kMessengerClassW, kQuietReceiverCaption);
};

// The groups of figures.
void StepFigures(Report& report, const Settings& settings);         // 1, 2 and 3
void StartUpFigures(Report& report, const Settings& settings);      // 4 and 5
void ShippedFileFigures(Report& report, const Settings& settings);  // 6
void Cadence(Report& report, const Settings& settings);             // 7
void SlowReceivers(Report& report, const Settings& settings);       // 8

}  // namespace quendral::bench
