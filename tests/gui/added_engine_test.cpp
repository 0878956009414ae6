// "Add search engine" from a page's context menu, through the real menu and a
// real fetch by the view, and the added engine at the next start.

#include "engine_catalogue.h"
#include "main_window_fixture.h"
#include "message_box_expectation.h"
#include "opensearch_offer.h"
#include "splash_window.h"

#include <fstream>

namespace fs = std::filesystem;

namespace {

const std::string Description = "<OpenSearchDescription xmlns='http://a9.com/-/spec/opensearch/1.1/'>"
                                "<ShortName>Site Search</ShortName><Url type='text/html' "
                                "template='http://site.example/find?q={searchTerms}&amp;n={count}'/>"
                                "</OpenSearchDescription>";

// http://site.example/page?href=H is a page advertising the description at H.
RecordingProxy::Response Serve(const std::string& url) {
    const std::string page = "http://site.example/page?href=";
    RecordingProxy::Response response;
    if (url.starts_with(page))
        response.body = "<!doctype html><html><head><link rel='search' title='Site Search' "
                        "type='application/opensearchdescription+xml' href='" +
                        url.substr(page.size()) + "'></head><body><p>a page</p></body></html>";
    else if (url == "http://site.example/search.xml")
        response.body = Description;
    else if (url == "http://site.example/feed.xml")
        response.body = "<rss version='2.0'><channel/></rss>";
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
        std::string pattern = (fs::temp_directory_path() / "scoutwell-config-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_config = pattern;
        setenv("XDG_CONFIG_HOME", m_config.c_str(), 1);
        MainWindowTest::SetUp();
        TestProxy().SetResponder(Serve);
        wxTEST_DIALOG(form->PrepareFirstShow(), wxExpectDismissableModal<SplashWindow>(wxID_OK));
        ShowAtOrigin();
        ASSERT_TRUE(WaitFor([&] { return form->AllEnginesListed(); }));
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        fs::remove_all(m_config);
        unsetenv("XDG_CONFIG_HOME");
    }

    // Opens the page in pane 2, right-clicks it and picks the menu's last
    // item, which is the page's "Add search engine".
    void AddFromPage(const std::string& href) {
        wxWebView* view = form->paneViews[2]->View();
        form->paneViews[2]->Navigate(L"http://site.example/page?href=" + wxString(href).ToStdWstring());
        const std::string address = href[0] == '/' ? "http://site.example" + href : href;
        ASSERT_TRUE(WaitFor([&] {
            const auto offered = AdvertisedEngines(view);
            return !offered.empty() && offered[0].address == wxString(address).ToStdWstring();
        }));
        const wxRect area = view->GetScreenRect();
        m_simulator.MouseMove(area.GetPosition() + area.GetSize() / 2);
        RunEventLoopFor(std::chrono::milliseconds(100));
        m_simulator.MouseClick(wxMOUSE_BTN_RIGHT);
        RunEventLoopFor(std::chrono::milliseconds(500));
        m_simulator.Char(WXK_UP);
        RunEventLoopFor(std::chrono::milliseconds(100));
        m_simulator.Char(WXK_RETURN);
    }

    std::vector<fs::path> UserFiles() const {
        std::error_code missing;
        return {fs::directory_iterator(m_config / "scoutwell/engines", missing), {}};
    }

    wxUIActionSimulator m_simulator;
    fs::path m_config;
};

} // namespace

TEST_F(AddedEngineTest, APagesEngineJoinsEveryChooserSearchesAndComesBackAtTheNextStart) {
    const unsigned int before = form->engineChoosers[0]->GetCount();
    AddFromPage("/search.xml");
    ASSERT_TRUE(WaitFor([&] { return form->engineChoosers[4]->GetCount() == before + 1; }));
    for (wxComboBox* chooser : form->engineChoosers) // after the catalogue, in name order
        EXPECT_GT(chooser->FindString(L"Site Search", true), static_cast<int>(EngineCount) - 1);
    const auto files = UserFiles();
    ASSERT_EQ(files.size(), 1u);
    std::ifstream saved(files[0], std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(saved), {}), Description);

    form->engineChoosers[3]->ChangeValue(L" site SEARCH");
    form->keywordsBox->ChangeValue(L"new york");
    form->OnSearch();
    EXPECT_TRUE(watchers[3]->WaitUntilLoaded(L"http://site.example/find?q=new+york&n=20"));

    wxTEST_DIALOG(form->OnSave(), wxExpectModal<wxMessageDialog>(wxOK));
    const auto lines = NewStart("--lists");
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[3], " site SEARCH");
    for (int i = 5; i < 10; ++i) {
        EXPECT_NE(lines[i].find("|Metacrawler|"), std::string::npos) << lines[i];
        EXPECT_NE(lines[i].find("|Site Search"), std::string::npos) << lines[i];
    }
}

TEST_F(AddedEngineTest, ARefusedDescriptionIsExplainedAndChangesNothing) {
    const std::pair<const char*, const wchar_t*> refusals[] = {
        {"/gone.xml", L"404"},        {"http://elsewhere.example/search.xml", L"elsewhere.example"},
        {"/loop.xml", L""},           {"/huge.xml", L"KB"},
        {"/feed.xml", L"OpenSearch"},
    };
    const unsigned int listed = form->engineChoosers[0]->GetCount();
    for (const auto& [href, reason] : refusals) {
        SeenMessageBox seen;
        auto add = [&] {
            AddFromPage(href);
            WaitFor([&] { return !seen.message.empty(); }, std::chrono::milliseconds(30000));
        };
        wxTEST_DIALOG(add(), ExpectMessageBox(&seen));
        EXPECT_TRUE(seen.message.Contains(L"Site Search") && seen.message.Contains(reason)) << seen.message;
        EXPECT_TRUE(seen.style & wxICON_ERROR);
        EXPECT_EQ(form->engineChoosers[0]->GetCount(), listed) << href;
        EXPECT_TRUE(UserFiles().empty()) << href;
    }
}
