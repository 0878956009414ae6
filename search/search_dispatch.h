#pragma once

#include "panes.h"

#include "engine_catalogue.h"

#include <optional>
#include <string>

class BrowserView;

// The engine a chooser's text names, if it names one: the one place that
// decides, for Search and for the chooser's own mark alike.
std::optional<EngineEntry> EngineNamedBy(std::wstring_view chooserText);

// Encodes the keywords once and sends each pane, in index order, its engine's
// query URL for them. A pane whose engine text names no engine is not sent
// anything and keeps the page it shows.
void RunSearch(const std::wstring& keywords, const PaneArray<std::wstring>& engineTexts,
               const PaneArray<BrowserView*>& webBrowser);
