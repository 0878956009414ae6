#include "search_dispatch.h"

#include "browser_view.h"
#include "keyword_encoding.h"

std::optional<EngineEntry> EngineNamedBy(std::wstring_view chooserText) {
    return FindEngine(MakeEngineKey(chooserText));
}

void RunSearch(const std::wstring& keywords, const PaneArray<std::wstring>& engineTexts,
               const PaneArray<BrowserView*>& webBrowser) {
    const std::wstring encoded = EncodeKeywords(keywords);
    for (PaneIndex i = 0; i < PaneCount; ++i) {
        // Sending an unknown engine's pane the previous pane's URL would show
        // the same engine twice and hide the typing mistake.
        if (const auto entry = EngineNamedBy(engineTexts[i]))
            webBrowser[i]->Navigate(BuildQueryUrl(*entry, encoded));
    }
}
