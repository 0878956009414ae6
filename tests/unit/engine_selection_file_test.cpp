#include "engine_selection_file.h"
#include "failure.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>

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
    Lines ReadBytes(const std::string& bytes) {
        WriteFile(m_file, bytes);
        return ReadEngineSelection(m_file);
    }
    bool OnlyTheFile() const { // and no temporary file left over
        return std::distance(fs::directory_iterator(m_folder), {}) == 1 && fs::exists(m_file);
    }
    std::string Save(const fs::path& file) { // the failure's message, "" when saved
        try {
            WriteEngineSelection(file, CreationTexts);
            return "";
        } catch (const ScoutwellError& error) {
            return error.what();
        }
    }

    TempFolder m_temp;
    const fs::path& m_folder = m_temp.path;
    fs::path m_file = m_folder / EngineSelectionFileName;
};

// Hands the bytes out a few at a time, so line ends fall across reads.
ByteSource Trickle(const std::string& bytes, std::size_t piece) {
    return [bytes, piece, at = std::size_t{0}](char* buffer, std::size_t capacity) mutable -> std::ptrdiff_t {
        const std::size_t count = std::min({piece, capacity, bytes.size() - at});
        std::copy_n(bytes.data() + at, count, buffer);
        at += count;
        return static_cast<std::ptrdiff_t>(count);
    };
}

} // namespace

TEST_F(EngineSelectionFileTest, WritesFiveCrLfLinesOfUtf8ThatReadBackUnchanged) {
    WriteFile(m_file, std::string(5000, 'x')); // a longer file is replaced completely
    WriteEngineSelection(m_file, {L"caf\u00E9", L"", L" x ", L"two\r\nlines", L"\U0001F600"});
    EXPECT_EQ(ReadFile(m_file),
              "caf\xC3\xA9\r\n\r\n x \r\ntwo  lines\r\n\xF0\x9F\x98\x80\r\n"); // no line shifts
    EXPECT_EQ(ReadEngineSelection(m_file), (Lines{L"caf\u00E9", L"", L" x ", L"two  lines", L"\U0001F600"}));
    EXPECT_TRUE(OnlyTheFile());
}

TEST_F(EngineSelectionFileTest, ReadsUpToFiveLinesAsTheyStand) {
    const std::pair<std::string, Lines> cases[] = {
        {"", {}},
        {"\xEF\xBB\xBF", {}}, // an editor's empty UTF-8 file
        {"Yahoo\r\nLycos", {L"Yahoo", L"Lycos"}},
        {"\r\n\r\n  Lycos\t\r\n", {L"", L"", L"  Lycos\t"}},
        {"a\nb\rc\r\nd\n\re\r\nf\r\n", {L"a", L"b", L"c", L"d", L""}}, // LF CR is two line ends
        {"Caf\xE9\r\n\x80 \x93q\x94\r\nCaf\xC3\xA9\r\n",
         {L"Caf\u00E9", L"\u20AC \u201Cq\u201D", L"Caf\u00E9"}},
        {"\xEF\xBB\xBFYahoo\r\n\xEF\xBB\xBFLycos",
         {L"Yahoo", L"\uFEFFLycos"}}, // UTF-8, else 1252, line by line
        {std::string("Ya\0hoo\r\n", 8), {std::wstring(L"Ya\0hoo", 6)}},
    };
    for (const auto& [bytes, lines] : cases)
        EXPECT_EQ(ReadBytes(bytes), lines) << bytes;
    EXPECT_TRUE(ReadEngineSelection(m_folder / "no" / "such" / "engines.lst").empty());

    const std::string bytes = "Altavista\r\nLycos\rInfoseek\nSavvy Search\r\n\r\nDogpile";
    for (const std::size_t piece : {1u, 2u, 3u}) // a CR LF split across reads is one line end
        EXPECT_EQ(ReadEngineSelectionLines(Trickle(bytes, piece)),
                  (Lines{L"Altavista", L"Lycos", L"Infoseek", L"Savvy Search", L""}));
    ByteSource failing = [inner = Trickle(bytes, 4), calls = 0](char* buffer, std::size_t capacity) mutable {
        return ++calls > 5 ? std::ptrdiff_t{-1} : inner(buffer, capacity);
    };
    EXPECT_EQ(ReadEngineSelectionLines(failing),
              (Lines{L"Altavista", L"Lycos"})); // the lines before a failed read
}

