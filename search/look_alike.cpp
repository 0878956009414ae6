#include "look_alike.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <locale>
#include <stdexcept>

namespace {

struct Range {
    char32_t first, last;
};

// Unicode's format characters (category Cf) and its other default-ignorable
// code points, in order.
constexpr Range InvisibleRanges[] = {
    {0x00AD, 0x00AD},   {0x034F, 0x034F},   {0x0600, 0x0605},   {0x061C, 0x061C},   {0x06DD, 0x06DD},
    {0x070F, 0x070F},   {0x0890, 0x0891},   {0x08E2, 0x08E2},   {0x115F, 0x1160},   {0x17B4, 0x17B5},
    {0x180B, 0x180F},   {0x200B, 0x200F},   {0x202A, 0x202E},   {0x2060, 0x206F},   {0x3164, 0x3164},
    {0xFE00, 0xFE0F},   {0xFEFF, 0xFEFF},   {0xFFA0, 0xFFA0},   {0xFFF0, 0xFFFB},   {0x110BD, 0x110BD},
    {0x110CD, 0x110CD}, {0x13430, 0x1343F}, {0x1BCA0, 0x1BCA3}, {0x1D173, 0x1D17A}, {0xE0000, 0xE0FFF},
};
static_assert(std::is_sorted(std::begin(InvisibleRanges), std::end(InvisibleRanges),
                             [](const Range& a, const Range& b) { return a.last < b.first; }));

bool IsSpace(char32_t c) {
    return c == ' ' || (c >= 0x09 && c <= 0x0D) || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F ||
           c == 0x3000;
}

// Compatibility forms whose plain form is not found by arithmetic, in order.
struct Replacement {
    char32_t from;
    const wchar_t* to;
};
constexpr Replacement Replacements[] = {
    {0x00AA, L"a"},      {0x00B2, L"2"},      {0x00B3, L"3"},      {0x00B9, L"1"},      {0x00BA, L"o"},
    {0x0132, L"IJ"},     {0x0133, L"ij"},     {0x017F, L"s"},      {0x01C7, L"LJ"},     {0x01C8, L"Lj"},
    {0x01C9, L"lj"},     {0x01CA, L"NJ"},     {0x01CB, L"Nj"},     {0x01CC, L"nj"},     {0x01F1, L"DZ"},
    {0x01F2, L"Dz"},     {0x01F3, L"dz"},     {0x2024, L"."},      {0x2025, L".."},     {0x2026, L"..."},
    {0x2070, L"0"},      {0x2071, L"i"},      {0x207F, L"n"},      {0x2102, L"C"},      {0x210A, L"g"},
    {0x210B, L"H"},      {0x210C, L"H"},      {0x210D, L"H"},      {0x210E, L"h"},      {0x2110, L"I"},
    {0x2111, L"I"},      {0x2112, L"L"},      {0x2113, L"l"},      {0x2115, L"N"},      {0x2116, L"No"},
    {0x2119, L"P"},      {0x211A, L"Q"},      {0x211B, L"R"},      {0x211C, L"R"},      {0x211D, L"R"},
    {0x2120, L"SM"},     {0x2121, L"TEL"},    {0x2122, L"TM"},     {0x2124, L"Z"},      {0x2126, L"\u03A9"},
    {0x2128, L"Z"},      {0x212A, L"K"},      {0x212B, L"\u00C5"}, {0x212C, L"B"},      {0x212D, L"C"},
    {0x212F, L"e"},      {0x2130, L"E"},      {0x2131, L"F"},      {0x2133, L"M"},      {0x2134, L"o"},
    {0x2139, L"i"},      {0x2145, L"D"},      {0x2146, L"d"},      {0x2147, L"e"},      {0x2148, L"i"},
    {0x2149, L"j"},      {0xFB00, L"ff"},     {0xFB01, L"fi"},     {0xFB02, L"fl"},     {0xFB03, L"ffi"},
    {0xFB04, L"ffl"},    {0xFB05, L"st"},     {0xFB06, L"st"},     {0xFFE0, L"\u00A2"}, {0xFFE1, L"\u00A3"},
    {0xFFE2, L"\u00AC"}, {0xFFE4, L"\u00A6"}, {0xFFE5, L"\u00A5"}, {0xFFE6, L"\u20A9"},
};
static_assert(std::is_sorted(std::begin(Replacements), std::end(Replacements),
                             [](const Replacement& a, const Replacement& b) { return a.from < b.from; }));

constexpr const wchar_t* RomanNumerals[16] = {L"I",  L"II", L"III", L"IV",  L"V", L"VI", L"VII", L"VIII",
                                              L"IX", L"X",  L"XI",  L"XII", L"L", L"C",  L"D",   L"M"};

wchar_t Letter(char32_t index) { // 0..51: A to Z, then a to z
    return static_cast<wchar_t>(index < 26 ? U'A' + index : U'a' + index - 26);
}

// Appends the plain form of one visible character.
void AppendPlainForm(char32_t c, std::wstring& out) {
    if (IsSpace(c))
        out += L' ';
    else if (c >= 0xFF01 && c <= 0xFF5E) // fullwidth ASCII
        out += static_cast<wchar_t>(c - 0xFEE0);
    else if (c >= 0x2074 && c <= 0x2079)
        out += static_cast<wchar_t>(U'4' + c - 0x2074);
    else if (c >= 0x2080 && c <= 0x2089)
        out += static_cast<wchar_t>(U'0' + c - 0x2080);
    else if (c >= 0x2160 && c <= 0x217F) // Roman numerals, capital then small: case is folded later
        out += RomanNumerals[(c - 0x2160) % 16];
    else if (c >= 0x2460 && c <= 0x2473) // circled numbers 1 to 20
        out += std::to_wstring(c - 0x2460 + 1);
    else if (c >= 0x24B6 && c <= 0x24E9) // circled letters
        out += Letter(c - 0x24B6);
    else if (c >= 0x1D400 && c <= 0x1D6A3) // mathematical letters, thirteen styles
        out += Letter((c - 0x1D400) % 52);
    else if (c == 0x1D6A4 || c == 0x1D6A5)
        out += c == 0x1D6A4 ? L'\u0131' : L'\u0237';
    else if (c >= 0x1D7CE && c <= 0x1D7FF) // mathematical digits, five styles
        out += static_cast<wchar_t>(U'0' + (c - 0x1D7CE) % 10);
    else if (const auto* at = std::lower_bound(std::begin(Replacements), std::end(Replacements), c,
                                               [](const Replacement& r, char32_t v) { return r.from < v; });
             at != std::end(Replacements) && at->from == c)
        out += at->to;
    else
        out += static_cast<wchar_t>(c);
}

// Case is folded by Unicode's rules where the C library has them, so
// "ÉCOLE" finds "école"; the "C" locale would fold ASCII only.
const std::ctype<wchar_t>& CaseRules() {
    static const std::locale locale = [] {
        try {
            return std::locale("C.UTF-8");
        } catch (const std::runtime_error& failure) {
            std::fprintf(stderr, "scoutwell: engine names compare by ASCII case only: %s\n", failure.what());
            return std::locale::classic();
        }
    }();
    return std::use_facet<std::ctype<wchar_t>>(locale);
}

} // namespace

