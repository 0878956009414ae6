#pragma once

// Where a control sits, in twips. A child control's Left and Top are relative to
// its container's client area; a top-level window's are screen coordinates and
// its Width and Height are its outer size, decorations included.
//
// Setters take effect at once. A negative width or height is refused with a
// ScoutwellError and changes nothing, as is a value too large to place.
class Placement {
public:
    virtual ~Placement() = default;

    virtual float Left() const = 0;
    virtual float Top() const = 0;
    virtual float Width() const = 0;
    virtual float Height() const = 0;
    virtual void SetLeft(float twips) = 0;
    virtual void SetTop(float twips) = 0;
    virtual void SetWidth(float twips) = 0;
    virtual void SetHeight(float twips) = 0;

    virtual bool Visible() const = 0;
    virtual void SetVisible(bool visible) = 0;
};
