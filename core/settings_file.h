#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// The user's settings that are not engine choices: one "name=value" a line,
// in $XDG_CONFIG_HOME/scoutwell/settings. Lines the program does not know
// are kept as they are when it writes.

// The settings file, or none without a home or configuration folder.
std::optional<std::filesystem::path> UserSettingsFile();

// The value of the setting; none when the file or the line is missing.
// Throws ScoutwellError when what is there cannot be read, is not a regular
// file or is larger than 64 KB.
std::optional<std::string> ReadSetting(const std::filesystem::path& file, std::string_view name);

// Sets the setting, making the folder when needed and replacing the file
// atomically; a file that cannot be read is left as it is. Throws
// ScoutwellError with the reason.
void WriteSetting(const std::filesystem::path& file, std::string_view name, std::string_view value);
