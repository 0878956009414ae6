#include "main_window_fixture.h"
#include "message_box_expectation.h"
#include "splash_window.h"

#include <wx/combobox.h>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

class EngineSelectionTest : public MainWindowTest {
protected:
    std::filesystem::path File() const { return programFolder / "engines.lst"; }

    void WriteFile(const std::string& bytes) const { std::ofstream(File(), std::ios::binary) << bytes; }

    std::string ReadFile() const {
        std::ifstream in(File(), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    std::vector<wxString> Choosers() const {
        std::vector<wxString> texts;
        for (auto* chooser : form->engineChoosers)
            texts.push_back(chooser->GetValue());
        return texts;
    }

    void Load() { wxTEST_DIALOG(form->PrepareFirstShow(), wxExpectDismissableModal<SplashWindow>(wxID_OK)); }
};

const std::vector<wxString> CreationTexts{L"Altavista", L"Lycos", L"Infoseek", L"Savvy Search", L"Dogpile"};

} // namespace

TEST_F(EngineSelectionTest, SavedChoicesComeBackAtTheNextStartExactly) {
    form->engineChoosers[0]->ChangeValue(L"yahoo");
    form->engineChoosers[1]->ChangeValue(L"altavista ");
    form->engineChoosers[2]->ChangeValue(L"");
    form->engineChoosers[3]->ChangeValue(L"my own engine");
    form->engineChoosers[4]->ChangeValue(L"Caf\u00E9");

    SeenMessageBox seen;
    wxTEST_DIALOG(form->OnSave(), ExpectMessageBox(&seen));
    EXPECT_EQ(seen.message, L"Search Engine settings saved.");
    EXPECT_EQ(seen.caption, L"Scoutwell");
    EXPECT_TRUE(seen.style & wxOK);
    EXPECT_FALSE(seen.style & (wxCANCEL | wxYES_NO | wxICON_ERROR | wxICON_WARNING | wxICON_INFORMATION));

    EXPECT_EQ(ReadFile(), "yahoo\r\naltavista \r\n\r\nmy own engine\r\nCaf\xC3\xA9\r\n");
    EXPECT_EQ(NewStart(),
              (std::vector<std::string>{"yahoo", "altavista ", "", "my own engine", "Caf\xC3\xA9"}));
}

TEST_F(EngineSelectionTest, WithNoFileTheChoosersKeepTheirTextsAndNothingIsSaid) {
    Load();
    EXPECT_EQ(Choosers(), CreationTexts);
}

TEST_F(EngineSelectionTest, EachLineGoesToItsChooserAsItStands) {
    WriteFile("Yahoo\nYahoo\rYahoo\r\nYahoo\r\nYahoo\r\n\r\n");
    Load();
    EXPECT_EQ(Choosers(), std::vector<wxString>(5, L"Yahoo"));

    // The same engine in all five panes: all five load its results.
    form->keywordsBox->ChangeValue("x");
    form->OnSearch();
    for (PaneIndex i = 0; i < PaneCount; ++i)
        EXPECT_TRUE(watchers[i]->WaitUntilLoaded(L"http://search.yahoo.com/bin/search?p=x")) << i;
}

TEST_F(EngineSelectionTest, AShortFileOfOtherSystemsTextSetsTheFirstPanesOnly) {
    WriteFile("altavista \r\ncaf\xE9\r\n");
    Load();
    EXPECT_EQ(Choosers(),
              (std::vector<wxString>{L"altavista ", L"caf\u00E9", L"Infoseek", L"Savvy Search", L"Dogpile"}));
    form->keywordsBox->ChangeValue("x");
    form->OnSearch();
    EXPECT_TRUE(watchers[0]->WaitUntilLoaded(
        L"http://www.altavista.com/cgi-bin/query?pg=q&kl=XX&stype=stext&q=x&search.x=11&search.y=10"));
}

TEST_F(EngineSelectionTest, ASaveThatCannotWriteSaysSoAndKeepsTheOldFile) {
    WriteFile("Lycos\r\nLycos\r\nLycos\r\nLycos\r\nLycos\r\n");
    const std::string before = ReadFile();

    // A full disk: no file may grow.
    rlimit original{};
    getrlimit(RLIMIT_FSIZE, &original);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit full = original;
    full.rlim_cur = 0;
    setrlimit(RLIMIT_FSIZE, &full);
    SeenMessageBox seen;
    wxTEST_DIALOG(form->OnSave(), ExpectMessageBox(&seen));
    setrlimit(RLIMIT_FSIZE, &original);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(seen.caption, L"Scoutwell");
    EXPECT_TRUE(seen.message.Contains(wxString(File().wstring()))) << seen.message;
    EXPECT_TRUE(seen.message.Contains(L"could not be saved")) << seen.message;
    EXPECT_TRUE(seen.style & wxICON_ERROR);
    EXPECT_EQ(ReadFile(), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(programFolder), {}), 1); // no leftovers
}

// An install the user cannot write: Save goes to the user's configuration
// folder, made when missing; when that cannot be made either (the variable
// names a file), the message names it and no file is touched.
TEST_F(EngineSelectionTest, ASaveBesideAReadOnlyProgramGoesToTheUsersFolderOrSaysWhyNot) {
    WriteFile("Lycos\r\n");
    namespace fs = std::filesystem;
    const fs::path users = fs::temp_directory_path() / ("scoutwell-users-" + std::to_string(getpid()));
    fs::create_directories(users);
    std::ofstream(users / "a-file") << "x";
    fs::permissions(users, fs::perms::all);
    fs::permissions(programFolder, fs::perms(0555));
    const std::string desktopConfig = std::getenv("XDG_CONFIG_HOME");
    const bool asRoot = geteuid() == 0; // the super-user writes anywhere: save as an ordinary user
    for (const auto& [configHome, saved] :
         {std::pair{users / "config", true}, std::pair{users / "a-file", false}}) {
        setenv("XDG_CONFIG_HOME", configHome.c_str(), 1);
        if (asRoot && seteuid(65534) != 0)
            GTEST_SKIP() << "cannot act as an ordinary user here";
        SeenMessageBox seen;
        wxTEST_DIALOG(form->OnSave(), ExpectMessageBox(&seen));
        if (asRoot) {
            ASSERT_EQ(seteuid(0), 0);
        }
        if (saved) {
            EXPECT_EQ(seen.message, L"Search Engine settings saved.");
            std::ifstream in(configHome / "scoutwell" / "engines.lst", std::ios::binary);
            EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}),
                      "Altavista\r\nLycos\r\nInfoseek\r\nSavvy Search\r\nDogpile\r\n");
        } else {
            EXPECT_TRUE(seen.message.Contains(wxString((configHome / "scoutwell").string()))) << seen.message;
            EXPECT_TRUE(seen.style & wxICON_ERROR);
        }
    }
    setenv("XDG_CONFIG_HOME", desktopConfig.c_str(), 1);
    fs::permissions(programFolder, fs::perms::owner_all);
    fs::remove_all(users);
    EXPECT_EQ(ReadFile(), "Lycos\r\n");
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
        wxTEST_DIALOG(form->OnSave(), ExpectMessageBox(&seen));
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
    wxTEST_DIALOG(form->OnSave(), ExpectMessageBox(&seen));
    EXPECT_TRUE(seen.message.Contains(L"not a regular file")) << seen.message;
    EXPECT_EQ(Entries(programFolder), before);
}
