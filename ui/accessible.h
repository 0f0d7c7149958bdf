// What a screen reader reads of a control: its name, role and value, as another process
// reads them through Active Accessibility. A described control answers WM_GETOBJECT
// with its standard accessible object, wrapped to say these three (and a description)
// itself; everything else, list items included, is the standard object's. The
// accessibility library is loaded only when a reader first asks, never at start.
#pragma once

#include <windows.h>

namespace quendral::accessible {

struct Description {
    long role;                   // ROLE_SYSTEM_...
    const wchar_t* name;         // null: the control's caption
    const wchar_t* description;  // null: the standard object's
    // The caption is a value that changes (the pace): the name is name followed by it,
    // the value is the caption, and readers are told of every change.
    bool captionIsValue = false;
};

// Makes control answer readers as said says, until it is destroyed; said must outlive it.
bool Describe(HWND control, const Description& said);

}  // namespace quendral::accessible
