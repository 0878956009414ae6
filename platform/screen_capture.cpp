#include "screen_capture.h"

#include <gdk/gdk.h>

wxImage CaptureScreenArea(const wxRect& area) {
    GdkPixbuf* pixels =
        gdk_pixbuf_get_from_window(gdk_get_default_root_window(), area.x, area.y, area.width, area.height);
    if (pixels == nullptr)
        return {};
    wxImage image(area.width, area.height);
    const int stride = gdk_pixbuf_get_rowstride(pixels);
    const int channels = gdk_pixbuf_get_n_channels(pixels);
    const guchar* data = gdk_pixbuf_get_pixels(pixels);
    for (int y = 0; y < area.height; ++y)
        for (int x = 0; x < area.width; ++x) {
            const guchar* pixel = data + y * stride + x * channels;
            image.SetRGB(x, y, pixel[0], pixel[1], pixel[2]);
        }
    g_object_unref(pixels);
    return image;
}
