#include "rotation/rotation.h"

#include <exception>

namespace quendral {

void AddEntry(EntryList& liste, InputBox& ekle) {
    if (liste.Count() >= kMaxEntries) {
        ekle.NotifyNotAdded(NotAdded::kListFull);
        return;
    }
    bool added = false;
    try {
        added = liste.Append(ekle.Text());
    } catch (const std::exception&) {  // the box could not hand its text over
    }
    if (!added) {
        ekle.NotifyNotAdded(NotAdded::kListRefused);
        return;
    }
    ekle.SetText(u"");
}

void ClearEntries(EntryList& liste, TextControl& ekle) {
    liste.Clear();
    ekle.SetText(u"");
}

StepReport RotationStep(const EntryList& liste, std::int16_t& rotationIndex, Announcer& announcer) {
    const std::int16_t count = liste.Count();
    if (rotationIndex >= count || rotationIndex < 0) rotationIndex = 0;
    if (count == 0) return {};
    StepReport report;
    try {
        report.line = liste.At(rotationIndex);
        report.delivery = announcer.Announce(report.line);
        report.kind = StepReport::Kind::kPublished;
    } catch (const std::exception&) {
        report.kind = StepReport::Kind::kNotSent;
    }
    ++rotationIndex;
    return report;
}

}  // namespace quendral
