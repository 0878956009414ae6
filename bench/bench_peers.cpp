// Another browser, showing the same five pages in five tabs.
#include "bench.h"

#include <algorithm>
#include <unistd.h>

// Chromium with a fresh profile, started with the five result pages, which
// it opens in five tabs: from its launch to the last of the pages' load
// reports, then its memory 3 s later and the processor time until then.
void Bench::ChromiumInstance(int run) {
    const std::string& mode = ChromiumPeer.name;
    if (m_options.chromium.empty() || !fs::exists(m_options.chromium)) {
        if (run == 0)
            Log("no " + m_options.chromium + ": Chromium left out");
        return;
    }
    const fs::path folder = NewInstanceFolder();
    const fs::path profile = folder / "profile";
    fs::create_directories(profile);
    const auto environment = Environment(ChromiumPeer, folder / "home");
    // Nothing but the five pages: no first-run pages, no updates, no
    // services of its maker, no attempt at HTTPS first; the page server as
    // the proxy for everything.
    std::vector<std::string> arguments{"--user-data-dir=" + profile.string(),
                                       "--no-first-run",
                                       "--no-default-browser-check",
                                       "--disable-background-networking",
                                       "--disable-component-update",
                                       "--disable-sync",
                                       "--disable-default-apps",
                                       "--disable-extensions",
                                       "--disable-breakpad",
                                       "--disable-domain-reliability",
                                       "--disable-client-side-phishing-detection",
                                       "--disable-features=HttpsUpgrades,HttpsFirstBalancedModeAutoEnable,"
                                       "Translate,OptimizationHints,MediaRouter,AutofillServerCommunication,"
                                       "NetworkTimeServiceQuerying,DiceWebSigninInterception",
                                       "--disable-field-trial-config",
                                       "--password-store=basic",
                                       "--disable-component-extensions-with-background-pages",
                                       "--metrics-recording-only",
                                       "--allow-browser-signin=false",
                                       "--no-pings",
                                       "--log-level=3",
                                       "--ozone-platform=x11",
                                       "--proxy-server=" + m_server.ProxyAddress()};
    // The whole screen, as the program's window and the floor's.
    arguments.push_back("--window-position=0,0");
    arguments.push_back("--window-size=" + std::to_string(m_x.ScreenWidth()) + "," +
                        std::to_string(m_x.ScreenHeight()));
    if (geteuid() == 0)
        arguments.push_back("--no-sandbox"); // it refuses to run as root otherwise
    for (const char* engine : DefaultEngines)
        arguments.push_back(QueryUrl(engine));
    m_x.ForgetWindows();
    m_server.SetDelay(milliseconds(0));
    Log(mode + " run " + std::to_string(run + 1));
    const long serial = m_server.LastSerial();
    const std::set<int> all{0, 1, 2, 3, 4};
    const auto spawned = Clock::now();
    ChildProcess chromium(m_options.chromium, arguments, environment, false);
    std::optional<std::map<int, Clock::time_point>> loads;
    while (!(loads = m_server.WaitForLoads(serial, all, milliseconds(20))) &&
           Clock::now() - spawned < std::chrono::seconds(60))
        m_x.Pump(milliseconds(0));
    if (loads) {
        Clock::time_point last = spawned;
        for (const auto& [page, at] : *loads)
            last = std::max(last, at);
        m_samples.Add("peer.launch-to-five." + mode, Ms(last - spawned));
        Settle(std::chrono::duration_cast<milliseconds>(last + std::chrono::seconds(3) - Clock::now()));
        RecordMemory("memory.five." + mode, chromium.Pid());
        m_samples.Add("cpu.launch-to-five." + mode, TreeCpuSeconds(chromium.Pid()));
        if (run == 0)
            SaveShot("chromium", m_x.Capture(0, 0, m_x.ScreenWidth(), m_x.ScreenHeight()));
    } else {
        Log("Chromium did not load the five pages");
    }
    // Whatever else it asked the proxy for.
    std::map<std::string, int> others;
    int pages = 0;
    for (const auto& arrival : m_server.ArrivalsSince(spawned)) {
        if (arrival.method == "GET" &&
            std::any_of(DefaultEngines.begin(), DefaultEngines.end(),
                        [&](const char* engine) { return Host(QueryUrl(engine)) == arrival.host; }))
            ++pages;
        else
            ++others[arrival.method + " " + arrival.host];
    }
    std::string otherText;
    for (const auto& [what, count] : others)
        otherText += (otherText.empty() ? "" : ", ") + what + " ×" + std::to_string(count);
    Log("Chromium's requests: " + std::to_string(pages) + " to the five engines' hosts" +
        (others.empty() ? ", none elsewhere" : "; elsewhere: " + otherText));
    if (run == 0)
        m_notes.push_back(others.empty() ? "none" : otherText);
    chromium.Stop();
    // Helpers that left its tree (the crash handler) still name the profile.
    EndProcessesNaming(profile.string());
}
