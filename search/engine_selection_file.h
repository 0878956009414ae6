#pragma once

#include "panes.h"
#include "xdg_folders.h"

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The engine choice of the five panes, one chooser text per line, kept under
// this name.
inline constexpr std::string_view EngineSelectionFileName = "engines.lst";

// engines.lst is kept beside the program when that folder can be written (a
// portable copy, a build folder); otherwise, as in a system-wide install, in
// the user's own configuration folder, scoutwell/engines.lst.
std::filesystem::path EngineSelectionSaveFile(const std::filesystem::path& programFolder,
                                              const XdgFolders& xdg);

// The file read at start: the one Save writes when it exists, else the one in
// the other place, so that a file beside a read-only program is still read
// until the user saves a choice of their own; without either, the first of
// DefaultEngineSelectionFiles there is. With none at all the choosers keep
// the texts they were made with.
std::filesystem::path EngineSelectionLoadFile(const std::filesystem::path& programFolder,
                                              const XdgFolders& xdg);

// Where a default choice of today's engines is looked for, first first:
// scoutwell/engines.lst in each $XDG_CONFIG_DIRS entry (/etc/xdg), then
// etc/xdg/scoutwell/engines.lst of the program's prefix, which is where the
// build puts one for the program in its bin/ folder, and where an install
// into a prefix of its own puts it.
std::vector<std::filesystem::path> DefaultEngineSelectionFiles(const std::filesystem::path& programFolder,
                                                               const XdgFolders& xdg);

// Only this much of the file is read: five chooser texts fit many times over,
// and a damaged file of gigabytes costs no more than a small one. What lies
// beyond is as if the file ended there.
inline constexpr std::size_t MaxEngineSelectionFileBytes = 64 * 1024;

// A line keeps at most this many bytes; the rest of a longer line is skipped
// up to its line end. No chooser text is that long, and a source of one huge
// line then costs a scan, not its size in memory.
inline constexpr std::size_t MaxEngineSelectionLineBytes = 64 * 1024;

// The first five lines of the file's first MaxEngineSelectionFileBytes, each
// text exactly as it stands (no trimming, no lookup). Lines end at CR LF, a
// lone CR or a lone LF; a last line without a line end runs to the end of the
// file (or of the part read). A line that is valid
// UTF-8 is read as UTF-8, any other as Windows-1252, the code page of files
// written on Windows. A UTF-8 byte order mark at the start is dropped.
//
// A missing or unreadable file, or anything that is not a regular file, gives
// no lines; a read that fails part-way gives the lines completed before it.
// Never throws for a file it cannot read.
std::vector<std::wstring> ReadEngineSelection(const std::filesystem::path& file);

// The splitting and decoding of ReadEngineSelection over any source of bytes:
// read(buffer, capacity) puts up to capacity bytes into buffer and returns
// how many, 0 at the end, or a negative number when reading failed.
using ByteSource = std::function<std::ptrdiff_t(char* buffer, std::size_t capacity)>;
std::vector<std::wstring> ReadEngineSelectionLines(const ByteSource& read);

// Writes the five texts in pane order, each followed by CR LF, as UTF-8. A
// line break inside a text would shift every later pane by a line, so CR and
// LF in a text are written as spaces.
//
// The old file is replaced atomically: the texts go to a temporary file in
// the same folder, which is flushed to the disk and then renamed over the old
// file, keeping the old file's permissions. When the target is a symbolic
// link, the file it points to is replaced. Only a regular file is replaced:
// anything else at the path (a device, FIFO, socket or folder, or a link to
// one, a link to nothing, a loop of links) is a failure. On any failure the temporary file
// is removed, the old file stays as it was, and ScoutwellError is thrown with
// a message naming the file and the system's reason.
void WriteEngineSelection(const std::filesystem::path& file, const PaneArray<std::wstring>& texts);
