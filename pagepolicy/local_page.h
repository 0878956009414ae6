#pragma once

#include <string>
#include <string_view>

// The program's own short pages (a failed load, a page that was stopped) are
// made here, in one skeleton, and sent nowhere.

// The text with HTML's special characters, quotes included, as entities.
std::string HtmlEscaped(std::string_view text);

// A whole page in UTF-8: title is plain text; style is the page's style sheet
// and body its markup, both as they stand (escape any text in them first).
std::string LocalPage(std::string_view title, std::string_view style, std::string_view body);
