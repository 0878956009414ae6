#include "main_window_fixture.h"
#include "message_box_expectation.h"

#include <wx/msgdlg.h>
#include <wx/testing.h>

#include <algorithm>
#include <functional>

#include <sys/stat.h>
#include <unistd.h>

namespace {

class EngineSelectionTest : public MainWindowTest {
protected:
    std::filesystem::path File() const { return programFolder / "engines.lst"; }
};

} // namespace

// An install the user cannot write: Save goes to the user's folder, made when missing, and the old file
// beside the program stays.
TEST_F(EngineSelectionTest, ASaveBesideAReadOnlyProgramGoesToTheUsersFolder) {
    WriteFile(File(), "Lycos\r\n");
    namespace fs = std::filesystem;
    TempFolder users;
    fs::permissions(users.path, fs::perms::all);
    fs::permissions(programFolder, fs::perms(0555));
    const std::string desktopConfig = std::getenv("XDG_CONFIG_HOME");
    setenv("XDG_CONFIG_HOME", (users.path / "config").c_str(), 1);
    const bool asRoot = geteuid() == 0; // the super-user writes anywhere: save as an ordinary user
    if (asRoot && seteuid(65534) != 0)
        GTEST_SKIP() << "cannot act as an ordinary user here";
    SeenMessageBox seen;
    wxTEST_DIALOG(window->OnSave(), ExpectMessageBox(&seen));
    ASSERT_TRUE(!asRoot || seteuid(0) == 0);
    EXPECT_EQ(seen.message, L"Search Engine settings saved.");
    EXPECT_EQ(ReadFile(users.path / "config/scoutwell/engines.lst"),
              "Altavista\r\nLycos\r\nInfoseek\r\nSavvy Search\r\nDogpile\r\n");
    setenv("XDG_CONFIG_HOME", desktopConfig.c_str(), 1);
    fs::permissions(programFolder, fs::perms::owner_all);
    EXPECT_EQ(ReadFile(File()), "Lycos\r\n");
}

// Devices and sockets fail as a FIFO does: whatever is not a regular file, followed through links.
TEST_F(EngineSelectionTest, OnlyARegularFileIsEverReplacedAndAnythingElseIsNamedInTheErrorBox) {
    namespace fs = std::filesystem;
    const fs::path other = programFolder / "other";
    const auto state = [&] { // no file added or removed, nothing replaced
        return std::tuple{std::distance(fs::directory_iterator(programFolder), {}),
                          fs::symlink_status(File()).type(), fs::symlink_status(other).type()};
    };
    // What is made in place of the file, or at the end of a link in its place.
    const std::pair<std::string, bool> cases[] = {
        {"FIFO", false}, {"FIFO", true}, {"folder", true}, {"nothing", true}, {"link back", true}};
    for (const auto& [made, linked] : cases) {
        const fs::path at = linked ? other : File();
        if (made == "FIFO") {
            ASSERT_EQ(mkfifo(at.c_str(), 0666), 0);
        }
        if (made == "folder")
            fs::create_directory(at);
        if (made == "link back")
            fs::create_symlink(File(), at);
        if (linked)
            fs::create_symlink(other, File());
        const std::string name = made + (linked ? " behind a link" : "");
        const auto before = state();
        SeenMessageBox seen;
        wxTEST_DIALOG(window->OnSave(), ExpectMessageBox(&seen));
        EXPECT_TRUE(seen.message.Contains(L"could not be saved to " + File().wstring()) &&
                    (seen.style & wxICON_ERROR))
            << name << seen.message;
        EXPECT_EQ(state(), before) << name;
        fs::remove_all(other);
        fs::remove(File());
    }
}
