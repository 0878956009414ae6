#include "keyword_encoding.h"

#include <array>
#include <utility>

namespace {

// The order matters: spaces go first (so a typed "+" and a space both arrive
// as "+"), then "%" before anything inserts one, so no code is encoded twice.
constexpr std::array<std::pair<std::wstring_view, std::wstring_view>, 26> EncodingTable{{
    {L" ", L"+"},    {L"%", L"%25"},  {L"~", L"%7E"}, {L"`", L"%60"}, {L"!", L"%21"}, {L"#", L"%23"},
    {L"$", L"%24"},  {L"^", L"%5E"},  {L"&", L"%26"}, {L"(", L"%28"}, {L")", L"%29"}, {L"|", L"%7C"},
    {L"\\", L"%5C"}, {L"{", L"%7B"},  {L"}", L"%7D"}, {L"[", L"%5B"}, {L"]", L"%5D"}, {L":", L"%3A"},
    {L";", L"%3B"},  {L"'", L"%27"},  {L"<", L"%3C"}, {L",", L"%2C"}, {L">", L"%3E"}, {L"?", L"%3F"},
    {L"/", L"%2F"},  {L"\"", L"%22"},
}};

} // namespace

std::wstring ReplaceAll(std::wstring_view text, std::wstring_view find, std::wstring_view replacement) {
    if (find.empty())
        return std::wstring(text);
    std::wstring result;
    result.reserve(text.size());
    std::size_t position = 0;
    for (std::size_t found; (found = text.find(find, position)) != std::wstring_view::npos;
         position = found + find.size()) {
        result.append(text, position, found - position);
        result.append(replacement);
    }
    result.append(text, position);
    return result;
}

std::wstring EncodeKeywords(std::wstring_view keywords) {
    std::wstring encoded(keywords);
    for (const auto& [find, replacement] : EncodingTable)
        encoded = ReplaceAll(encoded, find, replacement);
    return encoded;
}
