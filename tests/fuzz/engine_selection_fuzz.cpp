// Reading engines.lst: any bytes give at most five bounded lines, without a crash, hang or leak. It goes
// through a real file, so the file layer (open, the regular-file check, streaming) is exercised too.

#include "engine_selection_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

namespace {

std::filesystem::path InputFile() {
    static const std::filesystem::path file = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "engines-fuzz-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            std::abort();
        return std::filesystem::path(pattern) / EngineSelectionFileName;
    }();
    return file;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto file = InputFile();
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        if (!out)
            std::abort();
    }
    const auto lines = ReadEngineSelection(file);
    if (lines.size() > PaneCount)
        std::abort();
    for (const auto& line : lines)
        if (line.size() > MaxEngineSelectionLineBytes)
            std::abort();
    return 0;
}
