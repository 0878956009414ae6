// One instance of the real program: its start-up, memory, searches of all
// five panes and of each alone, and its event loop's stalls.
#include "bench.h"

#include <cctype>

std::optional<XWindowId> Bench::ProgramStartup(const std::string& mode, pid_t pid, Clock::time_point spawned,
                                               double& launchToMain, double& splashShown) {
    const auto splash = WaitForWindow(
        pid, [](const auto& w) { return w.mapped && w.name != "Scoutwell"; }, milliseconds(30000));
    const auto main = WaitForWindow(
        pid, [](const auto& w) { return w.mapped && w.firstPainted && w.name == "Scoutwell"; },
        milliseconds(30000));
    if (!splash || !main) {
        Log("the program's windows did not appear");
        return std::nullopt;
    }
    Settle(milliseconds(300));
    const auto& s = m_x.Windows().at(*splash);
    const auto& m = m_x.Windows().at(*main);
    launchToMain = Ms(*m.firstPainted - spawned);
    splashShown = s.unmapped ? Ms(*s.unmapped - *s.mapped) : 0;
    m_samples.Add("startup.splash-mapped." + mode, Ms(*s.mapped - spawned));
    if (s.firstPainted)
        m_samples.Add("startup.splash-painted." + mode, Ms(*s.firstPainted - spawned));
    if (s.unmapped) {
        m_samples.Add("startup.main-mapped." + mode, Ms(*m.mapped - *s.unmapped));
        m_samples.Add("startup.main-painted." + mode, Ms(*m.firstPainted - *s.unmapped));
        m_samples.Add("startup.splash-shown." + mode, Ms(*s.unmapped - *s.mapped));
    }
    return main;
}

void Bench::ProgramInstance(const Configuration& configuration, int run, bool startupOnly) {
    const std::string& mode = configuration.name;
    const fs::path folder = NewInstanceFolder();
    // A folder of its own, as a user's copy: no engines.lst, so the choosers
    // show the engines they start with.
    fs::copy_file(m_options.program, folder / "scoutwell");
    const auto environment = Environment(configuration, folder / "home");
    m_x.ForgetWindows();
    Log(mode + (startupOnly ? " start-up run " : " run ") + std::to_string(run + 1));

    const auto spawned = Clock::now();
    ChildProcess program((folder / "scoutwell").string(), {}, environment, false);
    const pid_t pid = program.Pid();
    double launchToMain = 0, splashShown = 0;
    const auto main = ProgramStartup(mode, pid, spawned, launchToMain, splashShown);
    if (!main || startupOnly)
        return;

    const XWindowId window = *main;
    Settle(milliseconds(3000));
    RecordMemory("memory.none." + mode, pid);

    m_choosers = {"altavista", "lycos", "infoseek", "savvy search", "dogpile"};
    TypeKeywords();

    m_server.SetDelay(milliseconds(0));
    const std::set<int> all{0, 1, 2, 3, 4};
    if (const auto cold = Search(all)) {
        m_samples.Add("search.cold." + mode, *cold);
        // Launch to five loaded pages, without the driver's typing between
        // the main window's drawing and Enter; and without the splash's time too.
        m_samples.Add("peer.launch-to-five." + mode, launchToMain + *cold);
        m_samples.Add("peer.launch-to-five-less-splash." + mode, launchToMain + *cold - splashShown);
        if (m_enterToRequest)
            m_samples.Add("request.cold." + mode, *m_enterToRequest);
    }
    Settle(milliseconds(3000));
    RecordMemory("memory.five." + mode, pid);
    m_samples.Add("cpu.launch-to-five." + mode, TreeCpuSeconds(pid));

    // What the panes show, for the comparison of the two ways of drawing.
    if (run == 0)
        CapturePanes(mode);

    if (m_options.resizeOnly) {
        ResizeStalls(mode, pid, window);
        return;
    }
    WarmSearches(mode, pid);
    SearchStalls(mode, window);
    ResizeStalls(mode, pid, window);
    Quiet();
    RecordMemory("memory.after." + mode, pid);
    SinglePaneSearches(mode);
    m_server.SetDelay(milliseconds(0));
}

