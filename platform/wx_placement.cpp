#include "wx_placement.h"

#include "failure.h"
#include "twips.h"

#include <wx/window.h>

namespace {

int SizeInPixels(float twips) {
    if (twips < 0)
        throw ScoutwellError("a negative size is refused: " + std::to_string(twips) + " twips");
    return TwipsToPixels(twips);
}

// Move() treats -1 as "keep", so every change goes through SetSize with all
// four values given explicitly.
void Place(wxWindow* window, int x, int y, int width, int height) {
    window->SetSize(x, y, width, height, wxSIZE_ALLOW_MINUS_ONE);
}

} // namespace

float WxPlacement::Left() const {
    return PixelsToTwips(m_window->GetPosition().x);
}
float WxPlacement::Top() const {
    return PixelsToTwips(m_window->GetPosition().y);
}
float WxPlacement::Width() const {
    return PixelsToTwips(m_window->GetSize().x);
}
float WxPlacement::Height() const {
    return PixelsToTwips(m_window->GetSize().y);
}

void WxPlacement::SetLeft(float twips) {
    const wxRect r = m_window->GetRect();
    Place(m_window, TwipsToPixels(twips), r.y, r.width, r.height);
}

void WxPlacement::SetTop(float twips) {
    const wxRect r = m_window->GetRect();
    Place(m_window, r.x, TwipsToPixels(twips), r.width, r.height);
}

void WxPlacement::SetWidth(float twips) {
    const wxRect r = m_window->GetRect();
    Place(m_window, r.x, r.y, SizeInPixels(twips), r.height);
}

void WxPlacement::SetHeight(float twips) {
    const wxRect r = m_window->GetRect();
    Place(m_window, r.x, r.y, r.width, SizeInPixels(twips));
}

bool WxPlacement::Visible() const {
    return m_window->IsShown();
}
void WxPlacement::SetVisible(bool visible) {
    m_window->Show(visible);
}
