#pragma once

#include "placement.h"

class wxWindow;

// Placement of a real window in twips. Values are whole logical pixels on the
// screen, so reading back gives the pixel value the window actually took.
class WxPlacement : public Placement {
public:
    explicit WxPlacement(wxWindow* window) : m_window(window) {}

    float Left() const override;
    float Top() const override;
    float Width() const override;
    float Height() const override;
    void SetLeft(float twips) override;
    void SetTop(float twips) override;
    void SetWidth(float twips) override;
    void SetHeight(float twips) override;

    bool Visible() const override;
    void SetVisible(bool visible) override;

    wxWindow* Window() const { return m_window; }

private:
    wxWindow* m_window;
};
