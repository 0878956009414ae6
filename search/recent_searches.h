#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct XdgFolders;

// The keywords of the last searches, newest first, kept across runs so that
// a search can be made again without typing it.
constexpr std::size_t MaxRecentSearches = 100;
// The program never writes a longer file: a longer one is not its own.
constexpr std::size_t MaxRecentSearchesFileBytes = 256 * 1024;
// Keywords longer than this are not kept: they were pasted, not typed.
constexpr std::size_t MaxRecentKeywordsBytes = 2000;

// $XDG_STATE_HOME/scoutwell/history; none when there is no home folder.
std::optional<std::filesystem::path> RecentSearchesFile(const XdgFolders& xdg);

// The file is one keyword text a line, UTF-8, newest first. Nothing when the
// bytes are not such a list (not UTF-8, control characters, too many or too
// long lines): the reason is in what.
std::optional<std::vector<std::wstring>> ParseRecentSearches(std::string_view bytes,
                                                             std::string* what = nullptr);
std::string FormatRecentSearches(const std::vector<std::wstring>& searches);

class RecentSearches {
public:
    // Reads the file; a missing file is an empty list. A file that is not a
    // list of searches is ignored, with one line on standard error, and set
    // aside as history.damaged before the first save would overwrite it.
    explicit RecentSearches(std::filesystem::path file);

    const std::vector<std::wstring>& Items() const { return m_items; }
    // Puts the keywords first, trimmed, removing an earlier copy and the
    // oldest beyond MaxRecentSearches, and saves. Blank keywords are not kept.
    // Throws ScoutwellError when the file cannot be written; the list in
    // memory has the keywords all the same.
    void Add(std::wstring_view keywords);
    // Empties the list and the file.
    void Clear();

private:
    void Save();

    std::filesystem::path m_file;
    std::vector<std::wstring> m_items;
    bool m_damaged = false;
};
