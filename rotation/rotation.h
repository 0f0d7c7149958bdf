// The entry rotation: adding and clearing entries and the step that announces the
// entry under the cursor. The entries live in the window's list control; these
// functions reach it, the input box and the messenger through small seams.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "announce/now_playing.h"

namespace quendral {

// The list control holds at most this many entries (its count is a signed 16-bit number).
inline constexpr std::int16_t kMaxEntries = 32767;

// The entries, in the order they were added.
class EntryList {
public:
    virtual std::int16_t Count() const = 0;
    virtual std::u16string At(std::int16_t index) const = 0;
    // False when the list refused the text (it ran out of memory, say) and holds what it held.
    virtual bool Append(std::u16string_view text) = 0;
    virtual void Clear() = 0;

protected:
    ~EntryList() = default;
};

// A control whose text the program reads and writes: the input box, the pace label.
class TextControl {
public:
    virtual std::u16string Text() const = 0;
    virtual void SetText(std::u16string_view text) = 0;

protected:
    ~TextControl() = default;
};

// Why a typed line was not added.
enum class NotAdded {
    kListFull,     // the list holds kMaxEntries
    kListRefused,  // the list would not take it
};

// The input box also tells the user when what they typed cannot be taken.
class InputBox : public TextControl {
public:
    virtual void NotifyNotAdded(NotAdded why) = 0;

protected:
    ~InputBox() = default;
};

// The rotation timer: a period in milliseconds and an on/off switch, set independently.
// While it is on and its period is above 0 it ticks once per period.
class RotationTimer {
public:
    virtual void SetPeriod(std::int32_t milliseconds) = 0;
    virtual void SwitchOn() = 0;

protected:
    ~RotationTimer() = default;
};

// Appends the input box's text (empty or not) and empties the box. When the list is
// full, or the box or the list can't hand the text over, nothing changes but a notice:
// the typed text stays.
void AddEntry(EntryList& liste, InputBox& ekle);

// Removes every entry and empties the input box; the cursor and the timer stay as they are.
void ClearEntries(EntryList& liste, TextControl& ekle);

// What a step did, for the window to tell.
struct StepReport {
    enum class Kind {
        kEmptyList,  // nothing to announce
        kPublished,  // line went out as delivery says
        kNotSent,    // line or its record could not be made (out of memory)
    };
    Kind kind = Kind::kEmptyList;
    std::u16string line;
    DeliveryReport delivery;
};

// Announces the entry under rotationIndex and moves the cursor on, also when the entry
// could not be sent, so that one line never sticks the rotation. A cursor at or past the
// end goes back to the first entry; a step on an empty list announces nothing.
StepReport RotationStep(const EntryList& liste, std::int16_t& rotationIndex, Announcer& announcer);

}  // namespace quendral
