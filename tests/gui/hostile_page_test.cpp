// Pages that try to hold the program or write files stay inside their pane.

#include "main_window_fixture.h"
#include "page_guard.h"

#include <wx/log.h>

#include <algorithm>
#include <map>
#include <optional>

namespace {

const std::wstring YahooAfter = L"http://search.yahoo.com/bin/search?p=after";

class HostilePageTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        for (auto* chooser : window->engineChoosers)
            chooser->ChangeValue("Yahoo");
        window->keywordsBox->ChangeValue("after");
        TestProxy().SetResponder([this](const std::string& url) {
            const auto path = url.substr(url.find('/', 7));
            return pages.contains(path) ? pages[path] : RecordingProxy::DefaultPage(url);
        });
    }

    void Page(const std::string& path, const std::string& body, const std::string& headers = "",
              int status = 200, const std::string& type = "text/html") {
        pages[path] = {status, type, body, headers};
    }
    // The program's own short pages say what happened in their title.
    bool TitleHas(PaneIndex i, const wchar_t* words) {
        return WaitFor([&] { return window->paneViews[i]->View()->GetCurrentTitle().Contains(words); },
                       20000ms);
    }
    void Open(PaneIndex i, const std::string& path) {
        window->paneViews[i]->Navigate(L"http://pages.test" + wxString(path).ToStdWstring());
    }
    bool SearchReachesEveryPane() {
        window->OnSearch();
        return std::ranges::all_of(watchers, [](auto& w) { return w->WaitUntilLoaded(YahooAfter); });
    }

    std::map<std::string, RecordingProxy::Response> pages;
};

long Requested(const std::string& path) {
    return std::ranges::count(TestProxy().Requests(), "http://pages.test" + path);
}

} // namespace

// Printing shows no dialog; too much memory, a sign-in, a hang-up or an error answer get a page of ours
// that loads nothing.
TEST_F(HostilePageTest, PrintMemorySignInAndAHangUpHoldNothing) {
    Page("/print", "<script>window.print(); document.title = 'printed'</script>");
    Page("/grow", "<script>const kept = []; setInterval(() => { for (let i = 0; i < 8; ++i) "
                  "kept.push(new Float64Array(1 << 20).fill(i)) }, 20)</script>");
    Page("/secret", "denied", "WWW-Authenticate: Basic realm=\"secret\"\r\n", 401);
    Page("/hangup", "", "", 0);
    Page("/refused", "no tunnels", "", 405, "application/octet-stream"); // as a proxy refuses a tunnel
    ASSERT_TRUE(Show(1, L"http://first.test/"));
    const std::tuple<PaneIndex, const char*, const wchar_t*> cases[] = {
        {0, "/print", L"printed"},
        {4, "/grow", L"memory"},
        {2, "/secret", L"user name and password"},
        {1, "/hangup", L"pages.test"},
        {3, "/refused", L"Could not reach pages.test"}};
    for (const auto& [pane, path, title] : cases)
        Open(pane, path);
    for (const auto& [pane, path, title] : cases)
        EXPECT_TRUE(TitleHas(pane, title)) << path;
    window->OnBack(1);
    EXPECT_TRUE(WaitFor([&] { return window->paneViews[1]->LocationURL() == L"http://first.test/"; }));
    EXPECT_TRUE(SearchReachesEveryPane());
}

TEST_F(HostilePageTest,
       EndlessDialogsGetThreeAnswersThenNoneAndNeitherThemNorEndlessScriptsHoldThePaneButtons) {
    // Each round asks the server for /dN before its dialog N.
    PaneIndex next = 0;
    for (const std::string kind : {"alert", "confirm", "prompt"}) {
        Page("/" + kind, "<script>for (let n = 1;; ++n) { const r = new XMLHttpRequest(); "
                         "r.open('GET', '/d' + n, false); r.send(); " +
                             kind + "(n) }</script>");
        Open(next++, "/" + kind);
    }
    ASSERT_TRUE(WaitFor([] { return Requested("/d4") == 3; }));
    EXPECT_TRUE(Never([] { return Requested("/d5") > 0; }, 300ms)); // no fourth answer
    ASSERT_TRUE(SearchReachesEveryPane());

    // Back leaves a page held by dialogs or an endless script (even for the same site's page); Stop ends it.
    Page("/spin",
         "<script>setTimeout(() => { const r = new XMLHttpRequest(); r.open('GET', '/spinning', false); "
         "r.send(); for (;;) {} }, 100)</script>");
    ASSERT_TRUE(Show(3, L"http://pages.test/first"));
    const std::tuple<PaneIndex, const char*, const char*, std::wstring> cases[] = {
        {1, "/alert", "/d4", YahooAfter},
        {3, "/spin", "/spinning", L"http://pages.test/first"},
        {2, "/confirm", "/d4", L""}};
    for (const auto& [pane, page, held, before] : cases) {
        TestProxy().ClearRequests();
        Open(pane, page);
        ASSERT_TRUE(WaitFor([&] { return Requested(held) > 0; })) << page;
        const auto loads = watchers[pane]->Loaded().size();
        if (before.empty()) {
            window->OnStop(pane);
            EXPECT_TRUE(TitleHas(pane, L"stopped responding"));
            continue;
        }
        window->OnBack(pane);
        EXPECT_TRUE(WaitFor([&] {
            return watchers[pane]->Loaded().size() > loads && watchers[pane]->Last() == before;
        })) << page;
    }
    EXPECT_TRUE(SearchReachesEveryPane());
}

