#include "twips.h"

#include "failure.h"

#include <cmath>
#include <limits>

namespace {
// GTK keeps sizes and positions in int; stay well inside that so sums of a
// position and a size cannot overflow either.
constexpr double MaxPixels = 1 << 24;
} // namespace

int TwipsToPixels(float twips) {
    const double pixels = std::round(static_cast<double>(twips) / TwipsPerPixel);
    if (!std::isfinite(pixels) || std::fabs(pixels) > MaxPixels)
        throw ScoutwellError("placement out of range: " + std::to_string(twips) + " twips");
    return static_cast<int>(pixels);
}

std::int32_t WholeTwips(float twips) {
    const double whole = std::nearbyint(static_cast<double>(twips));
    if (!(whole >= std::numeric_limits<std::int32_t>::min() &&
          whole <= std::numeric_limits<std::int32_t>::max()))
        throw ScoutwellError("placement out of range: " + std::to_string(twips) + " twips");
    return static_cast<std::int32_t>(whole);
}
