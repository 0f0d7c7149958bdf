// The last start-up probe: the same program as C++, with what Quendral's own code brings
// of the C++ runtime (containers, strings, exceptions), linked statically as Quendral is.
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// Made before the entry, as a static object of a C++ program is.
const std::vector<std::u16string> kept{u"runtime"};

int RuntimeUsed() {
    try {
        const std::optional<std::u16string> text = kept.at(0);
        return text ? static_cast<int>(text->size()) : 0;
    } catch (const std::out_of_range&) {
        return -1;
    }
}

}  // namespace

#define PROBE_EXTRA RuntimeUsed
#include "bench/start_probe.c"
