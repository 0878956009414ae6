#include "picture_box.h"

#include "three_d_edge.h"

#include <wx/dcclient.h>

PictureBox::PictureBox(wxWindow* parent, const wxRect& rect, const wxBitmap& picture)
    : wxWindow(parent, wxID_ANY, rect.GetPosition(), rect.GetSize(), wxBORDER_NONE), m_picture(picture) {
    Bind(wxEVT_PAINT, &PictureBox::OnPaint, this);
}

void PictureBox::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    DrawThreeDEdge(dc, GetClientSize(), ThreeDEdge::Sunken);
    if (m_picture.IsOk())
        dc.DrawBitmap(m_picture, BorderWidth, BorderWidth, true);
}
