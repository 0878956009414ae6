#include "engine_selection_file.h"

#include "code_pages.h"
#include "failure.h"
#include "file_io.h"

#include <algorithm>
#include <array>
#include <limits>
#include <optional>
#include <utility>

namespace {

constexpr std::size_t LinesRead = PaneCount;
constexpr std::string_view Utf8ByteOrderMark = "\xEF\xBB\xBF";

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

    // Reading stopped short of the end: the line it interrupted is cut.
    void Cut() { m_cut = m_hasContent; }

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

std::filesystem::path UsersFile(const XdgFolders& xdg) {
    return *xdg.configHome / "scoutwell" / EngineSelectionFileName;
}

// The lines of the source's first maxBytes.
std::vector<std::wstring> ReadLines(const ByteSource& read, std::size_t maxBytes) {
    LineSplitter splitter;
    std::array<char, 64 * 1024> buffer;
    for (std::size_t left = maxBytes;;) {
        if (left == 0) {
            splitter.Cut();
            break;
        }
        const std::ptrdiff_t count = read(buffer.data(), std::min(buffer.size(), left));
        if (count < 0)
            return splitter.Abandon();
        if (count == 0)
            break;
        left -= static_cast<std::size_t>(count);
        if (!splitter.Feed(std::string_view(buffer.data(), static_cast<std::size_t>(count))))
            break;
    }
    return splitter.Finish();
}

} // namespace

std::vector<std::wstring> ReadEngineSelectionLines(const ByteSource& read) {
    return ReadLines(read, std::numeric_limits<std::size_t>::max());
}

std::vector<std::wstring> ReadEngineSelection(const std::filesystem::path& file) {
    FileDescriptor fd;
    try {
        fd = OpenRegularFile(file);
    } catch (const ScoutwellError&) {
        return {}; // missing or unreadable: as if there were no file
    }
    return ReadLines([&](char* buffer, std::size_t capacity) { return ReadSome(fd, buffer, capacity); },
                     MaxEngineSelectionFileBytes);
}

void WriteEngineSelection(const std::filesystem::path& file, const PaneArray<std::wstring>& texts) {
    try {
        ReplaceFile(file, LinesToWrite(texts));
    } catch (const ScoutwellError& failure) {
        throw ScoutwellError(SaveFailure(file, failure.what()));
    }
}

std::filesystem::path EngineSelectionSaveFile(const std::filesystem::path& programFolder,
                                              const XdgFolders& xdg) {
    if (IsWritableFolder(programFolder) || !xdg.configHome)
        return programFolder / EngineSelectionFileName;
    return UsersFile(xdg);
}

std::filesystem::path EngineSelectionLoadFile(const std::filesystem::path& programFolder,
                                              const XdgFolders& xdg) {
    const std::filesystem::path saved = EngineSelectionSaveFile(programFolder, xdg);
    if (IsReadableRegularFile(saved))
        return saved;
    const std::filesystem::path besideProgram = programFolder / EngineSelectionFileName;
    if (saved != besideProgram && IsReadableRegularFile(besideProgram))
        return besideProgram;
    if (xdg.configHome && IsReadableRegularFile(UsersFile(xdg)))
        return UsersFile(xdg);
    for (const auto& defaults : DefaultEngineSelectionFiles(programFolder, xdg))
        if (IsReadableRegularFile(defaults))
            return defaults;
    return saved;
}

std::vector<std::filesystem::path> DefaultEngineSelectionFiles(const std::filesystem::path& programFolder,
                                                               const XdgFolders& xdg) {
    std::vector<std::filesystem::path> files;
    for (const auto& folder : xdg.configDirs)
        files.push_back(folder / "scoutwell" / EngineSelectionFileName);
    if (programFolder.has_parent_path())
        files.push_back(programFolder.parent_path() / "etc" / "xdg" / "scoutwell" / EngineSelectionFileName);
    return files;
}
