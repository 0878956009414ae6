#pragma once

#include "twip_rect.h"

// The splash window as it was designed, in twips. The frame lies within the
// window's client area, everything else within the frame. A text's
// rectangle is the room it may take; the text itself is as large as it
// needs, a right-aligned one keeping to the room's right edge.
namespace SplashGeometry {

constexpr TwipRect ClientArea{0, 0, 7380, 4245};
constexpr TwipRect Frame{150, 60, 7080, 4050};
constexpr TwipRect Icon{2760, 3000, 540, 540};
constexpr TwipRect Logo{240, 600, 2415, 1830};

constexpr TwipRect MakerNameRoom{2880, 720, 4080, 465};
constexpr TwipRect ProductNameRoom{2880, 1140, 4080, 1200};
constexpr TwipRect PlatformRoom{2760, 2340, 4095, 390};
constexpr TwipRect VersionRoom{3360, 2700, 3495, 315};
constexpr TwipRect CopyrightRoom{3360, 3060, 3255, 255};
constexpr TwipRect EmailRoom{3360, 3270, 3615, 255};

} // namespace SplashGeometry
