#pragma once

#include <optional>
#include <string>
#include <string_view>

// Text conversions for files that may come from other systems.

// The text of valid UTF-8 bytes, or nothing when the bytes are not valid UTF-8
// (overlong forms, surrogates and values beyond U+10FFFF included).
std::optional<std::wstring> DecodeUtf8(std::string_view bytes);

std::string EncodeUtf8(std::wstring_view text);

// The character a byte stands for in a Windows single-byte code page (1250 to
// 1257, 874, 10000 Mac Roman and 1252; 0x00..0x7F are ASCII in all). Bytes
// that the code page leaves undefined, and code pages not known here, give
// the byte's Windows-1252 character.
wchar_t DecodeCodePageByte(int codePage, unsigned char byte);

// Every byte through DecodeCodePageByte.
std::wstring DecodeCodePage(int codePage, std::string_view bytes);
