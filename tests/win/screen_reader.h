// A screen reader's side of the Windows tests: COM on the thread, and what a reader hears
// of a control of another process through Active Accessibility.
#pragma once

#include <doctest/doctest.h>

#include <objbase.h>
#include <oleacc.h>
#include <wrl/client.h>

#include <string>

#include "harness/harness.h"

// Texts a reader heard, shown as such when a check fails.
template <>
struct doctest::StringMaker<std::u16string> {
    static doctest::String convert(const std::u16string& text) {
        return ("\"" + quendral::Narrow(text) + "\"").c_str();
    }
};

namespace quendral::testing {

// COM started on this thread for as long as the object lives, as a screen reader has it.
struct ComApartment {
    ComApartment() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    ~ComApartment() { CoUninitialize(); }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
};

// What a reader hears of a control, or of one of its children: empty where it hears nothing.
struct Heard {
    std::u16string name, value;
    long role = 0;
};

inline VARIANT Child(long id) {
    VARIANT child{};
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

// The control's object for its client area, as a reader asks for it; null if there is none.
inline Microsoft::WRL::ComPtr<IAccessible> AccessibleOf(HWND control) {
    Microsoft::WRL::ComPtr<IAccessible> object;
    AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                               reinterpret_cast<void**>(object.GetAddressOf()));
    return object;
}

inline Heard Read(IAccessible& object, long child = CHILDID_SELF) {
    // The text of an answer, which the reader frees.
    const auto taken = [](BSTR text) {
        std::u16string units;
        if (text != nullptr)
            units.assign(reinterpret_cast<const char16_t*>(text), SysStringLen(text));
        SysFreeString(text);
        return units;
    };
    Heard heard;
    BSTR text = nullptr;
    if (SUCCEEDED(object.get_accName(Child(child), &text))) heard.name = taken(text);
    text = nullptr;
    if (SUCCEEDED(object.get_accValue(Child(child), &text))) heard.value = taken(text);
    VARIANT role{};
    if (SUCCEEDED(object.get_accRole(Child(child), &role)) && role.vt == VT_I4) {
        heard.role = role.lVal;
    }
    VariantClear(&role);
    return heard;
}

inline Heard Read(HWND control) {
    const Microsoft::WRL::ComPtr<IAccessible> object = AccessibleOf(control);
    REQUIRE(object != nullptr);
    return Read(*object.Get());
}

}  // namespace quendral::testing
