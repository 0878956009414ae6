// The bare five-view program: the engine's own floor of start-up, memory,
// loading and resizing, which the program is measured against.
#include "bench.h"

#include <algorithm>
#include <cstdio>

void Bench::FloorInstance(const Configuration& configuration) {
    const std::string& mode = configuration.name;
    const fs::path folder = NewInstanceFolder();
    const auto environment = Environment(configuration, folder / "home");
    const std::vector<std::string> urls = EngineUrls();
    m_x.ForgetWindows();
    Log(mode + " run");
    const auto spawned = Clock::now();
    ChildProcess bare(m_options.bare, urls, environment, true);
    const auto shown = bare.ReadLine(milliseconds(30000));
    const auto window =
        shown ? WaitForWindow(
                    bare.Pid(), [](const auto& w) { return w.mapped && w.firstPainted; }, milliseconds(30000))
              : std::nullopt;
    if (!window) {
        Log("the bare program did not start");
        return;
    }
    // How soon any window can be up once five views have been made.
    m_samples.Add("startup.window-mapped." + mode, Ms(*m_x.Windows().at(*window).mapped - spawned));
    m_samples.Add("startup.window-painted." + mode, Ms(*m_x.Windows().at(*window).firstPainted - spawned));
    Settle(milliseconds(3300));
    RecordMemory("memory.none." + mode, bare.Pid());

    m_server.SetDelay(milliseconds(0));
    const auto cold = BareLoad(bare, -1, "method.report-minus-loaded.cold");
    if (!cold) {
        Log("the bare program's pages did not load");
        return;
    }
    // As the program's: launch to the window drawn, plus the loads by their reports.
    m_samples.Add("peer.launch-to-five." + mode,
                  Ms(*m_x.Windows().at(*window).firstPainted - spawned) + cold->second);
    Settle(milliseconds(3000));
    RecordMemory("memory.five." + mode, bare.Pid());
    m_samples.Add("cpu.launch-to-five." + mode, TreeCpuSeconds(bare.Pid()));

    // The engine's own parallelism: five views loading at once against each
    // alone, timed by the toolkit's own "loaded" events.
    m_server.SetDelay(milliseconds(400));
    for (int r = 0; r < m_options.repeats; ++r) {
        Quiet();
        if (const auto times = BareLoad(bare, -1, "method.report-minus-loaded.warm-five")) {
            m_samples.Add("floor.five." + mode + ".400", times->first);
            m_samples.Add("floor.five-by-report." + mode + ".400", times->second);
        }
    }
    for (int view = 0; view < 5; ++view) {
        for (int r = 0; r < m_options.singleRepeats; ++r) {
            Quiet();
            if (const auto times = BareLoad(bare, view, "method.report-minus-loaded.warm-single")) {
                m_samples.Add("floor.single." + mode + ".400." + std::to_string(view), times->first);
                m_samples.Add("floor.single-by-report." + mode + ".400." + std::to_string(view),
                              times->second);
            }
        }
    }
    m_server.SetDelay(milliseconds(0));
    // The engine's own cost of following a window's size.
    for (int r = 0; r < m_options.stallRuns; ++r) {
        Quiet();
        const double cpu = TreeCpuSeconds(bare.Pid());
        m_samples.Add("stall.resize." + mode, ResizeWithPings(*window, milliseconds(3000)));
        m_samples.Add("cpu.resize." + mode, TreeCpuSeconds(bare.Pid()) - cpu);
    }
}

// Tells the bare program to load all its views (only = -1) or one, and
// returns the time from its start of the loads to the last "loaded" event and
// to the last page report. How far each report lies from its event goes to
// the samples named offsets.
std::optional<std::pair<double, double>> Bench::BareLoad(ChildProcess& bare, int only,
                                                         const std::string& offsets) {
    while (bare.ReadLine(milliseconds(0))) {
    }
    std::set<int> views;
    for (int view = 0; view < 5; ++view)
        if (only < 0 || only == view)
            views.insert(view);
    const long serial = m_server.LastSerial();
    bare.Send(only < 0 ? "load" : "load " + std::to_string(only));
    std::optional<Clock::time_point> started;
    std::map<int, Clock::time_point> loaded;
    const auto limit = Clock::now() + std::chrono::seconds(60);
    while ((!started || loaded.size() < views.size()) && Clock::now() < limit) {
        const auto line = bare.ReadLine(milliseconds(20));
        m_x.Pump(milliseconds(0));
        int view;
        long long nanoseconds;
        if (!line)
            continue;
        if (std::sscanf(line->c_str(), "started %lld", &nanoseconds) == 1)
            started = Clock::time_point(std::chrono::nanoseconds(nanoseconds));
        else if (std::sscanf(line->c_str(), "loaded %d %lld", &view, &nanoseconds) == 2 && started &&
                 views.count(view) && !loaded.count(view))
            loaded[view] = Clock::time_point(std::chrono::nanoseconds(nanoseconds));
    }
    const auto reports = m_server.WaitForLoads(serial, views, milliseconds(10000));
    if (!started || loaded.size() < views.size() || !reports)
        return std::nullopt;
    Clock::time_point lastLoaded = *started, lastReport = *started;
    for (int view : views) {
        m_samples.Add(offsets, Ms(reports->at(view) - loaded.at(view)));
        lastLoaded = std::max(lastLoaded, loaded.at(view));
        lastReport = std::max(lastReport, reports->at(view));
    }
    return std::make_pair(Ms(lastLoaded - *started), Ms(lastReport - *started));
}
