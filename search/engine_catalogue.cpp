#include "engine_catalogue.h"

#include "ascii_case.h"

#include <algorithm>

namespace {

// The suffixes are already in URL form ("%2F" is sent as those three
// characters) and the empty parameters are what the engines expect.
constexpr std::array<EngineEntry, EngineCount> Catalogue{{
    {L"Altavista", L"salt", L"http://www.altavista.com/cgi-bin/query?pg=q&kl=XX&stype=stext&q=",
     L"&search.x=11&search.y=10"},
    {L"Lycos", L"slyc", L"http://www.lycos.com/cgi-bin/pursuit?cat=dir&query=", L""},
    {L"Infoseek", L"sinf", L"http://www.infoseek.com/Titles?qt=",
     L"&col=WW&sv=IS&lk=noframes&svx=home_searchbox"},
    {L"About", L"sabo", L"http://www.about.com/scripts/query70.asp?terms=",
     L"&trail=&Site=home&SUName=home&COB=home&TopNode=%2F"},
    {L"Yahoo", L"syah", L"http://search.yahoo.com/bin/search?p=", L""},
    {L"Hotbot", L"shot", L"http://www.hotbot.com/?MT=", L"&SM=MC&DV=0&LG=any&DC=10&DE=2&BT=H"},
    {L"Dogpile", L"sdog", L"http://www.dogpile.com/texis/search?q=", L"&fs=web&to=thirty"},
    {L"Savvy Search", L"ssav", L"http://www.savvysearch.com/search.cgi?s=", L""},
    {L"Looksmart", L"sloo", L"http://www.looksmart.com/r_search?look=&search=&key=", L""},
    {L"Webcrawler", L"sweb", L"http://www.webcrawler.com/cgi-bin/WebQuery?searchText=", L""},
    {L"Metacrawler", L"smet", L"http://www.metacrawler.com/crawler?rpp=20&general=",
     L"&method=0&target=&hpe=10&region=0&timeout=0&sort=0"},
}};

} // namespace

const std::array<EngineEntry, EngineCount>& EngineCatalogue() {
    return Catalogue;
}

std::wstring MakeEngineKey(std::wstring_view text) {
    std::wstring key = L"s";
    key += text.substr(0, 3);
    // Keys are ASCII, so only ASCII letters can ever make a text match one; other
    // characters are kept as they are rather than lowered by a locale's rules.
    std::transform(key.begin(), key.end(), key.begin(), LowerAscii<wchar_t>);
    return key;
}

std::optional<EngineEntry> FindEngine(std::wstring_view key) {
    for (const EngineEntry& entry : Catalogue)
        if (entry.EngineKey == key)
            return entry;
    return std::nullopt;
}

std::wstring BuildQueryUrl(const EngineEntry& entry, std::wstring_view encodedKeywords) {
    std::wstring url;
    url.reserve(entry.UrlPrefix.size() + encodedKeywords.size() + entry.UrlSuffix.size());
    url.append(entry.UrlPrefix).append(encodedKeywords).append(entry.UrlSuffix);
    return url;
}
