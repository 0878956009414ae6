// A pane's web process renewed after it has shown many pages: a result page
// heavy in script and style leaves memory behind in its process that WebKit
// never gives back, not even under memory pressure, so five panes searching
// all day would grow without end.

#include "page_guard.h"
#include "page_guard_internal.h"
#include "panes.h"

namespace {

// Pages a process shows before the next search in its pane gets a fresh one.
constexpr int PagesPerProcess = 30;
// Each pane starts its count part of the way, so that the panes' renewals
// fall on different searches and no search waits for five processes to start.
int g_guardsMade = 0;

} // namespace

int FirstPageCount() {
    return g_guardsMade++ % PaneCount * (PagesPerProcess / PaneCount);
}

void PageGuard::RenewWornProcess() {
    if (m_pagesInProcess < PagesPerProcess || Stuck())
        return;
    EndProcess();
}
