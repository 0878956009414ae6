#pragma once

#include <wx/bitmap.h>
#include <wx/window.h>

// A picture box: a picture at the top-left corner inside a sunken
// two-pixel border. It can take the keyboard focus, as a picture box can.
class PictureBox : public wxWindow {
public:
    static constexpr int BorderWidth = 2;

    PictureBox(wxWindow* parent, const wxRect& rect, const wxBitmap& picture);

    bool AcceptsFocus() const override { return true; }
    const wxBitmap& Picture() const { return m_picture; }

private:
    void OnPaint(wxPaintEvent& event);

    wxBitmap m_picture;
};
