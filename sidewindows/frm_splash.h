#pragma once

#include <wx/dialog.h>
#include <wx/stattext.h>
#include <wx/generic/stattextg.h>
#include <wx/timer.h>

class EtchedFrame;
class PictureBox;
class wxStaticBitmap;

// The splash window that greets the user at every start: the product's and
// the maker's names, version and platform lines, copyright, contact address,
// logo and icon. It closes itself after three seconds, at a key that types a
// character, or at a click on its frame.
class frmSplash : public wxDialog {
public:
    // Labels that draw their own text, so that fractional point sizes hold.
    using SplashLabel = wxGenericStaticText;

    // Creates the window and its controls, hidden. Showing it runs Form_Load.
    frmSplash();

    void Form_Load();
    void Form_KeyPress();
    void Frame1_Click();
    void Timer1_Timer();

    EtchedFrame* Frame1;
    PictureBox* Picture1;
    wxStaticBitmap* imgLogo;
    SplashLabel* lblCompanyProduct;
    SplashLabel* lblProductName;
    SplashLabel* lblPlatform;
    SplashLabel* lblVersion;
    SplashLabel* lblCopyright;
    SplashLabel* lblCompany;
    wxTimer Timer1;

private:
    // Every way of closing comes here; whichever comes first closes the
    // window, and anything arriving after it finds it closed already.
    void Unload();
    void OnPaint(wxPaintEvent& event);

    bool m_unloaded = false;
};

// Creates the splash, shows it modally with no owner window, and returns when
// it has closed and is destroyed.
void ShowSplashModal();
