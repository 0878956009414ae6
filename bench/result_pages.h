#pragma once

#include <optional>
#include <string>

// Five distinct pages that look and weigh like a search engine's result
// page: an HTML page of results with a style sheet, a script and three
// pictures, 140 to 250 KB in all. Each page, once loaded, reports itself
// with a request to /__bench/loaded?serial=N, N being the serial given here.
constexpr int ResultPageCount = 5;

std::string ResultPageHtml(int page, long serial);

struct PageAsset {
    std::string contentType;
    std::string body;
};

// The page's own style sheet, script and pictures, by the name its HTML asks
// for under /__bench/ ("style-2.css", "logo-2.png", ...).
std::optional<PageAsset> ResultPageAsset(const std::string& name);

// Bytes of the page and of everything it loads, the report's beacon aside.
std::size_t ResultPageWeight(int page);
