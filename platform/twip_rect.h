#pragma once

#include "twips.h"

#include <wx/gdicmn.h>

// A control's place in twips, as the windows' layout tables give it: left
// and top within its container's client area, then its size.
struct TwipRect {
    float left, top, width, height;
};

// The rectangle moved right and down, as the next one of a row of like
// controls lies from the first.
constexpr TwipRect Shifted(const TwipRect& rect, float right, float down) {
    return {rect.left + right, rect.top + down, rect.width, rect.height};
}

// In whole logical pixels; each value is rounded on its own, so two
// rectangles that abut in twips may overlap or part by a pixel.
inline wxPoint PixelPosition(const TwipRect& rect) {
    return {TwipsToPixels(rect.left), TwipsToPixels(rect.top)};
}
inline wxSize PixelSize(const TwipRect& rect) {
    return {TwipsToPixels(rect.width), TwipsToPixels(rect.height)};
}
inline wxRect InPixels(const TwipRect& rect) {
    return {PixelPosition(rect), PixelSize(rect)};
}
