#include "added_engines.h"

#include "code_pages.h"
#include "engine_catalogue.h"
#include "failure.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <locale>
#include <utility>

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Case is compared by Unicode's rules where the C library has them, so
// "ÉCOLE" finds "école"; the "C" locale would fold ASCII only.
const std::ctype<wchar_t>& CaseRules() {
    static const std::locale locale = [] {
        try {
            return std::locale("C.UTF-8");
        } catch (const std::runtime_error& failure) {
            std::fprintf(stderr, "scoutwell: engine names compare by ASCII case only: %s\n", failure.what());
            return std::locale::classic();
        }
    }();
    return std::use_facet<std::ctype<wchar_t>>(locale);
}

std::wstring ComparedName(std::wstring_view text) {
    const auto& rules = CaseRules();
    const auto isSpace = [&](wchar_t c) { return rules.is(std::ctype_base::space, c); };
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back()))
        text.remove_suffix(1);
    std::wstring key(text);
    rules.tolower(key.data(), key.data() + key.size());
    return key;
}

std::string SystemReason(int error) {
    return std::strerror(error);
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return m_fd; }
    int Release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};

// Opened without blocking, so a named pipe called x.xml cannot stall the
// start, and checked to be a regular file before a byte is read.
std::string ReadDescriptionFile(const fs::path& file) {
    FileDescriptor fd(::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.Get() < 0)
        throw ScoutwellError("it cannot be opened (" + SystemReason(errno) + ")");
    struct stat status = {};
    if (::fstat(fd.Get(), &status) != 0)
        throw ScoutwellError("it cannot be examined (" + SystemReason(errno) + ")");
    if (!S_ISREG(status.st_mode))
        throw ScoutwellError("it is not a regular file");
    if (static_cast<std::uintmax_t>(status.st_size) > MaxDescriptionBytes)
        throw ScoutwellError("it is larger than " + std::to_string(MaxDescriptionBytes / 1024) + " KB");
    std::string document(static_cast<std::size_t>(status.st_size), '\0');
    std::size_t done = 0;
    while (done < document.size()) {
        const ssize_t got = ::read(fd.Get(), document.data() + done, document.size() - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw ScoutwellError("it cannot be read (" + SystemReason(errno) + ")");
        if (got == 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    document.resize(done);
    return document;
}

bool IsDescriptionFileName(const fs::path& file) {
    const std::string extension = file.extension().string();
    return extension.size() == 4 && extension[0] == '.' &&
           std::equal(extension.begin() + 1, extension.end(), "xml",
                      [](char a, char b) { return (a | 0x20) == b; });
}

fs::path HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd* user = ::getpwuid(::getuid()); user && user->pw_dir)
        return user->pw_dir;
    return "/";
}

// A file name a shell and any file system take: the engine's name in lower
// case ASCII letters and digits, other runs as one "-".
std::string FileStem(std::wstring_view name) {
    std::string stem;
    for (wchar_t c : name) {
        if ((c >= L'a' && c <= L'z') || (c >= L'0' && c <= L'9'))
            stem += static_cast<char>(c);
        else if (c >= L'A' && c <= L'Z')
            stem += static_cast<char>(c - L'A' + 'a');
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

fs::path UserEngineFolder() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const fs::path base =
        (config && fs::path(config).is_absolute()) ? fs::path(config) : HomeFolder() / ".config";
    return base / "scoutwell" / "engines";
}

std::vector<fs::path> EngineFolders(const fs::path& programFolder) {
    std::vector<fs::path> folders{UserEngineFolder()};
    const char* variable = std::getenv("XDG_DATA_DIRS");
    const std::string dataFolders = (variable && *variable) ? variable : "/usr/local/share:/usr/share";
    for (std::size_t start = 0; start <= dataFolders.size();) {
        const std::size_t end = std::min(dataFolders.find(':', start), dataFolders.size());
        if (const fs::path folder = dataFolders.substr(start, end - start); folder.is_absolute())
            folders.push_back(folder / "scoutwell" / "engines");
        start = end + 1;
    }
    // An install into a prefix of its own is found from where the program is.
    if (programFolder.has_parent_path())
        folders.push_back(programFolder.parent_path() / "share" / "scoutwell" / "engines");
    folders.push_back(programFolder / "engines");
    return folders;
}

AddedEngines LoadAddedEngines(const std::vector<fs::path>& folders) {
    AddedEngines engines;
    for (const fs::path& folder : folders) {
        std::vector<fs::path> files;
        std::error_code error;
        for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error))
            if (IsDescriptionFileName(entry->path()))
                files.push_back(entry->path());
        if (error && error != std::errc::no_such_file_or_directory)
            std::cerr << "scoutwell: engine folder " + folder.string() + " skipped: " + error.message() +
                             '\n';
        std::sort(files.begin(), files.end());
        for (const fs::path& file : files) {
            try {
                engines.Add(ReadOpenSearchDescription(ReadDescriptionFile(file)));
            } catch (const ScoutwellError& refusal) {
                std::cerr << "scoutwell: engine description " + file.string() +
                                 " skipped: " + refusal.what() + '\n';
            }
        }
    }
    return engines;
}

fs::path SaveNewDescription(const fs::path& folder, std::string_view document, std::wstring_view name) {
    std::error_code error;
    fs::create_directories(folder, error);
    if (error)
        throw ScoutwellError("the folder " + folder.string() + " cannot be made (" + error.message() + ")");
    const std::string stem = FileStem(name);
    for (int number = 1; number <= 1000; ++number) {
        const fs::path file = folder / (stem + (number > 1 ? "-" + std::to_string(number) : "") + ".xml");
        FileDescriptor fd(::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
        if (fd.Get() < 0 && errno == EEXIST)
            continue;
        if (fd.Get() < 0)
            throw ScoutwellError(file.string() + " cannot be made (" + SystemReason(errno) + ")");
        std::size_t done = 0;
        int failure = 0;
        while (done < document.size() && failure == 0) {
            const ssize_t wrote = ::write(fd.Get(), document.data() + done, document.size() - done);
            if (wrote >= 0)
                done += static_cast<std::size_t>(wrote);
            else if (errno != EINTR)
                failure = errno;
        }
        if (failure == 0 && ::fsync(fd.Get()) != 0)
            failure = errno;
        if (::close(fd.Release()) != 0 && failure == 0)
            failure = errno;
        if (failure != 0) {
            ::unlink(file.c_str());
            throw ScoutwellError(file.string() + " cannot be written (" + SystemReason(failure) + ")");
        }
        return file;
    }
    throw ScoutwellError("the folder " + folder.string() + " already holds too many files named " + stem);
}
