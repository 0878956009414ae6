#include "form1.h"
#include "search_dispatch.h"

#include <wx/combobox.h>
#include <wx/textctrl.h>

void Form1::Command1_Click() {
    PaneArray<std::wstring> engineTexts;
    PaneArray<BrowserView*> views;
    for (PaneIndex i = 0; i < PaneCount; ++i) {
        engineTexts[i] = SearchEngine[i]->GetValue().ToStdWstring();
        views[i] = WebBrowser[i].get();
    }
    RunSearch(Text1->GetValue().ToStdWstring(), engineTexts, views);
}

void Form1::Text1_KeyPress(int keyAscii) {
    if (keyAscii == 13)
        Command1_Click();
}
