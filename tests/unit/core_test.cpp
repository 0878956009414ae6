#include "child_processes.h"
#include "code_pages.h"
#include "failure.h"
#include "file_io.h"
#include "temp_folder.h"
#include "twips.h"
#include "web_address.h"
#include "xdg_folders.h"

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <fstream>
#include <functional>
#include <limits>
#include <map>
#include <sstream>

#include <pwd.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string Failure(const std::function<void()>& step) { // the message, "" when it did not fail
    try {
        step();
        return "";
    } catch (const ScoutwellError& error) {
        return error.what();
    }
}

} // namespace

TEST(Utf8, DecodesOnlyValidUtf8AndEncodesAnyText) {
    for (const auto& [bytes, text] : std::initializer_list<std::pair<std::string, std::wstring>>{
             {std::string("a\0b", 3), std::wstring(L"a\0b", 3)},
             {"\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF", L"\u007F\u0080\u07FF\u0800\uFFFF"},
             {"\xF0\x90\x80\x80\xF4\x8F\xBF\xBF", L"\U00010000\U0010FFFF"}}) {
        EXPECT_EQ(DecodeUtf8(bytes), text);
        EXPECT_EQ(EncodeUtf8(text), bytes);
    }
    // A lone continuation; overlong in 2, 3, 4 bytes; a surrogate; past U+10FFFF; cut short; one missing.
    for (const char* bad : {"\x80", "\xC0\xAF", "\xE0\x9F\xBF", "\xF0\x8F\xBF\xBF", "\xED\xA0\x80",
                            "\xF4\x90\x80\x80", "\xE2\x82", "\xE2\x28\xA1", "\xFF"})
        EXPECT_FALSE(DecodeUtf8(bad)) << testing::PrintToString(std::string(bad));
    // A lone surrogate cannot be written as UTF-8: it becomes U+FFFD.
    EXPECT_EQ(EncodeUtf8(std::wstring{L'a', wchar_t(0xD800), L'b'}), "a\uFFFDb");
}

TEST(WebAddress, OnlyHttpAndHttpsWithSomethingAfterTheScheme) {
    for (const wchar_t* yes : {L"http://a", L"HTTPS://example.com/x", L"hTtP://x"})
        EXPECT_TRUE(IsWebAddress(yes)) << yes;
    for (const wchar_t* no : {L"http://", L"https:/x", L"ftp://a", L"file:///etc/passwd", L"javascript:1",
                              L" http://a", L"", L"http\u0130://a"})
        EXPECT_FALSE(IsWebAddress(no)) << no;
}

TEST(Twips, WholeTwipsRoundHalvesToEvenAndWhatNoWindowCanTakeIsRefused) {
    EXPECT_TRUE(WholeTwips(2.5f) == 2 && WholeTwips(3.5f) == 4);
    for (const float bad : {std::nanf(""), std::numeric_limits<float>::infinity(), 1e12f, -1e12f}) {
        EXPECT_THROW(TwipsToPixels(bad), ScoutwellError) << bad;
        EXPECT_THROW(WholeTwips(bad), ScoutwellError) << bad;
    }
}

class FileTest : public testing::Test {
protected:
    std::size_t Entries() const { return std::distance(fs::directory_iterator(root), {}); }
    TempFolder temp;
    const fs::path& root = temp.path;
};

TEST_F(FileTest, OnlyARegularFileIsReadAndOnlyUpToTheBound) {
    // A FIFO without a writer would block an ordinary open for ever.
    ASSERT_EQ(::mkfifo((root / "fifo").c_str(), 0600), 0);
    const std::pair<fs::path, std::string> refused[] = {{root / "fifo", "it is not a regular file"},
                                                        {root, "it is not a regular file"},
                                                        {root / "none", "it cannot be opened ("}};
    for (const auto& [path, reason] : refused)
        EXPECT_EQ(Failure([&file = path] { OpenRegularFile(file); }).rfind(reason, 0), 0u) << path;

    std::string big(200000, 'x');
    big.back() = 'y';
    // Each case: the file's size, the bound, and whether it is cut.
    const std::tuple<std::size_t, std::size_t, bool> cases[] = {
        {0, 5, false}, {5, 5, false}, {6, 5, true}, {200000, 150000, true}, {200000, 200000, false}};
    for (const auto& [size, bound, cut] : cases) {
        WriteFile(root / "file", big.substr(big.size() - size));
        const FileStart start = ReadAtMost(OpenRegularFile(root / "file"), bound);
        EXPECT_EQ(start.bytes, big.substr(big.size() - size, bound)) << size << " " << bound;
        EXPECT_EQ(start.cut, cut) << size << " " << bound;
    }
}

