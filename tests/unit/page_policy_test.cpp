// The page policy's rules that need no display: hand-off limit, local pages, names offered for downloads.

#include "hand_off_limit.h"
#include "load_failure_page.h"
#include "page_guard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <tuple>

namespace {

// GLib versions differ in how they write an apostrophe; either is fine.
std::string OneApostrophe(std::string markup) {
    for (std::size_t at; (at = markup.find("&#39;")) != std::string::npos;)
        markup.replace(at, 5, "&apos;");
    return markup;
}

} // namespace

TEST(HandOffLimit, OneAddressPerActionAndSecondAndOneLineForTheRest) {
    using std::chrono::milliseconds;
    const std::tuple<bool, int, bool, bool> steps[] = {
        // a user action, at milliseconds, handed off, a line written
        {false, 0, false, true},     // no action yet
        {true, 0, true, false},      //
        {false, 0, false, true},     // the action is spent
        {true, 900, false, true},    // a new action, but within the second
        {false, 1000, true, false},  // that action's address, once the second is up
        {false, 5000, false, true},  // spent, however long after
        {false, 6000, false, false}, // dropped again: no second line for the same action
        {true, 7000, true, false},
    };
    const auto start = HandOffLimit::Clock::now();
    HandOffLimit limit;
    int n = 0;
    for (const auto& [action, atMs, handsOff, writesLine] : steps) {
        ++n;
        if (action)
            limit.NoteUserAction();
        testing::internal::CaptureStderr();
        EXPECT_EQ(limit.MayHandOff(start + milliseconds(atMs)), handsOff) << "step " << n;
        EXPECT_EQ(std::ranges::count(testing::internal::GetCapturedStderr(), '\n'), writesLine ? 1 : 0)
            << "step " << n;
    }
}

// The host (or the whole address without one) and the reason, as text: never markup of our own page.
TEST(LoadFailurePage, NamesTheHostAndTheReasonAsText) {
    const struct {
        const char* url;
        const char* reason;
        const char* host; // as the page shows it, escaped
        const char* shownReason;
    } cases[] = {
        {"<script>alert(\"x\")</script>", "<img src=x onerror='alert(1)'>&",
         "&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt;",
         "&lt;img src=x onerror=&apos;alert(1)&apos;&gt;&amp;"},
        {"http://a.test/\"><script>x()</script>", "", "a.test", ""},
    };
    for (const auto& c : cases) {
        const std::string page = OneApostrophe(LoadFailurePage(c.url, c.reason));
        EXPECT_NE(page.find("<meta charset=\"utf-8\">"), std::string::npos) << page;
        EXPECT_NE(page.find(">Could not reach " + std::string(c.host) + "<"), std::string::npos) << page;
        EXPECT_NE(page.find("<small>" + std::string(c.shownReason) + "</small>"), std::string::npos) << page;
        for (const char* loads : {"<script", "<img"})
            EXPECT_EQ(page.find(loads), std::string::npos) << page;
    }
}

TEST(PlainFileName, OnePartNoControlsAndAtMost255BytesCutWholeBeforeTheExtension) {
    std::string es; // 2,500 characters of two bytes
    for (int i = 0; i < 2500; ++i)
        es += "\u00E9";
    const std::pair<std::string, std::string> cases[] = {
        // suggested, offered
        {"a/b\\..c\001d\x7F", "cd"},
        {" . .", "download"},
        {"bad\xFF.txt", "bad\uFFFD.txt"},
        {std::string(255, 'a'), std::string(255, 'a')},
        {std::string(5000, 'a') + ".tar.gz", std::string(252, 'a') + ".gz"},
        {es, es.substr(0, 254)},
        {"x" + es + ".pdf", "x" + es.substr(0, 250) + ".pdf"},
        // An "extension" longer than any type's is part of the name.
        {"a." + es, "a." + es.substr(0, 252)},
    };
    for (const auto& [suggested, offered] : cases)
        EXPECT_EQ(PlainFileName(suggested), offered) << suggested.substr(0, 40);
}
