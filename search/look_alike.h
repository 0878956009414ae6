#pragma once

#include <string>
#include <string_view>

// Names that look the same on screen compare the same. Plain C++ on purpose:
// the compare key must be the same in the program, its unit tests and its
// fuzz build, none of which may depend on the toolkit.

// Characters that draw nothing and only steer other characters: the format
// characters (zero-width spaces and joiners, the soft hyphen, bidirectional
// controls, the byte order mark, tags) and the other default-ignorable ones
// (variation selectors, Hangul fillers).
bool IsInvisible(wchar_t c);

// The text without its invisible characters.
std::wstring WithoutInvisibles(std::wstring_view text);

// The text as it compares: invisible characters dropped; the compatibility
// forms of Latin letters, digits and signs (fullwidth forms, ligatures,
// mathematical and circled letters, letter-like symbols) and every kind of
// space made their plain forms; runs of space made one, none at either end;
// and case folded by the C library's Unicode rules (with ß as "ss").
std::wstring FoldLookAlikes(std::wstring_view text);
