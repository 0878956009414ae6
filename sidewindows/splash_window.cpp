#include "splash_window.h"

#include "etched_frame.h"
#include "picture_box.h"
#include "product_info.h"
#include "program_resources.h"
#include "three_d_edge.h"
#include "twips.h"

#include <wx/dcclient.h>
#include <wx/frame.h> // wxFRAME_NO_TASKBAR, which dialogs honour too
#include <wx/settings.h>
#include <wx/statbmp.h>

namespace {

constexpr int SplashDelayMs = 3000;

using SplashLabel = SplashWindow::SplashLabel;

// A rectangle given in twips, in whole logical pixels.
wxRect TwipsRect(float left, float top, float width, float height) {
    return {TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height)};
}

// Arial, or on systems without it Liberation Sans, which has Arial's metrics,
// so that the labels keep the sizes they were laid out for. Sizes such as
// 32.25 pt need the fractional size; the toolkit makes a point 4/3 of a
// logical pixel.
wxFont SplashFont(double points, bool bold) {
#ifdef __WXMSW__
    const wxString face = L"Arial";
#else
    const wxString face = L"Liberation Sans";
#endif
    wxFont font(wxFontInfo(points).FaceName(face).Bold(bold));
    font.SetFractionalPointSize(points);
    return font;
}

wxSize TextSize(SplashLabel* label) {
    return label->GetTextExtent(label->GetLabelText());
}

// The labels draw their own text: GTK's native label takes a font size in
// whole points only, which would make 15.75 pt a visibly smaller 15 pt.
SplashLabel* NewLabel(wxWindow* parent, const wxString& text, const wxFont& font, long style = 0) {
    auto* label = new SplashLabel(parent, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                                  style | wxST_NO_AUTORESIZE);
    label->SetFont(font);
    label->SetLabelText(text);
    return label;
}

// A label that takes its size from its text, its left edge at left.
SplashLabel* AutoSizeLabel(wxWindow* parent, const wxString& text, const wxFont& font, float left,
                           float top) {
    auto* label = NewLabel(parent, text, font);
    label->SetSize(wxRect(wxPoint(TwipsToPixels(left), TwipsToPixels(top)), TextSize(label)));
    return label;
}

// A label that takes its size from its text and keeps its right edge at
// right, growing to the left.
SplashLabel* RightAlignedLabel(wxWindow* parent, const wxString& text, const wxFont& font, float right,
                               float top) {
    auto* label = NewLabel(parent, text, font, wxALIGN_RIGHT);
    const wxSize size = TextSize(label);
    label->SetSize(TwipsToPixels(right) - size.x, TwipsToPixels(top), size.x, size.y);
    return label;
}

// A label of a fixed size, its text starting at its left edge.
SplashLabel* FixedLabel(wxWindow* parent, const wxString& text, const wxFont& font, const wxRect& rect) {
    auto* label = NewLabel(parent, text, font, wxALIGN_LEFT);
    label->SetSize(rect);
    return label;
}

wxBitmap StretchedLogo(const wxSize& size) {
    wxImage logo = SplashLogo();
    if (!logo.IsOk())
        return {};
    return wxBitmap(logo.Rescale(size.x, size.y, wxIMAGE_QUALITY_HIGH));
}

} // namespace

SplashWindow::SplashWindow()
    // No caption, no system menu, no border decoration: no title bar at all.
    : wxDialog(nullptr, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
               wxBORDER_NONE | wxFRAME_NO_TASKBAR | wxDIALOG_NO_PARENT),
      closeTimer(this) {
    SetName(L"SplashWindow");
    SetClientSize(TwipsToPixels(7380), TwipsToPixels(4245));

    etchedFrame = new EtchedFrame(this, TwipsRect(150, 60, 7080, 4050));

    const wxBitmap icon = ProgramIcon().GetIcon(wxSize(32, 32), wxIconBundle::FALLBACK_NEAREST_LARGER);
    pictureBox = new PictureBox(etchedFrame, TwipsRect(2760, 3000, 540, 540), icon);

    const wxRect logoRect = TwipsRect(240, 600, 2415, 1830);
    logo = new wxStaticBitmap(etchedFrame, wxID_ANY, StretchedLogo(logoRect.GetSize()),
                              logoRect.GetPosition(), logoRect.GetSize());

    companyProductLabel = AutoSizeLabel(etchedFrame, MakerNamePossessive, SplashFont(18, true), 2880, 720);
    productNameLabel = AutoSizeLabel(etchedFrame, SplashProductName, SplashFont(32.25, true), 2880, 1140);
    platformLabel =
        RightAlignedLabel(etchedFrame, SplashPlatformLine, SplashFont(15.75, true), 4065 + 2790, 2340);
    versionLabel = RightAlignedLabel(etchedFrame, SplashVersionLine, SplashFont(12, true), 5445 + 1410, 2700);
    copyrightLabel =
        FixedLabel(etchedFrame, CopyrightLine, SplashFont(8.25, false), TwipsRect(3360, 3060, 3255, 255));
    companyLabel = FixedLabel(etchedFrame, wxString(L"E-mail: ") + ContactAddress, SplashFont(8.25, false),
                              TwipsRect(3360, 3270, 3615, 255));

    CentreOnScreen();

    // A dialog stretches a single child over its whole client area; the
    // frame keeps the place it was given.
    Bind(wxEVT_SIZE, [](wxSizeEvent&) {});
    Bind(wxEVT_PAINT, &SplashWindow::OnPaint, this);

    // Key preview: the window sees every key before the control with the focus.
    Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
        const wxChar character = event.GetUnicodeKey();
        if (character == WXK_NONE || character == WXK_DELETE) {
            event.Skip();
            return;
        }
        OnKey();
    });
    etchedFrame->SetClickHandler([this] { OnFrameClick(); });
    // A timer with an owner sends its ticks to the owner, not to itself.
    Bind(
        wxEVT_TIMER, [this](wxTimerEvent&) { OnCloseTimer(); }, closeTimer.GetId());
    Bind(wxEVT_INIT_DIALOG, [this](wxInitDialogEvent& event) {
        PrepareFirstShow();
        event.Skip();
    });
    // A close from outside (a window manager's shortcut) unloads as well, so
    // that the timer cannot end the modal loop a second time.
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { Unload(); });
}

// With no title bar and no window-manager border the window would have no
// edge on a light desktop: draw the raised edge of a dialog inside it, in the
// strip around the frame.
void SplashWindow::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    DrawThreeDEdge(dc, GetClientSize(), ThreeDEdge::Raised);
}

void SplashWindow::PrepareFirstShow() {
    closeTimer.StartOnce(SplashDelayMs);
}

void SplashWindow::OnKey() {
    Unload();
}

void SplashWindow::OnFrameClick() {
    Unload();
}

void SplashWindow::OnCloseTimer() {
    Unload();
}

void SplashWindow::Unload() {
    if (m_unloaded)
        return;
    m_unloaded = true;
    closeTimer.Stop();
    // Whoever showed the window owns it and destroys it: a splash shown
    // without its modal loop is only hidden here.
    if (IsModal())
        EndModal(wxID_OK);
    else
        Hide();
}

void ShowSplashModal() {
    SplashWindow splash;
    splash.ShowModal();
}
