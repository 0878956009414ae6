#include "main_window_fixture.h"
#include "message_box_expectation.h"
#include "splash_window.h"

#include <csignal>
#include <fstream>

#include <sys/resource.h>
#include <unistd.h>

namespace {

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

// A full disk, and a folder the user may not write: an error box naming the
// file and the reason, and the old file kept byte for byte.
TEST_F(EngineSelectionTest, ASaveThatCannotWriteSaysSoAndKeepsTheOldFile) {
    std::ofstream(programFolder / "engines.lst", std::ios::binary) << "Lycos\r\n";
    for (const bool fullDisk : {true, false}) {
        SCOPED_TRACE(fullDisk ? "full disk" : "read-only folder");
        rlimit original{};
        getrlimit(RLIMIT_FSIZE, &original);
        rlimit full = original;
        full.rlim_cur = 0;
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        if (fullDisk)
            setrlimit(RLIMIT_FSIZE, &full);
        else
            std::filesystem::permissions(programFolder,
                                         std::filesystem::perms::owner_write |
                                             std::filesystem::perms::group_write |
                                             std::filesystem::perms::others_write,
                                         std::filesystem::perm_options::remove);
        const bool asRoot =
            !fullDisk && geteuid() == 0; // the super-user writes anywhere: be "nobody" a moment
        if (asRoot && seteuid(65534) != 0)
            GTEST_SKIP() << "cannot act as an ordinary user here";
        SeenMessageBox seen;
        wxTEST_DIALOG(window->OnSave(), ExpectMessageBox(&seen));
        if (asRoot) {
            ASSERT_EQ(seteuid(0), 0);
        }
        setrlimit(RLIMIT_FSIZE, &original);
        std::signal(SIGXFSZ, previousHandler);
        std::filesystem::permissions(programFolder, std::filesystem::perms::owner_all);

        EXPECT_TRUE(seen.message.Contains((programFolder / "engines.lst").wstring())) << seen.message;
        EXPECT_TRUE(seen.message.Contains(L"could not be saved")) << seen.message;
        EXPECT_TRUE(seen.style & wxICON_ERROR);
        EXPECT_EQ(ReadFile(), "Lycos\r\n");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(programFolder), {}), 1); // no leftovers
    }
}
