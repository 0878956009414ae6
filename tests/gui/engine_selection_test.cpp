#include "main_window_fixture.h"
#include "splash_window.h"

#include <wx/msgdlg.h>
#include <wx/testing.h>

#include <fstream>

#include <unistd.h>

namespace {

// Expects one message box, records what it said and how, and dismisses it.
struct SeenMessageBox {
    wxString message, caption;
    long style = 0;
};

class ExpectMessageBox : public wxExpectModalBase<wxMessageDialog, ExpectMessageBox> {
public:
    explicit ExpectMessageBox(SeenMessageBox* seen) : m_seen(seen) {}

protected:
    int OnInvoked(wxMessageDialog* dialog) const override {
        *m_seen = {dialog->GetMessage(), dialog->GetTitle(), dialog->GetMessageDialogStyle()};
        return wxID_OK;
    }

private:
    SeenMessageBox* m_seen;
};

class EngineSelectionTest : public MainWindowTest {
protected:
    std::string ReadFile() const {
        std::ifstream in(programFolder / "engines.lst", std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    static void Load(MainWindow* into) {
        wxTEST_DIALOG(into->PrepareFirstShow(), wxExpectDismissableModal<SplashWindow>(wxID_OK));
    }
};

} // namespace

TEST_F(EngineSelectionTest, SavedChoicesComeBackAtTheNextStartExactly) {
    const wchar_t* texts[PaneCount] = {L"yahoo", L"altavista ", L"", L"my own engine", L"Caf\u00E9"};
    for (PaneIndex i = 0; i < PaneCount; ++i)
        window->engineChoosers[i]->ChangeValue(texts[i]);
    SeenMessageBox seen;
    wxTEST_DIALOG(window->OnSave(), ExpectMessageBox(&seen));
    EXPECT_EQ(seen.message, L"Search Engine settings saved.");
    EXPECT_EQ(seen.caption, L"Scoutwell");
    EXPECT_EQ(ReadFile(), "yahoo\r\naltavista \r\n\r\nmy own engine\r\nCaf\xC3\xA9\r\n");

    auto* next = new MainWindow(programFolder);
    Load(next);
    for (PaneIndex i = 0; i < PaneCount; ++i)
        EXPECT_EQ(next->engineChoosers[i]->GetValue(), texts[i]);
    next->Destroy();
}

// The error box names the file and the reason, and the old file stays byte for byte.
TEST_F(EngineSelectionTest, ASaveIntoAReadOnlyFolderSaysSoAndKeepsTheOldFile) {
    std::ofstream(programFolder / "engines.lst", std::ios::binary) << "Lycos\r\n";
    std::filesystem::permissions(programFolder, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    const bool asRoot = geteuid() == 0; // the super-user writes anywhere: be "nobody" a moment
    if (asRoot && seteuid(65534) != 0)
        GTEST_SKIP() << "cannot act as an ordinary user here";
    SeenMessageBox seen;
    wxTEST_DIALOG(window->OnSave(), ExpectMessageBox(&seen));
    if (asRoot) {
        ASSERT_EQ(seteuid(0), 0);
    }
    std::filesystem::permissions(programFolder, std::filesystem::perms::owner_all);
    EXPECT_TRUE(seen.message.Contains((programFolder / "engines.lst").wstring())) << seen.message;
    EXPECT_TRUE(seen.message.Contains(L"could not be saved")) << seen.message;
    EXPECT_TRUE(seen.style & wxICON_ERROR);
    EXPECT_EQ(ReadFile(), "Lycos\r\n");
}
