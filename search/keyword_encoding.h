#pragma once

#include <string>
#include <string_view>

// Replaces every non-overlapping occurrence of find, leftmost first; inserted
// text is never searched again. An empty find text changes nothing.
std::wstring ReplaceAll(std::wstring_view text, std::wstring_view find, std::wstring_view replacement);

// The form encoding of the keywords for a query string: a space becomes "+",
// 25 other characters become "%XX", everything else passes unchanged.
std::wstring EncodeKeywords(std::wstring_view keywords);
