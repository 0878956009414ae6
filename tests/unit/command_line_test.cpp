#include "command_line.h"

#include <gtest/gtest.h>

using Action = CommandLine::Action;

TEST(CommandLineTest, ReadsOptionsAndJoinsKeywordsAfterTheToolkitHasTakenItsOwn) {
    const struct {
        std::vector<std::string> arguments;
        Action action;
        bool privateRun;
        std::optional<std::string> keywords;
        std::string refused;
    } cases[] = {
        {{}, Action::Run, false, std::nullopt, ""},
        {{"new", "--private", "york"}, Action::Run, true, "new york", ""},
        {{"--private", "--", "-5", "--help", "-"}, Action::Run, true, "-5 --help -", ""},
        {{"-", "a b"}, Action::Run, false, "- a b", ""},
        {{""}, Action::Run, false, "", ""},
        {{"--help"}, Action::Help, false, std::nullopt, ""},
        {{"new", "-h", "--bogus"}, Action::Help, false, std::nullopt, ""},
        {{"--version", "york"}, Action::Version, false, std::nullopt, ""},
        {{"--bogus", "-x"}, Action::Refuse, false, std::nullopt, "--bogus"},
        {{"york", "--Private"}, Action::Refuse, false, "york", "--Private"},
        {{"--private=yes"}, Action::Refuse, false, std::nullopt, "--private=yes"},
    };
    for (const auto& [arguments, action, privateRun, keywords, refused] : cases) {
        const CommandLine line = ParseCommandLine(arguments);
        const std::string said = testing::PrintToString(arguments);
        EXPECT_EQ(line.action, action) << said;
        EXPECT_EQ(line.privateRun, privateRun) << said;
        EXPECT_EQ(line.keywords, keywords) << said;
        EXPECT_EQ(line.refused, refused) << said;
    }
}
