#include "splash_window.h"

#include "accessibility.h"
#include "etched_frame.h"
#include "picture_box.h"
#include "product_info.h"
#include "program_resources.h"
#include "splash_geometry.h"
#include "three_d_edge.h"
#include "twip_rect.h"
#include "wx_desktop.h"

#include <wx/dcclient.h>
#include <wx/frame.h> // wxFRAME_NO_TASKBAR, which dialogs honour too
#include <wx/settings.h>
#include <wx/statbmp.h>

#include <algorithm>
#include <utility>

namespace {

constexpr int SplashDelayMs = 3000;

using SplashLabel = SplashWindow::SplashLabel;
namespace Layout = SplashGeometry;

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

// Below this line height in pixels text is no longer comfortably read.
constexpr int MinimumLineHeight = 11;

// The labels draw their own text: GTK's native label takes a font size in
// whole points only, which would make 15.75 pt a visibly smaller 15 pt. A
// screen reader is given the text as the label's name.
SplashLabel* NewLabel(wxWindow* parent, const wxString& text, const wxFont& font, long style = 0) {
    auto* label = new SplashLabel(parent, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                                  style | wxST_NO_AUTORESIZE);
    label->SetFont(font);
    label->SetLabelText(text);
    SetAccessibleName(label, text);
    return label;
}

// Each text has a room of its own, so that none reaches past the frame or
// into another. Large text settings would make a text outgrow its room: its
// font then gives way, down to a legible size, and what still does not fit
// is shortened with an ellipsis, the whole text in the tooltip. Returns the
// size of the text as drawn.
wxSize FitToRoom(SplashLabel* label, const wxSize& room) {
    const wxString text = label->GetLabelText();
    wxFont font = label->GetFont();
    auto extent = [&](const wxString& shown, const wxFont& candidate) {
        int width = 0, height = 0;
        label->GetTextExtent(shown, &width, &height, nullptr, nullptr, &candidate);
        return wxSize(width, height);
    };
    wxSize size = extent(text, font);
    while (size.x > room.x || size.y > room.y) {
        wxFont smaller = font;
        smaller.SetFractionalPointSize(font.GetFractionalPointSize() - 0.25);
        if (extent(L"Ag", smaller).y < MinimumLineHeight)
            break;
        font = smaller;
        size = extent(text, font);
    }
    label->SetFont(font);
    if (size.x > room.x) {
        wxClientDC dc(label);
        dc.SetFont(font);
        label->SetLabelText(wxControl::Ellipsize(text, dc, wxELLIPSIZE_END, room.x));
        label->SetToolTip(text);
        size = extent(label->GetLabelText(), font);
    }
    return {std::min(size.x, room.x), std::min(size.y, room.y)};
}

// A label that takes its size from its text, its left edge at left.
SplashLabel* AutoSizeLabel(wxWindow* parent, const wxString& text, const wxFont& font, const wxRect& room) {
    auto* label = NewLabel(parent, text, font);
    label->SetSize(wxRect(room.GetPosition(), FitToRoom(label, room.GetSize())));
    return label;
}

// A label that takes its size from its text and keeps its right edge at the
// room's right edge, growing to the left.
SplashLabel* RightAlignedLabel(wxWindow* parent, const wxString& text, const wxFont& font,
                               const wxRect& room) {
    auto* label = NewLabel(parent, text, font, wxALIGN_RIGHT);
    const wxSize size = FitToRoom(label, room.GetSize());
    label->SetSize(room.GetRight() + 1 - size.x, room.y, size.x, size.y);
    return label;
}

// A label of a fixed size, its text starting at its left edge.
SplashLabel* FixedLabel(wxWindow* parent, const wxString& text, const wxFont& font, const wxRect& rect) {
    auto* label = NewLabel(parent, text, font, wxALIGN_LEFT);
    FitToRoom(label, rect.GetSize());
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
    SetClientSize(PixelSize(Layout::ClientArea));

    etchedFrame = new EtchedFrame(this, InPixels(Layout::Frame));

    const wxBitmap icon = ProgramIcon().GetIcon(wxSize(32, 32), wxIconBundle::FALLBACK_NEAREST_LARGER);
    pictureBox = new PictureBox(etchedFrame, InPixels(Layout::Icon), icon);

    const wxRect logoRect = InPixels(Layout::Logo);
    logo = new wxStaticBitmap(etchedFrame, wxID_ANY, StretchedLogo(logoRect.GetSize()),
                              logoRect.GetPosition(), logoRect.GetSize());

    // Rooms reach to the frame's right edge, less a margin, and down to the
    // next text, give or take the two pixels by which the original layout's
    // lines already shared their spacing; at the usual text size every text
    // fits its room at its own size.
    companyProductLabel = AutoSizeLabel(etchedFrame, MakerNamePossessive, SplashFont(18, true),
                                        InPixels(Layout::MakerNameRoom));
    productNameLabel = AutoSizeLabel(etchedFrame, SplashProductName, SplashFont(32.25, true),
                                     InPixels(Layout::ProductNameRoom));
    platformLabel = RightAlignedLabel(etchedFrame, RunningPlatformName(), SplashFont(15.75, true),
                                      InPixels(Layout::PlatformRoom));
    versionLabel = RightAlignedLabel(etchedFrame, SplashVersionLine, SplashFont(12, true),
                                     InPixels(Layout::VersionRoom));
    copyrightLabel =
        FixedLabel(etchedFrame, CopyrightLine, SplashFont(8.25, false), InPixels(Layout::CopyrightRoom));
    emailLabel = FixedLabel(etchedFrame, wxString(L"E-mail: ") + ContactAddress, SplashFont(8.25, false),
                            InPixels(Layout::EmailRoom));
    SetAccessibleName(this, wxString(SplashProductName) + L" is starting");

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
    const auto onCloseTimer = [this](wxTimerEvent&) { OnCloseTimer(); };
    Bind(wxEVT_TIMER, onCloseTimer, closeTimer.GetId());
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
    if (auto work = std::exchange(m_whenOnScreen, nullptr)) {
        CallAfter([this, work] {
            // The drawing reaches the display before the work holds the loop up.
            Update();
            work();
        });
    }
}

void SplashWindow::WhenOnScreen(std::function<void()> work) {
    m_whenOnScreen = std::move(work);
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

void ShowSplashModal(const std::function<void()>& whileShown) {
    bool done = !whileShown;
    {
        SplashWindow splash;
        if (!done)
            splash.WhenOnScreen([&] {
                done = true;
                whileShown();
            });
        splash.ShowModal();
    }
    if (!done)
        whileShown();
}
