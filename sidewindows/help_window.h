#pragma once

#include <wx/dialog.h>

#include <array>
#include <filesystem>
#include <vector>

class RichTextViewer;
class wxButton;

// The help window: the help document in a read-only viewer, a button that
// opens the product's website and one that starts an e-mail to its maker.
// It belongs to no other window: it stays open when the main window closes,
// and keeps the program running until it is closed too.
class HelpWindow : public wxDialog {
public:
    // Creates the window, hidden, with the built-in copy of the help
    // document in the viewer, and makes it the help window of the run.
    // help.rtf is looked for in programFolder first.
    explicit HelpWindow(std::filesystem::path programFolder);
    ~HelpWindow() override;

    // The help window of the run while there is one, else nullptr. Closing
    // the window destroys it; the next one is made afresh.
    static HelpWindow* Instance();

    // The first show loads the window (LoadDocument) before it appears.
    bool Show(bool show = true) override;
    // From here on the window is no longer the help window of the run, even
    // while it waits to be deleted.
    bool Destroy() override;

    void LoadDocument();
    void OnWebsite();
    void OnEmail();

    RichTextViewer* documentView;
    wxButton* websiteButton;
    wxButton* emailButton;

    // The controls that take the keyboard focus, in tab order.
    const std::vector<wxWindow*>& TabOrder() const { return m_tabOrder; }

private:
    std::filesystem::path m_programFolder;
    std::vector<wxWindow*> m_tabOrder;
    bool m_loaded = false;
};
