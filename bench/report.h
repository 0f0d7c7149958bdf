// The benchmark's settings, its table of figures and the text it prints.
#pragma once

#include <cstdint>
#include <cstdio>
#include <exception>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#if defined(__GNUC__)
#define BENCH_PRINTF_LIKE(string, first) __attribute__((format(gnu_printf, string, first)))
#else
#define BENCH_PRINTF_LIKE(string, first)
#endif

namespace quendral::bench {

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

std::string Text(const char* format, ...) BENCH_PRINTF_LIKE(1, 2);
// A line of progress on standard error.
void Say(const char* format, ...) BENCH_PRINTF_LIKE(1, 2);
// 1234567 as "1,234,567".
std::string Grouped(std::uint64_t number);
std::string Narrow(std::wstring_view text);
std::string Microseconds(double value);
std::string Megabytes(double bytes);

class Report;

struct Row {
    enum class Verdict { kUnmeasured, kMet, kMissed };
    // Measures this row's figure and any others of the same function, in one call.
    using Measure = void (*)(Report&, const Settings&);

    const char* label;
    const char* figure;
    std::string target;
    Measure measure;
    std::string value = "not measured";
    Verdict verdict = Verdict::kUnmeasured;
};

class Report {
public:
    // The rows in the order they are measured; those of figures the run does not want are left out.
    Report(std::vector<Row> rows, const Settings& settings);

    // Sets a row's value; one left out of this run is ignored.
    void Set(std::string_view label, std::string value, bool met);
    void Note(std::string note) { notes_.push_back(std::move(note)); }
    // A block of Markdown printed under the table, before the notes.
    void Section(std::string text) { sections_.push_back(std::move(text)); }

    // Calls each row's function once, in order, through Attempt.
    void Measure(const Settings& settings);
    // Runs measure; should it throw, the rows of the figures named (as digits: "45") that
    // it had not set yet read "not measured: why".
    template <class Measure>
    void Attempt(std::string_view figures, Measure&& measure) {
        try {
            measure();
        } catch (const std::exception& error) {
            Unmeasured(figures, error.what());
        }
    }
    bool Complete() const;
    // The rows in the order of their labels, then the sections and the notes.
    void Print(std::FILE* out, const std::string& heading) const;

private:
    void Unmeasured(std::string_view figures, const char* why);

    std::vector<Row> rows_;
    std::vector<std::string> sections_;
    std::vector<std::string> notes_;
};

// The table: every figure, in the order they are measured (figures.cpp).
std::vector<Row> Figures();

}  // namespace quendral::bench
