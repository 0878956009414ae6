#include "recent_searches.h"

#include "code_pages.h"
#include "failure.h"
#include "file_io.h"
#include "xdg_folders.h"

#include <algorithm>
#include <cstdio>
#include <cwctype>
#include <system_error>
#include <utility>

namespace fs = std::filesystem;

namespace {

bool IsControl(wchar_t c) {
    return c < 0x20 || c == 0x7F;
}

// Keywords as they are kept: one line, no control characters, no
// surrounding spaces.
std::wstring Tidy(std::wstring_view keywords) {
    std::wstring tidy(keywords);
    std::replace_if(tidy.begin(), tidy.end(), IsControl, L' ');
    const auto first = tidy.find_first_not_of(L' ');
    if (first == std::wstring::npos)
        return {};
    return tidy.substr(first, tidy.find_last_not_of(L' ') - first + 1);
}

} // namespace

std::optional<fs::path> RecentSearchesFile(const XdgFolders& xdg) {
    if (!xdg.stateHome)
        return std::nullopt;
    return *xdg.stateHome / "scoutwell" / "history";
}

std::optional<std::vector<std::wstring>> ParseRecentSearches(std::string_view bytes, std::string* what) {
    const auto refuse = [what](const char* reason) {
        if (what != nullptr)
            *what = reason;
        return std::nullopt;
    };
    const std::optional<std::wstring> text = DecodeUtf8(bytes);
    if (!text)
        return refuse("it is not UTF-8 text");
    std::vector<std::wstring> searches;
    std::size_t start = 0;
    while (start < text->size()) {
        std::size_t end = text->find(L'\n', start);
        if (end == std::wstring::npos)
            end = text->size();
        const std::wstring_view line = std::wstring_view(*text).substr(start, end - start);
        start = end + 1;
        if (line.empty())
            continue;
        if (std::any_of(line.begin(), line.end(), IsControl))
            return refuse("a line holds a control character");
        if (EncodeUtf8(line).size() > MaxRecentKeywordsBytes)
            return refuse("a line is too long");
        if (searches.size() == MaxRecentSearches)
            return refuse("it holds too many lines");
        if (std::find(searches.begin(), searches.end(), line) == searches.end())
            searches.emplace_back(line);
    }
    return searches;
}

std::string FormatRecentSearches(const std::vector<std::wstring>& searches) {
    std::string bytes;
    for (const std::wstring& keywords : searches)
        bytes += EncodeUtf8(keywords) + '\n';
    return bytes;
}

RecentSearches::RecentSearches(fs::path file) : m_file(std::move(file)) {
    std::string reason;
    try {
        const std::optional<FileStart> start = ReadIfPresent(m_file, MaxRecentSearchesFileBytes);
        if (!start)
            return;
        if (start->cut)
            reason = "it is too large";
        else if (auto items = ParseRecentSearches(start->bytes, &reason))
            m_items = *std::move(items);
    } catch (const ScoutwellError& failure) {
        reason = failure.what();
    }
    if (reason.empty())
        return;
    m_damaged = true;
    std::fprintf(stderr,
                 "scoutwell: recent searches in %s ignored: %s; the next search keeps it as %s.damaged\n",
                 m_file.c_str(), reason.c_str(), m_file.filename().c_str());
}

void RecentSearches::Add(std::wstring_view keywords) {
    std::wstring kept = Tidy(keywords);
    if (kept.empty() || EncodeUtf8(kept).size() > MaxRecentKeywordsBytes)
        return;
    std::erase(m_items, kept);
    m_items.insert(m_items.begin(), std::move(kept));
    if (m_items.size() > MaxRecentSearches)
        m_items.resize(MaxRecentSearches);
    Save();
}

void RecentSearches::Clear() {
    m_items.clear();
    Save();
}

// A damaged file is moved aside, never overwritten: it may hold what the
// user wants back, and it is not the program's to throw away.
void RecentSearches::Save() {
    if (m_damaged) {
        fs::path aside = m_file;
        aside += ".damaged";
        std::error_code error;
        fs::rename(m_file, aside, error);
        if (error)
            throw ScoutwellError("recent searches not saved: " + m_file.string() + " cannot be kept as " +
                                 aside.string() + " (" + error.message() + ")");
        m_damaged = false;
    }
    PrepareFolderFor(m_file);
    try {
        ReplaceFile(m_file, FormatRecentSearches(m_items));
    } catch (const ScoutwellError& failure) {
        throw ScoutwellError("recent searches not saved in " + m_file.string() + ": " + failure.what());
    }
}
