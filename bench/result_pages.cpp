#include "result_pages.h"

#include "png_writer.h"

#include <algorithm>
#include <cstdio>

namespace {

std::string Name(const char* stem, int page, const char* extension) {
    return std::string(stem) + "-" + std::to_string(page) + "." + extension;
}

constexpr std::array<std::array<int, 3>, ResultPageCount> Accents{{
    {{0, 82, 204}},
    {{196, 32, 48}},
    {{18, 140, 72}},
    {{120, 40, 160}},
    {{220, 120, 0}},
}};

std::string Html(int page, long serial) {
    Words words(static_cast<std::uint32_t>(page) + 7);
    const int results = 40 + 24 * page;
    std::string html;
    html.reserve(160000);
    html += "<!doctype html><html data-page=\"" + std::to_string(page) + "\"><head><meta charset=\"utf-8\">";
    html += "<title>" + words.Phrase(3) + " - results</title>";
    html += "<link rel=\"stylesheet\" href=\"/__bench/" + Name("style", page, "css") + "\">";
    html += "<script src=\"/__bench/" + Name("app", page, "js") + "\"></script>";
    // The report comes from the page itself, so it stands for the page's own load event.
    html +=
        "<script>addEventListener('load',function(){fetch('/__bench/loaded?serial=" + std::to_string(serial) +
        "',{cache:'no-store'})})</script>";
    html += "</head><body><header class=\"top\"><img class=\"logo\" alt=\"logo\" src=\"/__bench/" +
            Name("logo", page, "png") +
            "\"><form class=\"box\"><input name=\"q\" value=\"new york\">"
            "<button>Search</button></form><span class=\"badge\">beta</span></header>";
    html += "<nav class=\"tabs\">";
    for (const char* tab : {"All", "Images", "News", "Maps", "Video", "Shopping", "More"})
        html += std::string("<a href=\"#") + tab + "\">" + tab + "</a>";
    html += "</nav><div class=\"stats\">About " + std::to_string(1200000 + 37000 * page) +
            " results</div><main class=\"wrap\"><ol class=\"results\">";
    for (int r = 0; r < results; ++r) {
        const std::string site = "www." + std::string(words.Word()) + std::string(words.Word()) + ".com";
        html += "<li class=\"card c" + std::to_string(r % 24) + "\"><h3><a href=\"http://" + site + "/" +
                std::string(words.Word()) + "\">" + words.Phrase(6) + "</a></h3><cite>" + site +
                " &rsaquo; " + words.Phrase(2) + "</cite><p>" + words.Phrase(48) + "</p><ul class=\"links\">";
        for (int l = 0; l < 4; ++l)
            html += "<li><a href=\"http://" + site + "/" + std::to_string(l) + "\">" + words.Phrase(2) +
                    "</a></li>";
        html += "</ul></li>";
    }
    html += "</ol><aside class=\"side\"><h4>" + words.Phrase(3) + "</h4>";
    html += "<img class=\"thumb\" alt=\"\" src=\"/__bench/" + Name("thumb1", page, "png") + "\">";
    html += "<img class=\"thumb tilt\" alt=\"\" src=\"/__bench/" + Name("thumb2", page, "png") + "\">";
    html += "<p class=\"fade\">" + words.Phrase(40) + "</p><ul class=\"related\"></ul></aside></main>";
    html += "<footer class=\"fade\">" + words.Phrase(20) + "</footer></body></html>";
    return html;
}

std::string Css(int page) {
    const auto& accent = Accents[page];
    char colour[32];
    std::snprintf(colour, sizeof colour, "rgb(%d,%d,%d)", accent[0], accent[1], accent[2]);
    std::string css =
        std::string("body{margin:0;font:13px/1.45 sans-serif;color:#222;background:#fff}") +
        ".top{display:flex;align-items:center;gap:16px;padding:10px 18px;background:linear-gradient("
        "90deg," +
        colour +
        ",#fff);box-shadow:0 2px 6px rgba(0,0,0,.25)}"
        ".logo{height:48px;border-radius:6px;transform:skewX(-6deg)}"
        ".box input{width:320px;padding:5px 8px;border:1px solid #999;border-radius:14px}"
        ".box button{margin-left:6px;border-radius:14px;border:0;padding:5px 12px;background:" +
        colour +
        ";color:#fff}.badge{display:inline-block;padding:2px 8px;background:#fc3;border-radius:4px;"
        "transform:rotate(-8deg)}.tabs{padding:6px 18px;border-bottom:1px solid #ddd}"
        ".tabs a{margin-right:14px;color:" +
        colour +
        ";text-decoration:none}"
        ".stats{padding:6px 18px;color:#777;font-size:12px}.wrap{display:flex;gap:24px;padding:0 18px}"
        ".results{flex:1;list-style:none;margin:0;padding:0}.card{margin:0 0 14px;padding:8px 10px;"
        "border-radius:8px;box-shadow:0 1px 3px rgba(0,0,0,.15)}.card h3{margin:0;font-size:16px}"
        ".card h3 a{color:" +
        colour +
        "}.card cite{color:#0a7d2c;font-style:normal}"
        ".card p{margin:4px 0;opacity:.9}.links{display:flex;gap:12px;list-style:none;padding:0}"
        ".side{width:260px}.thumb{display:block;margin:8px 0;border-radius:50%;opacity:.85}"
        ".tilt{transform:rotate(6deg) scale(.9)}.fade{opacity:.6}footer{padding:18px;background:#f3f3f3}"
        ".related li{color:" +
        colour + "}";
    // The bulk of a real engine's sheet: many small rules, most unused.
    for (int i = 0; i < 24; ++i) {
        char rule[160];
        std::snprintf(rule, sizeof rule, ".c%d{border-left:3px solid rgba(%d,%d,%d,.%d)}", i, accent[0],
                      accent[1], accent[2], 2 + i % 7);
        css += rule;
    }
    for (int i = 0; css.size() < 12000 + 1500u * page; ++i) {
        char rule[200];
        std::snprintf(rule, sizeof rule,
                      ".u%d-%d{margin:%dpx %dpx;padding:%dpx;color:#%06x;background:#%06x;font-size:%dpx}\n",
                      page, i, i % 9, i % 13, i % 7, (i * 2654435761u) & 0xFFFFFF, (i * 40503u) & 0xFFFFFF,
                      10 + i % 8);
        css += rule;
    }
    return css;
}

std::string Script(int page) {
    Words words(static_cast<std::uint32_t>(page) + 101);
    std::string js = "(function(){var related=[";
    for (int i = 0; js.size() < 14000 + 1200u * page; ++i)
        js += (i ? ",\"" : "\"") + words.Phrase(4) + "\"";
    js += "];\n"
          "function number(){var cards=document.querySelectorAll('.card');for(var i=0;i<cards.length;i++){"
          "var n=document.createElement('span');n.className='n';n.textContent=(i+1)+'. ';"
          "cards[i].querySelector('h3').prepend(n);}}\n"
          "function suggest(){var list=document.querySelector('.related');if(!list)return;"
          "var seen={};for(var i=0;i<related.length&&list.children.length<8;i+=7){var w=related[i];"
          "if(seen[w])continue;seen[w]=1;var "
          "li=document.createElement('li');li.textContent=w;list.appendChild(li);}}\n"
          "document.addEventListener('DOMContentLoaded',function(){number();suggest();});})();\n";
    return js;
}

RgbImage Picture(int page, int which, int width, int height) {
    const auto& accent = Accents[page];
    RgbImage image{width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height * 3)};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = image.At(x, y);
            const int band = ((x / (6 + which * 3)) + (y / 8)) % 2;
            for (int c = 0; c < 3; ++c) {
                const int gradient = accent[c] * x / width + (255 - accent[c]) * y / height;
                p[c] = static_cast<std::uint8_t>(std::min(255, gradient / 2 + (band ? 90 : 30) + which * 10));
            }
        }
    }
    return image;
}

} // namespace

