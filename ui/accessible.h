// What a screen reader hears of a control: its standard accessible object, with name,
// role, value and description as given here. oleacc is loaded when a reader first asks.
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

// Makes control answer readers as spoken says, until it is destroyed; spoken must outlive it.
bool Describe(HWND control, const Description& spoken);

}  // namespace quendral::accessible
