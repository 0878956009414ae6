// "Add search engine" from a page's context menu, through the real menu and fetch, and at the next start.

#include "engine_catalogue.h"
#include "engine_selection_file.h"
#include "main_window_fixture.h"
#include "opensearch_offer.h"

#include <wx/arrstr.h>

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

const std::string Description = "<OpenSearchDescription>"
                                "<ShortName>Site Search</ShortName><Url type='text/html' "
                                "template='http://site.example/find?q={searchTerms}&amp;n={count}'/>"
                                "</OpenSearchDescription>";

// http://site.example/page?href=H advertises the description at H.
RecordingProxy::Response Serve(const std::string& url) {
    const std::string page = "http://site.example/page?href=";
    RecordingProxy::Response response;
    if (url.starts_with(page))
        response.body = "<!doctype html><html><head><link rel='search' title='Site Search' "
                        "type='application/opensearchdescription+xml' href='" +
                        url.substr(page.size()) + "'></head><body><p>a page</p></body></html>";
    else if (url == "http://site.example/search.xml")
        response.body = Description;
    else if (url == "http://site.example/loop.xml")
        response = {302, "text/plain", "", "Location: /loop.xml\r\n"};
    else if (url == "http://site.example/huge.xml")
        response.body.assign(50 << 20, ' ');
    else if (!url.starts_with("http://site.example/find?"))
        response.status = 404;
    return response;
}

class AddedEngineTest : public MainWindowTest {
protected:
    void SetUp() override {
        setenv("XDG_CONFIG_HOME", m_config.c_str(), 1);
        MainWindowTest::SetUp();
        TestProxy().SetResponder(Serve);
        StartAsTheProgramDoes();
    }

    void AddFromPage(const std::string& href) {
        wxWebView* view = window->paneViews[2]->View();
        window->paneViews[2]->Navigate(L"http://site.example/page?href=" + wxString(href).ToStdWstring());
        const std::string address = href[0] == '/' ? "http://site.example" + href : href;
        ASSERT_TRUE(WaitFor([&] {
            const auto offered = AdvertisedEngines(view);
            return !offered.empty() && offered[0].address == wxString(address).ToStdWstring();
        }));
        ASSERT_TRUE(ChooseFromMenu(view, "Add search engine \u201cSite Search\u201d"));
    }

    std::vector<fs::path> UserFiles() const {
        std::error_code missing;
        return {fs::directory_iterator(m_config / "scoutwell/engines", missing), {}};
    }

    TempFolder m_temp{"scoutwell-config"};
    fs::path m_config = m_temp.path;
};

} // namespace

TEST_F(AddedEngineTest, APagesEngineJoinsEveryChooserSearchesAndComesBackAtTheNextStart) {
    const unsigned int before = window->engineChoosers[0]->GetCount();
    AddFromPage("/search.xml");
    ASSERT_TRUE(WaitFor([&] { return window->engineChoosers[4]->GetCount() == before + 1; }));
    for (wxComboBox* chooser : window->engineChoosers) // after the catalogue, in name order
        EXPECT_GT(chooser->FindString(L"Site Search", true), static_cast<int>(EngineCount) - 1);
    const auto files = UserFiles();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(ReadFile(files[0]), Description);

    window->engineChoosers[3]->ChangeValue(L" site SEARCH");
    window->keywordsBox->ChangeValue(L"new york");
    window->OnSearch();
    EXPECT_TRUE(watchers[3]->WaitUntilLoaded(L"http://site.example/find?q=new+york&n=20"));

    // A save that fails says so and names the file; the next one is confirmed.
    const fs::path selection = programFolder / EngineSelectionFileName;
    ASSERT_EQ(mkfifo(selection.c_str(), 0666), 0);
    SeenMessageBox seen;
    wxTEST_DIALOG(window->OnSave(), ExpectMessageBox(&seen));
    EXPECT_TRUE(seen.message.Contains(selection.wstring()) && (seen.style & wxICON_ERROR)) << seen.message;
    fs::remove(selection);
    wxTEST_DIALOG(window->OnSave(), wxExpectModal<wxMessageDialog>(wxOK));
    Restart();
    EXPECT_EQ(window->engineChoosers[3]->GetValue(), L" site SEARCH");
    for (wxComboBox* chooser : window->engineChoosers) {
        const wxString list = wxJoin(chooser->GetStrings(), '|');
        EXPECT_TRUE(list.Contains(L"|Metacrawler|") && list.Contains(L"|Site Search")) << list;
    }
}

TEST_F(AddedEngineTest, ARefusedDescriptionIsExplainedAndChangesNothing) {
    const std::pair<const char*, const wchar_t*> refusals[] = {
        {"/gone.xml", L"404"},
        {"http://elsewhere.example/search.xml", L"elsewhere.example"},
        {"/loop.xml", L""},
        {"/huge.xml", L"KB"}};
    const unsigned int listed = window->engineChoosers[0]->GetCount();
    for (const auto& [href, reason] : refusals) {
        SeenMessageBox seen;
        auto add = [&] {
            AddFromPage(href);
            WaitFor([&] { return !seen.message.empty(); }, 30000ms);
        };
        wxTEST_DIALOG(add(), ExpectMessageBox(&seen));
        EXPECT_TRUE(seen.message.Contains(L"Site Search") && seen.message.Contains(reason)) << seen.message;
        EXPECT_TRUE(seen.style & wxICON_ERROR);
        EXPECT_EQ(window->engineChoosers[0]->GetCount(), listed) << href;
        EXPECT_TRUE(UserFiles().empty()) << href;
    }
}
