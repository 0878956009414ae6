#include "x_keyboard.h"

#include <X11/Xlib.h>
#include <gdk/gdkx.h>

void TurnOffKeyRepeat() {
    GdkDisplay* display = gdk_display_get_default();
    if (display != nullptr && GDK_IS_X11_DISPLAY(display)) {
        XAutoRepeatOff(GDK_DISPLAY_XDISPLAY(display));
        XFlush(GDK_DISPLAY_XDISPLAY(display));
    }
}
