#include "etched_frame.h"

#include <wx/dcclient.h>
#include <wx/settings.h>

EtchedFrame::EtchedFrame(wxWindow* parent, const wxRect& rect)
    : wxWindow(parent, wxID_ANY, rect.GetPosition(), rect.GetSize(), wxBORDER_NONE) {
    Bind(wxEVT_PAINT, &EtchedFrame::OnPaint, this);
    Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent& event) {
        m_pressedOnSurface = IsOwnSurface(event.GetPosition());
        event.Skip();
    });
    Bind(wxEVT_LEFT_UP, [this](wxMouseEvent& event) {
        const bool click = m_pressedOnSurface && IsOwnSurface(event.GetPosition());
        m_pressedOnSurface = false;
        event.Skip();
        if (click && m_clickHandler)
            m_clickHandler();
    });
}

bool EtchedFrame::IsOwnSurface(const wxPoint& point) const {
    if (!wxRect(GetClientSize()).Contains(point))
        return false;
    for (const wxWindow* child : GetChildren()) {
        if (child->IsShown() && child->GetRect().Contains(point))
            return false;
    }
    return true;
}

void EtchedFrame::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    const wxSize size = GetClientSize();
    // An etched line is a shadow line with a highlight line one pixel below
    // and to the right of it.
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    dc.SetPen(wxPen(wxSystemSettings::GetColour(wxSYS_COLOUR_3DHIGHLIGHT)));
    dc.DrawRectangle(1, 1, size.x - 1, size.y - 1);
    dc.SetPen(wxPen(wxSystemSettings::GetColour(wxSYS_COLOUR_3DSHADOW)));
    dc.DrawRectangle(0, 0, size.x - 1, size.y - 1);
}
