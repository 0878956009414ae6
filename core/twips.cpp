#include "twips.h"

#include "failure.h"

#include <atomic>
#include <cmath>
#include <limits>

namespace {
// GTK keeps sizes and positions in int; stay well inside that so sums of a
// position and a size cannot overflow either.
constexpr double MaxPixels = 1 << 24;

// From a quarter to five times the standard text size.
constexpr float SmallestPixelsPerInch = StandardPixelsPerInch / 4;
constexpr float LargestPixelsPerInch = StandardPixelsPerInch * 5;

std::atomic<float> twipsPerPixel{TwipsPerInch / StandardPixelsPerInch};
} // namespace

float TwipsPerPixel() {
    return twipsPerPixel.load(std::memory_order_relaxed);
}

void SetTextPixelsPerInch(float pixelsPerInch) {
    if (pixelsPerInch >= SmallestPixelsPerInch && pixelsPerInch <= LargestPixelsPerInch)
        twipsPerPixel.store(TwipsPerInch / pixelsPerInch, std::memory_order_relaxed);
}

int TwipsToPixels(float twips) {
    const double pixels = std::round(static_cast<double>(twips) / TwipsPerPixel());
    if (!std::isfinite(pixels) || std::fabs(pixels) > MaxPixels)
        throw ScoutwellError("placement out of range: " + std::to_string(twips) + " twips");
    return static_cast<int>(pixels);
}

float PixelsToTwips(int pixels) {
    return static_cast<float>(pixels) * TwipsPerPixel();
}

std::int32_t WholeTwips(float twips) {
    const double whole = std::nearbyint(static_cast<double>(twips));
    if (!(whole >= std::numeric_limits<std::int32_t>::min() &&
          whole <= std::numeric_limits<std::int32_t>::max()))
        throw ScoutwellError("placement out of range: " + std::to_string(twips) + " twips");
    return static_cast<std::int32_t>(whole);
}
