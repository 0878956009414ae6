#include "main_window_fixture.h"

#include <wx/arrstr.h>
#include <wx/listbox.h>
#include <wx/process.h>
#include <wx/utils.h>

#include <algorithm>
#include <stdlib.h>

namespace fs = std::filesystem;

namespace {

// A main window whose recent searches are kept in a state folder of the test's own.
class RecentSearchesTest : public MainWindowTest {
protected:
    RecentSearchesTest() { setenv("XDG_STATE_HOME", state.path.c_str(), 1); }

    // Whether every pane has searched the keywords so many times, and no pane more.
    bool Searched(const char* encoded, std::size_t times = 1, std::chrono::milliseconds timeout = 10000ms) {
        const auto count = [&] {
            return static_cast<std::size_t>(
                std::ranges::count_if(TestProxy().Requests(), [&](const std::string& url) {
                    return url.find(encoded) != std::string::npos;
                }));
        };
        return WaitFor([&] { return count() >= times * PaneCount; }, timeout) &&
               Never([&] { return count() > times * PaneCount; }, 300ms);
    }

    TempFolder state{"scoutwell-state"};
    fs::path history = state.path / "scoutwell" / "history";
};

} // namespace

TEST_F(RecentSearchesTest, SearchesAreKeptAcrossAStartListedByDownChosenByKeyAndClearedFromTheMenu) {
    ShowAtOrigin();
    for (const char* keywords : {"new york", "boston"}) {
        ASSERT_TRUE(TypeInto(window->keywordsBox, keywords));
        PressKey(WXK_RETURN);
    }
    ASSERT_TRUE(Searched("boston"));
    Restart();
    EXPECT_EQ(ReadFile(history), "boston\nnew york\n");

    ASSERT_TRUE(TypeInto(window->keywordsBox, "b"));
    PressKey(WXK_DOWN); // only an empty box lists them
    EXPECT_TRUE(Never([&] { return window->recentSearches->IsShown(); }, 300ms));
    PressDownInEmptyKeywordBox();
    ASSERT_TRUE(WaitFor([&] { return window->recentSearches->IsShown(); }));
    EXPECT_EQ(wxJoin(window->recentSearches->List()->GetStrings(), '|'), "boston|new york");
    EXPECT_TRUE(window->keywordsBox->HasFocus());
    PressKey(WXK_DOWN);
    PressKey(WXK_DOWN);
    PressKey(WXK_RETURN);
    EXPECT_TRUE(Searched("new+york", 2));
    EXPECT_EQ(window->keywordsBox->GetValue(), "new york");
    EXPECT_FALSE(window->recentSearches->IsShown());
    EXPECT_EQ(ReadFile(history), "new york\nboston\n");

    PressDownInEmptyKeywordBox(wxMOD_ALT);
    ASSERT_TRUE(WaitFor([&] { return window->recentSearches->IsShown(); }));
    PressKey(WXK_ESCAPE);
    EXPECT_FALSE(window->recentSearches->IsShown());
    EXPECT_EQ(window->keywordsBox->GetValue(), "");

    ASSERT_TRUE(ChooseFromMenu(window->keywordsBox, "Clear recent searches"));
    EXPECT_TRUE(WaitFor([&] { return ReadFile(history).empty() && fs::exists(history); }));
    PressDownInEmptyKeywordBox();
    EXPECT_TRUE(Never([&] { return window->recentSearches->IsShown(); }, 300ms));
}

// The program itself, started as a user would with keywords after the toolkit's own option.
TEST_F(RecentSearchesTest, KeywordsOnTheCommandLineAreSearchedOnceTheWindowIsUp) {
    TempFolder home{"scoutwell-home"};
    WriteFile(home.path / "config/scoutwell/engines.lst",
              "Altavista\nLycos\nInfoseek\nSavvy Search\nDogpile\n");
    wxExecuteEnv environment;
    wxGetEnvMap(&environment.env);
    for (const std::string folder : {"config", "data", "cache", "state"})
        environment.env["XDG_" + wxString(folder).Upper() + "_HOME"] = (home.path / folder).string();
    environment.env["HOME"] = home.path.string();
    environment.env["NO_AT_BRIDGE"] = "1";
    const wxString command = wxString(SCOUTWELL_PROGRAM) + " --display=" + wxGetenv("DISPLAY") + " new york";
    const long pid = wxExecute(command, wxEXEC_ASYNC, nullptr, &environment);
    ASSERT_GT(pid, 0);
    EXPECT_TRUE(Searched("new+york", 1, 60s)); // once in each pane
    EXPECT_TRUE(
        WaitFor([&] { return ReadFile(home.path / "state" / "scoutwell" / "history") == "new york\n"; }));
    wxKill(pid, wxSIGTERM);
    EXPECT_TRUE(WaitFor([pid] { return !wxProcess::Exists(pid); }));
}
