// Suggestions while typing: asked through the panes' proxy, shown under the keyword box, chosen by keyboard.

#include "keyword_suggestions.h"
#include "main_window_fixture.h"
#include "settings_file.h"
#include "suggestions_answer.h"

#include <wx/listbox.h>

#include <algorithm>

namespace {

std::string Description(const std::string& name, const std::string& host) {
    return "<OpenSearchDescription xmlns='http://a9.com/-/spec/opensearch/1.1/'><ShortName>" + name +
           "</ShortName><Url type='text/html' template='http://" + host +
           "/find?q={searchTerms}'/><Url type='application/x-suggestions+json' template='http://" + host +
           "/s?q={searchTerms}'/></OpenSearchDescription>";
}

const std::string Asked = "http://suggest.example/s?q=";

RecordingProxy::Response Serve(const std::string& url) {
    RecordingProxy::Response response{200, "application/x-suggestions+json", "", "", {}};
    const std::string words = url.starts_with(Asked) ? url.substr(Asked.size()) : "";
    if (words == "slow")
        response = {200, "application/json", R"(["slow",["slower"]])", "", 3000ms};
    else if (words == "huge")
        response.body = R"(["huge",[")" + std::string(MaxSuggestionsBytes, 'h') + R"("]])";
    else if (words == "gone")
        response.status = 404;
    else if (!words.empty())
        response.body = "[\"" + words + R"(",["cat","car","cab","cap","can","cam","caw","cay","cad"],[]])";
    else
        response = RecordingProxy::DefaultPage(url);
    return response;
}

class SuggestionsTest : public MainWindowTest {
protected:
    void SetUp() override {
        setenv("XDG_CONFIG_HOME", m_config.path.c_str(), 1);
        WriteFile(m_config.path / "scoutwell/engines/a.xml", Description("Suggest Test", "suggest.example"));
        WriteFile(m_config.path / "scoutwell/engines/b.xml", Description("Other Suggest", "other.example"));
        MainWindowTest::SetUp();
        TestProxy().SetResponder(Serve);
        StartAsTheProgramDoes();
        // The first pane's engine has no suggestions: the second pane's is asked, never the third's.
        window->engineChoosers[1]->SetValue(L"Suggest Test");
        window->engineChoosers[2]->SetValue(L"Other Suggest");
    }
    bool Requested(const std::string& url) const {
        return std::ranges::count(TestProxy().Requests(), url) > 0;
    }
    const KeywordListPopup& Popup() const { return window->suggestions->Popup(); }
    bool Undisturbed(const char* typed) const {
        return window->keywordsBox->GetValue() == typed && wxWindow::FindFocus() == window->keywordsBox;
    }

    TempFolder m_config{"scoutwell-config"};
};

} // namespace

TEST_F(SuggestionsTest, AreAskedShownChosenByKeyboardAndSearched) {
    ASSERT_TRUE(TypeInto(window->keywordsBox, "ca"));
    ASSERT_TRUE(WaitFor([&] { return Popup().IsShown(); }));
    EXPECT_TRUE(Requested(Asked + "ca"));
    EXPECT_EQ(Popup().Texts(),
              (std::vector<wxString>{"cat", "car", "cab", "cap", "can", "cam", "caw", "cay"})); // 8 at most

    PressKey(WXK_DOWN);
    PressKey(WXK_DOWN);
    EXPECT_TRUE(WaitFor([&] { return Popup().Selection() == 1; }));
    EXPECT_TRUE(Undisturbed("ca"));
    PressKey(WXK_RETURN);
    EXPECT_TRUE(WaitFor([&] { return Requested("http://suggest.example/find?q=car"); }));
    EXPECT_FALSE(Popup().IsShown());
    EXPECT_TRUE(Undisturbed("car"));

    // Typing on asks again; Escape closes the list and leaves the text.
    PressKey('t');
    ASSERT_TRUE(WaitFor([&] { return Popup().IsShown() && Requested(Asked + "cart"); }));
    PressKey(WXK_ESCAPE);
    EXPECT_TRUE(WaitFor([&] { return !Popup().IsShown(); }));
    EXPECT_TRUE(Undisturbed("cart"));
    for (const std::string& url : TestProxy().Requests())
        EXPECT_FALSE(url.starts_with("http://other.example/s")) << url;
}

// A malformed answer is the reader's own test.
TEST_F(SuggestionsTest, ASlowHugeOrFailedAnswerShowsNothing) {
    testing::internal::CaptureStderr();
    for (const char* words : {"slow", "huge", "gone"}) {
        ASSERT_TRUE(TypeInto(window->keywordsBox, words));
        EXPECT_TRUE(WaitFor([&] { return Requested(Asked + words); })) << words;
        EXPECT_TRUE(Never([&] { return Popup().IsShown(); }, 2500ms)) << words;
        EXPECT_TRUE(Undisturbed(words));
    }
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 3) << log;
}

TEST_F(SuggestionsTest, NoneAreAskedOnceTurnedOffAndTheChoiceIsKept) {
    window->suggestions->SetEnabled(false);
    ASSERT_TRUE(TypeInto(window->keywordsBox, "ca"));
    EXPECT_TRUE(Never([&] { return Requested(Asked + "ca"); }, 1000ms));
    EXPECT_EQ(ReadSetting(m_config.path / "scoutwell/settings", "suggest-while-typing"), "off");
}
