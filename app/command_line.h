#pragma once

#include <optional>
#include <string>
#include <vector>

// What the program's own arguments ask for, once the toolkit has taken its
// options (--display, --class, --gtk-module, ...) out of the command line.
struct CommandLine {
    enum class Action { Run, Help, Version, Refuse };
    Action action = Action::Run;
    bool privateRun = false;
    // The keyword arguments joined by single spaces; none when there were none.
    std::optional<std::string> keywords;
    // The option refused, for Refuse.
    std::string refused;
};

// arguments without the program's name. --help (-h) and --version win over
// everything else; "--" ends the options, and "-" alone is a keyword.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);
