// Memory of a process tree: PSS by kind of process, and distinct pages.
#include "bench.h"

#include <sstream>
#include <string>

void Bench::RecordMemory(const std::string& key, pid_t pid) {
    const auto processes = TreeMemory(pid);
    long ui = 0, network = 0, web = 0, other = 0;
    int webCount = 0;
    for (const auto& process : processes) {
        if (process.pid == pid)
            ui += process.pssKiB;
        else if (process.name.find("WebKitNetwork") != std::string::npos)
            network += process.pssKiB;
        else if (process.name.find("WebKitWebProces") != std::string::npos)
            web += process.pssKiB, ++webCount;
        else
            other += process.pssKiB;
    }
    m_samples.Add(key, MiB(TotalPssKiB(processes)));
    m_samples.Add(key + ".ui", MiB(ui));
    m_samples.Add(key + ".network", MiB(network));
    m_samples.Add(key + ".web", MiB(web));
    m_samples.Add(key + ".other", MiB(other));
    m_samples.Add(key + ".processes", static_cast<double>(processes.size()));
    m_samples.Add(key + ".web-processes", webCount);
    m_samples.Add("memory.foreign-webkit", ForeignWebKitProcesses(pid));
    const auto reading = Clock::now();
    const auto distinct = TreeDistinctKiB(pid);
    if (distinct)
        m_samples.Add(key + ".distinct", MiB(*distinct));
    std::ostringstream line;
    line << key << ": PSS " << MiB(TotalPssKiB(processes)) << " MiB, distinct "
         << (distinct ? std::to_string(*distinct / 1024) + " MiB" : std::string("unavailable"))
         << " (read in " << static_cast<int>(Ms(Clock::now() - reading)) << " ms) in " << processes.size()
         << " processes (" << webCount << " web";
    // Each web process alone, as pid=MiB: which pane's process grows.
    for (const auto& process : processes)
        if (process.name.find("WebKitWebProces") != std::string::npos)
            line << ' ' << process.pid << '=' << Fixed(MiB(process.pssKiB), 0);
    line << ")";
    Log(line.str());
}