bool IsInvisible(wchar_t c) {
    const auto code = static_cast<char32_t>(c);
    const auto* at = std::lower_bound(std::begin(InvisibleRanges), std::end(InvisibleRanges), code,
                                      [](const Range& range, char32_t v) { return range.last < v; });
    return at != std::end(InvisibleRanges) && at->first <= code;
}

std::wstring WithoutInvisibles(std::wstring_view text) {
    std::wstring visible;
    std::copy_if(text.begin(), text.end(), std::back_inserter(visible),
                 [](wchar_t c) { return !IsInvisible(c); });
    return visible;
}

std::wstring FoldLookAlikes(std::wstring_view text) {
    std::wstring plain;
    for (const wchar_t c : text)
        if (!IsInvisible(c))
            AppendPlainForm(static_cast<char32_t>(c), plain);
    CaseRules().tolower(plain.data(), plain.data() + plain.size());
    std::wstring key;
    for (const wchar_t c : plain) {
        if (c == L' ' && (key.empty() || key.back() == L' '))
            continue;
        if (c == L'\u00DF' || c == L'\u1E9E')
            key += L"ss";
        else
            key += c == L'\u03C2' ? L'\u03C3' : c; // final sigma
    }
    if (!key.empty() && key.back() == L' ')
        key.pop_back();
    return key;
}
