#include "picture_box.h"

#include <wx/dcclient.h>
#include <wx/settings.h>

PictureBox::PictureBox(wxWindow* parent, const wxRect& rect, const wxBitmap& picture)
    : wxWindow(parent, wxID_ANY, rect.GetPosition(), rect.GetSize(), wxBORDER_NONE), m_picture(picture) {
    Bind(wxEVT_PAINT, &PictureBox::OnPaint, this);
}

void PictureBox::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    const wxSize size = GetClientSize();
    const auto line = [&](wxSystemColour colour, int x1, int y1, int x2, int y2) {
        dc.SetPen(wxPen(wxSystemSettings::GetColour(colour)));
        dc.DrawLine(x1, y1, x2, y2);
    };
    const int right = size.x - 1;
    const int bottom = size.y - 1;
    // Sunken: shadow above and to the left, light below and to the right,
    // a darker pair inside the lighter one.
    line(wxSYS_COLOUR_3DSHADOW, 0, 0, right, 0);
    line(wxSYS_COLOUR_3DSHADOW, 0, 0, 0, bottom);
    line(wxSYS_COLOUR_3DHIGHLIGHT, 0, bottom, right + 1, bottom);
    line(wxSYS_COLOUR_3DHIGHLIGHT, right, 0, right, bottom);
    line(wxSYS_COLOUR_3DDKSHADOW, 1, 1, right - 1, 1);
    line(wxSYS_COLOUR_3DDKSHADOW, 1, 1, 1, bottom - 1);
    line(wxSYS_COLOUR_3DLIGHT, 1, bottom - 1, right, bottom - 1);
    line(wxSYS_COLOUR_3DLIGHT, right - 1, 1, right - 1, bottom - 1);
    if (m_picture.IsOk())
        dc.DrawBitmap(m_picture, BorderWidth, BorderWidth, true);
}
