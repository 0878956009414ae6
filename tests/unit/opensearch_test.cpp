#include "added_engines.h"
#include "failure.h"
#include "fake_browser_view.h"
#include "search_dispatch.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string Describe(std::string_view body, std::string_view name = "Test", std::string_view prolog = "") {
    return std::string(prolog) +
           "<OpenSearchDescription xmlns='http://a9.com/-/spec/opensearch/1.1/'><ShortName>" +
           std::string(name) + "</ShortName>" + std::string(body) + "</OpenSearchDescription>";
}

std::string Url(std::string_view urlTemplate, std::string_view attributes = "") {
    return "<Url type='text/html' " + std::string(attributes) + " template='" + std::string(urlTemplate) +
           "'/>";
}

std::wstring UrlFor(const std::string& document, std::wstring_view keywords) {
    return BuildSearchUrl(ReadOpenSearchDescription(document), keywords);
}

} // namespace

TEST(OpenSearch, ShippedEnginesBuildTheirResultAddresses) {
    const std::pair<const char*, const wchar_t*> shipped[] = {
        {"bing.xml", L"https://www.bing.com/search?q=new+york"},
        {"brave-search.xml", L"https://search.brave.com/search?q=new+york"},
        {"duckduckgo.xml", L"https://html.duckduckgo.com/html/?q=new+york"},
        {"ecosia.xml", L"https://www.ecosia.org/search?q=new+york"},
        {"google.xml", L"https://www.google.com/search?q=new+york&ie=UTF-8"},
        {"marginalia.xml", L"https://marginalia-search.com/search?query=new+york"},
        {"mojeek.xml", L"https://www.mojeek.com/search?q=new+york"},
        {"qwant.xml", L"https://www.qwant.com/?q=new+york&t=web"},
        {"startpage.xml", L"https://www.startpage.com/sp/search?query=new+york"},
        {"wikipedia.xml", L"https://en.wikipedia.org/w/index.php?title=Special:Search&search=new+york"},
    };
    const fs::path folder = SCOUTWELL_ENGINES_FOLDER;
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), {}), std::ssize(shipped));
    for (const auto& [file, newYork] : shipped) {
        const OpenSearchEngine engine = ReadOpenSearchDescription(ReadFile(folder / file));
        EXPECT_FALSE(engine.name.empty()) << file;
        EXPECT_EQ(BuildSearchUrl(engine, L"new york"), newYork) << file;
        std::wstring cafe = newYork;
        cafe.replace(cafe.find(L"new+york"), 8, L"caf%C3%A9+%26+co");
        EXPECT_EQ(BuildSearchUrl(engine, L"café & co"), cafe) << file;
    }
}

