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

std::string Engine(std::string_view name, std::string_view site) { // searching site/?q=
    return Describe(Url(std::string(site) + "/?q={searchTerms}"), name);
}

} // namespace

// Each shipped description and suggestions address sends the keywords, in UTF-8, to a secure address.
TEST(OpenSearch, ShippedEnginesBuildTheirResultAddresses) {
    int suggesting = 0;
    for (const auto& file : fs::directory_iterator(SCOUTWELL_ENGINES_FOLDER)) {
        const OpenSearchEngine engine = ReadOpenSearchDescription(ReadFile(file.path()));
        for (const std::wstring& url :
             {BuildSearchUrl(engine, L"café & co"), BuildSuggestionsUrl(engine, L"café & co")}) {
            if (url.empty())
                continue;
            EXPECT_TRUE(!engine.name.empty() && url.starts_with(L"https://")) << file.path();
            EXPECT_NE(url.find(L"=caf%C3%A9+%26+co"), std::wstring::npos) << url;
        }
        suggesting += !engine.suggestionsTemplate.empty();
    }
    EXPECT_GE(suggesting, 5);
}

// The first usable suggestions address of a GET; a bad one costs the engine its suggestions, not its place.
TEST(OpenSearch, SuggestionsAddressesAreReadOrLeftOut) {
    const auto suggestions = [](std::string_view urlTemplate, std::string_view attributes = "") {
        return "<Url type='application/x-suggestions+json' " + std::string(attributes) + " template='" +
               std::string(urlTemplate) + "'/>";
    };
    const std::string page = Url("http://x.example/?q={searchTerms}");
    const std::pair<std::string, std::wstring> cases[] = {
        {Describe(page + suggestions("http://s.example/?q={searchTerms}&amp;n={count}")),
         L"http://s.example/?q=a+b&n=20"},
        {Describe(suggestions("http://p.example/?q={searchTerms}", "method='POST'") +
                  suggestions("http://g.example/?q={searchTerms}", "method='get'") + page +
                  suggestions("http://later.example/?q={searchTerms}")),
         L"http://g.example/?q=a+b"},
        {Describe(page), L""},
        {Describe(page + suggestions("javascript:x({searchTerms})")), L""},
    };
    for (const auto& [document, expected] : cases) {
        const OpenSearchEngine engine = ReadOpenSearchDescription(document);
        EXPECT_EQ(BuildSuggestionsUrl(engine, L"a b"), expected) << document;
        EXPECT_EQ(BuildSearchUrl(engine, L"a b"), L"http://x.example/?q=a+b");
    }
}

TEST(OpenSearch, ParametersGetTheirValues) {
    const std::tuple<std::string, std::wstring, std::wstring> cases[] = {
        // description, keywords, address
        {Describe(
             Url("http://x.example/s?q={searchTerms}&amp;n={count}&amp;i={startIndex}&amp;p={startPage}&amp;"
                 "l={language}&amp;ie={inputEncoding}&amp;oe={outputEncoding}&amp;o={startIndex?}{x:y?}")),
         L"a b", L"http://x.example/s?q=a+b&n=20&i=1&p=1&l=*&ie=UTF-8&oe=UTF-8&o="},
        {Describe(Url("https://x.example/?q={searchTerms?}&amp;i={startIndex}&amp;p={startPage}",
                      "indexOffset='0' pageOffset='3'")),
         L"", L"https://x.example/?q=&i=0&p=3"},
        {Describe(Url("HTTPS://x.example/?q={searchTerms}")), L"é/?&=+%~-._ A1",
         L"HTTPS://x.example/?q=%C3%A9%2F%3F%26%3D%2B%25~-._+A1"},
        {Describe("<InputEncoding>Shift_JIS</InputEncoding><InputEncoding>ISO-8859-1</InputEncoding>" +
                  Url("http://x.example/?q={searchTerms}&amp;e={inputEncoding}&amp;o={outputEncoding}")),
         L"café €日", L"http://x.example/?q=caf%E9+%80%26%2326085%3B&e=ISO-8859-1&o=ISO-8859-1"},
        {Describe(Url("http://post.example/?q={searchTerms}", "method='POST'") +
                  "<Url type='application/rss+xml' template='http://rss.example/?q={searchTerms}'/>" +
                  Url("http://get.example/?q={searchTerms}", "method='get'")),
         L"a", L"http://get.example/?q=a"},
    };
    for (const auto& [document, keywords, expected] : cases)
        EXPECT_EQ(BuildSearchUrl(ReadOpenSearchDescription(document), keywords), expected) << document;
}

