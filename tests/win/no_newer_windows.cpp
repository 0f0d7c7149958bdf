// The newer calls as XP, Vista, 7 and 8 have them: none. Linked in place of
// ui/newer_windows.cpp into the tests' builds for older systems, since Wine has them all.
#include "ui/newer_windows.h"

namespace quendral::newer_windows {

const Calls& Available() {
    static const Calls none;
    return none;
}

}  // namespace quendral::newer_windows