TEST(OpenSearch, ParametersGetTheirValues) {
    const struct {
        std::string document;
        std::wstring keywords, expected;
    } cases[] = {
        {Describe(
             Url("http://x.example/s?q={searchTerms}&amp;n={count}&amp;i={startIndex}&amp;p={startPage}&amp;"
                 "l={language}&amp;ie={inputEncoding}&amp;oe={outputEncoding}&amp;o={startIndex?}{x:y?}")),
         L"a b", L"http://x.example/s?q=a+b&n=20&i=1&p=1&l=*&ie=UTF-8&oe=UTF-8&o="},
        {Describe(Url("https://x.example/?q={searchTerms?}&amp;i={startIndex}&amp;p={startPage}",
                      "indexOffset='0' pageOffset='3'")),
         L"", L"https://x.example/?q=&i=0&p=3"},
        {Describe(Url("HTTPS://x.example/?q={searchTerms}")), L"é/?&=+%~-._ A1",
         L"HTTPS://x.example/?q=%C3%A9%2F%3F%26%3D%2B%25~-._+A1"},
        {Describe("<InputEncoding>ISO-8859-1</InputEncoding>" +
                  Url("http://x.example/?q={searchTerms}&amp;e={inputEncoding}")),
         L"café €日", L"http://x.example/?q=caf%E9+%80%26%2326085%3B&e=ISO-8859-1"},
        {Describe("<InputEncoding>Shift_JIS</InputEncoding><InputEncoding>windows-1252</InputEncoding>" +
                  Url("http://x.example/{searchTerms}/{outputEncoding}")),
         L"ü", L"http://x.example/%FC/windows-1252"},
        {Describe(Url("http://post.example/?q={searchTerms}", "method='POST'") +
                  "<Url type='application/rss+xml' template='http://rss.example/?q={searchTerms}'/>" +
                  Url("http://get.example/?q={searchTerms}", "method='get'")),
         L"a", L"http://get.example/?q=a"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(UrlFor(c.document, c.keywords), c.expected) << c.document;
}

TEST(OpenSearch, BadDescriptionsAreRefused) {
    const std::string bomb =
        "<!DOCTYPE OpenSearchDescription [<!ENTITY a 'aaaaaaaaaa'><!ENTITY b '&a;&a;&a;&a;&a;&a;'>"
        "<!ENTITY c '&b;&b;&b;&b;&b;&b;'><!ENTITY d '&c;&c;&c;&c;&c;&c;'>]>";
    const std::string good = Url("http://x.example/?q={searchTerms}");
    const std::string refused[] = {
        "<OpenSearchDescription><ShortName>x</Short",
        "<html><ShortName>x</ShortName>" + good + "</html>",
        Describe(good, " "),
        Describe(Url("http://x.example/?q={searchTerms}", "method='post'")),
        Describe("<Url type='application/rss+xml' template='http://x.example/?q={searchTerms}'/>"),
        Describe(Url("javascript:alert({searchTerms})")),
        Describe(Url("file:///etc/passwd?{searchTerms}")),
        Describe(Url("data:text/html,{searchTerms}")),
        Describe(Url("/search?q={searchTerms}")),
        Describe(Url("http:x.example/{searchTerms}")),
        Describe(Url("http://x.example/?q=cats")),
        Describe(Url("http://x.example/?q={searchTerms}&amp;f={foo}")),
        Describe(Url("http://x.example/?q={searchTerms}&amp;l={moz:locale}")),
        Describe("<InputEncoding>Shift_JIS</InputEncoding>" + good),
        Describe(good, "&d;", bomb),
        Describe(good, "&x;", "<!DOCTYPE OpenSearchDescription [<!ENTITY x SYSTEM 'file:///etc/passwd'>]>"),
        Describe(good, "&x;", "<!DOCTYPE OpenSearchDescription SYSTEM 'file:///etc/passwd'>"),
        Describe(good + "<Description>" + std::string(10 << 20, 'a') + "</Description>"),
    };
    for (const std::string& document : refused) {
        try {
            const OpenSearchEngine engine = ReadOpenSearchDescription(document);
            ADD_FAILURE() << "accepted " << document.substr(0, 200);
        } catch (const ScoutwellError& refusal) {
            EXPECT_EQ(std::string(refusal.what()).find("root:"), std::string::npos);
        }
    }
}

TEST(AddedEngines, FoldersAreReadInOrderAndEachSkippedFileSaysWhy) {
    TempFolder root;
    ::setenv("XDG_CONFIG_HOME", (root.path / "config").c_str(), 1);
    ::setenv("XDG_DATA_DIRS",
             ((root.path / "one").string() + ":relative::" + (root.path / "two").string()).c_str(), 1);
    const std::vector<fs::path> folders = EngineFolders(root.path / "program");
    const std::vector<fs::path> expected = {
        root.path / "config/scoutwell/engines", root.path / "one/scoutwell/engines",
        root.path / "two/scoutwell/engines", root.path / "share/scoutwell/engines",
        root.path / "program/engines"};
    ASSERT_EQ(folders, expected);

    WriteFile(folders[0] / "b.xml", Describe(Url("http://first.example/?q={searchTerms}"), "Beta"));
    WriteFile(folders[1] / "a.xml", Describe(Url("http://second.example/?q={searchTerms}"), " BETA "));
    WriteFile(folders[1] / "c.xml", Describe(Url("http://x.example/?q={searchTerms}"), "yahoo"));
    WriteFile(folders[1] / "d.xml", "<OpenSearchDescription>");
    WriteFile(folders[1] / "notes.txt", "not a description");
    fs::create_directories(folders[2] / "x.xml");
    ::mkfifo((folders[2] / "pipe.xml").c_str(), 0644);
    WriteFile(folders[4] / "e.xml", Describe(Url("http://e.example/?q={searchTerms}"), "Alpha"));
    std::vector<std::string> skipped = {"a.xml", "c.xml", "d.xml", "pipe.xml", "x.xml"};
    if (::geteuid() != 0) { // root reads any file
        WriteFile(folders[4] / "locked.xml", Describe(Url("http://l.example/?q={searchTerms}"), "Locked"));
        fs::permissions(folders[4] / "locked.xml", fs::perms::none);
        skipped.push_back("locked.xml");
    }

    testing::internal::CaptureStderr();
    const AddedEngines engines = LoadAddedEngines(folders);
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), std::ssize(skipped)) << log;
    for (const std::string& file : skipped)
        EXPECT_NE(log.find("/" + file + " skipped: "), std::string::npos) << log;
    ASSERT_EQ(engines.Engines().size(), 2u);
    EXPECT_EQ(engines.Engines()[0].name, L"Alpha");
    EXPECT_EQ(BuildSearchUrl(*engines.Find(L"beta"), L"x"), L"http://first.example/?q=x");
    ::unsetenv("XDG_CONFIG_HOME");
    ::unsetenv("XDG_DATA_DIRS");
}