TEST(OpenSearch, BadDescriptionsAreRefused) {
    const std::string bomb =
        "<!DOCTYPE OpenSearchDescription [<!ENTITY a 'aaaaaaaaaa'><!ENTITY b '&a;&a;&a;&a;&a;&a;'>"
        "<!ENTITY c '&b;&b;&b;&b;&b;&b;'><!ENTITY d '&c;&c;&c;&c;&c;&c;'>]>";
    const std::string good = Url("http://x.example/?q={searchTerms}");
    for (const std::string& document : std::initializer_list<std::string>{
             "<OpenSearchDescription><ShortName>x</Short", Describe(good, " "),
             Describe(Url("http://x.example/?q={searchTerms}", "method='post'")),
             Describe(Url("javascript:alert({searchTerms})")), Describe(Url("/search?q={searchTerms}")),
             Describe(Url("http:x.example/{searchTerms}")), Describe(Url("http://x.example/?q=cats")),
             Describe(Url("http://x.example/?q={searchTerms}&amp;f={foo}")),
             Describe("<InputEncoding>Shift_JIS</InputEncoding>" + good), Describe(good, "&d;", bomb),
             Describe(good, "&x;",
                      "<!DOCTYPE OpenSearchDescription [<!ENTITY x SYSTEM 'file:///etc/passwd'>]>"),
             Describe(good, "&x;", "<!DOCTYPE OpenSearchDescription SYSTEM 'file:///etc/passwd'>"),
             Describe(good + "<Description>" + std::string(10 << 20, 'a') + "</Description>")}) {
        try {
            const OpenSearchEngine engine = ReadOpenSearchDescription(document);
            ADD_FAILURE() << "accepted " << document.substr(0, 200);
        } catch (const ScoutwellError& refusal) {
            EXPECT_EQ(std::string(refusal.what()).find("root:"), std::string::npos);
        }
    }
}

// The prefix's share folder is also a system data folder: read once. Only a clash inside one folder is news.
TEST(AddedEngines, FoldersAreReadInOrderEachOnceAndEachSkippedFileSaysWhy) {
    TempFolder temp;
    const fs::path& root = temp.path;
    const XdgFolders xdg{
        root, root / "config", root / "data", std::nullopt, {}, {root / "one", root / "two", root / "share"}};
    const std::vector<fs::path> folders = EngineFolders(root / "program", xdg);
    ASSERT_EQ(folders,
              (std::vector<fs::path>{root / "config/scoutwell/engines", root / "data/scoutwell/engines",
                                     root / "one/scoutwell/engines", root / "two/scoutwell/engines",
                                     root / "share/scoutwell/engines", root / "share/scoutwell/engines",
                                     root / "program/engines"}));
    WriteFile(folders[0] / "b.xml", Engine("Beta", "http://first.example"));
    WriteFile(folders[1] / "c.xml", Engine("Gamma", "http://c.example"));
    WriteFile(folders[1] / "cc.xml", Engine("gamma", "http://cc.example"));
    WriteFile(folders[2] / "a.xml", Engine(" BETA ", "http://second.example"));
    WriteFile(folders[2] / "d.xml", "<OpenSearchDescription>");
    WriteFile(folders[2] / "notes.txt", "not a description");
    fs::create_directories(folders[3] / "x.xml");
    ::mkfifo((folders[3] / "pipe.xml").c_str(), 0644);
    WriteFile(folders[4] / "s.xml", Engine("Delta", "http://s.example"));
    WriteFile(folders[6] / "e.xml", Engine("Alpha", "http://e.example"));
    std::vector<std::string> skipped = {"cc.xml", "d.xml", "pipe.xml", "x.xml"};
    if (::geteuid() != 0) { // root reads any file
        WriteFile(folders[6] / "locked.xml", Engine("Locked", "http://l.example"));
        fs::permissions(folders[6] / "locked.xml", fs::perms::none);
        skipped.push_back("locked.xml");
    }

    testing::internal::CaptureStderr();
    const AddedEngines engines = LoadAddedEngines(folders);
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), std::ssize(skipped)) << log;
    for (const std::string& file : skipped)
        EXPECT_NE(log.find("/" + file + " skipped: "), std::string::npos) << log;
    ASSERT_EQ(engines.Engines().size(), 4u);
    EXPECT_EQ(engines.Engines()[0].name, L"Alpha");
    EXPECT_EQ(BuildSearchUrl(*engines.Find(L"beta"), L"x"), L"http://first.example/?q=x");
}

