#include "failure.h"

#include <cstdio>
#include <string_view>

void ReportSwallowedFailure(const SourcePlace& where, const char* what) noexcept {
    // The file's own name is enough to find it; the build's folders are not.
    std::string_view file = where.file;
    if (const auto slash = file.find_last_of('/'); slash != std::string_view::npos)
        file.remove_prefix(slash + 1);
    std::fprintf(stderr, "scoutwell: ignored failure in %s (%.*s:%u): %s\n", where.function,
                 static_cast<int>(file.size()), file.data(), where.line, what);
}
