// The pace: whole seconds between two announcements, kept only as the text of the
// pace label, and the rotation timer whose period follows it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "rotation/rotation.h"

namespace quendral {

// The pace's own bounds (SetTimer would take far longer periods): 0 pauses, 65 s is the most.
inline constexpr int kMinPace = 0;
inline constexpr int kMaxPace = 65;
inline constexpr int kInitialPace = 2;

// Reads a caption the program wrote: an optional minus sign and decimal digits.
// Anything else reads as the initial pace; values beyond the bounds read as the bound.
int ParsePace(std::u16string_view caption);

// Decimal text with a leading "-" for negative numbers and nothing else around it.
std::u16string FormatPace(int seconds);

// seconds x 1000 in double precision, rounded to the nearest integer (ties to even)
// and held within the range of a signed 32-bit number.
std::int32_t PeriodFromPace(double seconds);

// "<" and ">": write the new caption, then take the period from the caption just
// written. At the bounds nothing changes. The timer's switch is left alone.
void Shorter(TextControl& saniye, RotationTimer& Timer1);
void Longer(TextControl& saniye, RotationTimer& Timer1);

// "Ok": period from the caption, timer on, and one rotation step at once.
StepReport Start(const TextControl& saniye, RotationTimer& Timer1, const EntryList& liste,
                 std::int16_t& rotationIndex, Announcer& announcer);

}  // namespace quendral
