#include "settings_file.h"

#include "failure.h"
#include "file_io.h"
#include "xdg_folders.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr std::size_t MaxSettingsBytes = 64 * 1024;

// The file's lines, none when it is not there yet.
std::vector<std::string> ReadLines(const std::filesystem::path& file) {
    const std::optional<FileStart> start = ReadIfPresent(file, MaxSettingsBytes);
    if (start && start->cut)
        throw ScoutwellError("it is larger than 64 KB");
    std::vector<std::string> lines;
    const std::string_view text = start ? std::string_view(start->bytes) : std::string_view();
    for (std::size_t from = 0; from < text.size();) {
        const std::size_t end = std::min(text.find('\n', from), text.size());
        lines.emplace_back(text.substr(from, end - from));
        from = end + 1;
    }
    return lines;
}

} // namespace

std::optional<std::filesystem::path> UserSettingsFile() {
    const XdgFolders xdg = FindXdgFolders();
    if (!xdg.configHome)
        return std::nullopt;
    return *xdg.configHome / "scoutwell" / "settings";
}

std::optional<std::string> ReadSetting(const std::filesystem::path& file, std::string_view name) {
    const std::string prefix = std::string(name) + "=";
    for (const std::string& line : ReadLines(file))
        if (line.starts_with(prefix))
            return line.substr(prefix.size());
    return std::nullopt;
}

void WriteSetting(const std::filesystem::path& file, std::string_view name, std::string_view value) {
    const std::string prefix = std::string(name) + "=";
    std::string written;
    for (const std::string& line : ReadLines(file))
        if (!line.starts_with(prefix) && !line.empty())
            written.append(line).append("\n");
    written.append(prefix).append(value).append("\n");
    PrepareFolderFor(file);
    ReplaceFile(file, written);
}
