#include "engine_selection_file.h"
#include "failure.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>

#include <grp.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using Lines = std::vector<std::wstring>;

const PaneArray<std::wstring> CreationTexts = {L"Altavista", L"Lycos", L"Infoseek", L"Savvy Search",
                                               L"Dogpile"};
const std::string CreationBytes = "Altavista\r\nLycos\r\nInfoseek\r\nSavvy Search\r\nDogpile\r\n";

class EngineSelectionFileTest : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "engines-test-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_folder = pattern;
        m_file = m_folder / EngineSelectionFileName;
    }
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(m_folder, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(m_folder, ignored);
    }

    static void Put(const fs::path& file, const std::string& bytes) {
        std::ofstream out(file, std::ios::binary);
        out << bytes;
    }
    static std::string Get(const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    Lines ReadBytes(const std::string& bytes) {
        Put(m_file, bytes);
        return ReadEngineSelection(m_file);
    }
    std::vector<std::string> FolderEntries() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(m_folder))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path m_folder;
    fs::path m_file;
};

// Hands the bytes out a few at a time, so that line ends fall across reads.
ByteSource Trickle(const std::string& bytes, std::size_t piece) {
    return [bytes, piece, at = std::size_t{0}](char* buffer, std::size_t capacity) mutable -> std::ptrdiff_t {
        const std::size_t count = std::min({piece, capacity, bytes.size() - at});
        std::copy_n(bytes.data() + at, count, buffer);
        at += count;
        return static_cast<std::ptrdiff_t>(count);
    };
}

} // namespace

TEST_F(EngineSelectionFileTest, WritesFiveCrLfLinesAsUtf8) {
    WriteEngineSelection(m_file, CreationTexts);
    EXPECT_EQ(Get(m_file), CreationBytes);

    WriteEngineSelection(m_file, {L"caf\u00E9", L"", L" x ", L"\u20AC", L"\U0001F600"});
    EXPECT_EQ(Get(m_file), "caf\xC3\xA9\r\n\r\n x \r\n\xE2\x82\xAC\r\n\xF0\x9F\x98\x80\r\n");
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"engines.lst"});
}

TEST_F(EngineSelectionFileTest, WhatIsSavedReadsBackUnchanged) {
    const PaneArray<std::wstring> texts = {L"my own engine", L"Lycos ", L"",
                                           L"Caf\u00E9 \u00FCber \u4E2D\u6587", L"altavista "};
    WriteEngineSelection(m_file, texts);
    EXPECT_EQ(ReadEngineSelection(m_file), Lines(texts.begin(), texts.end()));

    // A second save replaces a longer file completely.
    Put(m_file, std::string(5000, 'x') + "\r\n");
    WriteEngineSelection(m_file, CreationTexts);
    EXPECT_EQ(Get(m_file), CreationBytes);
}

TEST_F(EngineSelectionFileTest, LineBreaksInsideATextBecomeSpacesSoLaterPanesKeepTheirLines) {
    WriteEngineSelection(m_file, {L"two\r\nlines", L"cr\ronly", L"lf\nonly", L"Lycos", L"Dogpile"});
    EXPECT_EQ(ReadEngineSelection(m_file),
              (Lines{L"two  lines", L"cr only", L"lf only", L"Lycos", L"Dogpile"}));
}

TEST_F(EngineSelectionFileTest, NoFileOrAnEmptyFileGivesNothing) {
    EXPECT_TRUE(ReadEngineSelection(m_file).empty());
    EXPECT_TRUE(ReadBytes("").empty());
    EXPECT_TRUE(ReadBytes("\xEF\xBB\xBF").empty()); // an editor's empty UTF-8 file
    EXPECT_TRUE(ReadEngineSelection(m_folder / "no" / "such" / "folder" / "engines.lst").empty());
}

