#include "added_engines.h"

#include "ascii_case.h"
#include "code_pages.h"
#include "engine_catalogue.h"
#include "failure.h"
#include "file_io.h"
#include "look_alike.h"

#include <algorithm>
#include <iostream>
#include <utility>

namespace fs = std::filesystem;

namespace {

// Names are compared as they look: see FoldLookAlikes.
std::wstring ComparedName(std::wstring_view text) {
    return FoldLookAlikes(text);
}

// Only a regular file is read (a named pipe called x.xml cannot stall the
// start), and no more of it than a description may hold.
std::string ReadDescriptionFile(const fs::path& file) {
    FileStart start = ReadAtMost(OpenRegularFile(file), MaxDescriptionBytes);
    if (start.cut)
        throw ScoutwellError("it is larger than " + std::to_string(MaxDescriptionBytes / 1024) + " KB");
    return std::move(start.bytes);
}

bool IsDescriptionFileName(const fs::path& file) {
    return EqualsIgnoringAsciiCase(file.extension().string(), ".xml");
}

// A file name a shell and any file system take: the engine's name in lower
// case ASCII letters and digits, other runs as one "-".
std::string FileStem(std::wstring_view name) {
    std::string stem;
    for (const wchar_t c : name) {
        if (const wchar_t lower = LowerAscii(c); (lower >= L'a' && lower <= L'z') || (c >= L'0' && c <= L'9'))
            stem += static_cast<char>(lower);
        else if (!stem.empty() && stem.back() != '-')
            stem += '-';
        if (stem.size() >= 40)
            break;
    }
    while (!stem.empty() && stem.back() == '-')
        stem.pop_back();
    return stem.empty() ? "engine" : stem;
}

} // namespace

std::optional<std::string> AddedEngines::WhyRefused(const OpenSearchEngine& engine) const {
    const std::wstring key = ComparedName(engine.name);
    for (const EngineEntry& entry : EngineCatalogue())
        if (ComparedName(entry.DisplayName) == key)
            return "its name \"" + EncodeUtf8(engine.name) +
                   "\" is the name of one of the program's own engines";
    if (std::binary_search(m_keys.begin(), m_keys.end(), key))
        return "an engine named \"" + EncodeUtf8(engine.name) + "\" is already in the list";
    return std::nullopt;
}

void AddedEngines::Add(OpenSearchEngine engine) {
    if (const auto reason = WhyRefused(engine))
        throw ScoutwellError(*reason);
    std::wstring key = ComparedName(engine.name);
    const auto at = std::lower_bound(m_keys.begin(), m_keys.end(), key) - m_keys.begin();
    m_keys.insert(m_keys.begin() + at, std::move(key));
    m_engines.insert(m_engines.begin() + at, std::move(engine));
}

const OpenSearchEngine* AddedEngines::Find(std::wstring_view chooserText) const {
    const std::wstring key = ComparedName(chooserText);
    const auto at = std::lower_bound(m_keys.begin(), m_keys.end(), key);
    return (at != m_keys.end() && *at == key) ? &m_engines[at - m_keys.begin()] : nullptr;
}

std::optional<fs::path> UserEngineFolder(const XdgFolders& xdg) {
    if (!xdg.configHome)
        return std::nullopt;
    return *xdg.configHome / "scoutwell" / "engines";
}

std::vector<fs::path> EngineFolders(const fs::path& programFolder, const XdgFolders& xdg) {
    std::vector<fs::path> folders;
    if (auto user = UserEngineFolder(xdg))
        folders.push_back(*std::move(user));
    for (const fs::path& folder : ProgramDataFolders(programFolder, xdg))
        folders.push_back(folder / "engines");
    folders.push_back(programFolder / "engines");
    return folders;
}

AddedEngines LoadAddedEngines(const std::vector<fs::path>& folders, std::size_t mostFiles) {
    AddedEngines engines;
    std::size_t filesRead = 0, leftOut = 0;
    for (const fs::path& folder : DistinctFolders(folders)) {
        std::vector<fs::path> files;
        std::error_code error;
        for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error))
            if (IsDescriptionFileName(entry->path()))
                files.push_back(entry->path());
        if (error && error != std::errc::no_such_file_or_directory)
            std::cerr << "scoutwell: engine folder " + folder.string() + " skipped: " + error.message() +
                             '\n';
        std::sort(files.begin(), files.end());
        if (const std::size_t room = mostFiles - filesRead; files.size() > room) {
            leftOut += files.size() - room;
            files.resize(room);
        }
        filesRead += files.size();
        // An engine of an earlier folder hides one of the same name here, as
        // the user's own copy hides the shipped one: no word about that.
        const AddedEngines earlier = files.empty() ? AddedEngines() : engines;
        for (const fs::path& file : files) {
            try {
                OpenSearchEngine engine = ReadOpenSearchDescription(ReadDescriptionFile(file));
                if (earlier.Find(engine.name) == nullptr)
                    engines.Add(std::move(engine));
            } catch (const ScoutwellError& refusal) {
                std::cerr << "scoutwell: engine description " + file.string() +
                                 " skipped: " + refusal.what() + '\n';
            }
        }
    }
    if (leftOut > 0)
        std::cerr << "scoutwell: only the first " + std::to_string(mostFiles) +
                         " engine descriptions were read; " + std::to_string(leftOut) +
                         " more were left out\n";
    return engines;
}

fs::path SaveNewDescription(const fs::path& folder, std::string_view document, std::wstring_view name) {
    PrepareFolderFor(folder / "engine.xml");
    const std::string stem = FileStem(name);
    for (int number = 1; number <= 1000; ++number) {
        const fs::path file = folder / (stem + (number > 1 ? "-" + std::to_string(number) : "") + ".xml");
        if (CreateNewFile(file, document))
            return file;
    }
    throw ScoutwellError("the folder " + folder.string() + " already holds too many files named " + stem);
}
