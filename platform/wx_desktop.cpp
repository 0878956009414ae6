#include "wx_desktop.h"

#include "twips.h"

#include <gtk/gtk.h>
#include <sys/utsname.h>
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

// Window positions are in logical pixels: the same size whatever the screen's
// scale factor, and as many to the inch as the text resolution says.
float WxDesktop::TwipsPerPixelX() const {
    return TwipsPerPixel();
}
float WxDesktop::TwipsPerPixelY() const {
    return TwipsPerPixel();
}

void FollowDesktopTextSize() {
    // GDK's screen resolution is the one text is drawn at: Xft.dpi (or the
    // desktop's XSETTINGS) times GDK_DPI_SCALE, in logical pixels.
    if (GdkScreen* screen = gdk_screen_get_default())
        SetTextPixelsPerInch(static_cast<float>(gdk_screen_get_resolution(screen)));
}

wxString RunningPlatformName() {
    utsname system = {};
    const wxString name = uname(&system) == 0 ? wxString::FromUTF8(system.sysname) : wxString("Unix");
    return name + wxString::FromUTF8(" \u00B7 GTK ") + wxString::Format("%u", gtk_get_major_version());
}
