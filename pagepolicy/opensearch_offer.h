#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

class wxWebView;

// A search engine description that the page shown in a view advertises with
// <link rel="search" type="application/opensearchdescription+xml">.
struct AdvertisedEngine {
    std::wstring title;   // the link's title, or the page's host when it has none
    std::wstring address; // absolute
};

// What choosing "Add search engine" brought: the description's bytes, or why
// there are none (a text for the user).
struct FetchedDescription {
    std::wstring title;
    std::string document;
    std::string failure;
};
using DescriptionFetched = std::function<void(const FetchedDescription&)>;

// Offers "Add search engine “Title”" in the view's page context menu for each
// description the page now shown advertises. Choosing it fetches the
// description as the page itself would (the view's own network session, so
// its proxy settings apply) and hands the result to onFetched, unless the
// view is gone by then. Refused: an address on another site than the page's,
// an answer that is not a success (404, a redirect loop), and more than
// maxBytes.
void OfferAdvertisedEngines(wxWebView* view, std::size_t maxBytes, DescriptionFetched onFetched);

// The descriptions the page now shown advertises, as the menu offers them;
// empty until the page has finished loading.
std::vector<AdvertisedEngine> AdvertisedEngines(wxWebView* view);
