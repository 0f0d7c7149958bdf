#include "bench/report.h"

#include <algorithm>
#include <cstdarg>

#include "support/stopwatch.h"

namespace quendral::bench {

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

void Say(const char* format, ...) {
    static const Stopwatch run;
    va_list args;
    va_start(args, format);
    std::fprintf(stderr, "bench [%5.1f s]: ", run.Microseconds() / 1e6);
    std::vfprintf(stderr, format, args);
    std::fputc('\n', stderr);
    std::fflush(stderr);
    va_end(args);
}

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

std::string Microseconds(double value) {
    return value >= 10000 ? Text("%s µs", Grouped(static_cast<std::uint64_t>(value)).c_str())
                          : Text("%.0f µs", value);
}

std::string Megabytes(double bytes) {
    return Text("%.1f MB", bytes / (1024.0 * 1024.0));
}

Report::Report(std::vector<Row> rows, const Settings& settings) : rows_(std::move(rows)) {
    std::erase_if(rows_, [&](const Row& row) { return !settings.Wants(row.label[0]); });
}

void Report::Set(std::string_view label, std::string value, bool met) {
    for (Row& row : rows_) {
        if (label != row.label) continue;
        row.value = std::move(value);
        row.verdict = met ? Row::Verdict::kMet : Row::Verdict::kMissed;
    }
}

void Report::Measure(const Settings& settings) {
    std::vector<Row::Measure> called;
    for (const Row& row : rows_) {
        const Row::Measure measure = row.measure;
        if (std::find(called.begin(), called.end(), measure) != called.end()) continue;
        called.push_back(measure);
        std::string figures;
        for (const Row& other : rows_) {
            if (other.measure == measure) figures += other.label[0];
        }
        Attempt(figures, [&] { measure(*this, settings); });
    }
}

void Report::Unmeasured(std::string_view figures, const char* why) {
    for (Row& row : rows_) {
        if (figures.find(row.label[0]) != std::string_view::npos &&
            row.verdict == Row::Verdict::kUnmeasured && row.value == "not measured") {
            row.value = std::string("not measured: ") + why;
        }
    }
}

bool Report::Complete() const {
    return std::none_of(rows_.begin(), rows_.end(),
                        [](const Row& row) { return row.verdict == Row::Verdict::kUnmeasured; });
}

void Report::Print(std::FILE* out, const std::string& heading) const {
    std::vector<Row> rows = rows_;
    std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
        return std::string_view(a.label) < std::string_view(b.label);
    });
    std::fprintf(out, "# Quendral benchmark\n\n%s\n\n", heading.c_str());
    std::fprintf(out, "| Figure | Value | Target | Met |\n| --- | --- | --- | --- |\n");
    int met = 0;
    for (const Row& row : rows) {
        const char* verdict = row.verdict == Row::Verdict::kMet      ? "yes"
                              : row.verdict == Row::Verdict::kMissed ? "**no**"
                                                                     : "—";
        if (row.verdict == Row::Verdict::kMet) ++met;
        std::fprintf(out, "| %s. %s | %s | %s | %s |\n", row.label, row.figure, row.value.c_str(),
                     row.target.c_str(), verdict);
    }
    std::fprintf(out, "\n%d of %d targets met.\n", met, static_cast<int>(rows.size()));
    for (const std::string& section : sections_) std::fprintf(out, "\n%s", section.c_str());
    if (!notes_.empty()) {
        std::fprintf(out, "\nNotes:\n\n");
        for (const std::string& note : notes_) std::fprintf(out, "- %s\n", note.c_str());
    }
    std::fflush(out);
}

}  // namespace quendral::bench
