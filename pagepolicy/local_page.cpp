#include "local_page.h"

#include <glib.h>

std::string HtmlEscaped(std::string_view text) {
    gchar* escaped = g_markup_escape_text(text.data(), static_cast<gssize>(text.size()));
    std::string out(escaped);
    g_free(escaped);
    return out;
}

std::string LocalPage(std::string_view title, std::string_view style, std::string_view body) {
    std::string page = "<!doctype html><html><head><meta charset=\"utf-8\"><title>";
    page += HtmlEscaped(title);
    page += "</title><style>";
    page += style;
    page += "</style></head><body>";
    page += body;
    page += "</body></html>";
    return page;
}