TEST_F(EngineSelectionFileTest, ReadsAtMostFiveLines) {
    EXPECT_EQ(ReadBytes("Yahoo\r\nYahoo\r\nYahoo\r\nYahoo\r\nYahoo\r\n"), Lines(5, L"Yahoo"));
    EXPECT_EQ(ReadBytes("Yahoo\r\nYahoo\r\nYahoo\r\nYahoo\r\nYahoo\r\n\r\n"), Lines(5, L"Yahoo"));

    std::string many;
    for (int i = 0; i < 5000; ++i)
        many += "line " + std::to_string(i) + "\r\n";
    EXPECT_EQ(ReadBytes(many), (Lines{L"line 0", L"line 1", L"line 2", L"line 3", L"line 4"}));
}

TEST_F(EngineSelectionFileTest, FewerLinesAndALastLineWithoutItsEnd) {
    EXPECT_EQ(ReadBytes("Yahoo\r\n"), Lines{L"Yahoo"});
    EXPECT_EQ(ReadBytes("Yahoo\r\nLycos"), (Lines{L"Yahoo", L"Lycos"}));
    EXPECT_EQ(ReadBytes("\r\n\r\nLycos\r\n"), (Lines{L"", L"", L"Lycos"}));
}

TEST_F(EngineSelectionFileTest, TextIsTakenExactly) {
    EXPECT_EQ(ReadBytes("altavista \r\n  Lycos\t\r\n\"Dogpile\"\r\n"),
              (Lines{L"altavista ", L"  Lycos\t", L"\"Dogpile\""}));
}

TEST_F(EngineSelectionFileTest, EveryKindOfLineEndEndsALine) {
    const Lines abcde = {L"a", L"b", L"c", L"d", L"e"};
    EXPECT_EQ(ReadBytes("a\nb\nc\nd\ne\n"), abcde);
    EXPECT_EQ(ReadBytes("a\rb\rc\rd\re\r"), abcde);
    EXPECT_EQ(ReadBytes("a\r\nb\rc\nd\r\ne"), abcde);
    // LF CR is two line ends, not one.
    EXPECT_EQ(ReadBytes("a\n\rb"), (Lines{L"a", L"", L"b"}));
}

TEST_F(EngineSelectionFileTest, CrLfSplitAcrossReadsIsOneLineEnd) {
    const std::string bytes = "Altavista\r\nLycos\rInfoseek\nSavvy Search\r\n\r\nDogpile";
    const Lines expected = {L"Altavista", L"Lycos", L"Infoseek", L"Savvy Search", L""};
    for (const std::size_t piece : {1u, 2u, 3u, 10u})
        EXPECT_EQ(ReadEngineSelectionLines(Trickle(bytes, piece)), expected) << "piece " << piece;
}

TEST_F(EngineSelectionFileTest, EachLineIsUtf8WhenValidElseWindows1252) {
    // A file from the old Windows program: é is the single byte 0xE9.
    EXPECT_EQ(ReadBytes("Caf\xE9\r\n\x80 \x93quoted\x94\r\n"),
              (Lines{L"Caf\u00E9", L"\u20AC \u201Cquoted\u201D"}));
    // Decided line by line: one edited line does not spoil the others.
    EXPECT_EQ(ReadBytes("Caf\xC3\xA9\r\nCaf\xE9\r\n"), (Lines{L"Caf\u00E9", L"Caf\u00E9"}));
    // A byte order mark from an editor is no part of the first text.
    EXPECT_EQ(ReadBytes("\xEF\xBB\xBFYahoo\r\n\xEF\xBB\xBFLycos\r\n"), (Lines{L"Yahoo", L"\uFEFFLycos"}));
}

TEST_F(EngineSelectionFileTest, BinaryAndNulBytesAreReadAsText) {
    EXPECT_EQ(ReadBytes(std::string("Ya\0hoo\r\n\0\r\n", 11)),
              (Lines{std::wstring(L"Ya\0hoo", 6), std::wstring(1, L'\0')}));

    std::string noise;
    std::mt19937 random(7);
    while (noise.size() < 4096) {
        const char c = static_cast<char>(random() & 0xFF);
        if (c != '\r' && c != '\n')
            noise += c;
    }
    const Lines lines = ReadBytes(noise + "\r\nLycos\r\n");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].size(), noise.size()); // not UTF-8, so one character a byte
    EXPECT_EQ(lines[1], L"Lycos");
}

