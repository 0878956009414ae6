#include "keyword_suggestions.h"

#include "failure.h"
#include "main_window.h"
#include "run_mode.h"
#include "settings_file.h"
#include "suggestion_fetch.h"
#include "suggestions_answer.h"
#include "text_menu.h"

#include <wx/combobox.h>
#include <wx/textctrl.h>

#include <algorithm>

namespace {

// Long enough that a word typed at speed asks once, short enough that the
// list comes while the user still looks at the box.
constexpr int TypingPauseMs = 250;
constexpr std::chrono::milliseconds AnswerTimeLimit{2000};
constexpr const char* SettingName = "suggest-while-typing";

void Report(const std::string& why) {
    IgnoreFailure([&] { throw ScoutwellError("no suggestions: " + why); });
}

} // namespace

KeywordSuggestions::KeywordSuggestions(MainWindow& window)
    : m_window(window), m_popup(window.keywordsBox, L"Suggestions", [this](const wxString& text) {
          m_window.keywordsBox->ChangeValue(text);
          m_window.keywordsBox->SetInsertionPointEnd();
          Stop();
          m_window.OnSearch();
      }) {
    IgnoreFailure([this] {
        if (const auto file = UserSettingsFile())
            m_enabled = ReadSetting(*file, SettingName).value_or("on") != "off";
    });
    m_window.keywordsBox->Bind(wxEVT_TEXT, &KeywordSuggestions::OnText, this);
    m_window.keywordsBox->Bind(wxEVT_KEY_DOWN, &KeywordSuggestions::OnKey, this);
    m_pause.Bind(wxEVT_TIMER, [this](wxTimerEvent&) { IgnoreFailure([this] { OnPause(); }); });
    m_menuItems = ExtendTextMenu(m_window.keywordsBox, [this] {
        std::vector<TextMenuItem> items;
        if (!IsPrivateRun())
            items.push_back({L"Suggest while typing", Enabled(), [this] { SetEnabled(!Enabled()); }});
        return items;
    });
}

KeywordSuggestions::~KeywordSuggestions() {
    m_pause.Stop();
    RemoveTextMenuExtension(m_window.keywordsBox, m_menuItems);
    m_window.keywordsBox->Unbind(wxEVT_TEXT, &KeywordSuggestions::OnText, this);
    m_window.keywordsBox->Unbind(wxEVT_KEY_DOWN, &KeywordSuggestions::OnKey, this);
}

void KeywordSuggestions::OnText(wxCommandEvent& event) {
    IgnoreFailure([this] { OnTyped(); });
    event.Skip();
}

// Enter searches what is in the box: a list still to come is too late. (A
// completion chosen in the list is the list's to search.)
void KeywordSuggestions::OnKey(wxKeyEvent& event) {
    if ((event.GetKeyCode() == WXK_RETURN || event.GetKeyCode() == WXK_NUMPAD_ENTER) &&
        m_popup.Selection() == wxNOT_FOUND)
        Stop();
    event.Skip();
}

bool KeywordSuggestions::Enabled() const {
    return m_enabled && !IsPrivateRun();
}

void KeywordSuggestions::SetEnabled(bool enabled) {
    m_enabled = enabled;
    if (!enabled)
        Stop();
    const auto file = UserSettingsFile();
    if (!file)
        throw ScoutwellError("there is no folder for the settings");
    WriteSetting(*file, SettingName, enabled ? "on" : "off");
}

void KeywordSuggestions::Stop() {
    m_pause.Stop();
    if (m_fetch)
        m_fetch->Cancel();
    m_popup.Close();
}

void KeywordSuggestions::OnTyped() {
    Stop();
    if (Enabled() && !m_window.keywordsBox->IsEmpty())
        m_pause.StartOnce(TypingPauseMs);
}

void KeywordSuggestions::OnPause() {
    wxTextCtrl* box = m_window.keywordsBox;
    if (!Enabled() || box->IsEmpty() || wxWindow::FindFocus() != box)
        return;
    const wxString keywords = box->GetValue();
    std::wstring address;
    for (PaneIndex i = 0; i < PaneCount && address.empty(); ++i) {
        const OpenSearchEngine* engine =
            m_window.AddedEngineList().Find(m_window.engineChoosers[i]->GetValue().ToStdWstring());
        if (engine != nullptr)
            address = BuildSuggestionsUrl(*engine, keywords.ToStdWstring());
    }
    if (address.empty())
        return;
    if (!m_fetch)
        m_fetch = std::make_unique<SuggestionFetch>(m_window.paneViews[0]->View(), MaxSuggestionsBytes,
                                                    AnswerTimeLimit);
    m_fetch->Ask(
        wxString(address).utf8_string(),
        [this, keywords](const std::string& answer) { IgnoreFailure([&] { Show(answer, keywords); }); },
        Report);
}

void KeywordSuggestions::Show(const std::string& answer, const wxString& asked) {
    const std::vector<std::wstring> completions = ReadSuggestions(answer);
    wxTextCtrl* box = m_window.keywordsBox;
    if (box->GetValue() != asked || wxWindow::FindFocus() != box || !Enabled())
        return;
    std::vector<wxString> shown;
    for (const std::wstring& completion : completions)
        if (shown.size() < MaxShown)
            shown.emplace_back(completion);
    m_popup.Show(shown);
}
