#include "child_processes.h"

#include "failure.h"
#include "file_io.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <system_error>

namespace {

// The start of a /proc file, or "" once the process has ended.
std::string ProcFile(const std::filesystem::path& file) {
    try {
        const auto start = ReadIfPresent(file, 4096);
        return start ? start->bytes : std::string();
    } catch (const ScoutwellError&) {
        return {}; // the process ended between the listing and the read
    }
}

} // namespace

std::vector<long> ChildrenResidentKiB(std::string_view program) {
    std::vector<long> sizes;
    const long pageKiB = sysconf(_SC_PAGESIZE) / 1024;
    std::error_code error;
    // Each thread lists the children it started.
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task", error)) {
        std::istringstream children(ProcFile(task.path() / "children"));
        for (long pid = 0; children >> pid;) {
            const std::filesystem::path process = "/proc/" + std::to_string(pid);
            std::string name = ProcFile(process / "comm");
            if (!name.empty() && name.back() == '\n')
                name.pop_back();
            long size = 0, resident = 0;
            if (name == program && std::istringstream(ProcFile(process / "statm")) >> size >> resident)
                sizes.push_back(resident * pageKiB);
        }
    }
    static bool told = false;
    if (error && !told) {
        told = true; // once: this is asked at every search
        std::fprintf(stderr, "scoutwell: the program's child processes cannot be listed: %s\n",
                     error.message().c_str());
    }
    return sizes;
}
