#include "failure.h"
#include "recent_searches.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Searches = std::vector<std::wstring>;

std::string Lines(int count) {
    std::string bytes;
    for (int i = 0; i < count; ++i)
        bytes += "k" + std::to_string(i) + "\n";
    return bytes;
}

class RecentSearchesTest : public testing::Test {
protected:
    TempFolder temp{"scoutwell-history"};
    fs::path file = temp.path / "state" / "scoutwell" / "history";
};

} // namespace

TEST(RecentSearchesParseTest, ReadsAListAndRefusesWhatTheProgramNeverWrites) {
    Searches hundred;
    for (int i = 0; i < 100; ++i)
        hundred.push_back(L"k" + std::to_wstring(i));
    const std::pair<std::string, std::optional<Searches>> cases[] = {
        {"", Searches{}},
        {"new york\nz\xC3\xBCrich\n\nnew york\nlast", Searches{L"new york", L"z\u00FCrich", L"last"}},
        {Lines(100), hundred},
        {Lines(101), std::nullopt},
        {"ok\n\xFF\n", std::nullopt},
        {"crlf\r\n", std::nullopt},
        {std::string(MaxRecentKeywordsBytes, 'a'), Searches{std::wstring(MaxRecentKeywordsBytes, L'a')}},
        {std::string(MaxRecentKeywordsBytes + 1, 'a'), std::nullopt},
    };
    for (const auto& [bytes, searches] : cases) {
        std::string what;
        const auto read = ParseRecentSearches(bytes, &what);
        EXPECT_EQ(read, searches) << bytes.substr(0, 40);
        EXPECT_EQ(what.empty(), read.has_value()) << what;
        EXPECT_EQ(read ? ParseRecentSearches(FormatRecentSearches(*read)) : read, read); // written back alike
    }
}

TEST_F(RecentSearchesTest, KeepsTheNewestFirstWithoutCopiesUpToAHundredAcrossRuns) {
    {
        RecentSearches history(file);
        for (const wchar_t* keywords : {L"one", L"  two\t", L"   ", L"three", L"one"})
            history.Add(keywords);
        EXPECT_EQ(history.Items(), (Searches{L"one", L"three", L"two"}));
    }
    RecentSearches again(file);
    EXPECT_EQ(again.Items(), (Searches{L"one", L"three", L"two"}));
    for (int i = 0; i < 150; ++i)
        again.Add(std::to_wstring(i));
    EXPECT_EQ(again.Items().size(), MaxRecentSearches);
    EXPECT_EQ(again.Items().front(), L"149");
    EXPECT_EQ(again.Items().back(), L"50");
    again.Add(std::wstring(MaxRecentKeywordsBytes + 1, L'x'));
    EXPECT_EQ(again.Items().front(), L"149");
    again.Clear();
    EXPECT_TRUE(again.Items().empty());
    EXPECT_EQ(ReadFile(file), "");
}

TEST_F(RecentSearchesTest, ADamagedOrHugeFileIsIgnoredWithOneLineAndSetAsideOnSave) {
    for (const auto& [bytes, reason] :
         {std::pair{std::string("good\n\x01\n"), "control character"}, {Lines(50000), "too large"}}) {
        WriteFile(file, bytes);
        testing::internal::CaptureStderr();
        RecentSearches history(file);
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
        EXPECT_NE(said.find("history.damaged"), std::string::npos) << said;
        EXPECT_NE(said.find(reason), std::string::npos) << said;
        EXPECT_EQ(ReadFile(file), bytes); // reading changes nothing
        history.Add(L"new");
        EXPECT_EQ(ReadFile(file), "new\n");
        fs::path aside = file;
        aside += ".damaged";
        EXPECT_EQ(ReadFile(aside), bytes);
    }
}

TEST_F(RecentSearchesTest, ASaveThatCannotBeWrittenThrowsAndKeepsTheList) {
    WriteFile(file.parent_path(), "a file where the folder should be");
    RecentSearches history(file);
    EXPECT_THROW(history.Add(L"kept"), ScoutwellError);
    EXPECT_EQ(history.Items(), Searches{L"kept"});
}
