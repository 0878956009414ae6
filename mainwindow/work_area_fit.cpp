#include "work_area_fit.h"

#include "desktop.h"
#include "failure.h"
#include "placement.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace {

// pixels x factor, rounded to the nearest whole number with halves to even,
// as a 32-bit value.
std::int32_t ToTwips(std::int32_t pixels, float twipsPerPixel) {
    const double twips = std::nearbyint(static_cast<double>(pixels) * twipsPerPixel);
    if (!(twips >= std::numeric_limits<std::int32_t>::min() &&
          twips <= std::numeric_limits<std::int32_t>::max()))
        throw ScoutwellError("work area out of range");
    return static_cast<std::int32_t>(twips);
}

} // namespace

void FitToWorkArea(Placement& window, const Desktop& desktop) {
    PixelRect area = desktop.WorkArea();
    // An all-zero or inside-out rectangle means the desktop could not tell;
    // a window fitted to it would vanish.
    if (area.Empty())
        area = desktop.DisplayArea();

    area.left = ToTwips(area.left, desktop.TwipsPerPixelX());
    area.top = ToTwips(area.top, desktop.TwipsPerPixelY());
    area.right = ToTwips(area.right, desktop.TwipsPerPixelX());
    area.bottom = ToTwips(area.bottom, desktop.TwipsPerPixelY());

    window.SetLeft(static_cast<float>(area.left));
    window.SetTop(static_cast<float>(area.top));
    window.SetWidth(static_cast<float>(static_cast<std::int64_t>(area.right) - area.left));
    window.SetHeight(static_cast<float>(static_cast<std::int64_t>(area.bottom) - area.top));
}
