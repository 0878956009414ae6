#pragma once

#include "rtf_document.h"

#include <string_view>

// Reads Rich Text Format as word processors write it: character and paragraph
// formatting, the font and colour tables, code pages and Unicode escapes,
// pictures, and every destination that is not text left out. It never fails:
// whatever the bytes, it gives the document they describe as far as they can
// be understood, within RtfLimits. Nesting is kept on a heap stack, never on
// the call stack.
RtfDocument ReadRtf(std::string_view rtf);

// Whether the bytes begin as an RTF file does ("{\rtf").
bool LooksLikeRtf(std::string_view bytes);

// The code page Windows uses for a font's \fcharset: 0 for "the document's
// own", CodePageSymbol for the symbol character set (its bytes are taken as
// they are).
int CodePageOfCharset(int charset);
constexpr int CodePageSymbol = 42;
