#pragma once

// What the driver's files share: its options, the configurations it
// measures, where the program's controls are, and the driver itself.

#include "page_server.h"
#include "png_writer.h"
#include "process_tree.h"
#include "stats.h"
#include "x_session.h"

#include <array>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;
namespace fs = std::filesystem;

inline double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}
inline double MiB(long kib) {
    return static_cast<double>(kib) / 1024.0;
}
// The value with that many decimals, as the report gives it.
std::string Fixed(double value, int decimals);

struct Options {
    std::string program, bare, out, shots;
    int runs = 3;               // instances of each program and floor configuration
    int startupRuns = 5;        // launches timed for start-up, per configuration
    int repeats = 5;            // warm five-pane searches per delay and instance
    int singleRepeats = 3;      // single-pane searches per pane, delay and instance
    int stallRuns = 3;          // searches and resizes watched for stalls, per instance
    int curve = 200;            // searches of the one long-running process of the memory curve
    int serveSeconds = 0;       // only serve the pages for this long, for a look by hand
    std::set<std::string> only; // configurations to run; all when empty
    bool resizeOnly = false;    // after the first search only the resize stalls, for comparing builds
    // The pages served: --pages plain|heavy.
    PageSet pages = PageSet::Plain;
    // The peer browser; left out when it is not installed.
    std::string chromium = "/usr/bin/chromium";
};

// The engine choosers' texts when no engines.lst exists.
inline const std::array<const char*, 5> DefaultEngines = {"Altavista", "Lycos", "Infoseek", "Savvy Search",
                                                          "Dogpile"};
inline const char* const Keywords = "new york";
inline const std::array<int, 2> Delays = {0, 400};

// WebKit's compositing as each configuration has it. The program decides for
// itself when the variable is not set; "0" is a user keeping compositing on.
struct Configuration {
    std::string name;
    const char* compositingVariable; // WEBKIT_DISABLE_COMPOSITING_MODE, or null for unset
    bool floor;                      // the bare five-view program rather than Scoutwell
};
inline const Configuration ProgramAuto{"program", nullptr, false};
inline const Configuration ProgramCompositing{"program-compositing", "0", false};
inline const Configuration FloorOff{"floor-nocompositing", "1", true};
inline const Configuration FloorDefault{"floor-default", nullptr, true};
// A browser of another engine, showing the same five pages in five tabs.
inline const Configuration ChromiumPeer{"chromium", nullptr, false};
// The long-running program and floor processes of the memory curve.
inline const std::string CurveName = "curve";
// The program typed into with its suggestions on and off.
inline const std::string TypingName = "typing";

// Where the program's controls are on a 96-PPI screen, from its layout in
// twips (1 pixel = 15 twips): the keyword box, the engine choosers, and the
// pane rows below the 1575-twip strip.
constexpr int KeywordBoxX = 60, KeywordBoxY = 37;
inline int ChooserX(int pane) {
    return 168 + 16 + 80 * pane + 25;
}
constexpr int ChooserY = 34;
inline int PaneHeightPx(int screenHeight) {
    return static_cast<int>(std::lround((screenHeight * 15.0 - 1575.0) / 5.5 / 15.0));
}
inline int PaneTopPx(int pane, int screenHeight) {
    return 105 + pane * PaneHeightPx(screenHeight);
}

// A default engine's result address for the keywords, and its host.
std::string QueryUrl(const char* engine);
std::string Host(const std::string& url);
// The five default engines' result addresses for the keywords.
std::vector<std::string> EngineUrls();

class Bench {
public:
    explicit Bench(Options options) : m_options(std::move(options)), m_server(m_options.pages) {
        std::vector<std::string> hosts;
        for (const char* engine : DefaultEngines)
            hosts.push_back(Host(QueryUrl(engine)));
        m_server.SetHosts(hosts);
        m_scratch = fs::temp_directory_path() / ("scoutwell-bench-" + std::to_string(getpid()));
        fs::create_directories(m_scratch);
    }
    ~Bench() {
        std::error_code ignored;
        fs::remove_all(m_scratch, ignored);
    }

    void Run();
    void Write() const;

private:
    std::vector<std::string> Environment(const Configuration& configuration, const fs::path& home) const;
    void Settle(milliseconds duration);
    // The keywords typed into the program's keyword box, ready for Enter.
    void TypeKeywords() {
        m_x.Click(KeywordBoxX, KeywordBoxY);
        Settle(milliseconds(200));
        m_x.Type(Keywords);
        Settle(milliseconds(200));
    }
    // A fresh folder for the next process started.
    fs::path NewInstanceFolder() {
        const fs::path folder = m_scratch / ("instance-" + std::to_string(++m_instance));
        fs::create_directories(folder);
        return folder;
    }
    void Quiet();
    std::optional<XWindowId> WaitForWindow(pid_t pid,
                                           const std::function<bool(const XSession::WindowState&)>& test,
                                           milliseconds timeout);
    void ProgramInstance(const Configuration& configuration, int run, bool startupOnly);
    // The program's start-up windows timed: the time from its start to the
    // main window drawn and how long the splash showed; the main window.
    std::optional<XWindowId> ProgramStartup(const std::string& mode, pid_t pid, Clock::time_point spawned,
                                            double& launchToMain, double& splashShown);
    void CapturePanes(const std::string& mode);
    void WarmSearches(const std::string& mode, pid_t pid);
    void SearchStalls(const std::string& mode, XWindowId window);
    void ResizeStalls(const std::string& mode, pid_t pid, XWindowId window);
    void TypingInstance(bool suggestions, int run);
    double TypeWithPings(XWindowId window);
    void SinglePaneSearches(const std::string& mode);
    void FloorInstance(const Configuration& configuration);
    void ChromiumInstance(int run);
    void ProgramCurve();
    void FloorCurve();
    void CurveMemory(const std::string& mode, int search, pid_t pid);
    std::optional<std::pair<double, double>> BareLoad(ChildProcess& bare, int only,
                                                      const std::string& offsets);
    std::optional<double> Search(const std::set<int>& pages);
    std::optional<double> SearchWithPings(XWindowId window, const std::set<int>& pages);
    double ResizeWithPings(XWindowId window, milliseconds duration);
    void SetChoosers(const std::array<std::string, 5>& texts);
    void RecordMemory(const std::string& key, pid_t pid);
    void SaveShot(const std::string& name, const RgbImage& image) const;
    RgbImage StableCapture(int x, int y, int width, int height);
    void CompareShots();
    void Log(const std::string& text) const { std::cerr << "[bench] " << text << std::endl; }

    Options m_options;
    PageServer m_server;
    XSession m_x;
    Samples m_samples;
    fs::path m_scratch;
    int m_instance = 0;
    std::array<std::string, 5> m_choosers;
    std::map<std::string, RgbImage> m_shots;
    std::vector<std::string> m_notes;
    std::vector<std::string> m_slowSearches; // where the time of the curve's slow searches went
    std::optional<double> m_enterToRequest;  // of the last Search()
};