TEST(AddedEngines, AnAddedNameSearchesThatEngineAndOtherTextsKeepTheCatalogueRule) {
    AddedEngines engines;
    engines.Add(ReadOpenSearchDescription(Engine("Hotbed", "https://b.example")));
    PaneArray<FakeBrowserView> views;
    views[4].Navigate(L"http://earlier.example/");
    RunSearch(L"new york", {L" hotBED ", L"Hotb", L"Hotbed!", L"Hotbedx", L"nothing"},
              {&views[0], &views[1], &views[2], &views[3], &views[4]}, engines);
    EXPECT_EQ(views[0].navigations, std::vector<std::wstring>{L"https://b.example/?q=new+york"});
    const std::wstring hotbot = L"http://www.hotbot.com/?MT=new+york&SM=MC&DV=0&LG=any&DC=10&DE=2&BT=H";
    for (int i = 1; i < 4; ++i)
        EXPECT_EQ(views[i].navigations, std::vector<std::wstring>{hotbot}) << i;
    EXPECT_EQ(views[4].navigations, std::vector<std::wstring>{L"http://earlier.example/"});
}

// Files beyond the bound are not read, the user's first: one line says how many were left out.
TEST(AddedEngines, NoMoreThanTheBoundAreRead) {
    TempFolder temp;
    for (const char* name : {"a", "b", "c"}) {
        WriteFile(temp.path / "user" / (std::string(name) + ".xml"), Engine(name, "http://x.example"));
        WriteFile(temp.path / "shared" / (std::string(name) + "2.xml"),
                  Engine(name + std::string("2"), "http://x.example"));
    }
    testing::internal::CaptureStderr();
    const AddedEngines engines = LoadAddedEngines({temp.path / "user", temp.path / "shared"}, 4);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "scoutwell: only the first 4 engine descriptions were read; 2 more were left out\n");
    std::vector<std::wstring> names;
    for (const OpenSearchEngine& engine : engines.Engines())
        names.push_back(engine.name);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"a", L"a2", L"b", L"c"}));
}

// A name that looks like a listed one is refused, and characters that draw nothing are not kept.
TEST(AddedEngines, ALookAlikeNameIsRefused) {
    AddedEngines engines;
    engines.Add(ReadOpenSearchDescription(Engine("Bing", "https://bing.example")));
    const auto add = [&](const char* name) { // the name kept
        OpenSearchEngine engine = ReadOpenSearchDescription(Engine(name, "https://x.example"));
        const std::wstring seen = engine.name;
        engines.Add(std::move(engine));
        return seen;
    };
    // Zero-width space, soft hyphen, RLO, isolate and BOM, fullwidth, no-break space, bold B, circled B;
    // a joiner and word joiner in a catalogue name; nothing.
    for (const char* name : {"B\u200Bing", "Bi\u00ADng", "\u202EBing\u202C", "\u2066Bing\u2069\uFEFF",
                             "\uFF22\uFF49\uFF4E\uFF47", "Bing\u00A0", "\U0001D401ing", "\u24B7ING",
                             "Hot\u200Db\u2060ot", "\u200B"})
        EXPECT_THROW(add(name), ScoutwellError) << name;
    // Ligatures fi and fl (which only looks like itself); a name kept without the invisible characters.
    for (const auto& [name, kept] : {std::pair{"Alta\uFB01", L"Alta\uFB01"},
                                     {"\uFB02ing", L"\uFB02ing"},
                                     {"Bi\u200Dn\u2063g\u00A0Two", L"Bing\u00A0Two"}})
        EXPECT_EQ(add(name), kept) << name;
    EXPECT_THROW(add("ALTA\uFF26I"), ScoutwellError);
    EXPECT_EQ(engines.Find(L"\uFF42\uFF49\uFF4E\uFF47")->name, L"Bing");
}
