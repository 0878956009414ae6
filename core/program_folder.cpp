#include "program_folder.h"

#include "failure.h"

std::filesystem::path ProgramFolder() {
    std::error_code error;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        throw ScoutwellError("cannot find the program's folder: " + error.message());
    return executable.parent_path();
}