TEST_F(EngineSelectionFileTest, AHugeLineIsCutAndWhatIsNotARegularFileGivesNothing) {
    std::string euros;
    while (euros.size() < 10 * 1024 * 1024)
        euros += "\xE2\x82\xAC";
    const Lines lines = ReadBytes(euros + "\r\nYahoo\r\n");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], std::wstring(MaxEngineSelectionLineBytes / 3, L'\u20AC')); // cut inside a character
    EXPECT_EQ(lines[1], L"Yahoo");

    fs::remove(m_file);
    ASSERT_EQ(::mkfifo(m_file.c_str(), 0600), 0); // with no writer an ordinary open would block for ever
    EXPECT_TRUE(ReadEngineSelection(m_file).empty());
    EXPECT_TRUE(ReadEngineSelection(m_folder).empty());
    EXPECT_TRUE(ReadEngineSelection("/dev/zero").empty());
}

TEST_F(EngineSelectionFileTest, SavingKeepsTheFilesPermissionsAndTheSymbolicLinkToIt) {
    const fs::path real = m_folder / "real.lst";
    WriteFile(real, "old\r\n");
    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink(real, m_file);
    WriteEngineSelection(m_file, CreationTexts);
    EXPECT_TRUE(fs::is_symlink(m_file));
    EXPECT_EQ(ReadFile(real), CreationBytes);
    EXPECT_EQ(fs::status(real).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

// Whatever fails, the old file stays byte for byte, no temporary is left, and the failure says why.
TEST_F(EngineSelectionFileTest, AFailedSaveKeepsTheOldFileAndNamesTheReason) {
    WriteFile(m_file, "Yahoo\r\n");
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 20; // the write itself fails part-way, as on a full disk
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string fullDisk = Save(m_file);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_NE(fullDisk.find("could not be saved"), std::string::npos) << fullDisk;
    EXPECT_EQ(ReadFile(m_file), "Yahoo\r\n");
    EXPECT_TRUE(OnlyTheFile());

    WriteFile(m_folder / "plain", "kept"); // a file where the folder should be: refused even to root
    EXPECT_NE(Save(m_folder / "plain" / "engines.lst").find(std::strerror(ENOTDIR)), std::string::npos);
    fs::remove(m_folder / "plain");
    fs::remove(m_file);
    fs::create_directory(m_file);
    WriteFile(m_file / "inside", "kept");
    const std::string folderInTheWay = Save(m_file);
    EXPECT_NE(folderInTheWay.find("could not be saved to " + m_file.string()), std::string::npos)
        << folderInTheWay;
    EXPECT_NE(folderInTheWay.find(std::strerror(EISDIR)), std::string::npos) << folderInTheWay;
    EXPECT_EQ(ReadFile(m_file / "inside"), "kept");
}

// Root may write anywhere, so the save runs in a child that has given up root for "nobody".
TEST_F(EngineSelectionFileTest, AReadOnlyFolderOrFileIsNotReplaced) {
    for (const bool readOnlyFolder : {true, false}) {
        SCOPED_TRACE(readOnlyFolder ? "read-only folder" : "read-only file");
        fs::permissions(m_folder, fs::perms::all);
        WriteFile(m_file, "Yahoo\r\nLycos\r\n");
        fs::permissions(readOnlyFolder ? m_folder : m_file,
                        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
        const passwd* nobody = ::getpwnam("nobody");
        if (::geteuid() == 0 && (nobody == nullptr || nobody->pw_uid == 0))
            GTEST_SKIP() << "running as root with no unprivileged user to drop to";
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            if (::geteuid() == 0 && (::setgid(nobody->pw_gid) != 0 || ::setuid(nobody->pw_uid) != 0))
                ::_exit(3);
            ::_exit(Save(m_file).find(std::strerror(EACCES)) != std::string::npos ? 0 : 1);
        }
        int status = -1;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
            << "1: saved or the wrong reason, 3: no drop";
        EXPECT_EQ(ReadFile(m_file), "Yahoo\r\nLycos\r\n");
        EXPECT_TRUE(OnlyTheFile());
    }
}
