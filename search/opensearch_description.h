#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// A search engine read from an OpenSearch 1.1 description document: the parts
// the program uses to build its result-page address.
struct OpenSearchEngine {
    std::wstring name;        // ShortName, invisible characters and surrounding white space dropped and
                              // inner runs made one space
    std::wstring description; // Description, the same way; may be empty
    std::string encoding;     // the keywords' encoding: "UTF-8", "ISO-8859-1" or "windows-1252"
    std::string urlTemplate;  // the result page's address template, UTF-8, checked by the reader
    int indexOffset = 1;      // what {startIndex} stands for
    int pageOffset = 1;       // what {startPage} stands for
    // The address that answers with completions of what the user is typing,
    // UTF-8; empty when the engine offers none the program can ask.
    std::string suggestionsTemplate;
};

// Descriptions are a few kilobytes; a larger document is refused unread.
inline constexpr std::size_t MaxDescriptionBytes = 512 * 1024;

// Reads a description with expat. Entities are never expanded: a document
// that declares one, or refers to an external one, is refused, as is a
// document that is not well-formed, larger than MaxDescriptionBytes, has no
// ShortName, or whose keywords' encoding the program cannot write.
//
// The address is the first Url of type "text/html" whose method is GET or not
// given; its template must be an http or https address with a place for the
// keywords and no required parameter other than searchTerms, count,
// startIndex, startPage, language, inputEncoding and outputEncoding.
//
// The suggestions address is the first Url of type
// "application/x-suggestions+json" whose method is GET or not given, taken
// when it passes the same checks; one that does not is left out and the
// engine is read without it.
//
// Throws ScoutwellError whose message says, for the user, what was wrong.
OpenSearchEngine ReadOpenSearchDescription(std::string_view document);

// The engine's result-page address for the keywords: {searchTerms} becomes
// the keywords in the engine's encoding, a space as "+", letters, digits and
// "-._~" as they are and every other byte as %XX (a character the encoding
// lacks is sent as the numeric reference "&#N;", as browsers send forms);
// {count} 20, {startIndex} and {startPage} the engine's offsets, {language}
// "*", {inputEncoding} and {outputEncoding} the encoding's name, and every
// other optional parameter ({name?}) nothing.
std::wstring BuildSearchUrl(const OpenSearchEngine& engine, std::wstring_view keywords);

// The engine's suggestions address for the keywords, filled in as
// BuildSearchUrl fills the result page's; empty when it has none.
std::wstring BuildSuggestionsUrl(const OpenSearchEngine& engine, std::wstring_view keywords);
