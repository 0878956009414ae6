#include "search_dispatch.h"

#include "added_engines.h"
#include "browser_view.h"
#include "engine_catalogue.h"
#include "failure.h"
#include "keyword_encoding.h"

#include <iostream>

bool NamesAnEngine(std::wstring_view chooserText, const AddedEngines& addedEngines) {
    return addedEngines.Find(chooserText) != nullptr || FindEngine(MakeEngineKey(chooserText)).has_value();
}

void RunSearch(const std::wstring& keywords, const PaneArray<std::wstring>& engineTexts,
               const PaneArray<BrowserView*>& views, const AddedEngines& addedEngines) {
    const std::wstring encoded = EncodeKeywords(keywords);
    for (PaneIndex i = 0; i < PaneCount; ++i) {
        if (const OpenSearchEngine* added = addedEngines.Find(engineTexts[i])) {
            // One engine's address failing to build must not keep the other
            // panes from their searches.
            std::wstring url;
            try {
                url = BuildSearchUrl(*added, keywords);
            } catch (const ScoutwellError& failure) {
                std::cerr << "scoutwell: pane " << i + 1 << " not searched: " << failure.what() << '\n';
                continue;
            }
            views[i]->Navigate(url);
        } else if (const auto entry = FindEngine(MakeEngineKey(engineTexts[i]))) {
            // Sending an unknown engine's pane the previous pane's URL would show
            // the same engine twice and hide the typing mistake.
            views[i]->Navigate(BuildQueryUrl(*entry, encoded));
        }
    }
}
