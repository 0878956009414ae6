#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

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

// Deterministic text: the same page is byte for byte the same in every run.
class Words {
public:
    explicit Words(std::uint32_t seed) : m_state(seed * 2654435761u + 1) {}

    std::uint32_t Next() {
        m_state = m_state * 1664525u + 1013904223u;
        return m_state >> 8;
    }
    std::string_view Word() { return Vocabulary[Next() % Vocabulary.size()]; }
    std::string Phrase(int count) {
        std::string text;
        for (int i = 0; i < count; ++i) {
            if (i > 0)
                text += ' ';
            text += Word();
        }
        return text;
    }

private:
    static constexpr std::array<std::string_view, 48> Vocabulary{
        "new",     "york",   "city",        "guide",    "hotels",   "travel",  "weather", "news",
        "history", "museum", "park",        "central",  "tickets",  "subway",  "map",     "official",
        "site",    "best",   "top",         "things",   "to",       "do",      "visit",   "street",
        "food",    "pizza",  "bridge",      "brooklyn", "queens",   "harbor",  "island",  "statue",
        "liberty", "empire", "state",       "building", "broadway", "theatre", "events",  "today",
        "reviews", "photos", "restaurants", "cheap",    "deals",    "airport", "route",   "schedule",
    };
    std::uint32_t m_state;
};
