#include "engine_catalogue.h"
#include "main_window_fixture.h"
#include "popup_menu.h"

#include <gtk/gtk.h>
#include <wx/listbox.h>
#include <wx/process.h>
#include <wx/utils.h>

#include <algorithm>
#include <signal.h>
#include <stdlib.h>

namespace fs = std::filesystem;

namespace {

// A main window whose recent searches are kept in a state folder of the test's own.
class RecentSearchesTest : public MainWindowTest {
protected:
    RecentSearchesTest() { setenv("XDG_STATE_HOME", state.path.c_str(), 1); }

    // A new start: the old window goes and a new one reads the same folders.
    void Restart() {
        window->Destroy();
        ASSERT_TRUE(WaitFor([] { return wxTopLevelWindows.empty(); }));
        window = new MainWindow(programFolder);
        for (PaneIndex i = 0; i < PaneCount; ++i)
            watchers[i] = std::make_unique<LoadWatcher>(window->paneViews[i]->View());
        ShowAtOrigin();
    }

    bool Searched(const char* encoded, std::size_t times = 1) {
        return WaitFor([&] {
            return std::ranges::count_if(TestProxy().Requests(), [&](const std::string& url) {
                       return url.find(encoded) != std::string::npos;
                   }) == static_cast<std::ptrdiff_t>(times * PaneCount);
        });
    }

    std::vector<wxString> Listed() const {
        const wxListBox* list = window->recentSearches->List();
        std::vector<wxString> rows;
        for (unsigned row = 0; row < list->GetCount(); ++row)
            rows.push_back(list->GetString(row));
        return rows;
    }

    TempFolder state{"scoutwell-state"};
    fs::path history = state.path / "scoutwell" / "history";
};

} // namespace

TEST_F(RecentSearchesTest, SearchesAreKeptAcrossAStartAndDownListsThemToChooseByKey) {
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
    EXPECT_TRUE(Never([&] { return window->recentSearches->IsShown(); }, std::chrono::milliseconds(300)));
    window->keywordsBox->Clear();
    window->keywordsBox->SetFocus();
    PressKey(WXK_DOWN);
    ASSERT_TRUE(WaitFor([&] { return window->recentSearches->IsShown(); }));
    EXPECT_EQ(Listed(), (std::vector<wxString>{"boston", "new york"}));
    EXPECT_TRUE(window->keywordsBox->HasFocus());
    PressKey(WXK_DOWN);
    PressKey(WXK_DOWN);
    PressKey(WXK_RETURN);
    EXPECT_TRUE(Searched("new+york", 2));
    EXPECT_EQ(window->keywordsBox->GetValue(), "new york");
    EXPECT_FALSE(window->recentSearches->IsShown());
    EXPECT_EQ(ReadFile(history), "new york\nboston\n");

    window->keywordsBox->Clear();
    window->keywordsBox->SetFocus();
    PressKey(WXK_DOWN, wxMOD_ALT);
    ASSERT_TRUE(WaitFor([&] { return window->recentSearches->IsShown(); }));
    PressKey(WXK_ESCAPE);
    EXPECT_FALSE(window->recentSearches->IsShown());
    EXPECT_EQ(window->keywordsBox->GetValue(), "");
}

TEST_F(RecentSearchesTest, TheKeywordBoxsMenuClearsTheListAndTheFile) {
    WriteFile(history, "one\ntwo\n");
    ShowAtOrigin();
    const wxRect box = window->keywordsBox->GetScreenRect();
    ASSERT_TRUE(ChooseFromMenuAt(box.GetPosition() + box.GetSize() / 2, "Clear recent searches"));
    EXPECT_TRUE(WaitFor([&] { return ReadFile(history).empty() && fs::exists(history); }));
    window->keywordsBox->SetFocus();
    PressKey(WXK_DOWN);
    EXPECT_TRUE(Never([&] { return window->recentSearches->IsShown(); }, std::chrono::milliseconds(300)));
}

// The program itself, started as a user would with keywords after the toolkit's own option.
TEST_F(RecentSearchesTest, KeywordsOnTheCommandLineAreSearchedOnceTheWindowIsUp) {
    TempFolder home{"scoutwell-home"};
    const PaneArray<const wchar_t*> engines = {L"Altavista", L"Lycos", L"Infoseek", L"Savvy Search",
                                               L"Dogpile"};
    std::string selection;
    std::vector<std::string> expected;
    for (const wchar_t* engine : engines) {
        selection += wxString(engine).utf8_string() + "\n";
        const wxString url(BuildQueryUrl(*FindEngine(MakeEngineKey(engine)), L"new+york"));
        expected.push_back(url.utf8_string());
    }
    WriteFile(home.path / "config" / "scoutwell" / "engines.lst", selection);
    wxExecuteEnv environment;
    wxGetEnvMap(&environment.env);
    for (const char* folder : {"config", "data", "cache", "state"}) {
        const wxString name = wxString("XDG_") + wxString(folder).Upper() + "_HOME";
        environment.env[name] = wxString((home.path / folder).string());
    }
    environment.env["HOME"] = wxString(home.path.string());
    environment.env["NO_AT_BRIDGE"] = "1";
    const wxString display = wxGetenv("DISPLAY");
    const wxString command = wxString(SCOUTWELL_PROGRAM) + " --display=" + display + " new york";
    const long pid = wxExecute(command, wxEXEC_ASYNC, nullptr, &environment);
    ASSERT_GT(pid, 0);
    const auto pages = [] {
        std::vector<std::string> urls;
        std::ranges::copy_if(TestProxy().Requests(), std::back_inserter(urls),
                             [](const std::string& url) { return !url.ends_with("favicon.ico"); });
        return urls;
    };
    EXPECT_TRUE(WaitFor([&] { return pages().size() >= PaneCount; }, std::chrono::seconds(60)));
    auto urls = pages();
    std::ranges::sort(urls);
    std::ranges::sort(expected);
    EXPECT_EQ(urls, expected);
    EXPECT_TRUE(
        WaitFor([&] { return ReadFile(home.path / "state" / "scoutwell" / "history") == "new york\n"; }));
    wxKill(pid, wxSIGTERM);
    EXPECT_TRUE(WaitFor([pid] { return !wxProcess::Exists(pid); }));
}
