#pragma once

#include <cstdint>

// Twips are 1/1440 inch. Positions in the toolkit are logical pixels, which
// are 1/96 inch whatever the screen's scale, so a logical pixel is 15 twips.
constexpr float TwipsPerInch = 1440.0f;
constexpr float StandardPixelsPerInch = 96.0f;
constexpr float TwipsPerPixel = TwipsPerInch / StandardPixelsPerInch;

// Rounds twips to the nearest whole logical pixel. Throws ScoutwellError for a
// value that no window could be placed at (not finite, or beyond the toolkit's
// coordinate range).
int TwipsToPixels(float twips);

constexpr float PixelsToTwips(int pixels) {
    return static_cast<float>(pixels) * TwipsPerPixel;
}

// A placement rounded to the nearest whole twip (halves to even), as a zoomed
// pane's saved place is held. Throws ScoutwellError for a value out of range.
std::int32_t WholeTwips(float twips);
