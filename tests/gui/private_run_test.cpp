#include "main_window_fixture.h"
#include "run_mode.h"

#include <stdlib.h>

namespace fs = std::filesystem;

namespace {

// Settled before the toolkit and WebKit's session start, as the program does: the process is a private run.
struct PrivateRun {
    PrivateRun() {
        for (const char* folder : {"DATA", "CACHE", "CONFIG"})
            setenv((std::string("XDG_") + folder + "_HOME").c_str(), (home.path / folder).c_str(), 1);
        // As in a desktop session: the settings' shared flag file goes there, not into the cache folder.
        fs::create_directory(home.path / "run");
        fs::permissions(home.path / "run", fs::perms::owner_all);
        setenv("XDG_RUNTIME_DIR", (home.path / "run").c_str(), 1);
        SetPrivateRun(true);
    }
    TempFolder home{"scoutwell-private"};
};
PrivateRun g_run;

using PrivateRunTest = MainWindowTest;

} // namespace

TEST_F(PrivateRunTest, PagesThatStoreCookiesAndLocalDataLeaveNothingOnDiskAndNoSearchIsKept) {
    EXPECT_EQ(window->GetTitle(), "Scoutwell (private)");
    ShowAtOrigin();
    // Each page reports what the one before it stored: the storing works, in memory.
    TestProxy().SetResponder([](const std::string&) {
        return RecordingProxy::Response{
            .body = "<title>x</title><script>document.title = 'seen:' + document.cookie + ':' + "
                    "localStorage.getItem('kept'); localStorage.setItem('kept', 'yes');</script>",
            .headers = "Set-Cookie: visit=1; Max-Age=86400\r\nCache-Control: max-age=86400\r\n"};
    });
    ASSERT_TRUE(TypeInto(window->keywordsBox, "new york"));
    PressKey(WXK_RETURN);
    for (PaneIndex i = 0; i < PaneCount; ++i)
        ASSERT_TRUE(WaitFor([&] { return !watchers[i]->Loaded().empty(); }));
    window->paneViews[0]->Navigate(L"http://pages.test/again");
    ASSERT_TRUE(watchers[0]->WaitUntilLoaded(L"http://pages.test/again"));
    // WebKit hands local storage on to a later page asynchronously: a page soon after may not see it yet.
    const auto stored = [&] { return window->paneViews[0]->View()->GetCurrentTitle() == "seen:visit=1:yes"; };
    bool seen = false;
    for (int visit = 0; visit < 5 && !seen; ++visit) {
        const std::wstring more = L"http://pages.test/more" + std::to_wstring(visit);
        window->paneViews[0]->Navigate(more);
        ASSERT_TRUE(watchers[0]->WaitUntilLoaded(more));
        seen = WaitFor(stored, 2s);
    }
    EXPECT_TRUE(seen) << window->paneViews[0]->View()->GetCurrentTitle();

    // Every file in the data and cache folders, and in the state folder the test's main gives the run.
    const auto traces = [] {
        std::vector<std::string> files;
        std::error_code ignored;
        for (const fs::path& folder :
             {g_run.home.path / "DATA", g_run.home.path / "CACHE", fs::path(std::getenv("XDG_STATE_HOME"))})
            for (auto it = fs::recursive_directory_iterator(folder, ignored);
                 it != fs::recursive_directory_iterator(); it.increment(ignored))
                if (!it->is_directory(ignored))
                    files.push_back(it->path().string());
        return files;
    };
    EXPECT_TRUE(Never([&] { return !traces().empty(); }, 3s));
    PressDownInEmptyKeywordBox();
    EXPECT_FALSE(window->recentSearches->IsShown());
}
