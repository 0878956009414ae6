#include "engine_selection_file.h"
#include "failure.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>

#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using Lines = std::vector<std::wstring>;

class EngineSelectionFileTest : public testing::Test {
protected:
    TempFolder m_temp;
    const fs::path& m_folder = m_temp.path;
    fs::path m_file = m_folder / EngineSelectionFileName;
};

// Hands the bytes out a few at a time, so line ends fall across reads.
ByteSource Trickle(const std::string& bytes, std::size_t piece) {
    return [bytes, piece, at = std::size_t{0}](char* buffer, std::size_t capacity) mutable -> std::ptrdiff_t {
        const std::size_t count = std::min(std::min(piece, capacity), bytes.size() - at);
        std::copy_n(bytes.data() + at, count, buffer);
        at += count;
        return static_cast<std::ptrdiff_t>(count);
    };
}

} // namespace

TEST_F(EngineSelectionFileTest, WritesFiveCrLfLinesOfUtf8ThatReadBackUnchanged) {
    WriteFile(m_file, std::string(5000, 'x'));
    WriteEngineSelection(m_file, {L"caf\u00E9", L"", L" x ", L"two\r\nlines", L"\U0001F600"});
    EXPECT_EQ(ReadFile(m_file),
              "caf\xC3\xA9\r\n\r\n x \r\ntwo  lines\r\n\xF0\x9F\x98\x80\r\n"); // no line shifts
    EXPECT_EQ(ReadEngineSelection(m_file), (Lines{L"caf\u00E9", L"", L" x ", L"two  lines", L"\U0001F600"}));
}

TEST_F(EngineSelectionFileTest, ReadsUpToFiveBoundedLinesAsTheyStandFromARegularFileOnly) {
    std::string euros;
    while (euros.size() < 10 * 1024 * 1024)
        euros += "\xE2\x82\xAC";
    const std::pair<std::string, Lines> cases[] = {
        {"", {}},
        {"\xEF\xBB\xBF", {}}, // an editor's empty UTF-8 file
        {"\r\n\r\n  Lycos\t\r\nYahoo", {L"", L"", L"  Lycos\t", L"Yahoo"}},
        {"a\nb\rc\r\nd\n\re\r\nf\r\n", {L"a", L"b", L"c", L"d", L""}}, // LF CR is two line ends
        {"Caf\xE9\r\n\x80 \x93q\x94\r\nCaf\xC3\xA9\r\n",
         {L"Caf\u00E9", L"\u20AC \u201Cq\u201D", L"Caf\u00E9"}},
        {"\xEF\xBB\xBFYahoo\r\n\xEF\xBB\xBFLycos",
         {L"Yahoo", L"\uFEFFLycos"}}, // UTF-8, else 1252, line by line
        {std::string("Ya\0hoo\r\n", 8), {std::wstring(L"Ya\0hoo", 6)}},
        // A long line is cut, and past MaxEngineSelectionFileBytes the file is as if it ended.
        {euros + "\r\nYahoo", {std::wstring(MaxEngineSelectionLineBytes / 3, L'\u20AC')}},
        {"Lycos\r\n" + std::string(MaxEngineSelectionFileBytes - 10, ' ') + "Yahoo",
         {L"Lycos", std::wstring(MaxEngineSelectionFileBytes - 10, L' ') + L"Yah"}},
    };
    for (const auto& [bytes, lines] : cases) {
        WriteFile(m_file, bytes);
        EXPECT_EQ(ReadEngineSelection(m_file), lines) << bytes.substr(0, 100);
    }
    const std::string bytes = "Altavista\r\nLycos\rInfoseek\nSavvy Search\r\n\r\nDogpile";
    for (const std::size_t piece : {1u, 2u, 3u}) // a CR LF split across reads is one line end
        EXPECT_EQ(ReadEngineSelectionLines(Trickle(bytes, piece)),
                  (Lines{L"Altavista", L"Lycos", L"Infoseek", L"Savvy Search", L""}));
    // A huge file is not scanned to its end, and a line after 4 GB is not there: sparse, it costs nothing.
    WriteFile(m_file, "Yahoo");
    ASSERT_EQ(::truncate(m_file.c_str(), off_t{4} << 30), 0);
    std::ofstream(m_file, std::ios::app) << "\r\nLycos";
    const Lines huge = ReadEngineSelection(m_file);
    EXPECT_TRUE(huge.size() == 1 && huge[0].size() == MaxEngineSelectionFileBytes &&
                huge[0].starts_with(L"Yahoo"));
    fs::remove(m_file);
    ASSERT_EQ(::mkfifo(m_file.c_str(), 0600), 0); // with no writer an ordinary open would block for ever
    for (const fs::path& path : {m_file, m_folder / "no/such/engines.lst"})
        EXPECT_TRUE(ReadEngineSelection(path).empty()) << path;
}