TEST_F(EngineSelectionFileTest, AHugeLineIsCutAndTheNextLinesStillRead) {
    const std::string huge(10 * 1024 * 1024, 'x');
    const Lines lines = ReadBytes(huge + "\r\nYahoo\r\n" + huge);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], std::wstring(MaxEngineSelectionLineBytes, L'x'));
    EXPECT_EQ(lines[1], L"Yahoo");
    EXPECT_EQ(lines[2].size(), MaxEngineSelectionLineBytes);

    // Cut inside a three-byte character, the rest is still read as UTF-8.
    std::string euros;
    while (euros.size() < 10 * 1024 * 1024)
        euros += "\xE2\x82\xAC";
    static_assert(MaxEngineSelectionLineBytes % 3 != 0);
    const Lines cut = ReadBytes(euros);
    ASSERT_EQ(cut.size(), 1u);
    EXPECT_EQ(cut[0], std::wstring(MaxEngineSelectionLineBytes / 3, L'\u20AC'));
}

TEST_F(EngineSelectionFileTest, AFailedReadKeepsTheLinesCompletedBeforeIt) {
    const std::string bytes = "Yahoo\r\nLycos\r\nInfos";
    ByteSource source = [inner = Trickle(bytes, 4), calls = 0](char* buffer, std::size_t capacity) mutable {
        return ++calls > 5 ? std::ptrdiff_t{-1} : inner(buffer, capacity);
    };
    EXPECT_EQ(ReadEngineSelectionLines(source), (Lines{L"Yahoo", L"Lycos"}));
}

TEST_F(EngineSelectionFileTest, WhatIsNotARegularFileGivesNothing) {
    fs::create_directory(m_file);
    EXPECT_TRUE(ReadEngineSelection(m_file).empty());
    fs::remove(m_file);

    // A FIFO with no writer would block an ordinary open for ever.
    ASSERT_EQ(::mkfifo(m_file.c_str(), 0600), 0);
    EXPECT_TRUE(ReadEngineSelection(m_file).empty());
    EXPECT_TRUE(ReadEngineSelection("/dev/zero").empty());
}

TEST_F(EngineSelectionFileTest, SavingKeepsTheOldFilesPermissionsAndGivesANewOneTheUsualOnes) {
    WriteEngineSelection(m_file, CreationTexts);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(static_cast<mode_t>(fs::status(m_file).permissions()), 0666 & ~mask);

    fs::permissions(m_file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    WriteEngineSelection(m_file, CreationTexts);
    EXPECT_EQ(fs::status(m_file).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(EngineSelectionFileTest, SavingThroughASymbolicLinkReplacesTheFileItNames) {
    const fs::path real = m_folder / "real.lst";
    Put(real, "old\r\n");
    fs::create_symlink(real, m_file);
    WriteEngineSelection(m_file, CreationTexts);
    EXPECT_TRUE(fs::is_symlink(m_file));
    EXPECT_EQ(Get(real), CreationBytes);
}

TEST_F(EngineSelectionFileTest, AFolderInTheWayIsAFailureThatLeavesItAlone) {
    fs::create_directory(m_file);
    Put(m_file / "inside", "kept");
    try {
        WriteEngineSelection(m_file, CreationTexts);
        FAIL() << "no failure reported";
    } catch (const ScoutwellError& error) {
        const std::string message = error.what();
        EXPECT_NE(message.find("could not be saved"), std::string::npos) << message;
        EXPECT_NE(message.find(m_file.string()), std::string::npos) << message;
        EXPECT_NE(message.find(std::strerror(EISDIR)), std::string::npos) << message;
    }
    EXPECT_EQ(Get(m_file / "inside"), "kept");
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"engines.lst"});
}

TEST_F(EngineSelectionFileTest, AFolderThatCannotBeEnteredIsAFailureNamingTheReason) {
    // A regular file where the folder should be: refused even to root.
    Put(m_folder / "plain", "kept");
    const fs::path file = m_folder / "plain" / "engines.lst";
    try {
        WriteEngineSelection(file, CreationTexts);
        FAIL() << "no failure reported";
    } catch (const ScoutwellError& error) {
        const std::string message = error.what();
        EXPECT_NE(message.find(file.string()), std::string::npos) << message;
        EXPECT_NE(message.find(std::strerror(ENOTDIR)), std::string::npos) << message;
    }
    EXPECT_EQ(Get(m_folder / "plain"), "kept");
}

TEST_F(EngineSelectionFileTest, AFailedWriteLeavesTheOldFileAndNoTemporaryFile) {
    Put(m_file, "Yahoo\r\nYahoo\r\nYahoo\r\nYahoo\r\nYahoo\r\n");
    // The file-size limit makes the write itself fail part-way, as a full disk would.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 20;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    EXPECT_THROW(WriteEngineSelection(m_file, CreationTexts), ScoutwellError);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(Get(m_file), "Yahoo\r\nYahoo\r\nYahoo\r\nYahoo\r\nYahoo\r\n");
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"engines.lst"});
}

