#include "settings_file.h"

#include "failure.h"
#include "file_io.h"
#include "xdg_folders.h"

#include <system_error>

namespace {

constexpr std::size_t MaxSettingsBytes = 64 * 1024;

std::string ReadAll(const std::filesystem::path& file) {
    std::error_code error;
    if (!std::filesystem::exists(std::filesystem::symlink_status(file, error)))
        return {};
    const FileStart start = ReadAtMost(OpenRegularFile(file), MaxSettingsBytes);
    if (start.cut)
        throw ScoutwellError("it is larger than 64 KB");
    return start.bytes;
}

} // namespace

std::optional<std::filesystem::path> UserSettingsFile() {
    const XdgFolders xdg = FindXdgFolders();
    if (!xdg.configHome)
        return std::nullopt;
    return *xdg.configHome / "scoutwell" / "settings";
}

std::optional<std::string> ReadSetting(const std::filesystem::path& file, std::string_view name) {
    const std::string text = ReadAll(file);
    const std::string prefix = std::string(name) + "=";
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string_view line = std::string_view(text).substr(start, end - start);
        if (line.starts_with(prefix))
            return std::string(line.substr(prefix.size()));
        start = end + 1;
    }
    return std::nullopt;
}

void WriteSetting(const std::filesystem::path& file, std::string_view name, std::string_view value) {
    const std::string text = ReadAll(file);
    const std::string prefix = std::string(name) + "=";
    std::string written;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string_view line = std::string_view(text).substr(start, end - start);
        if (!line.starts_with(prefix) && !line.empty())
            written.append(line).append("\n");
        start = end + 1;
    }
    written.append(prefix).append(value).append("\n");
    PrepareFolderFor(file);
    ReplaceFile(file, written);
}
