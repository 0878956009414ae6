#include "command_line.h"

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine line;
    bool options = true;
    for (const std::string& argument : arguments) {
        const bool isOption = options && argument.size() > 1 && argument[0] == '-';
        if (!isOption) {
            line.keywords = line.keywords ? *line.keywords + ' ' + argument : argument;
        } else if (argument == "--") {
            options = false;
        } else if (argument == "--help" || argument == "-h") {
            line = {};
            line.action = CommandLine::Action::Help;
            return line;
        } else if (argument == "--version") {
            line = {};
            line.action = CommandLine::Action::Version;
            return line;
        } else if (argument == "--private") {
            line.privateRun = true;
        } else if (line.refused.empty()) {
            line.refused = argument;
        }
    }
    if (!line.refused.empty())
        line.action = CommandLine::Action::Refuse;
    return line;
}
