#pragma once

#include "desktop.h"

#include <wx/string.h>

// The primary screen as the toolkit reports it. On X11 the work area is the
// window manager's (_NET_WORKAREA); with no window manager it is the whole
// screen.
class WxDesktop : public Desktop {
public:
    PixelRect WorkArea() const override;
    PixelRect DisplayArea() const override;
    float TwipsPerPixelX() const override;
    float TwipsPerPixelY() const override;
};

// Makes the twip layout grow with the desktop's text size: at one and a half
// times the standard text size a twip is one and a half times as many pixels.
// Called once, before the first window is made.
void FollowDesktopTextSize();

// The system and toolkit the program runs on, as the splash names them:
// "Linux · GTK 3".
wxString RunningPlatformName();
