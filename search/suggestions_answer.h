#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// An engine's answer to "what might the user be typing": a JSON array whose
// first element is the query and whose second is an array of completions;
// any further elements (descriptions, addresses, an engine's own extras) are
// read only to check that the answer is well-formed.

// Answers are a few hundred bytes; a larger one is refused unread.
inline constexpr std::size_t MaxSuggestionsBytes = 64 * 1024;
// Arrays and objects nested deeper than this are refused.
inline constexpr int MaxSuggestionsDepth = 16;

// The completions in the answer's order. Strict JSON in UTF-8 (a byte order
// mark, invalid UTF-8, a lone surrogate, a control character in a string or
// anything after the array is a refusal). A completion that is empty or holds
// a control character, which a one-line box cannot show, is left out, and so
// is a repeat of an earlier one. Throws ScoutwellError saying what was wrong.
std::vector<std::wstring> ReadSuggestions(std::string_view answer);
