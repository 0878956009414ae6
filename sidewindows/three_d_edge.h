#pragma once

class wxDC;
class wxSize;

enum class ThreeDEdge { Raised, Sunken };

// The two-pixel edge of the classic dialog look, drawn just inside a window
// of the given size: raised like a dialog's border, sunken like a picture box.
void DrawThreeDEdge(wxDC& dc, const wxSize& size, ThreeDEdge edge);