// Root may write into any folder, so as root the save runs in a child process
// that has given up root for the unprivileged user "nobody".
namespace {

// Runs save as an ordinary user when this process is the super-user, for
// whom no permission bit counts. Returns its result: 0 when the save failed
// for lack of permission, 1 when it saved anyway, 2 for another reason; -1
// when no ordinary user can be taken on here.
int SaveAsAnOrdinaryUser(const fs::path& file) {
    const auto save = [&]() -> int {
        try {
            WriteEngineSelection(file, CreationTexts);
            return 1;
        } catch (const ScoutwellError& error) {
            const std::string message = error.what();
            return message.find(std::strerror(EACCES)) != std::string::npos ? 0 : 2;
        }
    };
    if (::geteuid() != 0)
        return save();
    const passwd* nobody = ::getpwnam("nobody");
    if (nobody == nullptr || nobody->pw_uid == 0)
        return -1;
    const pid_t child = ::fork();
    if (child < 0)
        return -1;
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(nobody->pw_gid) != 0 || ::setuid(nobody->pw_uid) != 0 ||
            ::geteuid() == 0)
            ::_exit(3);
        ::_exit(save());
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) == 3)
        return -1;
    return WEXITSTATUS(status);
}

} // namespace

TEST_F(EngineSelectionFileTest, SavingIntoAReadOnlyFolderFailsAndKeepsTheOldFile) {
    const std::string old = "Yahoo\r\nLycos\r\n";
    Put(m_file, old);
    fs::permissions(m_folder, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                  fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    const int result = SaveAsAnOrdinaryUser(m_file);
    if (result < 0)
        GTEST_SKIP() << "running as root and there is no unprivileged user to drop to";
    EXPECT_EQ(result, 0) << "1: saved anyway, 2: wrong reason";
    EXPECT_EQ(Get(m_file), old);
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"engines.lst"});
}

TEST_F(EngineSelectionFileTest, AFileMadeReadOnlyIsNotReplaced) {
    const std::string old = "Yahoo\r\nLycos\r\n";
    Put(m_file, old);
    fs::permissions(m_folder, fs::perms::all);
    fs::permissions(m_file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const int result = SaveAsAnOrdinaryUser(m_file);
    if (result < 0)
        GTEST_SKIP() << "running as root and there is no unprivileged user to drop to";
    EXPECT_EQ(result, 0) << "1: saved anyway, 2: wrong reason";
    EXPECT_EQ(Get(m_file), old);
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"engines.lst"});
}
