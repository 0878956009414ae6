#include "form1.h"
#include "failure.h"

// Each button drives its own pane's history. Going past either end of that
// history is refused by the view; the click then simply does nothing.

void Form1::Backbtn_Click(PaneIndex index) {
    IgnoreFailure([&] { WebBrowser.at(index)->GoBack(); });
}

void Form1::Fwdbtn_Click(PaneIndex index) {
    IgnoreFailure([&] { WebBrowser.at(index)->GoForward(); });
}

void Form1::Stopbtn_Click(PaneIndex index) {
    IgnoreFailure([&] { WebBrowser.at(index)->Stop(); });
}
