#include "failure.h"

#include <cstdio>
#include <string_view>

void ReportSwallowedFailure(const std::source_location& where, const char* what) noexcept {
    // The file's own name is enough to find it; the build's folders are not.
    std::string_view file = where.file_name();
    if (const auto slash = file.find_last_of('/'); slash != std::string_view::npos)
        file.remove_prefix(slash + 1);
    std::fprintf(stderr, "scoutwell: ignored failure in %s (%.*s:%u): %s\n", where.function_name(),
                 static_cast<int>(file.size()), file.data(), static_cast<unsigned>(where.line()), what);
}