void Bench::CapturePanes(const std::string& mode) {
    const int height = m_x.ScreenHeight(), width = m_x.ScreenWidth();
    m_shots["panes." + mode] = StableCapture(49, 105, width - 98, 5 * PaneHeightPx(height));
    SaveShot("panes-" + mode, m_shots["panes." + mode]);
    // Pane 4 zoomed shows a whole screen of its page.
    m_x.Click(20, PaneTopPx(4, height) + 8);
    Settle(milliseconds(1500));
    m_shots["zoomed." + mode] = StableCapture(49, 50, width - 98, height - 60);
    SaveShot("zoomed-" + mode, m_shots["zoomed." + mode]);
    m_x.Click(20, PaneTopPx(4, height) + 8);
    Settle(milliseconds(1000));
    m_x.Click(KeywordBoxX, KeywordBoxY);
    Settle(milliseconds(200));
}

void Bench::WarmSearches(const std::string& mode, pid_t pid) {
    const std::set<int> all{0, 1, 2, 3, 4};
    for (int delay : Delays) {
        m_server.SetDelay(milliseconds(delay));
        for (int r = 0; r < m_options.repeats; ++r) {
            Quiet();
            const double cpu = TreeCpuSeconds(pid);
            if (const auto time = Search(all)) {
                m_samples.Add("search.five." + mode + "." + std::to_string(delay), *time);
                if (m_enterToRequest)
                    m_samples.Add("request.warm." + mode, *m_enterToRequest);
                // What the search cost the machine, the painting after the loads included.
                Settle(milliseconds(700));
                m_samples.Add("cpu.search." + mode + "." + std::to_string(delay), TreeCpuSeconds(pid) - cpu);
            }
        }
    }
}

void Bench::SearchStalls(const std::string& mode, XWindowId window) {
    const std::set<int> all{0, 1, 2, 3, 4};
    for (int delay : Delays) {
        m_server.SetDelay(milliseconds(delay));
        for (int r = 0; r < m_options.stallRuns; ++r) {
            Quiet();
            if (const auto stall = SearchWithPings(window, all))
                m_samples.Add("stall.search." + mode + "." + std::to_string(delay), *stall);
        }
    }
}

void Bench::ResizeStalls(const std::string& mode, pid_t pid, XWindowId window) {
    for (int r = 0; r < m_options.stallRuns; ++r) {
        Quiet();
        const double cpu = TreeCpuSeconds(pid);
        m_samples.Add("stall.resize." + mode, ResizeWithPings(window, milliseconds(3000)));
        m_samples.Add("cpu.resize." + mode, TreeCpuSeconds(pid) - cpu);
    }
}

// Each pane alone: the other choosers name no engine, so their panes are
// not sent anywhere.
void Bench::SinglePaneSearches(const std::string& mode) {
    for (int pane = 0; pane < 5; ++pane) {
        std::array<std::string, 5> texts;
        for (int i = 0; i < 5; ++i)
            texts[i] = i == pane ? std::string(DefaultEngines[i]) : "-";
        for (auto& text : texts)
            for (auto& c : text)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        SetChoosers(texts);
        for (int delay : Delays) {
            m_server.SetDelay(milliseconds(delay));
            for (int r = 0; r < m_options.singleRepeats; ++r) {
                Quiet();
                const long before = m_server.LastSerial();
                const auto time = Search({pane});
                Settle(milliseconds(100));
                if (m_server.LastSerial() - before != 1) {
                    Log("a single-pane search loaded " + std::to_string(m_server.LastSerial() - before) +
                        " pages");
                    continue;
                }
                if (time)
                    m_samples.Add("search.single." + mode + "." + std::to_string(delay) + "." +
                                      std::to_string(pane),
                                  *time);
            }
        }
    }
}
