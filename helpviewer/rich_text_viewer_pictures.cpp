// Pictures: decoded by GdkPixbuf at the size they are shown at, or an empty
// frame in their place.

#include "rich_text_viewer.h"
#include "rich_text_viewer_parts.h"

#include <gtk/gtk.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

using namespace RichTextViewerParts;

namespace {

// Pictures kept in the view at most, together; past that they show as frames
// of a few pixels.
constexpr std::int64_t MaxShownPicturePixels = std::int64_t{32} << 20;

const char* LoaderType(RtfPictureFormat format) {
    switch (format) {
    case RtfPictureFormat::Png:
        return "png";
    case RtfPictureFormat::Jpeg:
        return "jpeg";
    case RtfPictureFormat::Bmp: // what the reader makes of bitmaps and metafiles
        return "bmp";
    default:
        return nullptr;
    }
}

// The picture decoded at the given size, or nullptr. A damaged picture shows
// as its frame, with no message: the loader's error is left unread.
GdkPixbuf* DecodedPicture(const RtfPicture& picture, int width, int height) {
    const char* type = LoaderType(picture.format);
    if (type == nullptr)
        return nullptr;
    GdkPixbufLoader* loader = gdk_pixbuf_loader_new_with_type(type, nullptr);
    if (loader == nullptr)
        return nullptr;
    gdk_pixbuf_loader_set_size(loader, width, height);
    const bool written = gdk_pixbuf_loader_write(
        loader, reinterpret_cast<const guchar*>(picture.bytes.data()), picture.bytes.size(), nullptr);
    // Closed whatever the write gave: the loader insists.
    const bool closed = gdk_pixbuf_loader_close(loader, nullptr);
    GdkPixbuf* pixbuf = written && closed ? gdk_pixbuf_loader_get_pixbuf(loader) : nullptr;
    if (pixbuf != nullptr)
        g_object_ref(pixbuf);
    g_object_unref(loader);
    return pixbuf;
}

// An empty grey frame: the place of a picture that cannot be shown.
GdkPixbuf* Frame(int width, int height) {
    GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, width, height);
    if (pixbuf == nullptr)
        return nullptr;
    gdk_pixbuf_fill(pixbuf, 0);
    guchar* pixels = gdk_pixbuf_get_pixels(pixbuf);
    const int stride = gdk_pixbuf_get_rowstride(pixbuf);
    auto grey = [&](int x, int y) {
        std::memcpy(pixels + static_cast<std::ptrdiff_t>(y) * stride + x * 4, "\xA0\xA0\xA0\xFF", 4);
    };
    for (int x = 0; x < width; ++x) {
        grey(x, 0);
        grey(x, height - 1);
    }
    for (int y = 0; y < height; ++y) {
        grey(0, y);
        grey(width - 1, y);
    }
    return pixbuf;
}

} // namespace

void RichTextViewer::InsertPicture(int index, int leftIndent, int rightIndent) {
    if (index < 0 || static_cast<std::size_t>(index) >= m_document.pictures.size())
        return;
    const RtfPicture& picture = m_document.pictures[static_cast<std::size_t>(index)];
    // Narrowed in proportion when wider than the text column, which has no
    // horizontal scroll bar.
    const int column =
        std::max(ColumnWidth() - std::max(Pixels(leftIndent), 0) - std::max(Pixels(rightIndent), 0), 20);
    int width = std::max(Pixels(picture.widthTwips), 1);
    int height = std::max(Pixels(picture.heightTwips), 1);
    if (width > column) {
        height = std::max(1, static_cast<int>(std::int64_t{height} * column / width));
        width = column;
    }
    height = std::min(height, RtfLimits::MaxFramePixels);
    GdkPixbuf* pixbuf = nullptr;
    const std::int64_t pixels = std::int64_t{width} * height;
    if (m_picturePixels + pixels <= MaxShownPicturePixels) {
        m_picturePixels += pixels;
        pixbuf = DecodedPicture(picture, width, height);
        if (pixbuf == nullptr)
            pixbuf = Frame(width, height);
    } else {
        pixbuf = Frame(4, 4);
    }
    if (pixbuf == nullptr)
        return;
    GtkTextIter end;
    gtk_text_buffer_get_end_iter(BufferOf(this), &end);
    gtk_text_buffer_insert_pixbuf(BufferOf(this), &end, pixbuf);
    g_object_unref(pixbuf);
}
