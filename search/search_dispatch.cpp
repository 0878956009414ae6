#include "search_dispatch.h"

#include "browser_view.h"
#include "engine_catalogue.h"
#include "keyword_encoding.h"

void RunSearch(const std::wstring& keywords, const PaneArray<std::wstring>& engineTexts,
               const PaneArray<BrowserView*>& webBrowser) {
    const std::wstring encoded = EncodeKeywords(keywords);
    for (PaneIndex i = 0; i < PaneCount; ++i) {
        // Sending an unknown engine's pane the previous pane's URL would show
        // the same engine twice and hide the typing mistake.
        if (const auto entry = FindEngine(MakeEngineKey(engineTexts[i])))
            webBrowser[i]->Navigate(BuildQueryUrl(*entry, encoded));
    }
}
