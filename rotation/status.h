// What the status strip says after each step: whether the line reached a messenger.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "rotation/rotation.h"

namespace quendral {

inline constexpr std::u16string_view kStatusBeforeFirstStep = u"Add lines, then press Ok";

// The most of an entry the status quotes, in UTF-16 units; a longer one ends in "…".
inline constexpr std::size_t kStatusLineMax = 100;

// line on one line for the status: tabs, line breaks and other control characters show
// as spaces (a CR LF pair as one), and it is cut after kStatusLineMax units, never inside
// a surrogate pair.
std::u16string OneLine(std::u16string_view line);

// The status after a step that did what report says.
std::u16string StatusText(const StepReport& report);

}  // namespace quendral
