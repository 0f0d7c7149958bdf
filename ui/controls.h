// The window's ten controls in tab order, one row each: creation, fonts, what a screen
// reader hears and the fitting of the fonts to the captions all read this table.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>

#include <cstddef>
#include <type_traits>

#include "rotation/status.h"
#include "support/identities.h"
#include "ui/accessible.h"
#include "ui/layout.h"

namespace quendral::controls {

// Ids stay clear of IDOK (1) and IDCANCEL (2), which the dialog keys send.
enum Id : UINT {
    kListe = 100,
    kEkle,
    kSaniye,
    kAz,
    kCok,
    kLabel1,
    kCommand2,
    kCommand1,
    kCommand3,
    kDurum = kStatusControlId,
};

enum class Font { kText, kCaption, kPace };
inline constexpr std::size_t kFontCount = 3;

// How a control's text is drawn, which decides the room a font fitted to it must keep.
enum class Drawn {
    kListItems,   // the list box's entries, of any length: scrolled, never fitted to
    kLabel,       // a static control's caption, inside its rectangle
    kButton,      // ours (paint::Button): centred inside the raised edge
    kInputLine,   // the input box's: one line inside its client edge
    kStatusLine,  // ours (paint::Status), of any length: cut with an ellipsis, never fitted to
};

struct Control {
    Id id;
    const wchar_t* className;
    const wchar_t* caption;
    DWORD style;  // besides WS_CHILD | WS_VISIBLE
    DWORD exStyle;
    layout::TwipsRect place;
    Font font;
    Drawn drawn;
    accessible::Description spoken;  // the captions on the screen stay as they are
};

// Not constexpr only because the strip's first text is the rotation's UTF-16 one.
// clang-format off
inline const Control kControls[] = {
    {kListe, WC_LISTBOXW, L"", WS_TABSTOP | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, WS_EX_CLIENTEDGE,
     layout::kListe, Font::kText, Drawn::kListItems,
     {ROLE_SYSTEM_LIST, L"Entries", L"The lines published one after another, round and round"}},
    {kEkle, WC_EDITW, L"", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE,
     layout::kEkle, Font::kText, Drawn::kInputLine,
     {ROLE_SYSTEM_TEXT, L"New entry", L"A line to add to the entries"}},
    {kSaniye, WC_STATICW, L"2", SS_CENTER | SS_NOPREFIX, 0,
     layout::kSaniye, Font::kPace, Drawn::kLabel,
     {ROLE_SYSTEM_STATICTEXT, L"Seconds each entry stays: ", nullptr, true}},
    {kAz, WC_BUTTONW, captions::kShorter, WS_TABSTOP | BS_OWNERDRAW, 0,
     layout::kAz, Font::kCaption, Drawn::kButton,
     {ROLE_SYSTEM_PUSHBUTTON, L"Shorter pace, one second less", nullptr}},
    {kCok, WC_BUTTONW, captions::kLonger, WS_TABSTOP | BS_OWNERDRAW, 0,
     layout::kCok, Font::kCaption, Drawn::kButton,
     {ROLE_SYSTEM_PUSHBUTTON, L"Longer pace, one second more", nullptr}},
    {kLabel1, WC_STATICW, captions::kSecond, SS_LEFTNOWORDWRAP | SS_NOPREFIX, 0,
     layout::kLabel1, Font::kCaption, Drawn::kLabel,
     {ROLE_SYSTEM_STATICTEXT, nullptr, nullptr}},
    {kCommand2, WC_BUTTONW, captions::kOk, WS_TABSTOP | BS_OWNERDRAW, 0,
     layout::kCommand2, Font::kCaption, Drawn::kButton,
     {ROLE_SYSTEM_PUSHBUTTON, nullptr, L"Publishes the next entry now, then one at every pace"}},
    {kCommand1, WC_BUTTONW, captions::kAdd, WS_TABSTOP | BS_OWNERDRAW, 0,
     layout::kCommand1, Font::kCaption, Drawn::kButton,
     {ROLE_SYSTEM_PUSHBUTTON, nullptr, L"Adds the new entry to the entries"}},
    {kCommand3, WC_BUTTONW, captions::kClear, WS_TABSTOP | BS_OWNERDRAW, 0,
     layout::kCommand3, Font::kCaption, Drawn::kButton,
     {ROLE_SYSTEM_PUSHBUTTON, nullptr, L"Empties the entries and the new entry"}},
    {kDurum, WC_STATICW, reinterpret_cast<const wchar_t*>(kStatusBeforeFirstStep.data()),
     SS_OWNERDRAW | SS_NOPREFIX, 0, layout::kDurum, Font::kText, Drawn::kStatusLine,
     {ROLE_SYSTEM_STATUSBAR, nullptr, nullptr}},
};
// clang-format on
inline constexpr std::size_t kCount = std::extent_v<decltype(kControls)>;

// The row of the control with this id.
inline std::size_t RowOf(Id id) {
    std::size_t row = 0;
    while (row < kCount && kControls[row].id != id) ++row;
    return row;
}

// Whether font is fitted to control's caption (or, for the input box, to a line of it).
constexpr bool FittedTo(const Control& control, Font font) {
    return font != Font::kPace && control.font == font && control.drawn != Drawn::kListItems &&
           control.drawn != Drawn::kStatusLine;
}

}  // namespace quendral::controls
