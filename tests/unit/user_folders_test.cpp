#include "failure.h"
#include "user_folders.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <string>

#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using Environment = std::map<std::string, std::string>;

XdgFolders Find(const Environment& environment) {
    return FindXdgFolders([&](const char* name) -> const char* {
        const auto found = environment.find(name);
        return found == environment.end() ? nullptr : found->second.c_str();
    });
}

std::string PasswordHome() {
    const passwd* entry = getpwuid(getuid());
    return entry != nullptr && entry->pw_dir != nullptr ? entry->pw_dir : "";
}

// Runs what and returns its output, as the user "nobody" when this process is
// the super-user (who may write any folder), so that a folder without write
// permission really is one.
std::string AsOrdinaryUser(const std::function<std::string()>& what) {
    const passwd* nobody = getuid() == 0 ? getpwnam("nobody") : nullptr;
    if (getuid() != 0)
        return what();
    int pipeEnds[2];
    if (nobody == nullptr || pipe(pipeEnds) != 0)
        return "cannot drop privileges";
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        if (setgroups(0, nullptr) != 0 || setgid(nobody->pw_gid) != 0 || setuid(nobody->pw_uid) != 0)
            _exit(3);
        const std::string output = what();
        _exit(write(pipeEnds[1], output.data(), output.size()) == ssize_t(output.size()) ? 0 : 4);
    }
    close(pipeEnds[1]);
    std::string output;
    char buffer[4096];
    for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
        output.append(buffer, std::size_t(n));
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return output;
}

class UserFoldersTest : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "user-folders-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_root = pattern;
        fs::permissions(m_root, fs::perms::all);
    }
    void TearDown() override {
        std::error_code ignored;
        for (const auto& entry : fs::recursive_directory_iterator(m_root, ignored))
            fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(m_root, ignored);
    }
    fs::path m_root;
};

} // namespace

TEST(XdgFolders, FollowTheEnvironmentAndFallBackToTheHomeFolder) {
    const struct {
        Environment environment;
        std::string config, data;
        std::vector<fs::path> dataDirs;
    } cases[] = {
        {{{"HOME", "/home/a"},
          {"XDG_CONFIG_HOME", "/c"},
          {"XDG_DATA_HOME", "/d"},
          {"XDG_DATA_DIRS", "/x:/y/"}},
         "/c",
         "/d",
         {"/x", "/y/"}},
        // Relative and empty values do not count; empty list entries are skipped.
        {{{"HOME", "/home/a"},
          {"XDG_CONFIG_HOME", "rel"},
          {"XDG_DATA_HOME", ""},
          {"XDG_DATA_DIRS", "::rel:/z"}},
         "/home/a/.config",
         "/home/a/.local/share",
         {"/z"}},
        {{{"HOME", "/home/a"}, {"XDG_DATA_DIRS", ""}},
         "/home/a/.config",
         "/home/a/.local/share",
         {"/usr/local/share/", "/usr/share/"}},
        // No HOME: the password database's home folder.
        {{},
         PasswordHome() + "/.config",
         PasswordHome() + "/.local/share",
         {"/usr/local/share/", "/usr/share/"}},
    };
    for (const auto& c : cases) {
        const XdgFolders folders = Find(c.environment);
        EXPECT_EQ(folders.configHome.value_or("none"), c.config);
        EXPECT_EQ(folders.dataHome.value_or("none"), c.data);
        EXPECT_EQ(folders.dataDirs, c.dataDirs);
    }
}

