#pragma once

#include "panes.h"

#include <string>

class BrowserView;

// Encodes the keywords once and sends each pane, in index order, its engine's
// query URL for them. A pane whose engine text names no engine is not sent
// anything and keeps the page it shows.
void RunSearch(const std::wstring& keywords, const PaneArray<std::wstring>& engineTexts,
               const PaneArray<BrowserView*>& webBrowser);
