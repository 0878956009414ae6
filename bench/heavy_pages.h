#pragma once

#include "result_pages.h"

#include <map>
#include <string>

// Five result pages as today's engines send them, heavy in what the HTML
// itself carries: 120 to 270 KB of HTML (served no-store) with ~160 inline
// style rules, an inline script with a ~350-entry object literal, a
// DOMContentLoaded handler that reads every result's layout box and gives
// each of its 40 to 130 results a click listener of its own, a search form
// with the keywords filled in, 160-character tracking attributes on every
// result, and pictures whose addresses carry a query string (cacheable).
// The serial is written into the page in several places, so that every
// search gets a page of its own, as every search on a real engine does; the
// load report is the same as the first set's.
std::string HeavyPageHtml(int page, long serial);

// Every file the heavy pages ask for under /__bench/, by the name and query
// they ask for it with ("h-pic-2-3.png?w=96&h=72&v=3").
std::map<std::string, PageAsset> HeavyPageAssets();
