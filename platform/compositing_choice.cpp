#include "compositing_choice.h"

#include "ascii_case.h"

#include <algorithm>
#include <array>
#include <cstdlib>

namespace {

bool ContainsIgnoringCase(std::string_view text, std::string_view part) {
    return std::search(text.begin(), text.end(), part.begin(), part.end(), SameIgnoringAsciiCase<char>) !=
           text.end();
}

std::optional<std::string_view> Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::optional<std::string_view>(value) : std::nullopt;
}

} // namespace

bool IsSoftwareRenderer(std::string_view renderer) {
    // Mesa's llvmpipe and softpipe, its old "Software Rasterizer", Google's
    // SwiftShader, and Windows' stand-in driver seen through WSL. Hardware
    // renderers may name LLVM too ("AMD Radeon ... LLVM 15.0.6"): only the
    // software ones' own names count.
    constexpr std::array<std::string_view, 6> softwareNames{"llvmpipe",    "softpipe", "software rasterizer",
                                                            "swiftshader", "swrast",   "basic render driver"};
    return std::any_of(softwareNames.begin(), softwareNames.end(),
                       [&](std::string_view name) { return ContainsIgnoringCase(renderer, name); });
}

bool ShouldDisableCompositing(std::optional<std::string_view> userDisable,
                              std::optional<std::string_view> userForce, const RendererQuery& renderer) {
    if (userDisable || userForce)
        return false;
    const std::optional<std::string> name = renderer();
    return name && IsSoftwareRenderer(*name);
}

namespace {
// Whether this process set WEBKIT_DISABLE_COMPOSITING_MODE itself.
bool disabledHere = false;
} // namespace

bool UserChoseCompositing() {
    return Variable("WEBKIT_DISABLE_COMPOSITING_MODE") || Variable("WEBKIT_FORCE_COMPOSITING_MODE");
}

bool ChooseCompositingMode(const RendererQuery& renderer) {
    if (!ShouldDisableCompositing(Variable("WEBKIT_DISABLE_COMPOSITING_MODE"),
                                  Variable("WEBKIT_FORCE_COMPOSITING_MODE"), renderer))
        return false;
    if (setenv("WEBKIT_DISABLE_COMPOSITING_MODE", "1", 0) != 0)
        return false;
    disabledHere = true;
    return true;
}

std::vector<std::string> OwnWebKitVariables() {
    if (disabledHere)
        return {"WEBKIT_DISABLE_COMPOSITING_MODE"};
    return {};
}
