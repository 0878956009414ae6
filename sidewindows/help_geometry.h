#pragma once

#include "twip_rect.h"

// The help window as it was designed, in twips, within its client area.
namespace HelpGeometry {

constexpr TwipRect ClientArea{0, 0, 6870, 6315};
constexpr TwipRect DocumentView{120, 120, 6615, 4935};
constexpr TwipRect WebsiteButton{120, 5160, 3375, 495};
constexpr TwipRect EmailButton{120, 5760, 3375, 495};

} // namespace HelpGeometry
