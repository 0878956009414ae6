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

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static std::string folder = (std::filesystem::temp_directory_path() / "engines-fuzz-XXXXXX").string();
    static const bool made = ::mkdtemp(folder.data()) != nullptr;
    const auto file = std::filesystem::path(folder) / EngineSelectionFileName;
    std::ofstream(file, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    if (!made || std::filesystem::file_size(file) != size)
        std::abort();
    const auto lines = ReadEngineSelection(file);
    if (lines.size() > PaneCount)
        std::abort();
    for (const auto& line : lines)
        if (line.size() > MaxEngineSelectionLineBytes)
            std::abort();
    return 0;
}
