#include "rotation/pace.h"

#include <cmath>
#include <limits>

namespace quendral {

namespace {

void StepPace(TextControl& saniye, RotationTimer& Timer1, int delta) {
    const int pace = ParsePace(saniye.Text());
    const int next = pace + delta;
    if (next < kMinPace || next > kMaxPace) return;
    saniye.SetText(FormatPace(next));
    Timer1.SetPeriod(PeriodFromPace(ParsePace(saniye.Text())));
}

}  // namespace

int ParsePace(std::u16string_view caption) {
    const bool negative = !caption.empty() && caption.front() == u'-';
    if (negative) caption.remove_prefix(1);
    if (caption.empty()) return kInitialPace;
    long long magnitude = 0;
    for (char16_t c : caption) {
        if (c < u'0' || c > u'9') return kInitialPace;
        if (magnitude <= kMaxPace) magnitude = magnitude * 10 + (c - u'0');
    }
    const long long value = negative ? -magnitude : magnitude;
    if (value < kMinPace) return kMinPace;
    if (value > kMaxPace) return kMaxPace;
    return static_cast<int>(value);
}

std::u16string FormatPace(int seconds) {
    const bool negative = seconds < 0;
    // Widen before negating so the most negative int is written correctly.
    unsigned long long magnitude = negative ? 0ULL - static_cast<unsigned long long>(seconds)
                                            : static_cast<unsigned long long>(seconds);
    std::u16string digits;
    do {
        digits.insert(digits.begin(), static_cast<char16_t>(u'0' + magnitude % 10));
        magnitude /= 10;
    } while (magnitude != 0);
    if (negative) digits.insert(digits.begin(), u'-');
    return digits;
}

std::int32_t PeriodFromPace(double seconds) {
    constexpr double kLow = std::numeric_limits<std::int32_t>::min();
    constexpr double kHigh = std::numeric_limits<std::int32_t>::max();
    const double milliseconds = std::nearbyint(seconds * 1000.0);
    if (std::isnan(milliseconds)) return 0;
    if (milliseconds <= kLow) return std::numeric_limits<std::int32_t>::min();
    if (milliseconds >= kHigh) return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(milliseconds);
}

void Shorter(TextControl& saniye, RotationTimer& Timer1) {
    StepPace(saniye, Timer1, -1);
}

void Longer(TextControl& saniye, RotationTimer& Timer1) {
    StepPace(saniye, Timer1, +1);
}

StepReport Start(const TextControl& saniye, RotationTimer& Timer1, const EntryList& liste,
                 std::int16_t& rotationIndex, Announcer& announcer) {
    Timer1.SetPeriod(PeriodFromPace(ParsePace(saniye.Text())));
    Timer1.SwitchOn();
    return RotationStep(liste, rotationIndex, announcer);
}

}  // namespace quendral
