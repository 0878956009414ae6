// Any engines.lst gives at most five bounded lines; read through a real file, the file layer is fuzzed too.

#include "../support/temp_folder.h"
#include "engine_selection_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const TempFolder folder("engines-fuzz");
    const auto file = folder.path / EngineSelectionFileName;
    WriteFile(file, std::string(reinterpret_cast<const char*>(data), size));
    const auto lines = ReadEngineSelection(file);
    if (lines.size() > PaneCount)
        std::abort();
    for (const auto& line : lines)
        if (line.size() > MaxEngineSelectionLineBytes)
            std::abort();
    return 0;
}
