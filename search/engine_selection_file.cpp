#include "engine_selection_file.h"

#include "code_pages.h"
#include "failure.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <optional>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t LinesRead = PaneCount;
constexpr std::string_view Utf8ByteOrderMark = "\xEF\xBB\xBF";

// Owns a file descriptor: the file is closed on every way out.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : m_fd(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int Get() const { return m_fd; }
    // Closes now, for a caller that must know whether closing worked (a
    // write's last error can show up only here); returns close's result.
    int Close() { return ::close(std::exchange(m_fd, -1)); }

private:
    int m_fd;
};

// Cutting a long line may split a UTF-8 sequence at its end; without the
// split bytes the rest may still be valid UTF-8.
std::optional<std::wstring> DecodeCutUtf8(std::string_view bytes) {
    for (std::size_t drop = 1; drop <= 3 && drop < bytes.size(); ++drop) {
        if (auto text = DecodeUtf8(bytes.substr(0, bytes.size() - drop)))
            return text;
    }
    return std::nullopt;
}

std::wstring DecodeLine(std::string_view bytes, bool cut) {
    if (auto text = DecodeUtf8(bytes))
        return *std::move(text);
    if (cut) {
        if (auto text = DecodeCutUtf8(bytes))
            return *std::move(text);
    }
    return DecodeCodePage(1252, bytes);
}

// Collects lines from bytes arriving in pieces. A CR ends a line at once and
// swallows an LF that follows it, wherever the piece boundary falls.
class LineSplitter {
public:
    // Returns false once enough lines are complete.
    bool Feed(std::string_view bytes) {
        for (const char c : bytes) {
            if (m_afterCr && c == '\n') {
                m_afterCr = false;
                continue;
            }
            m_afterCr = false;
            if (c == '\r' || c == '\n') {
                m_afterCr = c == '\r';
                EndLine();
                if (m_lines.size() == LinesRead)
                    return false;
                continue;
            }
            m_hasContent = true;
            if (m_line.size() < MaxEngineSelectionLineBytes)
                m_line += c;
            else
                m_cut = true;
        }
        return true;
    }

    // A last line without a line end counts; nothing after a final line end
    // makes no further line.
    std::vector<std::wstring> Finish() {
        // A file holding nothing but the byte order mark is an empty file.
        const bool onlyTheMark = m_lines.empty() && m_line == Utf8ByteOrderMark;
        if (m_hasContent && !onlyTheMark && m_lines.size() < LinesRead)
            EndLine();
        return std::move(m_lines);
    }

    // A read failed: the line it interrupted is not complete.
    std::vector<std::wstring> Abandon() { return std::move(m_lines); }

private:
    void EndLine() {
        std::string_view bytes = m_line;
        if (m_lines.empty() && bytes.starts_with(Utf8ByteOrderMark))
            bytes.remove_prefix(Utf8ByteOrderMark.size());
        m_lines.push_back(DecodeLine(bytes, m_cut));
        m_line.clear();
        m_cut = false;
        m_hasContent = false;
    }

    std::vector<std::wstring> m_lines;
    std::string m_line;
    bool m_afterCr = false;
    bool m_cut = false;
    bool m_hasContent = false;
};

std::string SaveFailure(const std::filesystem::path& file, const std::string& reason) {
    return "The search engine settings could not be saved to " + file.string() + ": " + reason;
}

std::string SaveFailure(const std::filesystem::path& file, int error) {
    return SaveFailure(file, std::strerror(error));
}