// The page being left cannot keep the pane from Search or Back, within seconds: not by never returning from
// its pagehide or unload handler, nor by navigating from its beforeunload handler.
TEST_F(HostilePageTest, SearchAndBackWinOverThePageBeingLeft) {
    Page("/pagehide", "<script>addEventListener('pagehide', () => { for (;;) {} })</script>");
    Page("/unload", "<script>addEventListener('unload', () => { for (;;) {} })</script>");
    Page("/beforeunload-back", "<script>addEventListener('beforeunload', () => history.back())</script>");
    Page("/beforeunload-again", "<script>addEventListener('beforeunload', () => { location = location.href "
                                "})</script>");
    const auto openEach = [&](const std::vector<std::pair<PaneIndex, std::string>>& cases) {
        for (const auto& [pane, path] : cases) {
            ASSERT_TRUE(Show(pane, L"http://first.test/"));
            Open(pane, path);
            ASSERT_TRUE(
                watchers[pane]->WaitUntilLoaded(L"http://pages.test" + wxString(path).ToStdWstring()));
        }
    };
    openEach({{0, "/pagehide"}, {1, "/unload"}, {2, "/beforeunload-back"}, {3, "/beforeunload-again"}});
    window->OnSearch();
    for (PaneIndex i = 0; i < PaneCount; ++i)
        EXPECT_TRUE(WaitFor([&] { return watchers[i]->Last() == YahooAfter; }, 5s)) << i;

    openEach({{0, "/pagehide"}, {1, "/unload"}, {2, "/beforeunload-again"}});
    for (PaneIndex i = 0; i < 3; ++i)
        window->OnBack(i);
    for (PaneIndex i = 0; i < 3; ++i)
        EXPECT_TRUE(WaitFor([&] { return watchers[i]->Last() == L"http://first.test/"; }, 5s)) << i;
    EXPECT_TRUE(SearchReachesEveryPane());
}

// Nor by navigating itself all the time. WebKit reports the request's address as loaded when the page's own
// load it cancelled ends: the document is asked where it is (quietly: it may be ended while asked).
TEST_F(HostilePageTest, SearchBackAndStopWinOverAPageThatNavigatesItselfEvery10Ms) {
    Page("/flicker", "<script>setInterval(() => { location = '/flicker' }, 10)</script>");
    const auto flicker = [&](PaneIndex pane) {
        TestProxy().ClearRequests();
        Open(pane, "/flicker");
        return WaitFor([] { return Requested("/flicker") > 10; });
    };
    const auto shows = [&](PaneIndex pane, const std::wstring& url) {
        return WaitFor(
            [&] {
                const wxLogNull quiet;
                wxString address;
                return window->paneViews[pane]->View()->RunScript("location.href", &address) &&
                       address == url;
            },
            5000ms);
    };
    ASSERT_TRUE(flicker(0));
    window->OnSearch();
    for (PaneIndex i = 0; i < PaneCount; ++i)
        EXPECT_TRUE(shows(i, YahooAfter)) << i;
    ASSERT_TRUE(flicker(0));
    window->OnBack(0);
    EXPECT_TRUE(shows(0, YahooAfter));
    ASSERT_TRUE(flicker(1));
    window->OnStop(1); // the page then stays where it is
    const long stopped = Requested("/flicker");
    EXPECT_TRUE(Never([&] { return Requested("/flicker") > stopped + 1; }, 500ms));
}

// A click asking for the whole screen or the pointer gets neither: the window keeps its size, clicks work.
TEST_F(HostilePageTest, APageGetsNeitherTheScreenNorThePointer) {
    const std::string answer = "document.title = 'granted'; }, () => { document.title = 'refused'; })";
    // A page may also find no way to ask at all.
    Page("/fullscreen", WholePage("onclick=\"(this.requestFullscreen ? this.requestFullscreen() : "
                                  "Promise.reject()).then(() => { " +
                                  answer + "\""));
    Page("/pointer",
         WholePage("onclick=\"document.onpointerlockerror = () => { document.title = 'refused' }; "
                   "document.onpointerlockchange = () => { document.title = 'granted' }; "
                   "this.requestPointerLock()\""));
    ShowAtOrigin();
    const wxSize size = window->GetSize();
    for (const auto& [pane, path] : {std::pair<PaneIndex, const char*>{0, "/fullscreen"}, {1, "/pointer"}}) {
        ASSERT_TRUE(Show(pane, L"http://pages.test" + wxString(path).ToStdWstring()));
        Click(window->paneViews[pane]->View());
        EXPECT_TRUE(TitleHas(pane, L"refused")) << path;
    }
    EXPECT_FALSE(window->IsFullScreen());
    EXPECT_EQ(window->GetSize(), size);
    Click(window->keywordsBox);
    EXPECT_TRUE(WaitFor([&] { return wxWindow::FindFocus() == window->keywordsBox; }));
}

