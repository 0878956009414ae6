#pragma once

class wxWebView;

// A pane's right-click menu offers its page's address, and a link's: "Copy
// Page Address" and "Open Page in Web Browser" always, "Copy Link Address"
// (when WebKit's own item is not there) and "Open Link in Web Browser" on a
// link. Opening goes to the desktop's web browser, within the hand-off limit.
void OfferAddressItems(wxWebView* view);