// Save goes beside the program while that folder can be written, else to the
// user's folder; the start reads the file Save writes, falling back to the
// other place, so no file that exists is ever passed over for a missing one.
TEST_F(UserFoldersTest, EngineSelectionLivesBesideAWritableProgramElseInTheUsersFolder) {
    const struct {
        bool programWritable, besideExists, userExists;
        std::string save, load;
    } cases[] = {
        {true, true, false, "beside", "beside"},  {true, false, true, "beside", "user"},
        {true, false, false, "beside", "beside"}, {false, false, false, "user", "user"},
        {false, true, false, "user", "beside"},   {false, true, true, "user", "user"},
    };
    std::string expected;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        const fs::path program = m_root / std::to_string(i) / "bin",
                       config = m_root / std::to_string(i) / "config";
        fs::create_directories(program);
        fs::create_directories(config / "scoutwell");
        fs::permissions(config, fs::perms::all);
        fs::permissions(config / "scoutwell", fs::perms::all);
        if (c.besideExists)
            std::ofstream(program / "engines.lst") << "Yahoo\r\n";
        if (c.userExists)
            std::ofstream(config / "scoutwell" / "engines.lst") << "Lycos\r\n";
        fs::permissions(program, c.programWritable ? fs::perms::all : fs::perms(0555));
        fs::permissions(program / "..", fs::perms::all);
        expected += c.save + " " + c.load + "\n";
    }
    const std::string actual = AsOrdinaryUser([&] {
        std::string out;
        for (std::size_t i = 0; i < std::size(cases); ++i) {
            const fs::path program = m_root / std::to_string(i) / "bin";
            const XdgFolders xdg{m_root / std::to_string(i) / "config", std::nullopt, {}};
            const auto place = [&](const fs::path& file) -> std::string {
                if (file == program / "engines.lst")
                    return "beside";
                return file == *xdg.configHome / "scoutwell" / "engines.lst" ? "user" : file.string();
            };
            out += place(EngineSelectionSaveFile(program, xdg)) + " " +
                   place(EngineSelectionLoadFile(program, xdg)) + "\n";
        }
        return out;
    });
    EXPECT_EQ(actual, expected);
}

TEST_F(UserFoldersTest, TheUsersFolderIsMadePrivateOrItsFailureNamesIt) {
    const fs::path file = m_root / "config" / "scoutwell" / "engines.lst";
    PrepareFolderFor(file);
    EXPECT_EQ(fs::status(file.parent_path()).permissions(), fs::perms::owner_all);
    PrepareFolderFor(file); // an existing folder is left alone

    // XDG_CONFIG_HOME naming a file: the message names the folder that could not be made.
    std::ofstream(m_root / "a-file") << "x";
    const fs::path blocked = m_root / "a-file" / "scoutwell" / "engines.lst";
    try {
        PrepareFolderFor(blocked);
        ADD_FAILURE() << "no failure";
    } catch (const ScoutwellError& error) {
        EXPECT_NE(std::string(error.what()).find(blocked.parent_path().string()), std::string::npos)
            << error.what();
    }
}

TEST_F(UserFoldersTest, HelpIsTheFirstReadableCopyInTheSearchOrder) {
    const fs::path program = m_root / "prefix" / "bin";
    const XdgFolders xdg{std::nullopt, m_root / "data", {m_root / "sys1", m_root / "sys2"}};
    const std::vector<fs::path> order = {
        program / "help.rtf", m_root / "data/scoutwell/help.rtf", m_root / "sys1/scoutwell/help.rtf",
        m_root / "sys2/scoutwell/help.rtf", m_root / "prefix/share/scoutwell/help.rtf"};
    EXPECT_EQ(HelpDocumentCandidates(program, xdg), order);
    EXPECT_EQ(FindHelpDocument(program, xdg), std::nullopt);
    // Filled from the back: each new copy earlier in the order is the one found;
    // a folder named help.rtf is not a document.
    fs::create_directories(order[1]);
    for (auto place = order.rbegin(); place != order.rend(); ++place) {
        fs::create_directories(place->parent_path());
        if (!fs::exists(*place))
            std::ofstream(*place) << "{\\rtf1 }";
        EXPECT_EQ(FindHelpDocument(program, xdg), *place == order[1] ? order[2] : *place);
    }
}