TEST_F(HostilePageTest, DownloadsNeedAClickAndTheUsersChoiceOfFile) {
    namespace fs = std::filesystem;
    const fs::path chosen = programFolder / "chosen.txt", downloads = programFolder / "Downloads";
    fs::create_directory(downloads);
    WriteFile(programFolder / "config/user-dirs.dirs", "XDG_DOWNLOAD_DIR=\"" + downloads.string() + "\"\n");
    setenv("XDG_CONFIG_HOME", (programFolder / "config").c_str(), 1);
    std::vector<std::pair<fs::path, std::string>> asked;
    std::function<void(std::optional<fs::path>)> answer;
    ShowAtOrigin();
    SetDownloadQuestion([&](const fs::path& folder, const std::string& name, auto reply) {
        asked.emplace_back(folder, name);
        answer = reply;
    });
    const std::string file = "Content-Disposition: attachment; filename=\"";
    Page("/hidden", "contents", file + ".hidden_rc\"\r\n", 200, "application/octet-stream");
    Page("/escape", "contents", file + "../../../tmp/escaped.txt\"\r\n", 200, "application/octet-stream");
    Page("/unasked", "<meta http-equiv=\"refresh\" content=\"0; url=/hidden\">");
    for (const char* path : {"/hidden", "/escape"})
        Page(std::string("/click") + path, WholePage("onclick=\"location = '" + std::string(path) + "'\""));

    Open(0, "/unasked");
    ASSERT_TRUE(Show(1, L"http://pages.test/click/escape"));
    Click(window->paneViews[1]->View());
    ASSERT_TRUE(WaitFor([] { return Requested("/hidden") > 0 && Requested("/escape") > 0; }));
    EXPECT_TRUE(TitleHas(1, L"download was refused")); // the click did not just do nothing
    EXPECT_TRUE(SearchReachesEveryPane());             // no process died
    EXPECT_TRUE(asked.empty());
    EXPECT_FALSE(fs::exists("/tmp/escaped.txt"));

    // Each round opens a page of its own, so that the round before cannot answer the wait for its load.
    Page("/click/hidden?again", WholePage("onclick=\"location = '/hidden'\""));
    for (const bool save : {false, true}) {
        const std::string page = save ? "/click/hidden?again" : "/click/hidden";
        ASSERT_TRUE(Show(2, L"http://pages.test" + wxString(page).ToStdWstring()));
        Click(window->paneViews[2]->View());
        ASSERT_TRUE(WaitFor([&] { return asked.size() == 1u; }));
        EXPECT_EQ(asked[0].first, downloads);
        EXPECT_EQ(asked[0].second, "hidden_rc");
        Click(window->paneViews[2]->View()); // one at a time
        EXPECT_TRUE(Never([&] { return asked.size() > 1; }, 500ms));
        answer(save ? std::optional<fs::path>(chosen) : std::nullopt);
        asked.clear();
        if (save) {
            ASSERT_TRUE(WaitFor([&] { return fs::exists(chosen) && fs::file_size(chosen) == 8; }));
        } else {
            EXPECT_TRUE(Never([&] { return fs::exists(chosen) || !fs::is_empty(downloads); }, 500ms));
        }
    }

    // A name of 5,000 characters is cut to what a file system takes, whole characters and extension kept.
    std::string encoded;
    for (int i = 0; i < 5000; ++i)
        encoded += "%C3%A9";
    Page("/long", "contents", "Content-Disposition: attachment; filename*=UTF-8''" + encoded + ".txt\r\n",
         200, "application/octet-stream");
    Page("/click/long", WholePage("onclick=\"location = '/long'\""));
    ASSERT_TRUE(Show(3, L"http://pages.test/click/long"));
    Click(window->paneViews[3]->View());
    ASSERT_TRUE(WaitFor([&] { return asked.size() == 1u; }));
    const std::string& name = asked[0].second;
    EXPECT_EQ(name.size(), 254u) << name;
    EXPECT_TRUE(name.starts_with("\u00E9\u00E9") && name.ends_with("\u00E9.txt")) << name;
    answer(std::nullopt);
    SetDownloadQuestion(nullptr);
}
