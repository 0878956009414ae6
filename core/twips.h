#pragma once

#include <cstdint>

// Twips are 1/1440 inch. Positions in the toolkit are logical pixels, which
// are 1/96 inch at the standard text size, so a logical pixel is then 15
// twips. A larger text setting of the desktop makes every inch more pixels:
// the whole layout grows with its text, as it did on the system the twip
// layout was drawn for ("large fonts").
constexpr float TwipsPerInch = 1440.0f;
constexpr float StandardPixelsPerInch = 96.0f;

// Twips in one logical pixel: 15 at the standard 96 pixels an inch.
float TwipsPerPixel();

// The desktop's text resolution in logical pixels an inch (96 standard, 144
// at one and a half times the text size). Set once at start, before any
// window is made; a value that is not a sane resolution is ignored.
void SetTextPixelsPerInch(float pixelsPerInch);

// Rounds twips to the nearest whole logical pixel. Throws ScoutwellError for a
// value that no window could be placed at (not finite, or beyond the toolkit's
// coordinate range).
int TwipsToPixels(float twips);

float PixelsToTwips(int pixels);

// A placement rounded to the nearest whole twip (halves to even), as a zoomed
// pane's saved place is held. Throws ScoutwellError for a value out of range.
std::int32_t WholeTwips(float twips);
