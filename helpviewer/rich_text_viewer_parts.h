#pragma once

// What the viewer's source files share: the view's margin and the way into
// its buffer. Only the viewer's own files include this.

#include "rich_text_viewer.h"

#include <gtk/gtk.h>

namespace RichTextViewerParts {

constexpr int Margin = 3; // between the border and the text, as edit controls leave

// A document length in the view's logical pixels. Lengths a file can give are
// clamped where they are read; a document built in code is clamped here to
// the same range, so that no length makes the conversion refuse.
int Pixels(int twips);

inline GtkTextBuffer* BufferOf(const RichTextViewer* viewer) {
    return gtk_text_view_get_buffer(viewer->TextView());
}

} // namespace RichTextViewerParts