// Through a link its file is replaced, mode kept; only a regular file is, and a refusal leaves no entry.
TEST_F(FileTest, ReplacingKeepsTheModeAndTheLinkAndRefusesWhatIsNoRegularFile) {
    WriteFile(root / "real", "old");
    fs::permissions(root / "real", fs::perms(0640));
    fs::create_symlink("real", root / "link");
    ReplaceFile(root / "link", "new");
    EXPECT_TRUE(ReadFile(root / "real") == "new" && fs::is_symlink(root / "link"));
    EXPECT_EQ(fs::status(root / "real").permissions(), fs::perms(0640));
    const fs::path file = root / "file", other = root / "other";
    std::error_code loop;
    const std::function<void()> makers[] = {
        [&] { ::mkfifo(file.c_str(), 0666); }, [&] { ::mkfifo(other.c_str(), 0666); },
        [&] { fs::create_directory(other); }, [] {}, [&] { fs::create_symlink(file, other); }};
    for (std::size_t n = 0; n < std::size(makers); ++n) {
        makers[n]();
        if (n > 0)
            fs::create_symlink(other, file);
        const std::size_t entries = Entries();
        EXPECT_NE(Failure([&] { ReplaceFile(file, "x"); }), "") << n;
        EXPECT_TRUE(Entries() == entries && !fs::is_regular_file(file, loop)) << n;
        fs::remove_all(other);
        fs::remove(file);
    }
}

TEST_F(FileTest, ANewFileIsMadeOnlyWhereNothingIsAndIsRemovedWhenItCannotBeWritten) {
    EXPECT_TRUE(CreateNewFile(root / "a", "first"));
    EXPECT_FALSE(CreateNewFile(root / "a", "second"));
    fs::create_symlink(root / "target", root / "dangling");
    EXPECT_FALSE(CreateNewFile(root / "dangling", "x")); // a link is never followed
    EXPECT_TRUE(ReadFile(root / "a") == "first" && !fs::exists(root / "target"));
    EXPECT_NE(Failure([&] {
                  CreateNewFile(root / "no/b", "x");
              }).find((root / "no/b").string() + " cannot be made"),
              std::string::npos);

    WriteFile(root / "old", "kept");
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit small{20, saved.rlim_max}; // the write fails part-way, as on a full disk
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string fullDisk = Failure([&] { CreateNewFile(root / "c", std::string(100, 'x')); });
    const std::string replacing = Failure([&] { ReplaceFile(root / "old", std::string(100, 'x')); });
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_NE(fullDisk.find((root / "c").string() + " cannot be written"), std::string::npos) << fullDisk;
    EXPECT_FALSE(fs::exists(root / "c"));
    EXPECT_TRUE(!replacing.empty() && ReadFile(root / "old") == "kept" &&
                Entries() == 3); // no temporary left
}

// Each case: the environment, and the folders found in the order of XdgFolders' members.
TEST(XdgFolders, FollowTheEnvironmentAndFallBackToTheHomeFolder) {
    std::string buffer(16384, '\0');
    passwd entry{};
    passwd* found = nullptr;
    const std::string home =
        getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found ? found->pw_dir : "";
    const std::pair<std::string, std::string> cases[] = {
        {"HOME=/h XDG_CONFIG_HOME=/c XDG_DATA_HOME=/d XDG_STATE_HOME=/s XDG_CONFIG_DIRS=/e "
         "XDG_DATA_DIRS=/x:/y/",
         "/h /c /d /s |/e |/x /y/ "},
        // Relative and empty values do not count; nor do empty or relative list entries.
        {"HOME=/h XDG_CONFIG_HOME=rel XDG_DATA_HOME= XDG_CONFIG_DIRS=rel XDG_DATA_DIRS=::rel:/z",
         "/h /h/.config /h/.local/share /h/.local/state ||/z "},
        // No HOME, or a relative one: the password database's home folder.
        {"HOME=rel", home + " " + home + "/.config " + home + "/.local/share " + home +
                         "/.local/state |/etc/xdg |/usr/local/share/ /usr/share/ "},
    };
    for (const auto& [environment, expected] : cases) {
        std::map<std::string, std::string> variables;
        std::istringstream words(environment);
        for (std::string word; words >> word;)
            variables[word.substr(0, word.find('='))] = word.substr(word.find('=') + 1);
        const XdgFolders folders = FindXdgFolders([&](const char* name) -> const char* {
            const auto value = variables.find(name);
            return value == variables.end() ? nullptr : value->second.c_str();
        });
        std::string text;
        for (const auto& folder : {folders.home, folders.configHome, folders.dataHome, folders.stateHome})
            text += folder.value_or("none").string() + " ";
        for (const auto& list : {folders.configDirs, folders.dataDirs}) {
            text += "|";
            for (const fs::path& folder : list)
                text += folder.string() + " ";
        }
        EXPECT_EQ(text, expected);
    }
}