std::string LinesToWrite(const PaneArray<std::wstring>& texts) {
    std::string bytes;
    for (const auto& text : texts) {
        std::wstring line = text;
        for (wchar_t& c : line) {
            if (c == L'\r' || c == L'\n')
                c = L' ';
        }
        bytes += EncodeUtf8(line);
        bytes += "\r\n";
    }
    return bytes;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// A name no other writer uses at the same moment, in the target's folder so
// that the rename stays on one file system.
std::filesystem::path TemporaryName(const std::filesystem::path& target, int attempt) {
    static std::atomic<unsigned> counter{0};
    auto name = target.filename();
    name += ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + "-" +
            std::to_string(attempt);
    return target.parent_path() / name;
}

// Where the new file goes: the file itself, or through a symbolic link the
// file it names, so that the link stays a link. Only a regular file is ever
// replaced: a device, FIFO, socket or folder at the path (or named by the
// link), a link that leads nowhere and a loop of links are failures, and the
// path is left as it is.
std::filesystem::path ReplacedFile(const std::filesystem::path& file) {
    struct stat info = {};
    if (::lstat(file.c_str(), &info) != 0) {
        if (errno == ENOENT)
            return file; // nothing there yet: a new file
        throw ScoutwellError(SaveFailure(file, errno));
    }
    std::filesystem::path target = file;
    if (S_ISLNK(info.st_mode)) {
        std::error_code error;
        target = std::filesystem::canonical(file, error);
        if (error)
            throw ScoutwellError(SaveFailure(file, error.value()));
        if (::stat(target.c_str(), &info) != 0)
            throw ScoutwellError(SaveFailure(file, errno));
    }
    if (S_ISDIR(info.st_mode))
        throw ScoutwellError(SaveFailure(file, EISDIR));
    if (!S_ISREG(info.st_mode))
        throw ScoutwellError(SaveFailure(file, "it is not a regular file"));
    return target;
}

} // namespace

std::vector<std::wstring> ReadEngineSelectionLines(const ByteSource& read) {
    LineSplitter splitter;
    std::array<char, 64 * 1024> buffer;
    for (;;) {
        const std::ptrdiff_t count = read(buffer.data(), buffer.size());
        if (count < 0)
            return splitter.Abandon();
        if (count == 0)
            break;
        if (!splitter.Feed(std::string_view(buffer.data(), static_cast<std::size_t>(count))))
            break;
    }
    return splitter.Finish();
}

std::vector<std::wstring> ReadEngineSelection(const std::filesystem::path& file) {
    // Non-blocking so that a FIFO at the path cannot hang the start; only a
    // regular file is read, so a device such as /dev/zero is never streamed.
    FileDescriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (fd.Get() < 0)
        return {};
    struct stat info = {};
    if (::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode))
        return {};
    return ReadEngineSelectionLines([&](char* buffer, std::size_t capacity) -> std::ptrdiff_t {
        for (;;) {
            const ssize_t count = ::read(fd.Get(), buffer, capacity);
            if (count < 0 && errno == EINTR)
                continue;
            return count;
        }
    });
}

void WriteEngineSelection(const std::filesystem::path& file, const PaneArray<std::wstring>& texts) {
    const std::filesystem::path target = ReplacedFile(file);
    const std::string bytes = LinesToWrite(texts);

    struct stat old = {};
    const bool hadOld = ::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode);
    // A file the user made read-only stays as it is, as if it had been
    // opened for writing in place.
    if (hadOld && ::access(target.c_str(), W_OK) != 0)
        throw ScoutwellError(SaveFailure(file, errno));

    std::filesystem::path temporary;
    int created = -1;
    for (int attempt = 0; created < 0; ++attempt) {
        temporary = TemporaryName(target, attempt);
        // 0666 less the umask, as for any new file, unless the old file says otherwise below.
        created = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (created < 0 && (errno != EEXIST || attempt == 100))
            throw ScoutwellError(SaveFailure(file, errno));
    }
    FileDescriptor fd(created);

    int error = 0;
    if (hadOld && ::fchmod(fd.Get(), old.st_mode & 07777) != 0)
        error = errno;
    if (error == 0 && !WriteAll(fd.Get(), bytes))
        error = errno;
    if (error == 0 && ::fsync(fd.Get()) != 0)
        error = errno;
    if (fd.Close() != 0 && error == 0)
        error = errno;
    if (error == 0 && ::rename(temporary.c_str(), target.c_str()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temporary.c_str());
        throw ScoutwellError(SaveFailure(file, error));
    }

    // The rename itself reaches the disk with the folder; the new file is in
    // place either way, so a folder that cannot be flushed is no failure.
    FileDescriptor folder(::open(target.parent_path().empty() ? "." : target.parent_path().c_str(),
                                 O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.Get() >= 0)
        ::fsync(folder.Get());
}
