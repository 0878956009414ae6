#pragma once

#include <cstdint>

// A rectangle of screen pixels given by its edges: right and bottom are the
// coordinates just past the last pixel, not sizes.
struct PixelRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    bool Empty() const { return right <= left || bottom <= top; }
};

// What the desktop tells about the screen a window is placed on.
class Desktop {
public:
    virtual ~Desktop() = default;
    // The part of the screen the desktop's panels and bars leave free.
    virtual PixelRect WorkArea() const = 0;
    // The whole screen.
    virtual PixelRect DisplayArea() const = 0;
    virtual float TwipsPerPixelX() const = 0;
    virtual float TwipsPerPixelY() const = 0;
};
