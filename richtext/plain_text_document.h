#pragma once

#include "rtf_document.h"

#include <string_view>

// A document of plain text: one paragraph per line (CR LF, LF or CR), tabs
// kept, in the viewer's own font. The bytes are UTF-8 when they are valid
// UTF-8 (a byte-order mark is dropped), Windows-1252 otherwise; control
// characters are shown as U+FFFD. Within RtfLimits like any document.
RtfDocument PlainTextDocument(std::string_view bytes);
