// The memory curve: one long-running process of the program and one of
// the floor, searching again and again.
#include "bench.h"

#include <sstream>

// One program process searching again and again, as a user would all day:
// its memory after the first search and after every tenth, each search's
// time and processor time.
void Bench::ProgramCurve() {
    const std::string mode = ProgramAuto.name;
    const fs::path folder = NewInstanceFolder();
    fs::copy_file(m_options.program, folder / "scoutwell");
    const auto environment = Environment(ProgramAuto, folder / "home");
    m_x.ForgetWindows();
    Log(mode + " memory curve, " + std::to_string(m_options.curve) + " searches");
    ChildProcess program((folder / "scoutwell").string(), {}, environment, false);
    const pid_t pid = program.Pid();
    if (!WaitForWindow(
            pid, [](const auto& w) { return w.mapped && w.firstPainted && w.name == "Scoutwell"; },
            milliseconds(30000))) {
        Log("the program's main window did not appear");
        return;
    }
    Settle(milliseconds(3000));
    TypeKeywords();
    m_server.SetDelay(milliseconds(0));
    const std::set<int> all{0, 1, 2, 3, 4};
    for (int search = 1; search <= m_options.curve; ++search) {
        const auto before = TreeCpu(pid);
        double cpu = 0;
        for (const auto& [id, process] : before)
            cpu += process.seconds;
        const auto time = Search(all);
        if (!time) {
            Log("the memory curve stopped at search " + std::to_string(search));
            return;
        }
        Settle(milliseconds(300));
        if (m_enterToRequest)
            m_samples.Add((search == 1 ? "request.cold." : "request.warm.") + mode, *m_enterToRequest);
        if (search > 1) {
            m_samples.Add("curve.search." + mode, *time);
            m_samples.Add("curve.cpu." + mode, TreeCpuSeconds(pid) - cpu);
            // Which process a slow search's time went to.
            if (*time > 500) {
                std::ostringstream line;
                line << "slow search " << search << ": " << Fixed(*time, 0)
                     << " ms; processor seconds by process:";
                for (const auto& [id, process] : TreeCpu(pid)) {
                    const auto earlier = before.find(id);
                    line << ' ' << process.name << '(' << id << ")="
                         << Fixed(process.seconds - (earlier == before.end() ? 0 : earlier->second.seconds),
                                  2)
                         << (earlier == before.end() ? " new" : "");
                }
                Log(line.str());
                m_slowSearches.push_back(line.str());
            }
        }
        CurveMemory(mode, search, pid);
    }
    Settle(milliseconds(3000));
    RecordMemory("curve." + mode + ".idle", pid);
}

// The floor's counterpart: one bare process loading its five views again and again.
void Bench::FloorCurve() {
    const std::string mode = FloorOff.name;
    const fs::path folder = NewInstanceFolder();
    const auto environment = Environment(FloorOff, folder / "home");
    const std::vector<std::string> urls = EngineUrls();
    m_x.ForgetWindows();
    Log(mode + " memory curve, " + std::to_string(m_options.curve) + " loads");
    ChildProcess bare(m_options.bare, urls, environment, true);
    if (!bare.ReadLine(milliseconds(30000)) ||
        !WaitForWindow(
            bare.Pid(), [](const auto& w) { return w.mapped && w.firstPainted; }, milliseconds(30000))) {
        Log("the bare program did not start");
        return;
    }
    Settle(milliseconds(3000));
    m_server.SetDelay(milliseconds(0));
    for (int search = 1; search <= m_options.curve; ++search) {
        if (!BareLoad(bare, -1, "curve.report-minus-loaded")) {
            Log("the floor's memory curve stopped at load " + std::to_string(search));
            return;
        }
        Settle(milliseconds(300));
        CurveMemory(mode, search, bare.Pid());
    }
    Settle(milliseconds(3000));
    RecordMemory("curve." + mode + ".idle", bare.Pid());
}

void Bench::CurveMemory(const std::string& mode, int search, pid_t pid) {
    if (search == 1 || search % 10 == 0 || search == m_options.curve)
        RecordMemory("curve." + mode + "." + std::to_string(search), pid);
}
