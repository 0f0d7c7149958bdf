#include "rotation/rotation.h"

namespace quendral {

void AddEntry(EntryList& liste, InputBox& ekle) {
    if (liste.Count() >= kMaxEntries) {
        ekle.NotifyNotAdded(NotAdded::kListFull);
        return;
    }
    if (!liste.Append(ekle.Text())) {
        ekle.NotifyNotAdded(NotAdded::kListRefused);
        return;
    }
    ekle.SetText(u"");
}

void ClearEntries(EntryList& liste, TextControl& ekle) {
    liste.Clear();
    ekle.SetText(u"");
}

void RotationStep(const EntryList& liste, std::int16_t& rotationIndex, Announcer& announcer) {
    const std::int16_t count = liste.Count();
    if (rotationIndex >= count || rotationIndex < 0) rotationIndex = 0;
    if (count == 0) return;
    announcer.Announce(liste.At(rotationIndex));
    ++rotationIndex;
}

}  // namespace quendral