TEST_F(FileTest, AFolderReachedByTwoRoutesCountsOnce) {
    fs::create_directories(root / "a/b");
    fs::create_symlink(root / "a", root / "link");
    const std::vector<fs::path> folders = {root / "a",       root / "link",    root / "a/b/..", root / "a/b",
                                           root / "missing", root / "missing", root / "link/b"};
    EXPECT_EQ(DistinctFolders(folders), (std::vector<fs::path>{root / "a", root / "a/b", root / "missing"}));
}

TEST_F(FileTest, TheUsersFolderIsMadePrivateOrItsFailureNamesIt) {
    const fs::path file = root / "config/scoutwell/engines.lst";
    PrepareFolderFor(file);
    PrepareFolderFor(file); // an existing folder is left alone
    EXPECT_EQ(fs::status(file.parent_path()).permissions(), fs::perms::owner_all);
    // XDG_CONFIG_HOME naming a file: the message names the folder that could not be made.
    std::ofstream(root / "a-file") << "x";
    EXPECT_NE(Failure([&] {
                  PrepareFolderFor(root / "a-file/scoutwell/engines.lst");
              }).find((root / "a-file/scoutwell").string()),
              std::string::npos);
}

TEST_F(FileTest, HelpIsTheFirstReadableCopyInTheSearchOrder) {
    const fs::path program = root / "prefix/bin";
    const XdgFolders xdg{std::nullopt, std::nullopt, root / "data",
                         std::nullopt, {},           {root / "sys1", root / "sys2"}};
    const std::vector<fs::path> order = {program / "help.rtf", root / "data/scoutwell/help.rtf",
                                         root / "sys1/scoutwell/help.rtf", root / "sys2/scoutwell/help.rtf",
                                         root / "prefix/share/scoutwell/help.rtf"};
    // Filled from the back, each new copy is the one found; a folder named help.rtf is no document.
    fs::create_directories(order[1]);
    for (auto place = order.rbegin(); place != order.rend(); ++place) {
        fs::create_directories(place->parent_path());
        if (!fs::exists(*place))
            std::ofstream(*place) << "{\\rtf1 }";
        EXPECT_EQ(FindHelpDocument(program, xdg), *place == order[1] ? order[2] : *place);
    }
}

// Each child running the program is counted once with its resident size; others and grandchildren are not.
TEST(ChildProcesses, EachChildOfTheProgramIsCountedWithItsResidentMemory) {
    const auto start = [](std::vector<const char*> command) {
        command.push_back(nullptr);
        pid_t pid = 0;
        posix_spawnp(&pid, command[0], nullptr, nullptr, const_cast<char* const*>(command.data()), environ);
        return pid;
    };
    // The third child is not "sleep" itself, but it starts a "sleep" of its own.
    const std::vector<pid_t> children = {start({"sleep", "30"}), start({"sleep", "30"}),
                                         start({"timeout", "30", "sleep", "30"})};
    const std::string third = "/proc/" + std::to_string(children[2]) + "/task/" + std::to_string(children[2]);
    const auto grandchildSleeps = [&] {
        pid_t grandchild = 0;
        std::string name;
        return std::ifstream(third + "/children") >> grandchild &&
               std::getline(std::ifstream("/proc/" + std::to_string(grandchild) + "/comm"), name) &&
               name == "sleep";
    };
    std::vector<long> sizes;
    for (int tries = 0; tries < 200 && (sizes.size() < 2 || !grandchildSleeps()); ++tries) {
        usleep(10000); // until all have exec'd
        sizes = ChildrenResidentKiB("sleep");
    }
    EXPECT_TRUE(grandchildSleeps());
    EXPECT_EQ(sizes.size(), 2u);
    for (const long size : sizes)
        EXPECT_GT(size, 0);
    EXPECT_TRUE(ChildrenResidentKiB("no-such-program").empty());
    for (const pid_t child : children) {
        kill(child, SIGTERM); // timeout hands it on to its own child
        waitpid(child, nullptr, 0);
    }
}
