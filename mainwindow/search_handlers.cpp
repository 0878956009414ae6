#include "main_window.h"
#include "search_dispatch.h"

#include <wx/combobox.h>
#include <wx/textctrl.h>

void MainWindow::OnSearch() {
    PaneArray<std::wstring> engineTexts;
    PaneArray<BrowserView*> views;
    for (PaneIndex i = 0; i < PaneCount; ++i) {
        engineTexts[i] = engineChoosers[i]->GetValue().ToStdWstring();
        views[i] = paneViews[i].get();
    }
    RunSearch(keywordsBox->GetValue().ToStdWstring(), engineTexts, views, AddedEngineList());
    recentSearches->Remember(keywordsBox->GetValue());
}

void MainWindow::OnKeywordsKey(int keyCode) {
    if (keyCode == 13)
        OnSearch();
}
