#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

// One web search engine the panes can query.
struct EngineEntry {
    std::wstring_view DisplayName; // as the engine choosers list it
    std::wstring_view EngineKey;   // "s" + first three characters of DisplayName, lower-cased
    std::wstring_view UrlPrefix;   // query URL up to the keywords, ending in the keyword parameter's "="
    std::wstring_view UrlSuffix;   // empty, or further fixed parameters starting with "&"
};

constexpr std::size_t EngineCount = 11;

// The fixed, ordered table of engines; its order is also the order of each
// engine chooser's list.
const std::array<EngineEntry, EngineCount>& EngineCatalogue();

// The lookup key of any chooser text: "s" followed by its first three
// characters, lower-cased. Nothing is trimmed.
std::wstring MakeEngineKey(std::wstring_view text);

// The row whose key equals key exactly, if any.
std::optional<EngineEntry> FindEngine(std::wstring_view key);

// UrlPrefix + encodedKeywords + UrlSuffix, nothing added or checked.
std::wstring BuildQueryUrl(const EngineEntry& entry, std::wstring_view encodedKeywords);
