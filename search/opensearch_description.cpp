#include "opensearch_description.h"

#include "ascii_case.h"
#include "code_pages.h"
#include "failure.h"
#include "look_alike.h"

#include <expat.h>
#include <iconv.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <type_traits>
#include <vector>

namespace {

template <typename Char> bool IsXmlSpace(Char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Text of an element as a person reads it: a description wrapped over
// several lines is one line, and no line break can reach a chooser.
template <typename Char> std::basic_string<Char> CollapseSpaces(std::basic_string_view<Char> text) {
    std::basic_string<Char> result;
    for (Char c : text) {
        if (!IsXmlSpace(c))
            result += c;
        else if (!result.empty() && result.back() != ' ')
            result += ' ';
    }
    if (!result.empty() && result.back() == ' ')
        result.pop_back();
    return result;
}

std::string CollapseSpaces(std::string_view text) {
    return CollapseSpaces<char>(text);
}

// What a person sees of the text: characters that draw nothing could make a
// name look like another's, so none reaches a chooser.
std::wstring VisibleText(std::string_view utf8) {
    return CollapseSpaces<wchar_t>(WithoutInvisibles(DecodeUtf8(utf8).value_or(std::wstring())));
}

class Converter {
public:
    Converter(const char* to, const char* from) : m_descriptor(iconv_open(to, from)) {
        if (m_descriptor == reinterpret_cast<iconv_t>(-1))
            throw ScoutwellError(std::string("no conversion from ") + from + " to " + to);
    }
    ~Converter() { iconv_close(m_descriptor); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // The bytes of input in the target encoding, or nothing when the target
    // cannot hold a character of it.
    std::optional<std::string> Convert(std::string_view input) {
        iconv(m_descriptor, nullptr, nullptr, nullptr, nullptr);
        std::string output(input.size() * 4 + 16, '\0');
        char* in = const_cast<char*>(input.data());
        std::size_t inLeft = input.size();
        char* out = output.data();
        std::size_t outLeft = output.size();
        if (iconv(m_descriptor, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1))
            return std::nullopt;
        output.resize(output.size() - outLeft);
        return output;
    }

private:
    iconv_t m_descriptor;
};

// The names the program writes for {inputEncoding}, and the other labels
// descriptions use for them. Browsers send ISO-8859-1 forms as
// windows-1252, which only adds characters where ISO-8859-1 has controls.
struct EncodingName {
    std::string_view canonical;
    std::array<std::string_view, 4> labels;
};
constexpr std::array<EncodingName, 3> Encodings{{
    {"UTF-8", {"utf-8", "utf8"}},
    {"ISO-8859-1", {"iso-8859-1", "iso8859-1", "iso_8859-1", "latin1"}},
    {"windows-1252", {"windows-1252", "cp1252"}},
}};

std::optional<std::string> CanonicalEncoding(std::string_view label) {
    for (const auto& encoding : Encodings)
        for (std::string_view known : encoding.labels)
            if (!known.empty() && EqualsIgnoringAsciiCase(label, known))
                return std::string(encoding.canonical);
    return std::nullopt;
}

bool IsUnreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

std::string EncodeSearchTerms(std::wstring_view keywords, const std::string& encoding) {
    if (keywords.empty())
        return {};
    Converter converter(encoding == "UTF-8" ? "UTF-8" : "WINDOWS-1252", "WCHAR_T");
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::string encoded;
    for (wchar_t c : keywords) {
        auto bytes = converter.Convert({reinterpret_cast<const char*>(&c), sizeof c});
        if (!bytes)
            bytes = "&#" + std::to_string(static_cast<std::uint32_t>(c)) + ";";
        for (unsigned char b : *bytes) {
            if (b == ' ')
                encoded += '+';
            else if (IsUnreserved(b))
                encoded += static_cast<char>(b);
            else
                encoded.append({'%', Hex[b >> 4], Hex[b & 15]});
        }
    }
    return encoded;
}

// Replaces each {name} and {name?} of the template by value(name, optional);
// a "{" without its "}" is kept as it stands.
std::string ExpandTemplate(std::string_view urlTemplate,
                           const std::function<std::string(std::string_view, bool)>& value) {
    std::string result;
    std::size_t position = 0;
    for (std::size_t open; (open = urlTemplate.find('{', position)) != std::string_view::npos;) {
        const std::size_t close = urlTemplate.find('}', open);
        if (close == std::string_view::npos)
            break;
        result.append(urlTemplate, position, open - position);
        std::string_view name = urlTemplate.substr(open + 1, close - open - 1);
        const bool optional = name.ends_with('?');
        if (optional)
            name.remove_suffix(1);
        result += value(name, optional);
        position = close + 1;
    }
    result.append(urlTemplate, position);
    return result;
}

// The value of a parameter the program fills, or nothing for one it cannot.
std::optional<std::string> ParameterValue(const OpenSearchEngine& engine, std::string_view name,
                                          std::wstring_view keywords) {
    if (name == "searchTerms")
        return EncodeSearchTerms(keywords, engine.encoding);
    if (name == "count")
        return "20";
    if (name == "startIndex")
        return std::to_string(engine.indexOffset);
    if (name == "startPage")
        return std::to_string(engine.pageOffset);
    if (name == "language")
        return "*";
    if (name == "inputEncoding" || name == "outputEncoding")
        return engine.encoding;
    return std::nullopt;
}

std::string Expand(const OpenSearchEngine& engine, std::wstring_view keywords,
                   const std::string& urlTemplate) {
    return ExpandTemplate(urlTemplate, [&](std::string_view name, bool optional) {
        // Keywords are the point of a search, so an optional searchTerms
        // is filled too; other optional parameters are left empty.
        if (optional && name != "searchTerms")
            return std::string();
        if (auto value = ParameterValue(engine, name, keywords))
            return *value;
        throw ScoutwellError("its search address needs the parameter {" + std::string(name) +
                             "}, which the program cannot fill");
    });
}

int OffsetOr1(const std::string& text) {
    int value = 1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return (error == std::errc() && end == text.data() + text.size()) ? value : 1;
}

struct DescriptionReader {
    XML_Parser parser = nullptr;
    int depth = 0;
    std::string refusal;
    std::string field; // the top-level element whose text is being collected
    std::string text;
    std::string shortName, description;
    std::vector<std::string> encodings;
    std::optional<std::string> otherMethod;
    bool haveUrl = false;
    bool haveSuggestions = false;
    OpenSearchEngine engine;

    void Refuse(const std::string& why) {
        if (refusal.empty())
            refusal = why;
        XML_StopParser(parser, XML_FALSE);
    }

    void OnUrl(const XML_Char** attributes) {
        std::string type, method, rel, urlTemplate, indexOffset, pageOffset;
        for (; attributes[0]; attributes += 2) {
            const std::string_view name = attributes[0];
            std::string* target = name == "type"          ? &type
                                  : name == "method"      ? &method
                                  : name == "rel"         ? &rel
                                  : name == "template"    ? &urlTemplate
                                  : name == "indexOffset" ? &indexOffset
                                  : name == "pageOffset"  ? &pageOffset
                                                          : nullptr;
            if (target)
                *target = attributes[1];
        }
        const bool get = method.empty() || EqualsIgnoringAsciiCase(method, "GET");
        if (!haveSuggestions && get && EqualsIgnoringAsciiCase(type, "application/x-suggestions+json")) {
            haveSuggestions = true;
            engine.suggestionsTemplate = CollapseSpaces(urlTemplate);
        }
        if (haveUrl || !EqualsIgnoringAsciiCase(type, "text/html") ||
            !(rel.empty() || EqualsIgnoringAsciiCase(rel, "results")))
            return;
        if (!get) {
            otherMethod = method;
            return;
        }
        haveUrl = true;
        engine.urlTemplate = CollapseSpaces(urlTemplate);
        engine.indexOffset = OffsetOr1(indexOffset);
        engine.pageOffset = OffsetOr1(pageOffset);
    }
};

std::string_view LocalName(std::string_view name) {
    const std::size_t colon = name.rfind(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

void OnStart(void* data, const XML_Char* name, const XML_Char** attributes) {
    auto& reader = *static_cast<DescriptionReader*>(data);
    const std::string_view local = LocalName(name);
    if (++reader.depth == 1) {
        if (local != "OpenSearchDescription")
            reader.Refuse("it is not an OpenSearch description");
    } else if (reader.depth == 2) {
        if (local == "ShortName" || local == "Description" || local == "InputEncoding") {
            reader.field = local;
            reader.text.clear();
        } else if (local == "Url") {
            reader.OnUrl(attributes);
        }
    }
}

void OnEnd(void* data, const XML_Char*) {
    auto& reader = *static_cast<DescriptionReader*>(data);
    if (reader.depth-- == 2 && !reader.field.empty()) {
        const std::string text = CollapseSpaces(reader.text);
        if (reader.field == "ShortName" && reader.shortName.empty())
            reader.shortName = text;
        else if (reader.field == "Description" && reader.description.empty())
            reader.description = text;
        else if (reader.field == "InputEncoding")
            reader.encodings.push_back(text);
        reader.field.clear();
    }
}

void OnText(void* data, const XML_Char* text, int length) {
    auto& reader = *static_cast<DescriptionReader*>(data);
    if (!reader.field.empty() && reader.text.size() < 64 * 1024)
        reader.text.append(text, static_cast<std::size_t>(length));
}

// Entities are where XML reaches outside the document (files, addresses) or
// multiplies itself; descriptions have no use for them.
void OnEntityDeclaration(void* data, const XML_Char*, int, const XML_Char*, int, const XML_Char*,
                         const XML_Char*, const XML_Char*, const XML_Char*) {
    static_cast<DescriptionReader*>(data)->Refuse("it declares entities, which the program does not read");
}

void OnSkippedEntity(void* data, const XML_Char*, int) {
    static_cast<DescriptionReader*>(data)->Refuse("it refers to an entity the program does not read");
}

int OnExternalEntity(XML_Parser parser, const XML_Char*, const XML_Char*, const XML_Char*, const XML_Char*) {
    static_cast<DescriptionReader*>(XML_GetUserData(parser))
        ->Refuse("it refers to an external entity, which the program does not read");
    return XML_STATUS_ERROR;
}

void CheckAddress(const std::string& urlTemplate) {
    const std::size_t colon = urlTemplate.find(':');
    const std::string_view scheme = std::string_view(urlTemplate).substr(0, colon);
    if (colon == std::string::npos ||
        !(EqualsIgnoringAsciiCase(scheme, "http") || EqualsIgnoringAsciiCase(scheme, "https")) ||
        urlTemplate.compare(colon, 3, "://") != 0)
        throw ScoutwellError("its search address is not an http or https address");
    bool hasKeywords = false;
    ExpandTemplate(urlTemplate, [&](std::string_view name, bool) {
        hasKeywords = hasKeywords || name == "searchTerms";
        return std::string();
    });
    if (!hasKeywords)
        throw ScoutwellError("its search address has no place for the keywords ({searchTerms})");
}

// Expat 2.9 counts lines in 64 bits and deprecates the call that does not.
std::uint64_t CurrentLine(XML_Parser parser) {
#if XML_MAJOR_VERSION > 2 || (XML_MAJOR_VERSION == 2 && XML_MINOR_VERSION >= 9)
    return XML_GetCurrentLineNumber64(parser);
#else
    return XML_GetCurrentLineNumber(parser);
#endif
}

} // namespace

OpenSearchEngine ReadOpenSearchDescription(std::string_view document) {
    if (document.size() > MaxDescriptionBytes)
        throw ScoutwellError("it is larger than " + std::to_string(MaxDescriptionBytes / 1024) + " KB");

    DescriptionReader reader;
    const std::unique_ptr<std::remove_pointer_t<XML_Parser>, decltype(&XML_ParserFree)> parser(
        XML_ParserCreate(nullptr), &XML_ParserFree);
    if (!parser)
        throw ScoutwellError("no memory for the XML reader");
    reader.parser = parser.get();
    XML_SetUserData(parser.get(), &reader);
    XML_SetParamEntityParsing(parser.get(), XML_PARAM_ENTITY_PARSING_NEVER);
    XML_SetElementHandler(parser.get(), OnStart, OnEnd);
    XML_SetCharacterDataHandler(parser.get(), OnText);
    XML_SetEntityDeclHandler(parser.get(), OnEntityDeclaration);
    XML_SetSkippedEntityHandler(parser.get(), OnSkippedEntity);
    XML_SetExternalEntityRefHandler(parser.get(), OnExternalEntity);
    if (XML_Parse(parser.get(), document.data(), static_cast<int>(document.size()), XML_TRUE) !=
        XML_STATUS_OK) {
        if (!reader.refusal.empty())
            throw ScoutwellError(reader.refusal);
        throw ScoutwellError("it is not well-formed XML (line " + std::to_string(CurrentLine(parser.get())) +
                             ": " + XML_ErrorString(XML_GetErrorCode(parser.get())) + ")");
    }

    OpenSearchEngine engine = std::move(reader.engine);
    engine.name = VisibleText(reader.shortName);
    if (engine.name.empty())
        throw ScoutwellError("it has no name (ShortName)");
    engine.description = VisibleText(reader.description);
    if (reader.encodings.empty())
        reader.encodings.push_back("UTF-8");
    for (const std::string& label : reader.encodings)
        if (auto canonical = CanonicalEncoding(label); canonical && engine.encoding.empty())
            engine.encoding = *canonical;
    if (engine.encoding.empty())
        throw ScoutwellError("its keywords' encoding " + reader.encodings.front() +
                             " is not one the program can write (UTF-8, ISO-8859-1, windows-1252)");
    if (!reader.haveUrl)
        throw ScoutwellError(
            reader.otherMethod
                ? "its search is sent with " + *reader.otherMethod + ", which the panes cannot send"
                : std::string("it has no search address for web pages (a Url of type text/html)"));
    CheckAddress(engine.urlTemplate);
    Expand(engine, L"", engine.urlTemplate); // refuses a required parameter the program cannot fill
    if (!engine.suggestionsTemplate.empty()) {
        try {
            CheckAddress(engine.suggestionsTemplate);
            Expand(engine, L"", engine.suggestionsTemplate);
        } catch (const ScoutwellError& refusal) {
            // Searching needs none: the engine is kept without.
            std::fprintf(stderr, "scoutwell: the suggestions address of \"%s\" is left out: %s\n",
                         EncodeUtf8(engine.name).c_str(), refusal.what());
            engine.suggestionsTemplate.clear();
        }
    }
    return engine;
}

std::wstring BuildSearchUrl(const OpenSearchEngine& engine, std::wstring_view keywords) {
    return DecodeUtf8(Expand(engine, keywords, engine.urlTemplate)).value_or(std::wstring());
}

std::wstring BuildSuggestionsUrl(const OpenSearchEngine& engine, std::wstring_view keywords) {
    if (engine.suggestionsTemplate.empty())
        return {};
    return DecodeUtf8(Expand(engine, keywords, engine.suggestionsTemplate)).value_or(std::wstring());
}
