#pragma once

#include <string>

class wxWebView;

// When a page cannot be loaded, the view shows a short page of its own,
// made here and sent nowhere, in place of the engine's raw error text: which
// host could not be reached, what may be wrong, and the technical reason in
// small print. It takes the failed address's place in the history, so Back
// and forward work as with any other page.
void ShowLoadFailuresInPlainWords(wxWebView* view);

// The page shown for a failed load of url, for the given technical reason.
std::string LoadFailurePage(const std::string& url, const std::string& reason);
