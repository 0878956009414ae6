#pragma once

#include "panes.h"

#include <string>
#include <string_view>

class AddedEngines;
class BrowserView;

// Whether Search would send a pane with this chooser text anywhere: its text
// names an added engine or a catalogue row. The chooser's mark asks this,
// so it must decide as RunSearch does.
bool NamesAnEngine(std::wstring_view chooserText, const AddedEngines& addedEngines);

// Encodes the keywords once and sends each pane's view in views, in index
// order, its engine's query URL for them. A pane whose engine text names no
// engine is not sent anything and keeps the page it shows.
//
// A text equal to an added engine's name (ignoring case and surrounding
// spaces) searches that engine; every other text names a catalogue row by
// its first three characters.
void RunSearch(const std::wstring& keywords, const PaneArray<std::wstring>& engineTexts,
               const PaneArray<BrowserView*>& views, const AddedEngines& addedEngines);
