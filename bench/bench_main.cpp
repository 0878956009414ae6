// Measures the real program from outside, as a user meets it: started as a
// process, its windows watched through the X server, its keyword box typed
// into and Enter pressed with real key events, its answers to pings timed,
// its memory read from /proc; the web is a local page server acting as the
// views' proxy. Writes the results as Markdown.
//     scoutwell_bench --program PATH --bare PATH --out FILE [--shots DIR] [--runs N] [--curve N]
//                     [--chromium PATH] [--quick]
//     scoutwell_bench --serve SECONDS    (only the page server, to look at the pages by hand)

#include "engine_catalogue.h"
#include "gl_renderer.h"
#include "keyword_encoding.h"
#include "page_server.h"
#include "png_writer.h"
#include "process_tree.h"
#include "stats.h"
#include "x_session.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <set>
#include <sstream>
#include <thread>
#include <tuple>
#include <unistd.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;
namespace fs = std::filesystem;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}
std::string Fixed(double value, int decimals);

double MiB(long kib) {
    return static_cast<double>(kib) / 1024.0;
}

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
    // The peer browser; left out when it is not installed.
    std::string chromium = "/usr/bin/chromium";
};

// The engine choosers' texts when no engines.lst exists.
const std::array<const char*, 5> DefaultEngines = {"Altavista", "Lycos", "Infoseek", "Savvy Search",
                                                   "Dogpile"};
const char* const Keywords = "new york";
const std::array<int, 2> Delays = {0, 400};

// WebKit's compositing as each configuration has it. The program decides for
// itself when the variable is not set; "0" is a user keeping compositing on.
struct Configuration {
    std::string name;
    const char* compositingVariable; // WEBKIT_DISABLE_COMPOSITING_MODE, or null for unset
    bool floor;                      // the bare five-view program rather than Scoutwell
};
const Configuration ProgramAuto{"program", nullptr, false};
const Configuration ProgramCompositing{"program-compositing", "0", false};
const Configuration FloorOff{"floor-nocompositing", "1", true};
const Configuration FloorDefault{"floor-default", nullptr, true};
// A browser of another engine, showing the same five pages in five tabs.
const Configuration ChromiumPeer{"chromium", nullptr, false};
// The long-running program and floor processes of the memory curve.
const std::string CurveName = "curve";

// Where the program's controls are on a 96-PPI screen, from its layout in
// twips (1 pixel = 15 twips): the keyword box, the engine choosers, and the
// pane rows below the 1575-twip strip.
constexpr int KeywordBoxX = 60, KeywordBoxY = 37;
int ChooserX(int pane) {
    return 168 + 16 + 80 * pane + 25;
}
constexpr int ChooserY = 34;
int PaneHeightPx(int screenHeight) {
    return static_cast<int>(std::lround((screenHeight * 15.0 - 1575.0) / 5.5 / 15.0));
}
int PaneTopPx(int pane, int screenHeight) {
    return 105 + pane * PaneHeightPx(screenHeight);
}

std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

std::string QueryUrl(const char* engine) {
    const std::wstring name(engine, engine + std::strlen(engine));
    return Narrow(BuildQueryUrl(*FindEngine(MakeEngineKey(name)), EncodeKeywords(L"new york")));
}

std::string Host(const std::string& url) {
    const auto start = url.find("://") + 3;
    return url.substr(start, url.find('/', start) - start);
}

// The five default engines' result addresses for the keywords.
std::vector<std::string> EngineUrls() {
    std::vector<std::string> urls;
    for (const char* engine : DefaultEngines)
        urls.push_back(QueryUrl(engine));
    return urls;
}