TEST(AddedEngines, AnAddedNameSearchesThatEngineAndOtherTextsKeepTheCatalogueRule) {
    AddedEngines engines;
    engines.Add(ReadOpenSearchDescription(Describe(Url("https://b.example/?q={searchTerms}"), "Hotbed")));
    for (const char* taken : {"HOTBED", " hotbot"})
        EXPECT_THROW(
            engines.Add(ReadOpenSearchDescription(Describe(Url("http://x.example/{searchTerms}"), taken))),
            ScoutwellError);
    PaneArray<FakeBrowserView> views;
    RunSearch(L"new york", {L" hotBED ", L"Hotb", L"Hotbed!", L"Hotbedx", L"nothing"},
              {&views[0], &views[1], &views[2], &views[3], &views[4]}, engines);
    EXPECT_EQ(views[0].navigations, std::vector<std::wstring>{L"https://b.example/?q=new+york"});
    const std::wstring hotbot = L"http://www.hotbot.com/?MT=new+york&SM=MC&DV=0&LG=any&DC=10&DE=2&BT=H";
    for (int i = 1; i < 4; ++i)
        EXPECT_EQ(views[i].navigations, std::vector<std::wstring>{hotbot}) << i;
    EXPECT_TRUE(views[4].navigations.empty());
}

TEST(AddedEngines, SavingNeverReplacesAFile) {
    TempFolder root;
    const fs::path folder = root.path / "made/engines"; // made when missing
    const std::string first = Describe(Url("http://1.example/{searchTerms}"), "Brave Search");
    const std::string second = Describe(Url("http://2.example/{searchTerms}"), " brave search");
    const fs::path a = SaveNewDescription(folder, first, L"Brave Search");
    const fs::path b = SaveNewDescription(folder, second, L" brave search");
    EXPECT_NE(a, b);
    EXPECT_EQ(ReadFile(a), first);
    EXPECT_EQ(ReadFile(b), second);
    EXPECT_EQ(LoadAddedEngines({folder}).Engines().size(), 1u);
}
