// The names by which Quendral, the messenger, the tools and the tests find one another on
// Windows: window classes, the caption, and the captions of the form's controls.
#pragma once

namespace quendral {

// Class of the messenger's windows, top-level or message-only: narrow for the search Quendral makes
// with FindWindowExA, wide for everything else.
inline constexpr char kMessengerClass[] = "MsnMsgrUIManager";
inline constexpr wchar_t kMessengerClassW[] = L"MsnMsgrUIManager";

// Quendral's window: its class and caption.
inline constexpr wchar_t kFormClass[] = L"QuendralForm1";
inline constexpr wchar_t kFormCaption[] = L"Quendral";

// The status strip's control id: its text changes, so it is found by this.
inline constexpr int kStatusControlId = 109;

// The captions of the form's label and buttons.
namespace captions {
inline constexpr wchar_t kSecond[] = L"Second:";
inline constexpr wchar_t kShorter[] = L"<";
inline constexpr wchar_t kLonger[] = L">";
inline constexpr wchar_t kOk[] = L"Ok";
inline constexpr wchar_t kAdd[] = L"Add";
inline constexpr wchar_t kClear[] = L"Clear";
}  // namespace captions

}  // namespace quendral
