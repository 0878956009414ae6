#include "twips.h"

#include "failure.h"

#include <cmath>

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
