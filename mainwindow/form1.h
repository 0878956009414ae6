#pragma once

#include <wx/frame.h>

// The main window.
class Form1 : public wxFrame {
public:
    // Creates the window and all its controls, hidden.
    Form1();

    // Runs once after creation, before the window is first shown.
    void Form_Load();
};
