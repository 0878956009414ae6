#pragma once

#include <string_view>

// Whether url is an http or https address. Only those are handed from a page
// to the desktop: any other scheme (file:, data:, javascript:, custom ones)
// could make the desktop start a program of the page's choosing.
bool IsWebAddress(std::wstring_view url);
