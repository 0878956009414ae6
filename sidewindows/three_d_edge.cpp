#include "three_d_edge.h"

#include <wx/dc.h>
#include <wx/settings.h>

void DrawThreeDEdge(wxDC& dc, const wxSize& size, ThreeDEdge edge) {
    const bool raised = edge == ThreeDEdge::Raised;
    // Raised: light above and to the left, shadow below and to the right;
    // sunken the other way round. The inner pair is the stronger one for a
    // sunken edge and the weaker one for a raised edge.
    const wxSystemColour outerTopLeft = raised ? wxSYS_COLOUR_3DLIGHT : wxSYS_COLOUR_3DSHADOW;
    const wxSystemColour outerBottomRight = raised ? wxSYS_COLOUR_3DDKSHADOW : wxSYS_COLOUR_3DHIGHLIGHT;
    const wxSystemColour innerTopLeft = raised ? wxSYS_COLOUR_3DHIGHLIGHT : wxSYS_COLOUR_3DDKSHADOW;
    const wxSystemColour innerBottomRight = raised ? wxSYS_COLOUR_3DSHADOW : wxSYS_COLOUR_3DLIGHT;

    const int right = size.x - 1;
    const int bottom = size.y - 1;
    const auto line = [&](wxSystemColour colour, int x1, int y1, int x2, int y2) {
        dc.SetPen(wxPen(wxSystemSettings::GetColour(colour)));
        dc.DrawLine(x1, y1, x2, y2);
    };
    line(outerTopLeft, 0, 0, right, 0);
    line(outerTopLeft, 0, 0, 0, bottom);
    line(outerBottomRight, 0, bottom, right + 1, bottom);
    line(outerBottomRight, right, 0, right, bottom);
    line(innerTopLeft, 1, 1, right - 1, 1);
    line(innerTopLeft, 1, 1, 1, bottom - 1);
    line(innerBottomRight, 1, bottom - 1, right, bottom - 1);
    line(innerBottomRight, right - 1, 1, right - 1, bottom - 1);
}
