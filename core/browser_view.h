#pragma once

#include "placement.h"

#include <string>

// An embedded web view as the windows use it. Loading runs inside the view;
// every call returns at once.
class BrowserView : public Placement {
public:
    // Starts loading url; nothing waits for it.
    virtual void Navigate(const std::wstring& url) = 0;
    // Each throws ScoutwellError when the view's history has no page in that direction.
    virtual void GoBack() = 0;
    virtual void GoForward() = 0;
    // Cancels a pending load; does nothing when idle.
    virtual void Stop() = 0;
    // The address of the page now shown; empty before the first load.
    virtual std::wstring LocationURL() const = 0;
};
