#include "main_window_fixture.h"
#include "message_box_expectation.h"

#include <wx/msgdlg.h>
#include <wx/testing.h>

#include <algorithm>
#include <functional>

#include <sys/stat.h>
#include <sys/sysmacros.h>
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
    EXPECT_EQ(seen.caption, L"Scoutwell");
    EXPECT_EQ(ReadFile(users.path / "config/scoutwell/engines.lst"),
              "Altavista\r\nLycos\r\nInfoseek\r\nSavvy Search\r\nDogpile\r\n");
    setenv("XDG_CONFIG_HOME", desktopConfig.c_str(), 1);
    fs::permissions(programFolder, fs::perms::owner_all);
    EXPECT_EQ(ReadFile(File()), "Lycos\r\n");
}

namespace {

// Every entry of a folder with its kind, where a link points and a device's numbers.
std::vector<std::string> Entries(const std::filesystem::path& folder) {
    std::vector<std::string> entries;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        struct stat info {};
        lstat(entry.path().c_str(), &info);
        std::string link = entry.is_symlink() ? std::filesystem::read_symlink(entry.path()).string() : "";
        entries.push_back(entry.path().filename().string() + " " + std::to_string(info.st_mode) + " " +
                          std::to_string(info.st_rdev) + " " + link);
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

} // namespace

TEST_F(EngineSelectionTest, OnlyARegularFileIsEverReplacedAndAnythingElseIsNamedInTheErrorBox) {
    namespace fs = std::filesystem;
    const fs::path other = programFolder / "other";
    // Each makes what the link points at; false when this user may not make it.
    const std::vector<std::pair<const char*, std::function<bool()>>> cases = {
        {"link to a device", [&] { return mknod(other.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0; }},
        {"link to a FIFO", [&] { return mkfifo(other.c_str(), 0666) == 0; }},
        {"link to a socket", [&] { return mknod(other.c_str(), S_IFSOCK | 0666, 0) == 0; }},
        {"link to a folder", [&] { return fs::create_directory(other); }},
        {"dangling link", [] { return true; }},
        {"loop of links", [&] { return fs::create_symlink(File(), other), true; }},
    };
    for (const auto& [name, make] : cases) {
        if (!make()) {
            EXPECT_EQ(std::string(name), "link to a device") << "could not make the " << name;
            continue;
        }
        fs::create_symlink(other, File());
        const auto before = Entries(programFolder);
        SeenMessageBox seen;
        wxTEST_DIALOG(window->OnSave(), ExpectMessageBox(&seen));
        EXPECT_TRUE(seen.message.Contains(L"could not be saved to " + File().wstring()))
            << name << seen.message;
        EXPECT_TRUE(seen.style & wxICON_ERROR) << name;
        EXPECT_EQ(Entries(programFolder), before) << name;
        fs::remove_all(other);
        fs::remove(File());
    }
    // The same kinds in place of the file itself.
    ASSERT_EQ(mkfifo(File().c_str(), 0666), 0);
    const auto before = Entries(programFolder);
    SeenMessageBox seen;
    wxTEST_DIALOG(window->OnSave(), ExpectMessageBox(&seen));
    EXPECT_TRUE(seen.message.Contains(L"not a regular file")) << seen.message;
    EXPECT_EQ(Entries(programFolder), before);
}
