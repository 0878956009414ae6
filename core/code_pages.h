#pragma once

#include <optional>
#include <string>
#include <string_view>

// Text conversions for files that may come from other systems.

// The text of valid UTF-8 bytes, or nothing when the bytes are not valid UTF-8
// (overlong forms, surrogates and values beyond U+10FFFF included).
std::optional<std::wstring> DecodeUtf8(std::string_view bytes);

std::string EncodeUtf8(std::wstring_view text);

// The text bytes stand for in a Windows code page (1250 to 1258, 874, the
// double-byte 932, 936, 949 and 950, 10000 Mac Roman, ...), decoded by the C
// library's iconv. A byte the page leaves undefined, or a double-byte
// character cut short, gives that byte's Windows-1252 character and the rest
// is decoded on, so one bad byte loses nothing else; a page iconv does not
// know is read as Windows-1252.
std::wstring DecodeCodePage(int codePage, std::string_view bytes);

// Whether byte begins a two-byte character in a double-byte code page.
bool IsLeadByte(int codePage, unsigned char byte);
