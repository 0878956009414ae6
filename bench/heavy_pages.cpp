#include "heavy_pages.h"

#include "png_writer.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>

namespace {

constexpr std::array<std::array<int, 3>, ResultPageCount> Accents{{
    {{26, 115, 232}},
    {{217, 48, 37}},
    {{24, 128, 56}},
    {{161, 66, 244}},
    {{249, 171, 0}},
}};
constexpr int PicturesPerPage = 6;

int ResultCount(int page) {
    return 40 + 22 * page;
}

// The HTML's target size: 120 KB for the first page to 264 KB for the last.
std::size_t TargetSize(int page) {
    return (120 + 36 * static_cast<std::size_t>(page)) * 1024;
}

std::string PictureName(int page, int which) {
    char name[64];
    std::snprintf(name, sizeof name, "h-pic-%d-%d.png?w=%d&h=72&v=3", page, which, 96 + 8 * which);
    return name;
}

std::string LogoName(int page) {
    return "h-logo-" + std::to_string(page) + ".png?v=3&dpr=1";
}

// What trackers hang on every result: 160 characters that mean nothing here.
std::string Tracking(Words& words) {
    static constexpr char Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
    std::string token;
    for (int i = 0; i < 160; ++i)
        token += Alphabet[words.Next() % 64];
    return token;
}

std::string Style(int page) {
    const auto& accent = Accents[page];
    char colour[32];
    std::snprintf(colour, sizeof colour, "rgb(%d,%d,%d)", accent[0], accent[1], accent[2]);
    std::string css = "<style>";
    css +=
        std::string("body{margin:0;font:14px/1.5 arial,sans-serif;color:#202124}") +
        "header{display:flex;align-items:center;gap:18px;padding:12px 20px;border-bottom:1px solid #ebebeb}"
        ".q{width:520px;padding:8px 14px;border:1px solid #dfe1e5;border-radius:24px}"
        ".go{border:0;background:" +
        colour +
        ";color:#fff;border-radius:18px;padding:6px 14px}"
        ".result{margin:0 0 22px;max-width:640px}.result h3{margin:0;font-size:19px;font-weight:400}"
        ".result a{color:" +
        colour +
        "}.result cite{color:#4d5156;font-style:normal;font-size:13px}"
        ".snip{margin:4px 0;color:#4d5156}.pic{float:right;margin-left:12px;border-radius:8px}"
        "main{display:flex;gap:36px;padding:16px 20px 16px 160px}.rhs{width:360px}";
    // The bulk of an engine's inline sheet: many small rules, some applying.
    for (int i = 0; i < 140; ++i) {
        char rule[200];
        std::snprintf(rule, sizeof rule,
                      ".r%d-%d{margin:%dpx %dpx;padding:%dpx;color:#%06x;border-left:%dpx solid "
                      "rgba(%d,%d,%d,.%d)}",
                      page, i, i % 9, i % 13, i % 7, (i * 2654435761u) & 0x7F7F7F, 1 + i % 3, accent[0],
                      accent[1], accent[2], 2 + i % 7);
        css += rule;
    }
    return css + "</style>";
}

// An engine's state object, the serial in it, and the handler that measures
// every result and gives each its own listener.
std::string Script(int page, Words& words) {
    std::string js =
        "<script>var pageState={serial:999999999,page:" + std::to_string(page) + "};var config={";
    for (int i = 0; i < 350; ++i) {
        js += (i ? ",\"k" : "\"k") + std::to_string(i) + "\":{\"id\":" + std::to_string(i * 7 + page) +
              ",\"t\":\"" + words.Phrase(3) + "\",\"w\":[" + std::to_string(words.Next() % 1000) + "," +
              std::to_string(words.Next() % 1000) + "],\"on\":" + (i % 3 ? "true" : "false") + "}";
    }
    js += "};\n"
          "document.addEventListener('DOMContentLoaded',function(){"
          "var results=document.querySelectorAll('.result');var boxes=[];"
          "for(var i=0;i<results.length;i++){(function(el,i){var box=el.getBoundingClientRect();"
          "boxes.push({top:box.top,left:box.left,width:box.width,height:box.height});"
          "el.addEventListener('click',function(){var k=config['k'+(i%350)];"
          "el.setAttribute('data-seen',k.id+':'+box.top+':'+pageState.serial);});})(results[i],i);}"
          "window.resultBoxes=boxes;});\n"
          // The report comes from the page itself, so it stands for the page's own load event.
          "addEventListener('load',function(){fetch('/__bench/loaded?serial=999999999',{cache:'no-store'})});"
          "</script>";
    return js;
}

std::string Result(int page, int r, int snippetWords, Words& words) {
    const std::string site = "www." + std::string(words.Word()) + std::string(words.Word()) + ".com";
    std::string html = "<div class=\"result r" + std::to_string(page) + "-" + std::to_string(r % 140) +
                       "\" data-ved=\"" + Tracking(words) + "\" data-serial=\"999999999\">";
    if (r % 8 == 3)
        html +=
            "<img class=\"pic\" alt=\"\" src=\"/__bench/" + PictureName(page, r % PicturesPerPage) + "\">";
    html += "<h3><a href=\"http://" + site + "/" + std::string(words.Word()) + "\" data-jsarwt=\"" +
            Tracking(words) + "\">" + words.Phrase(7) + "</a></h3><cite>" + site + " &rsaquo; " +
            words.Phrase(2) + "</cite><div class=\"snip\">" + words.Phrase(snippetWords) + "</div></div>";
    return html;
}

std::string Html(int page, int snippetWords) {
    Words words(static_cast<std::uint32_t>(page) + 211);
    std::string html = "<!doctype html><html lang=\"en\" data-page=\"" + std::to_string(page) +
                       "\"><head><meta charset=\"utf-8\"><title>new york - " + words.Phrase(2) +
                       " search</title>" + Style(page) + Script(page, words) + "</head><body>";
    html += "<header><img alt=\"logo\" src=\"/__bench/" + LogoName(page) +
            "\"><form action=\"/search\" method=\"get\" role=\"search\"><input class=\"q\" name=\"q\" "
            "value=\"new york\" autocomplete=\"off\"><input type=\"hidden\" name=\"ei\" value=\"999999999\">"
            "<button class=\"go\">Search</button></form></header><main><div class=\"results\">";
    for (int r = 0; r < ResultCount(page); ++r)
        html += Result(page, r, snippetWords, words);
    html += "</div><aside class=\"rhs\"><h2>" + words.Phrase(2) + "</h2>";
    for (int k = 0; k < PicturesPerPage; ++k)
        html += "<img alt=\"\" src=\"/__bench/" + PictureName(page, k) + "\">";
    html += "<p>" + words.Phrase(60) + "</p></aside></main><footer>" + words.Phrase(20) +
            "</footer></body></html>";
    return html;
}

RgbImage Picture(int page, int which, int width, int height) {
    const auto& accent = Accents[page];
    RgbImage image{width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 3)};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c)
                image.At(x, y)[c] = static_cast<std::uint8_t>(std::min(
                    255, accent[c] / 2 + ((x * (which + 2) + y * 3) % 97) + (c == which % 3 ? 60 : 0)));
    return image;
}

} // namespace

std::string HeavyPageHtml(int page, long serial) {
    // The snippets' length brings the page to its size: a first guess, then the
    // length that fills what is left.
    constexpr int Guess = 20;
    const std::size_t first = Html(page, Guess).size();
    const int perWord = 7; // a word and its space, on average
    const long missing = static_cast<long>(TargetSize(page)) - static_cast<long>(first);
    const int words = std::max(4, Guess + static_cast<int>(missing / perWord / ResultCount(page)));
    std::string html = Html(page, words);
    const std::string serialText = std::to_string(serial);
    for (std::size_t at = html.find("999999999"); at != std::string::npos;
         at = html.find("999999999", at + serialText.size()))
        html.replace(at, 9, serialText);
    return html;
}

std::map<std::string, PageAsset> HeavyPageAssets() {
    std::map<std::string, PageAsset> assets;
    for (int page = 0; page < ResultPageCount; ++page) {
        assets[LogoName(page)] = PageAsset{"image/png", EncodePng(Picture(page, 0, 120, 40))};
        for (int k = 0; k < PicturesPerPage; ++k)
            assets[PictureName(page, k)] =
                PageAsset{"image/png", EncodePng(Picture(page, k, 96 + 8 * k, 72))};
    }
    return assets;
}
