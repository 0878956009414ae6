// A search timed from the Enter key to the pages' load reports, the event
// loop's answers to pings during a search or a resize, and the choosers set.
#include "bench.h"

#include <algorithm>
#include <thread>

// Enter in the keyword box, then the time until the last of the pages has
// reported its load.
std::optional<double> Bench::Search(const std::set<int>& pages) {
    const long serial = m_server.LastSerial();
    const auto start = Clock::now();
    m_x.Key("Return");
    std::optional<std::map<int, Clock::time_point>> loads;
    while (!(loads = m_server.WaitForLoads(serial, pages, milliseconds(20))) &&
           Clock::now() - start < std::chrono::seconds(60))
        m_x.Pump(milliseconds(0));
    if (!loads) {
        Log("a search did not finish loading");
        return std::nullopt;
    }
    Clock::time_point last = start;
    for (const auto& [page, at] : *loads)
        last = std::max(last, at);
    // The first request the search caused, whatever it asked for.
    const auto arrivals = m_server.ArrivalsSince(start);
    m_enterToRequest =
        arrivals.empty() ? std::nullopt : std::optional<double>(Ms(arrivals.front().at - start));
    return Ms(last - start);
}

// The longest any ping waited for the program's answer while a search loaded,
// pinging again as soon as each answer came.
std::optional<double> Bench::SearchWithPings(XWindowId window, const std::set<int>& pages) {
    const long serial = m_server.LastSerial();
    const auto start = Clock::now();
    m_x.Key("Return");
    double longest = 0;
    std::optional<Clock::time_point> loaded;
    while (!loaded || Clock::now() - *loaded < milliseconds(300)) {
        const auto answer = m_x.Ping(window, milliseconds(5000));
        longest = std::max(longest, answer ? Ms(*answer) : 5000.0);
        if (!loaded && m_server.WaitForLoads(serial, pages, milliseconds(0)))
            loaded = Clock::now();
        if (Clock::now() - start > std::chrono::seconds(60))
            return std::nullopt;
        std::this_thread::sleep_for(milliseconds(1));
    }
    return longest;
}

// The window dragged larger and smaller as fast as a window manager would
// pass a pointer's moves on (every 16 ms), with pings in between.
double Bench::ResizeWithPings(XWindowId window, milliseconds duration) {
    const int width = m_x.ScreenWidth(), height = m_x.ScreenHeight();
    const auto start = Clock::now();
    auto nextResize = start;
    int step = 0;
    double longest = 0;
    while (Clock::now() - start < duration) {
        if (Clock::now() >= nextResize) {
            // A triangle wave between the full screen and about 60 % of it.
            const int phase = step % 80, amount = phase < 40 ? phase : 80 - phase;
            m_x.Resize(window, width - amount * width / 100, height - amount * height / 120);
            ++step;
            nextResize += milliseconds(16);
        }
        const auto answer = m_x.Ping(window, milliseconds(5000));
        longest = std::max(longest, answer ? Ms(*answer) : 5000.0);
        std::this_thread::sleep_for(milliseconds(1));
    }
    m_x.Resize(window, width, height);
    return longest;
}

// Types each pane's engine chooser text that differs from what it shows.
void Bench::SetChoosers(const std::array<std::string, 5>& texts) {
    for (int pane = 0; pane < 5; ++pane) {
        if (m_choosers[pane] == texts[pane])
            continue;
        m_x.Click(ChooserX(pane), ChooserY);
        Settle(milliseconds(80));
        m_x.Key("a", true);
        m_x.Type(texts[pane]);
        Settle(milliseconds(80));
        m_choosers[pane] = texts[pane];
    }
    m_x.Click(KeywordBoxX, KeywordBoxY);
    Settle(milliseconds(200));
}
