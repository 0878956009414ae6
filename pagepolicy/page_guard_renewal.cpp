// A pane's web process renewed once the web processes have grown: a result
// page heavy in script and style leaves memory behind in its process that
// WebKit never gives back, not even under memory pressure, so five panes
// searching all day would grow without end.

#include "child_processes.h"
#include "page_guard.h"
#include "page_guard_internal.h"

#include <webkit2/webkit2.h>

#include <algorithm>
#include <numeric>
#include <optional>
#include <utility>
#include <vector>

namespace {

long g_growthBoundKiB = 12 * 1024;

// A process that has shown fewer pages is young: renewing it would cost a
// process start and win little.
constexpr int FewestPages = 5;

// The panes of one search ask within this time of each other; at most one of
// them is renewed, so that no search waits for five processes to start.
constexpr gint64 OneSearch = G_USEC_PER_SEC / 2;

struct Growth {
    gint64 measuredAt = 0;
    bool grown = false;
    std::optional<long> leastAverageKiB;
    gint64 renewedAt = 0;
};

Growth g_growth;

// Every pane that has asked, so that the one whose process has shown the most
// pages (the most grown) is renewed first.
std::vector<const PageGuard*> g_guards;

bool WebProcessesHaveGrown() {
    const gint64 now = g_get_monotonic_time();
    if (g_growth.measuredAt != 0 && now - g_growth.measuredAt < OneSearch)
        return g_growth.grown;
    g_growth.measuredAt = now;
    const std::vector<long> sizes = ChildrenResidentKiB("WebKitWebProces");
    if (sizes.empty())
        return g_growth.grown = false;
    const long average = std::accumulate(sizes.begin(), sizes.end(), 0L) / static_cast<long>(sizes.size());
    g_growth.leastAverageKiB = std::min(g_growth.leastAverageKiB.value_or(average), average);
    return g_growth.grown = average - *g_growth.leastAverageKiB > g_growthBoundKiB;
}

} // namespace

long SetWebProcessGrowthBound(long kib) {
    g_growth = Growth{};
    return std::exchange(g_growthBoundKiB, kib);
}

void ForgetForRenewal(const PageGuard* guard) {
    std::erase(g_guards, guard);
}

// Of the panes whose processes have shown a few pages, the one that has shown
// the most is renewed; it then waits its turn until the others have had theirs.
void PageGuard::RenewWornProcess() {
    if (std::find(g_guards.begin(), g_guards.end(), this) == g_guards.end())
        g_guards.push_back(this);
    const auto mostPages = [](const PageGuard* a, const PageGuard* b) {
        return a->m_pagesInProcess < b->m_pagesInProcess;
    };
    const PageGuard* mostShown = *std::max_element(g_guards.begin(), g_guards.end(), mostPages);
    if (m_pagesInProcess < FewestPages || m_pagesInProcess < mostShown->m_pagesInProcess || Stuck() ||
        !WebProcessesHaveGrown())
        return;
    const gint64 now = g_get_monotonic_time();
    if (g_growth.renewedAt != 0 && now - g_growth.renewedAt < OneSearch)
        return;
    g_growth.renewedAt = now;
    EndProcess();
}
