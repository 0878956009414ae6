#pragma once

#include <wx/dialog.h>
#include <wx/stattext.h>
// After wx/stattext.h, which it needs first.
#include <wx/generic/stattextg.h>
#include <wx/timer.h>

#include <functional>

class EtchedFrame;
class PictureBox;
class wxStaticBitmap;

// The splash window that greets the user at every start: the product's and
// the maker's names, version and platform lines, copyright, contact address,
// logo and icon. It closes itself after three seconds, at a key that types a
// character, or at a click on its frame.
class SplashWindow : public wxDialog {
public:
    // Labels that draw their own text, so that fractional point sizes hold.
    using SplashLabel = wxGenericStaticText;

    // Creates the window and its controls, hidden. Showing it runs PrepareFirstShow.
    SplashWindow();

    void PrepareFirstShow();
    // Runs work once, from the event loop, as soon as the window has been
    // drawn on the screen.
    void WhenOnScreen(std::function<void()> work);
    void OnKey();
    void OnFrameClick();
    void OnCloseTimer();

    EtchedFrame* etchedFrame;
    PictureBox* pictureBox;
    wxStaticBitmap* logo;
    SplashLabel* companyProductLabel;
    SplashLabel* productNameLabel;
    SplashLabel* platformLabel;
    SplashLabel* versionLabel;
    SplashLabel* copyrightLabel;
    SplashLabel* emailLabel;
    wxTimer closeTimer;

private:
    // Every way of closing comes here; whichever comes first closes the
    // window, and anything arriving after it finds it closed already.
    void Unload();
    void OnPaint(wxPaintEvent& event);

    bool m_unloaded = false;
    std::function<void()> m_whenOnScreen;
};

// Creates the splash, shows it modally with no owner window, and returns when
// it has closed and is destroyed. whileShown, when given, runs once: inside
// the splash's modal loop as soon as the splash is on the screen, so that the
// slow part of a start happens while the user already sees the splash — or,
// should the splash close before that, when it has closed.
void ShowSplashModal(const std::function<void()>& whileShown = nullptr);