// A read-only file stays and the failure says why; root writes anywhere, so the save runs as "nobody".
TEST_F(EngineSelectionFileTest, AReadOnlyFileIsNotReplacedAndTheFailureSaysWhy) {
    const passwd* nobody = ::getpwnam("nobody");
    if (::geteuid() == 0 && (nobody == nullptr || nobody->pw_uid == 0))
        GTEST_SKIP() << "running as root with no unprivileged user to drop to";
    fs::permissions(m_folder, fs::perms::all);
    WriteFile(m_file, "Yahoo\r\nLycos\r\n");
    fs::permissions(m_file, fs::perms(0444));
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(nobody->pw_gid) != 0 || ::setuid(nobody->pw_uid) != 0))
            ::_exit(3);
        const std::string reason = "could not be saved to " + m_file.string() + ": " + std::strerror(EACCES);
        try {
            WriteEngineSelection(m_file, {L"Altavista", L"Lycos", L"Infoseek", L"Savvy Search", L"Dogpile"});
        } catch (const ScoutwellError& error) {
            ::_exit(std::string(error.what()).find(reason) != std::string::npos ? 0 : 1);
        }
        ::_exit(1);
    }
    int status = -1;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "1: saved or the wrong reason, 3: no drop";
    EXPECT_EQ(ReadFile(m_file), "Yahoo\r\nLycos\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(m_folder), {}), 1); // no temporary left over
}

// The start reads the file Save writes, else the other one.
TEST_F(EngineSelectionFileTest, LivesBesideAWritableProgramElseInTheUsersFolder) {
    fs::permissions(m_folder, fs::perms::all);
    const fs::path userFile = m_folder / "config/scoutwell" / EngineSelectionFileName;
    const XdgFolders xdg{m_folder, m_folder / "config", std::nullopt, std::nullopt, {}, {}};
    // Program folders: two the user can write, one not; two with a file.
    const fs::path portable = m_folder / "portable", empty = m_folder / "empty",
                   installed = m_folder / "installed";
    for (const auto& folder : {portable, empty, installed, userFile.parent_path()}) {
        fs::create_directories(folder);
        if (folder == portable || folder == installed)
            WriteFile(folder / EngineSelectionFileName, "Yahoo\r\n");
        fs::permissions(folder, folder == installed ? fs::perms(0555) : fs::perms::all);
    }
    // The super-user may write anywhere: decide as an ordinary user.
    if (::geteuid() == 0 && ::seteuid(65534) != 0)
        GTEST_SKIP() << "cannot act as an ordinary user here";
    // The program folder, whether the user's file exists, where Save goes and where the start reads.
    const std::tuple<fs::path, bool, fs::path, fs::path> cases[] = {
        {portable, true, portable / EngineSelectionFileName, portable / EngineSelectionFileName},
        {empty, true, empty / EngineSelectionFileName, userFile},
        {empty, false, empty / EngineSelectionFileName, empty / EngineSelectionFileName},
        {installed, false, userFile, installed / EngineSelectionFileName},
        {installed, true, userFile, userFile},
    };
    for (const auto& [program, userExists, save, load] : cases) {
        userExists ? WriteFile(userFile, "Lycos\r\n") : void(fs::remove(userFile));
        EXPECT_EQ(EngineSelectionSaveFile(program, xdg), save);
        EXPECT_EQ(EngineSelectionLoadFile(program, xdg), load);
    }
    EXPECT_TRUE(::getuid() != 0 || ::seteuid(0) == 0);
}