class Bench {
public:
    explicit Bench(Options options) : m_options(std::move(options)) {
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

std::vector<std::string> Bench::Environment(const Configuration& configuration, const fs::path& home) const {
    std::vector<std::string> environment;
    for (char** variable = environ; *variable != nullptr; ++variable) {
        const std::string entry = *variable;
        const std::string name = entry.substr(0, entry.find('='));
        if (name == "WEBKIT_DISABLE_COMPOSITING_MODE" || name == "WEBKIT_FORCE_COMPOSITING_MODE" ||
            name.find("_proxy") != std::string::npos || name.find("_PROXY") != std::string::npos ||
            name.rfind("XDG_", 0) == 0)
            continue;
        environment.push_back(entry);
    }
    environment.push_back("http_proxy=" + m_server.ProxyAddress());
    environment.push_back("https_proxy=" + m_server.ProxyAddress());
    // As in the GUI tests: one theme whatever the machine's, no accessibility bus.
    environment.push_back("GTK_THEME=Adwaita");
    environment.push_back("NO_AT_BRIDGE=1");
    // A fresh profile each time: WebKit's disk cache starts empty.
    for (const char* folder : {"cache", "config", "data"}) {
        fs::create_directories(home / folder);
        environment.push_back(std::string("XDG_") +
                              (folder[0] == 'c' && folder[1] == 'a' ? "CACHE"
                               : folder[1] == 'o'                   ? "CONFIG"
                                                                    : "DATA") +
                              "_HOME=" + (home / folder).string());
    }
    if (configuration.compositingVariable != nullptr)
        environment.push_back(std::string("WEBKIT_DISABLE_COMPOSITING_MODE=") +
                              configuration.compositingVariable);
    return environment;
}

void Bench::Settle(milliseconds duration) {
    const auto end = Clock::now() + duration;
    while (Clock::now() < end)
        m_x.Pump(std::min(milliseconds(50), std::chrono::duration_cast<milliseconds>(end - Clock::now())));
}

// Between two measured searches: nothing being served, and a second for the
// views to finish what follows a load.
void Bench::Quiet() {
    const auto limit = Clock::now() + std::chrono::seconds(10);
    while (m_server.Busy() > 0 && Clock::now() < limit)
        Settle(milliseconds(20));
    Settle(milliseconds(1000));
}

std::optional<XWindowId> Bench::WaitForWindow(pid_t pid,
                                              const std::function<bool(const XSession::WindowState&)>& test,
                                              milliseconds timeout) {
    const auto end = Clock::now() + timeout;
    while (Clock::now() < end) {
        for (const auto& [id, state] : m_x.Windows())
            if (state.pid == pid && test(state))
                return id;
        m_x.Pump(milliseconds(20));
    }
    return std::nullopt;
}

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
         << " processes (" << webCount << " web)";
    Log(line.str());
}

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

// The screen once it has stopped changing: two captures half a second apart alike.
RgbImage Bench::StableCapture(int x, int y, int width, int height) {
    RgbImage last = m_x.Capture(x, y, width, height);
    for (int attempt = 0; attempt < 20; ++attempt) {
        Settle(milliseconds(500));
        RgbImage next = m_x.Capture(x, y, width, height);
        if (next.pixels == last.pixels)
            return next;
        last = std::move(next);
    }
    Log("the screen kept changing; captured it anyway");
    return last;
}

void Bench::SaveShot(const std::string& name, const RgbImage& image) const {
    if (m_options.shots.empty())
        return;
    fs::create_directories(m_options.shots);
    std::ofstream(fs::path(m_options.shots) / (name + ".png"), std::ios::binary) << EncodePng(image);
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
    const auto splash = WaitForWindow(
        pid, [](const auto& w) { return w.mapped && w.name != "Scoutwell"; }, milliseconds(30000));
    const auto main = WaitForWindow(
        pid, [](const auto& w) { return w.mapped && w.firstPainted && w.name == "Scoutwell"; },
        milliseconds(30000));
    if (!splash || !main) {
        Log("the program's windows did not appear");
        return;
    }
    Settle(milliseconds(300));
    double launchToMain = 0, splashShown = 0;
    {
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
    }
    if (startupOnly)
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
    if (run == 0) {
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

    auto resizeRuns = [&] {
        for (int r = 0; r < m_options.stallRuns; ++r) {
            Quiet();
            const double cpu = TreeCpuSeconds(pid);
            m_samples.Add("stall.resize." + mode, ResizeWithPings(window, milliseconds(3000)));
            m_samples.Add("cpu.resize." + mode, TreeCpuSeconds(pid) - cpu);
        }
    };
    if (m_options.resizeOnly) {
        resizeRuns();
        return;
    }
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
    for (int delay : Delays) {
        m_server.SetDelay(milliseconds(delay));
        for (int r = 0; r < m_options.stallRuns; ++r) {
            Quiet();
            if (const auto stall = SearchWithPings(window, all))
                m_samples.Add("stall.search." + mode + "." + std::to_string(delay), *stall);
        }
    }
    resizeRuns();
    Quiet();
    RecordMemory("memory.after." + mode, pid);

    // Each pane alone: the other choosers name no engine, so their panes are
    // not sent anywhere.
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
    m_server.SetDelay(milliseconds(0));
}

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

void Bench::Run() {
    const auto began = Clock::now();
    Log("page server at " + m_server.ProxyAddress());
    const std::vector<Configuration> programs{ProgramAuto, ProgramCompositing};
    const std::vector<Configuration> floors{FloorOff, FloorDefault};
    // Interleaved, so that a slow minute of the machine falls on every configuration alike.
    auto wanted = [&](const Configuration& c) {
        return m_options.only.empty() || m_options.only.count(c.name);
    };
    for (int run = 0; run < m_options.runs; ++run) {
        for (const auto& configuration : programs)
            if (wanted(configuration))
                ProgramInstance(configuration, run, false);
        for (const auto& configuration : floors)
            if (wanted(configuration))
                FloorInstance(configuration);
        if (wanted(ChromiumPeer))
            ChromiumInstance(run);
    }
    if (m_options.curve > 0 && (m_options.only.empty() || m_options.only.count(CurveName))) {
        ProgramCurve();
        FloorCurve();
    }
    for (int run = m_options.runs; run < m_options.startupRuns; ++run)
        for (const auto& configuration : programs)
            if (wanted(configuration))
                ProgramInstance(configuration, run, true);
    CompareShots();
    Log("measured in " + std::to_string(static_cast<int>(Ms(Clock::now() - began) / 1000)) + " s");
}

void Bench::CompareShots() {
    for (const std::string which : {"panes", "zoomed"}) {
        const auto a = m_shots.find(which + "." + ProgramAuto.name);
        const auto b = m_shots.find(which + "." + ProgramCompositing.name);
        if (a == m_shots.end() || b == m_shots.end() || a->second.width != b->second.width ||
            a->second.height != b->second.height)
            continue;
        const RgbImage& x = a->second;
        const RgbImage& y = b->second;
        RgbImage diff = x;
        long differing = 0;
        double total = 0;
        int largest = 0;
        for (int row = 0; row < x.height; ++row) {
            for (int column = 0; column < x.width; ++column) {
                const std::uint8_t* p = x.At(column, row);
                const std::uint8_t* q = y.At(column, row);
                int most = 0;
                for (int c = 0; c < 3; ++c) {
                    const int d = std::abs(p[c] - q[c]);
                    most = std::max(most, d);
                    total += d;
                }
                largest = std::max(largest, most);
                std::uint8_t* out = diff.At(column, row);
                const auto grey = static_cast<std::uint8_t>((p[0] + p[1] + p[2]) / 6 + 128);
                if (most > 24) {
                    ++differing;
                    out[0] = 255, out[1] = 0, out[2] = 0;
                } else {
                    out[0] = out[1] = out[2] = grey;
                }
            }
        }
        const double pixels = static_cast<double>(x.width) * x.height;
        m_samples.Add("render." + which + ".differing-percent", 100.0 * differing / pixels);
        m_samples.Add("render." + which + ".mean-difference", total / (pixels * 3));
        m_samples.Add("render." + which + ".largest-difference", largest);
        SaveShot(which + "-difference", diff);
    }
}

std::string Fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

const char* Verdict(bool met) {
    return met ? "**met**" : "**missed**";
}

void Bench::Write() const {
    std::ostringstream md;
    const auto& s = m_samples;
    const std::string program = ProgramAuto.name, compositing = ProgramCompositing.name;
    auto ms = [&](const std::string& key) { return Describe(s.Get(key), 0, " ms"); };
    auto mib = [&](const std::string& key) { return Describe(s.Get(key), 0, " MiB"); };

    // Per configuration and delay: the five-pane time, the slowest pane alone, their ratio.
    struct SearchFigures {
        Summary five, single;
        int slowestPane = -1;
        double ratio = 0;
    };
    auto searchFigures = [&](const std::string& mode, int delay) {
        SearchFigures f;
        f.five = s.Get("search.five." + mode + "." + std::to_string(delay));
        for (int pane = 0; pane < 5; ++pane) {
            const Summary single =
                s.Get("search.single." + mode + "." + std::to_string(delay) + "." + std::to_string(pane));
            if (single.count > 0 && (f.slowestPane < 0 || single.median > f.single.median))
                f.single = single, f.slowestPane = pane;
        }
        if (f.single.count > 0 && f.single.median > 0)
            f.ratio = f.five.median / f.single.median;
        return f;
    };
    auto longest = [&](const std::string& prefix) {
        double most = 0;
        for (const auto& [name, values] : s.All())
            if (name.rfind(prefix, 0) == 0 && (prefix.back() == '.' || name == prefix))
                for (double v : values)
                    most = std::max(most, v);
        return most;
    };

    const Summary five = s.Get("memory.five." + program), floorSame = s.Get("memory.five." + FloorOff.name);
    const Summary floorDefault = s.Get("memory.five." + FloorDefault.name);
    const double memoryRatio = floorSame.median > 0 ? five.median / floorSame.median : 0;
    const SearchFigures search400 = searchFigures(program, 400);
    const Summary splashPainted = s.Get("startup.splash-painted." + program);
    const Summary mainPainted = s.Get("startup.main-painted." + program);
    const double searchStall = longest("stall.search." + program + ".");
    const double resizeStall = longest("stall.resize." + program);

    // The memory curve: the program's and the floor's, distinct pages and PSS.
    const int curveLast = m_options.curve;
    auto curveAt = [&](const std::string& mode, const std::string& point, const char* which) {
        return s.Get("curve." + mode + "." + point + (*which ? std::string(".") + which : "")).median;
    };
    const double curveFirst = curveAt(program, "1", "distinct"),
                 curveEnd = curveAt(program, std::to_string(curveLast), "distinct"),
                 floorCurveEnd = curveAt(FloorOff.name, std::to_string(curveLast), "distinct");
    const double growth = curveFirst > 0 ? curveEnd / curveFirst : 0;
    const double ofFloor = floorCurveEnd > 0 ? curveEnd / floorCurveEnd : 0;
    const std::vector<double>& warmTimes = s.Of("curve.search." + program);
    const Summary warm = s.Get("curve.search." + program);
    const double p99 = Percentile(warmTimes, 0.99);
    const double spread = warm.median > 0 ? p99 / warm.median : 0;
    const Summary barePainted = s.Get("startup.window-painted." + FloorOff.name);
    const Summary firstRequest = s.Get("request.cold." + program);
    const bool distinctRead = s.Get("curve." + program + ".1.distinct").count > 0;

    md << "### Targets of this round\n\n"
       << "The program as it decides for itself (no compositing here). Memory is distinct resident memory "
          "(each physical page counted once over the whole process tree); the curve is one process searching "
          "again and again (0 ms delay), its warm searches timed from the Enter key event to the last load "
          "report.\n\n"
       << "| target | measured | |\n|---|---|---|\n";
    md << "| memory after " << curveLast << " searches ≤ 1.25 × after the first | "
       << (distinctRead
               ? Fixed(curveEnd, 0) + " MiB vs " + Fixed(curveFirst, 0) + " MiB = " + Fixed(growth, 3) + " ×"
               : std::string("unavailable"))
       << " | " << Verdict(growth > 0 && growth <= 1.25) << " |\n";
    md << "| memory after " << curveLast << " searches ≤ 0.8 × the floor's after as many loads | "
       << (distinctRead ? Fixed(curveEnd, 0) + " MiB vs " + Fixed(floorCurveEnd, 0) +
                              " MiB = " + Fixed(ofFloor, 3) + " ×"
                        : std::string("unavailable"))
       << " | " << Verdict(ofFloor > 0 && ofFloor <= 0.8) << " |\n";
    md << "| start → splash visible ≤ 250 ms and ≤ 1.0 × the bare program's start → window drawn | "
       << Fixed(splashPainted.median, 0) << " ms (max " << Fixed(splashPainted.max, 0) << ") vs "
       << Fixed(barePainted.median, 0)
       << " ms = " << Fixed(barePainted.median > 0 ? splashPainted.median / barePainted.median : 0, 2)
       << " × | "
       << Verdict(splashPainted.count > 0 && barePainted.count > 0 && splashPainted.median <= 250 &&
                  splashPainted.median <= barePainted.median)
       << " |\n";
    md << "| first search of a process: Enter → first request < 50 ms | " << Fixed(firstRequest.median, 0)
       << " ms (max " << Fixed(firstRequest.max, 0) << ", n=" << firstRequest.count << ") | "
       << Verdict(firstRequest.count > 0 && firstRequest.median < 50) << " |\n";
    md << "| warm search: 99th percentile ≤ 1.5 × median | " << Fixed(p99, 0) << " ms vs "
       << Fixed(warm.median, 0) << " ms = " << Fixed(spread, 2) << " × (n=" << warm.count << ") | "
       << Verdict(spread > 0 && spread <= 1.5) << " |\n\n";

    // Against the floor and another browser: five pages from a cold start.
    const std::string peerNames[] = {program, FloorOff.name, ChromiumPeer.name};
    auto peerRow = [&](const std::string& label, const std::string& prefix, const std::string& suffix,
                       int decimals, const std::string& programKey = "") {
        md << "| " << label;
        double values[3];
        for (int i = 0; i < 3; ++i) {
            const Summary summary =
                s.Get(i == 0 && !programKey.empty() ? programKey : prefix + peerNames[i] + suffix);
            values[i] = summary.median;
            md << " | " << (summary.count ? Describe(summary, decimals) : std::string("—"));
        }
        for (int i : {1, 2})
            md << " | " << (values[0] > 0 && values[i] > 0 ? Fixed(values[0] / values[i], 2) : "—");
        md << " |\n";
    };
    md << "### Peers\n\n"
       << "Five result pages from a cold start, each in a fresh profile: the program (launch, splash, main "
          "window, the driver's Enter, five loads), the bare five-view floor without compositing (launch, "
          "window, five loads) and Chromium started with the five addresses, which it opens in five tabs. "
          "Launch → loaded runs from the process's start to the last page's load report; for the program "
          "and the floor it is the time to the window's first drawing plus the first search's time (the "
          "driver's typing in between left out), and the program's includes the splash's three seconds on "
          "screen, so it is given without them too. Memory 3 s after the five loaded, whole process tree; "
          "processor time of the tree from launch until then (for the program and the floor also the 3 s "
          "idle before the search).\n\n"
       << "| | program | floor | Chromium | program / floor | program / Chromium |\n"
          "|---|---|---|---|---|---|\n";
    peerRow("memory, distinct (MiB)", "memory.five.", ".distinct", 0);
    peerRow("memory, PSS (MiB)", "memory.five.", "", 0);
    peerRow("launch → five loaded (ms)", "peer.launch-to-five.", "", 0);
    peerRow("launch → five loaded, program without the splash's time (ms)", "peer.launch-to-five.", "", 0,
            "peer.launch-to-five-less-splash." + program);
    peerRow("processor time, launch → loaded + 3 s (s)", "cpu.launch-to-five.", "", 2);
    md << "\nBesides the five pages with their files (the page server answers everything), Chromium asked "
          "the proxy in its first run for: "
       << (m_notes.empty() ? std::string("— (not run)") : m_notes.front())
       << " (tunnels are refused at once; any other address gets a result page).\n\n";

    md << "### Targets\n\n"
       << "The program as it runs on this machine (it turns compositing off here: the only OpenGL is "
          "llvmpipe). "
          "Medians, with the range over all runs; a stall target holds only if no run exceeded it.\n\n"
       << "| target | measured | |\n|---|---|---|\n";
    md << "| memory, five loaded pages ≤ 1.10 × the bare five-view floor (same drawing mode) | "
       << Fixed(five.median, 0) << " MiB vs " << Fixed(floorSame.median, 0)
       << " MiB = " << Fixed(memoryRatio, 3) << " × | " << Verdict(memoryRatio > 0 && memoryRatio <= 1.10)
       << " |\n";
    md << "| memory, five loaded pages < 470 MB | " << Fixed(five.median, 0)
       << " MiB = " << Fixed(five.median * 1.048576, 0) << " MB (largest run "
       << Fixed(five.max * 1.048576, 0) << " MB) | " << Verdict(five.count > 0 && five.max * 1.048576 < 470)
       << " |\n";
    md << "| warm search to five pages, 400 ms delay, ≤ 1.3 × the slowest pane alone | "
       << Fixed(search400.five.median, 0) << " ms vs " << Fixed(search400.single.median, 0) << " ms (pane "
       << search400.slowestPane + 1 << ") = " << Fixed(search400.ratio, 2) << " × | "
       << Verdict(search400.ratio > 0 && search400.ratio <= 1.3) << " |\n";
    md << "| process start → splash visible ≤ 0.3 s | " << Fixed(splashPainted.median, 0) << " ms (max "
       << Fixed(splashPainted.max, 0) << ") | "
       << Verdict(splashPainted.count > 0 && splashPainted.median <= 300) << " |\n";
    md << "| splash closed → main window visible ≤ 0.1 s | " << Fixed(mainPainted.median, 0) << " ms (max "
       << Fixed(mainPainted.max, 0) << ") | " << Verdict(mainPainted.count > 0 && mainPainted.median <= 100)
       << " |\n";
    md << "| no event-loop stall > 50 ms during a search | longest " << Fixed(searchStall, 0) << " ms | "
       << Verdict(searchStall > 0 && searchStall <= 50) << " |\n";
    md << "| no event-loop stall > 50 ms during a resize | longest " << Fixed(resizeStall, 0) << " ms | "
       << Verdict(resizeStall > 0 && resizeStall <= 50) << " |\n\n";

    md << "### Search to loaded pages\n\n"
       << "From the Enter key event to the last page's own load report (ms), warm: after a first search in "
          "the same "
          "process, so style sheets, scripts and pictures come from WebKit's cache and each page's HTML is "
          "fetched "
          "again with the delay. \"alone\" is the slowest of the five panes searched one at a time in the "
          "same "
          "process.\n\n"
       << "| drawing | delay | five panes | slowest pane alone | ratio |\n|---|---|---|---|---|\n";
    for (const auto& mode : {program, compositing}) {
        for (int delay : Delays) {
            const SearchFigures f = searchFigures(mode, delay);
            md << "| "
               << (mode == program ? "program's choice (no compositing)" : "compositing (user's \"0\")")
               << " | " << delay << " ms | " << Describe(f.five) << " | " << Describe(f.single) << " (pane "
               << f.slowestPane + 1 << ") | " << Fixed(f.ratio, 2) << " |\n";
        }
    }
    md << "\nThe engine's own floor, the bare program's five views loaded at once against each alone (400 ms "
          "delay), "
          "timed by the toolkit's `wxEVT_WEBVIEW_LOADED` events and, for comparison, by the pages' "
          "reports:\n\n"
       << "| drawing | timed by | five views | slowest view alone | ratio |\n|---|---|---|---|---|\n";
    for (const auto& floor : {FloorOff.name, FloorDefault.name}) {
        for (const std::string by : {"", "-by-report"}) {
            const Summary floorFive = s.Get("floor.five" + by + "." + floor + ".400");
            Summary slowest;
            int slowestView = -1;
            for (int view = 0; view < 5; ++view) {
                const Summary single =
                    s.Get("floor.single" + by + "." + floor + ".400." + std::to_string(view));
                if (single.count > 0 && (slowestView < 0 || single.median > slowest.median))
                    slowest = single, slowestView = view;
            }
            md << "| " << (floor == FloorOff.name ? "no compositing" : "compositing (WebKit's default)")
               << " | " << (by.empty() ? "loaded events" : "page reports") << " | " << Describe(floorFive)
               << " | " << Describe(slowest) << " (view " << slowestView + 1 << ") | "
               << Fixed(slowest.median > 0 ? floorFive.median / slowest.median : 0, 2) << " |\n";
        }
    }
    md << "\nFirst (cold) search, 0 ms delay: " << ms("search.cold." + program) << " without compositing, "
       << ms("search.cold." + compositing) << " with.\n\n";
    md << "From the Enter key event to the first request the search caused reaching the page server (ms): "
          "the first search of each process (the curve's process included) and the warm ones.\n\n"
       << "| drawing | first search | warm |\n|---|---|---|\n";
    for (const auto& mode : {program, compositing})
        md << "| " << mode << " | " << ms("request.cold." + mode) << " | " << ms("request.warm." + mode)
           << " |\n";
    md << "\n";
    md << "Each pane alone (ms):\n\n| pane | engine | page weight | no comp. 0 ms | no comp. 400 ms | comp. "
          "0 ms | "
          "comp. 400 ms |\n|---|---|---|---|---|---|---|\n";
    for (int pane = 0; pane < 5; ++pane) {
        md << "| " << pane + 1 << " | " << DefaultEngines[pane] << " | " << ResultPageWeight(pane) / 1024
           << " KiB";
        for (const auto& mode : {program, compositing})
            for (int delay : Delays)
                md << " | "
                   << Describe(s.Get("search.single." + mode + "." + std::to_string(delay) + "." +
                                     std::to_string(pane)));
        md << " |\n";
    }

    md << "\n### Start-up\n\n"
       << "From the process's start (just before it is spawned) to the splash window mapped and first drawn; "
          "from "
          "the splash's unmapping to the main window mapped and first drawn (ms). The splash closes by its "
          "own "
          "three-second timer.\n\n"
       << "| drawing | start → splash mapped | start → splash drawn | splash gone → main mapped | splash "
          "gone → main "
          "drawn |\n|---|---|---|---|---|\n";
    for (const auto& mode : {program, compositing})
        md << "| " << mode << " | " << Describe(s.Get("startup.splash-mapped." + mode)) << " | "
           << Describe(s.Get("startup.splash-painted." + mode)) << " | "
           << Describe(s.Get("startup.main-mapped." + mode)) << " | "
           << Describe(s.Get("startup.main-painted." + mode)) << " |\n";
    md << "\nThe bare five-view program, which makes its five views and then shows its window: start → "
          "window "
          "mapped "
       << Describe(s.Get("startup.window-mapped." + FloorOff.name)) << ", drawn "
       << Describe(s.Get("startup.window-painted." + FloorOff.name)) << " without compositing; mapped "
       << Describe(s.Get("startup.window-mapped." + FloorDefault.name)) << ", drawn "
       << Describe(s.Get("startup.window-painted." + FloorDefault.name)) << " with WebKit's default.\n";

    md << "\n### Memory\n\n"
       << "Sum of PSS over the process and all its descendants (WebKit's web and network processes), MiB; 3 "
          "s after "
          "the window appeared (none loaded) and 3 s after the five pages reported their load.\n\n"
       << "| configuration | none loaded | five pages loaded | five loaded, distinct | of which UI / "
          "network / web processes | after all the searches |\n|---|---|---|---|---|---|\n";
    for (const auto& mode : {program, compositing, FloorOff.name, FloorDefault.name}) {
        md << "| " << mode << " | " << mib("memory.none." + mode) << " | " << mib("memory.five." + mode)
           << " | "
           << (s.Get("memory.five." + mode + ".distinct").count ? mib("memory.five." + mode + ".distinct")
                                                                : "unavailable")
           << " | " << Fixed(s.Get("memory.five." + mode + ".ui").median, 0) << " / "
           << Fixed(s.Get("memory.five." + mode + ".network").median, 0) << " / "
           << Fixed(s.Get("memory.five." + mode + ".web").median, 0) << " | "
           << (s.Get("memory.after." + mode).count ? mib("memory.after." + mode) : "—") << " |\n";
    }
    md << "\nOther WebKit processes running on the machine while memory was read (they share the engine's "
          "libraries and so lower every PSS figure): "
       << Describe(s.Get("memory.foreign-webkit")) << ".\n";
    md << "\nWith compositing: program " << Fixed(s.Get("memory.five." + compositing).median, 0)
       << " MiB vs floor " << Fixed(floorDefault.median, 0) << " MiB = "
       << Fixed(floorDefault.median > 0 ? s.Get("memory.five." + compositing).median / floorDefault.median
                                        : 0,
                3)
       << " ×.\n";

    md << "\n### Memory over " << curveLast << " searches\n\n"
       << "One program process searching " << curveLast
       << " times (0 ms delay, Enter in the keyword box, the five load reports, 300 ms settling) and one "
          "floor process (no compositing) loading its five views as often, one after the other; memory of "
          "the whole tree after the given search, and after 3 s idle at the end (MiB).\n\n"
       << "| search | program, distinct | program, PSS | floor, distinct | floor, PSS |\n"
          "|---|---|---|---|---|\n";
    std::vector<std::string> points{"1"};
    for (int search = 20; search <= curveLast; search += 20)
        points.push_back(std::to_string(search));
    if (curveLast % 20 != 0 && curveLast > 1)
        points.push_back(std::to_string(curveLast));
    points.push_back("idle");
    for (const auto& point : points) {
        md << "| " << (point == "idle" ? "3 s idle after the last" : point);
        for (const auto& mode : {program, FloorOff.name})
            for (const char* which : {"distinct", ""})
                md << " | "
                   << (s.Get("curve." + mode + "." + point + (*which ? std::string(".") + which : "")).count
                           ? Fixed(curveAt(mode, point, which), 0)
                           : std::string("—"));
        md << " |\n";
    }
    const std::string last = std::to_string(curveLast);
    auto ratio = [](double a, double b) { return b > 0 ? Fixed(a / b, 3) : std::string("—"); };
    md << "\nProgram after " << curveLast << " / after 1: distinct " << ratio(curveEnd, curveFirst)
       << ", PSS " << ratio(curveAt(program, last, ""), curveAt(program, "1", "")) << "; floor: distinct "
       << ratio(floorCurveEnd, curveAt(FloorOff.name, "1", "distinct")) << ", PSS "
       << ratio(curveAt(FloorOff.name, last, ""), curveAt(FloorOff.name, "1", ""))
       << ". Program / floor after " << curveLast << ": distinct " << ratio(curveEnd, floorCurveEnd)
       << ", PSS " << ratio(curveAt(program, last, ""), curveAt(FloorOff.name, last, ""))
       << ". Web processes at the end: " << Fixed(curveAt(program, "idle", "web-processes"), 0)
       << " in the program's tree, " << Fixed(curveAt(FloorOff.name, "idle", "web-processes"), 0)
       << " in the floor's.\n\n";
    md << "The program's " << warm.count << " warm searches of the curve:\n\n"
       << "| | median | 95th percentile | 99th percentile | max | 99th / median |\n"
          "|---|---|---|---|---|---|\n";
    for (const auto& [label, key, decimals] :
         {std::tuple<const char*, std::string, int>{"Enter → last load report (ms)",
                                                    "curve.search." + program, 0},
          {"processor time of the tree, Enter to 300 ms after (s)", "curve.cpu." + program, 3}}) {
        const std::vector<double>& values = s.Of(key);
        const Summary summary = s.Get(key);
        md << "| " << label << " | " << Fixed(summary.median, decimals) << " | "
           << Fixed(Percentile(values, 0.95), decimals) << " | " << Fixed(Percentile(values, 0.99), decimals)
           << " | " << Fixed(summary.max, decimals) << " | "
           << ratio(Percentile(values, 0.99), summary.median) << " |\n";
    }
    md << "\nSearches of the curve over 500 ms, with the processor time each process of the tree used from "
          "Enter to 300 ms after the last load report (\"new\": a process started during the search):\n\n";
    for (const auto& line : m_slowSearches)
        md << "- " << line << "\n";
    if (m_slowSearches.empty())
        md << "- none\n";

    md << "\n### Event loop: longest stall\n\n"
       << "The longest time the program took to answer a _NET_WM_PING, pinging again 1 ms after each answer "
          "(ms); "
          "one figure per run.\n\n"
       << "| configuration | search, 0 ms delay | search, 400 ms delay | resizing for 3 s "
          "|\n|---|---|---|---|\n";
    for (const auto& mode : {program, compositing, FloorOff.name, FloorDefault.name})
        md << "| " << mode << " | "
           << (s.Get("stall.search." + mode + ".0").count ? ms("stall.search." + mode + ".0") : "—") << " | "
           << (s.Get("stall.search." + mode + ".400").count ? ms("stall.search." + mode + ".400") : "—")
           << " | " << ms("stall.resize." + mode) << " |\n";

    md << "\nProcessor time used by the whole process tree (s): for one warm search of five pages, counted "
          "until 0.7 s "
          "after the last load report, and for 3 s of resizing.\n\n"
       << "| configuration | search, 0 ms delay | search, 400 ms delay | resizing for 3 s "
          "|\n|---|---|---|---|\n";
    for (const auto& mode : {program, compositing, FloorOff.name, FloorDefault.name})
        md << "| " << mode << " | "
           << (s.Get("cpu.search." + mode + ".0").count ? Describe(s.Get("cpu.search." + mode + ".0"), 2)
                                                        : "—")
           << " | "
           << (s.Get("cpu.search." + mode + ".400").count ? Describe(s.Get("cpu.search." + mode + ".400"), 2)
                                                          : "—")
           << " | " << Describe(s.Get("cpu.resize." + mode), 2) << " |\n";

    md << "\n### Drawing with and without compositing\n\n"
       << "The same loaded pages captured in both modes and compared pixel by pixel (a pixel differs when a "
          "colour "
          "channel differs by more than 24 of 255).\n\n| view | pixels differing | mean difference | largest "
          "|\n"
          "|---|---|---|---|\n";
    for (const std::string which : {"panes", "zoomed"})
        md << "| " << (which == "panes" ? "the five panes" : "pane 5 zoomed") << " | "
           << Fixed(s.Get("render." + which + ".differing-percent").median, 3) << " % | "
           << Fixed(s.Get("render." + which + ".mean-difference").median, 2) << " | "
           << Fixed(s.Get("render." + which + ".largest-difference").median, 0) << " |\n";

    md << "\n### Method check\n\n"
       << "A page's own load report against the toolkit's `wxEVT_WEBVIEW_LOADED` for the same page in the "
          "bare "
          "program, report minus event (ms): first load of five views "
       << Describe(s.Get("method.report-minus-loaded.cold"), 1) << "; warm, five views at once "
       << Describe(s.Get("method.report-minus-loaded.warm-five"), 1) << "; warm, one view alone "
       << Describe(s.Get("method.report-minus-loaded.warm-single"), 1) << ".\n";

    std::ofstream(m_options.out) << md.str();
    std::ofstream raw(m_options.out + ".tsv");
    for (const auto& [name, values] : s.All()) {
        raw << name;
        for (double v : values)
            raw << '\t' << v;
        raw << '\n';
    }
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        auto value = [&]() -> std::string { return i + 1 < argc ? argv[++i] : ""; };
        if (argument == "--program")
            options.program = value();
        else if (argument == "--bare")
            options.bare = value();
        else if (argument == "--out")
            options.out = value();
        else if (argument == "--shots")
            options.shots = value();
        else if (argument == "--serve")
            options.serveSeconds = std::stoi(value());
        else if (argument == "--only") {
            std::istringstream names(value());
            for (std::string name; std::getline(names, name, ',');)
                options.only.insert(name);
        } else if (argument == "--resize-only") {
            options.resizeOnly = true;
        } else if (argument == "--stall-runs") {
            options.stallRuns = std::stoi(value());
        } else if (argument == "--runs")
            options.runs = std::stoi(value());
        else if (argument == "--curve")
            options.curve = std::stoi(value());
        else if (argument == "--chromium")
            options.chromium = value();
        else if (argument == "--quick") {
            options.runs = 1;
            options.startupRuns = 1;
            options.repeats = 2;
            options.singleRepeats = 1;
            options.stallRuns = 1;
            options.curve = 20;
        } else {
            std::cerr << "unknown argument " << argument << "\n";
            return 2;
        }
    }
    if (options.serveSeconds > 0) {
        PageServer server;
        std::vector<std::string> hosts;
        for (const char* engine : DefaultEngines)
            hosts.push_back(Host(QueryUrl(engine)));
        server.SetHosts(hosts);
        std::cout << "http_proxy=" << server.ProxyAddress() << std::endl;
        std::this_thread::sleep_for(std::chrono::seconds(options.serveSeconds));
        return 0;
    }
    if (options.program.empty() || options.bare.empty() || options.out.empty()) {
        std::cerr << "usage: scoutwell_bench --program PATH --bare PATH --out FILE [--shots DIR] [--runs N] "
                     "[--curve N]\n"
                     "       [--chromium PATH] [--quick] [--only CONFIGURATION,...|curve] [--resize-only] "
                     "[--stall-runs N]\n       "
                     "scoutwell_bench --serve SECONDS\n";
        return 2;
    }
    options.startupRuns = std::max(options.startupRuns, options.runs);
    try {
        if (const auto renderer = QueryGlRenderer())
            std::cerr << "[bench] OpenGL renderer: " << *renderer << std::endl;
        Bench bench(options);
        bench.Run();
        bench.Write();
    } catch (const std::exception& error) {
        std::cerr << "scoutwell_bench: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
