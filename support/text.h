// Text for messages and tables, plain C++: numbers with their thousands grouped, any text as ASCII.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quendral {

// 1234567 as "1,234,567".
inline std::string Grouped(std::uint64_t number) {
    std::string digits = std::to_string(number);
    for (std::size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, ",");
    return digits;
}

// ASCII as it is, any other unit as '?'.
template <class Char>
std::string Narrow(std::basic_string_view<Char> text) {
    std::string ascii;
    for (const Char unit : text) ascii += unit < 0x80 ? static_cast<char>(unit) : '?';
    return ascii;
}
inline std::string Narrow(std::u16string_view text) {
    return Narrow<char16_t>(text);
}
inline std::string Narrow(std::wstring_view text) {
    return Narrow<wchar_t>(text);
}

}  // namespace quendral
