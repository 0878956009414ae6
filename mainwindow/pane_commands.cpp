#include "failure.h"
#include "main_window.h"

// Each button drives its own pane's history. Going past either end of that
// history is refused by the view; the click then simply does nothing.

void MainWindow::OnBack(PaneIndex index) {
    IgnoreFailure([&] { paneViews.at(index)->GoBack(); });
}

void MainWindow::OnForward(PaneIndex index) {
    IgnoreFailure([&] { paneViews.at(index)->GoForward(); });
}

void MainWindow::OnStop(PaneIndex index) {
    IgnoreFailure([&] { paneViews.at(index)->Stop(); });
}
