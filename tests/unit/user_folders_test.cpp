#include "failure.h"
#include "temp_folder.h"
#include "user_folders.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>

#include <pwd.h>
#include <unistd.h>

namespace fs = std::filesystem;

// Each case: the environment, and the folders found, the system data folders last.
TEST(XdgFolders, FollowTheEnvironmentAndFallBackToTheHomeFolder) {
    const passwd* entry = getpwuid(getuid());
    const std::string home = entry != nullptr ? entry->pw_dir : "";
    const std::pair<std::map<std::string, std::string>, std::string> cases[] = {
        {{{"HOME", "/h"}, {"XDG_CONFIG_HOME", "/c"}, {"XDG_DATA_HOME", "/d"}, {"XDG_DATA_DIRS", "/x:/y/"}},
         "/c /d /x /y/"},
        // Relative and empty values do not count; nor do empty or relative list entries.
        {{{"HOME", "/h"}, {"XDG_CONFIG_HOME", "rel"}, {"XDG_DATA_HOME", ""}, {"XDG_DATA_DIRS", "::rel:/z"}},
         "/h/.config /h/.local/share /z"},
        // No HOME: the password database's home folder.
        {{}, home + "/.config " + home + "/.local/share /usr/local/share/ /usr/share/"},
    };
    for (const auto& [environment, expected] : cases) {
        const XdgFolders folders =
            FindXdgFolders([&variables = environment](const char* name) -> const char* {
                const auto found = variables.find(name);
                return found == variables.end() ? nullptr : found->second.c_str();
            });
        std::string found =
            folders.configHome.value_or("none").string() + " " + folders.dataHome.value_or("none").string();
        for (const fs::path& folder : folders.dataDirs)
            found += " " + folder.string();
        EXPECT_EQ(found, expected);
    }
}

class UserFoldersTest : public testing::Test {
protected:
    void SetUp() override { fs::permissions(root, fs::perms::all); }
    TempFolder temp;
    const fs::path& root = temp.path;
};

// Save goes beside the program while that folder can be written, else to the user's folder; the start
// reads the file Save writes, else the other one.
TEST_F(UserFoldersTest, EngineSelectionLivesBesideAWritableProgramElseInTheUsersFolder) {
    const fs::path userFile = root / "config/scoutwell/engines.lst";
    const XdgFolders xdg{root / "config", std::nullopt, {}};
    // Program folders: two the user can write, one not; two with a file.
    const fs::path portable = root / "portable", empty = root / "empty", installed = root / "installed";
    for (const auto& folder : {portable, empty, installed, userFile.parent_path()}) {
        fs::create_directories(folder);
        if (folder == portable || folder == installed)
            WriteFile(folder / "engines.lst", "Yahoo\r\n");
        fs::permissions(folder, folder == installed ? fs::perms(0555) : fs::perms::all);
    }
    // The super-user may write anywhere: decide as an ordinary user.
    if (geteuid() == 0 && seteuid(65534) != 0)
        GTEST_SKIP() << "cannot act as an ordinary user here";
    // The program folder, whether the user's file exists, where Save goes and where the start reads.
    const std::tuple<fs::path, bool, fs::path, fs::path> cases[] = {
        {portable, true, portable / "engines.lst", portable / "engines.lst"},
        {empty, true, empty / "engines.lst", userFile},
        {empty, false, empty / "engines.lst", empty / "engines.lst"},
        {installed, false, userFile, installed / "engines.lst"},
        {installed, true, userFile, userFile},
    };
    for (const auto& [program, userExists, save, load] : cases) {
        userExists ? void(std::ofstream(userFile) << "Lycos\r\n") : void(fs::remove(userFile));
        EXPECT_EQ(EngineSelectionSaveFile(program, xdg), save);
        EXPECT_EQ(EngineSelectionLoadFile(program, xdg), load);
    }
    EXPECT_TRUE(getuid() != 0 || seteuid(0) == 0);
}

TEST_F(UserFoldersTest, TheUsersFolderIsMadePrivateOrItsFailureNamesIt) {
    const fs::path file = root / "config/scoutwell/engines.lst";
    PrepareFolderFor(file);
    PrepareFolderFor(file); // an existing folder is left alone
    EXPECT_EQ(fs::status(file.parent_path()).permissions(), fs::perms::owner_all);
    // XDG_CONFIG_HOME naming a file: the message names the folder that could not be made.
    std::ofstream(root / "a-file") << "x";
    try {
        PrepareFolderFor(root / "a-file/scoutwell/engines.lst");
        ADD_FAILURE() << "no failure";
    } catch (const ScoutwellError& error) {
        EXPECT_NE(std::string(error.what()).find((root / "a-file/scoutwell").string()), std::string::npos);
    }
}

TEST_F(UserFoldersTest, HelpIsTheFirstReadableCopyInTheSearchOrder) {
    const fs::path program = root / "prefix/bin";
    const XdgFolders xdg{std::nullopt, root / "data", {root / "sys1", root / "sys2"}};
    const std::vector<fs::path> order = {program / "help.rtf", root / "data/scoutwell/help.rtf",
                                         root / "sys1/scoutwell/help.rtf", root / "sys2/scoutwell/help.rtf",
                                         root / "prefix/share/scoutwell/help.rtf"};
    EXPECT_EQ(HelpDocumentCandidates(program, xdg), order);
    // Filled from the back, each new copy is the one found; a folder named help.rtf is no document.
    fs::create_directories(order[1]);
    for (auto place = order.rbegin(); place != order.rend(); ++place) {
        fs::create_directories(place->parent_path());
        if (!fs::exists(*place))
            std::ofstream(*place) << "{\\rtf1 }";
        EXPECT_EQ(FindHelpDocument(program, xdg), *place == order[1] ? order[2] : *place);
    }
}
