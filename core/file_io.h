#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// The program's own files are read and written through here, so that the
// care each needs (never blocking on a FIFO, never reading a device without
// end, never leaving half a file behind) is taken in one place.

// Owns a file descriptor: the file is closed on every way out.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) noexcept : m_fd(fd) {}
    FileDescriptor(FileDescriptor&& other) noexcept;
    FileDescriptor& operator=(FileDescriptor&& other) noexcept;
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor();

    int Get() const { return m_fd; }
    // Closes now, for a caller that must know whether closing worked (a
    // write's last error can show up only here); returns errno, 0 when it did.
    int Close();

private:
    int m_fd;
};

// Opens a regular file for reading. The open does not wait (a FIFO with no
// writer would wait for ever) and the file is checked before a byte is read,
// so a device such as /dev/zero is never streamed. Throws ScoutwellError
// whose message is the reason alone, as "it cannot be opened (No such file
// or directory)" or "it is not a regular file".
FileDescriptor OpenRegularFile(const std::filesystem::path& file);

// One read() of at most capacity bytes, repeated when a signal interrupts it:
// the count, 0 at the end, -1 with errno set when reading failed.
std::ptrdiff_t ReadSome(const FileDescriptor& file, char* buffer, std::size_t capacity);

struct FileStart {
    std::string bytes;
    bool cut = false; // the file holds more than the bytes read
};

// The file from where it stands up to its end or maxBytes, whichever comes
// first. Throws ScoutwellError "it cannot be read (reason)".
FileStart ReadAtMost(const FileDescriptor& file, std::size_t maxBytes);

// The same for a file that may not be there yet: none when nothing is at the
// path; anything else that cannot be read throws as OpenRegularFile does.
std::optional<FileStart> ReadIfPresent(const std::filesystem::path& file, std::size_t maxBytes);

// Writes all the bytes, repeating after interruptions and short writes;
// returns errno of the write that failed, 0 when all were written.
int WriteAll(const FileDescriptor& file, std::string_view bytes);

// Replaces the file's content atomically: the bytes go to a temporary file in
// the same folder, which is flushed to the disk and then renamed over the old
// file, keeping the old file's permissions; the folder is flushed after. When
// the target is a symbolic link, the file it points to is replaced. Only a
// regular file is replaced: anything else at the path (a device, FIFO, socket
// or folder, or a link to one, a link to nothing, a loop of links) is a
// failure, and so is a file the user may not write. On any failure the
// temporary file is removed, the old file stays as it was, and
// ScoutwellError is thrown whose message is the system's reason alone.
void ReplaceFile(const std::filesystem::path& file, std::string_view bytes);

// Makes the file with the bytes, flushed to the disk, unless anything is at
// the path already (a link too): then returns false and touches nothing.
// Throws ScoutwellError naming the file and the system's reason; a file begun
// is removed again.
bool CreateNewFile(const std::filesystem::path& file, std::string_view bytes);

// Asked with the effective user's rights, the ones opening a file is checked against.
bool IsReadableRegularFile(const std::filesystem::path& file);
bool IsWritableFolder(const std::filesystem::path& folder);
