#include "file_io.h"

#include "failure.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string SystemReason(int error) {
    return std::strerror(error);
}

// A name no other writer uses at the same moment, in the target's folder so
// that the rename stays on one file system.
fs::path TemporaryName(const fs::path& target, int attempt) {
    static std::atomic<unsigned> counter{0};
    auto name = target.filename();
    name += ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + "-" +
            std::to_string(attempt);
    return target.parent_path() / name;
}

// Where the new file goes: the file itself, or through a symbolic link the
// file it names, so that the link stays a link.
fs::path ReplacedFile(const fs::path& file) {
    struct stat info = {};
    if (::lstat(file.c_str(), &info) != 0) {
        if (errno == ENOENT)
            return file; // nothing there yet: a new file
        throw ScoutwellError(SystemReason(errno));
    }
    fs::path target = file;
    if (S_ISLNK(info.st_mode)) {
        std::error_code error;
        target = fs::canonical(file, error);
        if (error)
            throw ScoutwellError(SystemReason(error.value()));
        if (::stat(target.c_str(), &info) != 0)
            throw ScoutwellError(SystemReason(errno));
    }
    if (S_ISDIR(info.st_mode))
        throw ScoutwellError(SystemReason(EISDIR));
    if (!S_ISREG(info.st_mode))
        throw ScoutwellError("it is not a regular file");
    return target;
}

// Writes, flushes and closes; errno of the first step that failed, else 0.
int WriteAndClose(FileDescriptor& fd, std::string_view bytes) {
    int error = WriteAll(fd, bytes);
    if (error == 0 && ::fsync(fd.Get()) != 0)
        error = errno;
    const int closing = fd.Close();
    return error != 0 ? error : closing;
}

bool Allowed(const fs::path& path, int mode) {
    return ::faccessat(AT_FDCWD, path.c_str(), mode, AT_EACCESS) == 0;
}

} // namespace

FileDescriptor::FileDescriptor(FileDescriptor&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
    if (this != &other) {
        Close();
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

FileDescriptor::~FileDescriptor() {
    Close();
}

int FileDescriptor::Close() {
    if (m_fd < 0)
        return 0;
    return ::close(std::exchange(m_fd, -1)) == 0 ? 0 : errno;
}

FileDescriptor OpenRegularFile(const fs::path& file) {
    FileDescriptor fd(::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.Get() < 0)
        throw ScoutwellError("it cannot be opened (" + SystemReason(errno) + ")");
    struct stat status = {};
    if (::fstat(fd.Get(), &status) != 0)
        throw ScoutwellError("it cannot be examined (" + SystemReason(errno) + ")");
    if (!S_ISREG(status.st_mode))
        throw ScoutwellError("it is not a regular file");
    return fd;
}

std::ptrdiff_t ReadSome(const FileDescriptor& file, char* buffer, std::size_t capacity) {
    for (;;) {
        const ssize_t count = ::read(file.Get(), buffer, capacity);
        if (count >= 0 || errno != EINTR)
            return count;
    }
}

FileStart ReadAtMost(const FileDescriptor& file, std::size_t maxBytes) {
    // One byte past the bound tells whether the file goes on. The size is only
    // a hint for the buffer: the file may change while it is read.
    const std::size_t limit = maxBytes + 1;
    struct stat status = {};
    const std::uintmax_t hint = ::fstat(file.Get(), &status) == 0 && status.st_size > 0 ? status.st_size : 0;
    FileStart start;
    std::string& bytes = start.bytes;
    bytes.resize(static_cast<std::size_t>(std::min<std::uintmax_t>(hint + 1, limit)));
    std::size_t done = 0;
    for (;;) {
        if (done == bytes.size()) {
            if (done == limit)
                break;
            bytes.resize(std::min(std::max(2 * done, std::size_t{64} * 1024), limit));
        }
        const std::ptrdiff_t count = ReadSome(file, bytes.data() + done, bytes.size() - done);
        if (count < 0)
            throw ScoutwellError("it cannot be read (" + SystemReason(errno) + ")");
        if (count == 0)
            break;
        done += static_cast<std::size_t>(count);
    }
    start.cut = done > maxBytes;
    bytes.resize(std::min(done, maxBytes));
    return start;
}

int WriteAll(const FileDescriptor& file, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(file.Get(), bytes.data(), bytes.size());
        if (written < 0 && errno != EINTR)
            return errno;
        if (written > 0)
            bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

void ReplaceFile(const fs::path& file, std::string_view bytes) {
    const fs::path target = ReplacedFile(file);
    struct stat old = {};
    const bool hadOld = ::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode);
    // A file the user made read-only stays as it is, as if it had been
    // opened for writing in place.
    if (hadOld && ::access(target.c_str(), W_OK) != 0)
        throw ScoutwellError(SystemReason(errno));

    fs::path temporary;
    FileDescriptor fd;
    for (int attempt = 0; fd.Get() < 0; ++attempt) {
        temporary = TemporaryName(target, attempt);
        // 0666 less the umask, as for any new file, unless the old file says otherwise below.
        fd = FileDescriptor(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (fd.Get() < 0 && (errno != EEXIST || attempt == 100))
            throw ScoutwellError(SystemReason(errno));
    }
    int error = 0;
    if (hadOld && ::fchmod(fd.Get(), old.st_mode & 07777) != 0)
        error = errno;
    if (error == 0)
        error = WriteAndClose(fd, bytes);
    if (error == 0 && ::rename(temporary.c_str(), target.c_str()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temporary.c_str());
        throw ScoutwellError(SystemReason(error));
    }

    // The rename itself reaches the disk with the folder; the new file is in
    // place either way, so a folder that cannot be flushed is no failure.
    const FileDescriptor folder(::open(target.parent_path().empty() ? "." : target.parent_path().c_str(),
                                       O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.Get() >= 0)
        ::fsync(folder.Get());
}

bool CreateNewFile(const fs::path& file, std::string_view bytes) {
    FileDescriptor fd(::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
    if (fd.Get() < 0 && errno == EEXIST)
        return false;
    if (fd.Get() < 0)
        throw ScoutwellError(file.string() + " cannot be made (" + SystemReason(errno) + ")");
    if (const int error = WriteAndClose(fd, bytes); error != 0) {
        ::unlink(file.c_str());
        throw ScoutwellError(file.string() + " cannot be written (" + SystemReason(error) + ")");
    }
    return true;
}

bool IsReadableRegularFile(const fs::path& file) {
    std::error_code error;
    return fs::is_regular_file(file, error) && Allowed(file, R_OK);
}

bool IsWritableFolder(const fs::path& folder) {
    return !folder.empty() && Allowed(folder, W_OK);
}

std::optional<FileStart> ReadIfPresent(const std::filesystem::path& file, std::size_t maxBytes) {
    std::error_code error;
    if (!std::filesystem::exists(std::filesystem::symlink_status(file, error)))
        return std::nullopt;
    return ReadAtMost(OpenRegularFile(file), maxBytes);
}
