#pragma once

#include <algorithm>
#include <string_view>

// Case as protocols, file names and driver names use it: only the ASCII
// letters A to Z fold, whatever the user's locale, so that "I" never becomes
// a dotless i and a text's length never changes.

template <typename Char> constexpr Char LowerAscii(Char c) {
    return (c >= Char('A') && c <= Char('Z')) ? static_cast<Char>(c - Char('A') + Char('a')) : c;
}

template <typename Char> constexpr bool SameIgnoringAsciiCase(Char a, Char b) {
    return LowerAscii(a) == LowerAscii(b);
}

inline bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), SameIgnoringAsciiCase<char>);
}

inline bool EqualsIgnoringAsciiCase(std::wstring_view a, std::wstring_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), SameIgnoringAsciiCase<wchar_t>);
}
