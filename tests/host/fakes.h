// In-memory stand-ins for the window's controls and the messenger.
#pragma once

#include <cstdint>
#include <new>
#include <string>
#include <vector>

#include "rotation/pace.h"
#include "rotation/rotation.h"

namespace quendral::testing {

struct FakeList final : EntryList {
    std::vector<std::u16string> items;
    bool refuses = false;  // every Append fails, as a list box out of memory does
    std::int16_t Count() const override { return static_cast<std::int16_t>(items.size()); }
    std::u16string At(std::int16_t index) const override {
        return items.at(static_cast<std::size_t>(index));
    }
    bool Append(std::u16string_view text) override {
        if (refuses) return false;
        items.emplace_back(text);
        return true;
    }
    void Clear() override { items.clear(); }
};

struct FakeInput final : InputBox {
    std::u16string text;
    int fullNotices = 0;
    int refusedNotices = 0;
    bool runsOutOfMemory = false;  // reading the text fails, as a copy too large for memory does
    std::u16string Text() const override {
        if (runsOutOfMemory) throw std::bad_alloc();
        return text;
    }
    void SetText(std::u16string_view value) override { text = value; }
    void NotifyNotAdded(NotAdded why) override {
        ++(why == NotAdded::kListFull ? fullNotices : refusedNotices);
    }
};

struct FakeLabel final : TextControl {
    std::u16string caption = u"2";
    std::u16string Text() const override { return caption; }
    void SetText(std::u16string_view value) override { caption = value; }
};

// Reports each announcement as delivery says, or fails it as a record that can't be made.
struct RecordingAnnouncer final : Announcer {
    std::vector<std::u16string> announced;
    DeliveryReport delivery{1, 1, 0};
    bool runsOutOfMemory = false;
    DeliveryReport Announce(std::u16string_view entry) override {
        if (runsOutOfMemory) throw std::bad_alloc();
        announced.emplace_back(entry);
        return delivery;
    }
};

// The form's rotation with the stand-ins: the list, the input box, the messenger, the cursor.
struct Rotation {
    FakeList liste;
    FakeInput ekle;
    RecordingAnnouncer messenger;
    std::int16_t rotationIndex = 0;

    // Types text into the box and adds it.
    void Add(std::u16string_view text) {
        ekle.text = text;
        AddEntry(liste, ekle);
    }
    StepReport Step() { return RotationStep(liste, rotationIndex, messenger); }
};

struct FakeTimer final : RotationTimer {
    std::int32_t period = 0;
    bool on = false;
    int periodSets = 0;
    void SetPeriod(std::int32_t milliseconds) override {
        period = milliseconds;
        ++periodSets;
    }
    void SwitchOn() override { on = true; }
};

}  // namespace quendral::testing
