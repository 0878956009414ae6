#include "wx_desktop.h"

#include "twips.h"

#include <wx/display.h>

namespace {

PixelRect FromWx(const wxRect& r) {
    return {r.GetLeft(), r.GetTop(), r.GetLeft() + r.GetWidth(), r.GetTop() + r.GetHeight()};
}

} // namespace

PixelRect WxDesktop::WorkArea() const {
    return FromWx(wxDisplay().GetClientArea());
}
PixelRect WxDesktop::DisplayArea() const {
    return FromWx(wxDisplay().GetGeometry());
}

// Window positions are in logical pixels, which are the same size in inches
// whatever the screen's scale factor.
float WxDesktop::TwipsPerPixelX() const {
    return TwipsPerPixel;
}
float WxDesktop::TwipsPerPixelY() const {
    return TwipsPerPixel;
}