std::string ResultPageHtml(int page, long serial) {
    return Html(page, serial);
}

std::optional<PageAsset> ResultPageAsset(const std::string& name) {
    for (int page = 0; page < ResultPageCount; ++page) {
        if (name == Name("style", page, "css"))
            return PageAsset{"text/css", Css(page)};
        if (name == Name("app", page, "js"))
            return PageAsset{"application/javascript", Script(page)};
        if (name == Name("logo", page, "png"))
            return PageAsset{"image/png", EncodePng(Picture(page, 0, 200 + 12 * page, 64))};
        if (name == Name("thumb1", page, "png"))
            return PageAsset{"image/png", EncodePng(Picture(page, 1, 96, 72))};
        if (name == Name("thumb2", page, "png"))
            return PageAsset{"image/png", EncodePng(Picture(page, 2, 96, 72))};
    }
    return std::nullopt;
}

std::size_t ResultPageWeight(int page) {
    std::size_t total = Html(page, 0).size();
    for (const char* stem : {"style", "app", "logo", "thumb1", "thumb2"}) {
        const std::string extension = stem[0] == 's' ? "css" : stem[0] == 'a' ? "js" : "png";
        total += ResultPageAsset(Name(stem, page, extension.c_str()))->body.size();
    }
    return total;
}
