// The benchmark's settings, its table of figures with the one catch that marks a figure
// not measured, and the text it prints.
#pragma once

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "support/stopwatch.h"

namespace quendral::bench {

struct Settings {
    std::wstring shipped;
    std::wstring startFrom;  // ends with a backslash
    int rounds = 7;
    int steps = 30;
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

// 1234567 as "1,234,567".
inline std::string Grouped(std::uint64_t number) {
    std::string digits = std::to_string(number);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) digits.insert(at, ",");
    return digits;
}

inline std::string Narrow(std::wstring_view text) {
    std::string ascii;
    for (wchar_t unit : text) ascii += unit < 0x80 ? static_cast<char>(unit) : '?';
    return ascii;
}

struct Row {
    const char* label;
    const char* figure;
    std::string target;
    std::string value = "not measured";
    const char* met = "—";  // "yes" or "**no**" once measured
};

// Every figure's row, in the table's order (figures.cpp).
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

// Measures the figures wanted (figures.cpp).
void MeasureFigures(Report& report, const Settings& settings);

}  // namespace quendral::bench
