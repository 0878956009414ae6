#pragma once

#include <wx/window.h>

#include <functional>

// A frame with no caption: a container whose only look is a thin etched line
// along its edges on the dialog's background. Its own surface can be clicked
// (see SetClickHandler); the controls it holds are not its surface.
class EtchedFrame : public wxWindow {
public:
    EtchedFrame(wxWindow* parent, const wxRect& rect);

    // Runs handler for a click (press and release of the left button) that
    // both starts and ends on the frame's own surface.
    void SetClickHandler(std::function<void()> handler) { m_clickHandler = std::move(handler); }

    // Whether a point in the frame's client coordinates is its own surface:
    // inside the frame and on none of the controls it holds. Labels and
    // images have no window of their own on GTK, so their clicks arrive here
    // and only their rectangles tell them apart.
    bool IsOwnSurface(const wxPoint& point) const;

private:
    void OnPaint(wxPaintEvent& event);

    std::function<void()> m_clickHandler;
    bool m_pressedOnSurface = false;
};
