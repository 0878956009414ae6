// Measures the real program from outside, as a user meets it: started as a
// process, its windows watched through the X server, its keyword box typed
// into and Enter pressed with real key events, its answers to pings timed,
// its memory read from /proc; the web is a local page server acting as the
// views' proxy. Writes the results as Markdown.
//     scoutwell_bench --program PATH --bare PATH --out FILE [--shots DIR] [--runs N] [--curve N]
//                     [--chromium PATH] [--quick] [--pages plain|heavy]
//     scoutwell_bench --serve SECONDS [--pages plain|heavy]   (only the page server, to look at the pages)
//     scoutwell_bench --report-from FILE.tsv --out FILE [--curve N]   (the report again from recorded
//     samples)
//     scoutwell_bench --chart PLAIN.tsv HEAVY.tsv --out FILE.svg [--caption TEXT]   (the memory curves of
//     two recorded runs, the plain pages' and the heavy pages', as a picture)

#include "bench.h"
#include "curve_chart.h"
#include "engine_catalogue.h"
#include "gl_renderer.h"
#include "keyword_encoding.h"
#include "report.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

} // namespace

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
        if (m_options.only.empty() || m_options.only.count(TypingName))
            for (const bool suggestions : {run % 2 == 0, run % 2 != 0})
                TypingInstance(suggestions, run);
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

void Bench::Write() const {
    // The heavy pages are measured for their memory curve alone.
    const bool heavyCurve =
        m_options.pages == PageSet::Heavy && m_options.only == std::set<std::string>{CurveName};
    const std::string title =
        heavyCurve ? "Memory over " + std::to_string(m_options.curve) + " searches: heavy pages" : "";
    std::ofstream(m_options.out) << Report(
        ReportInputs{m_samples, m_options.curve, m_notes, m_slowSearches, title});
    WriteSamples(m_samples, m_options.out + ".tsv");
}

namespace {

// The report or the chart from recorded samples, measuring nothing.
int FromRecorded(const std::string& reportFrom, const std::vector<std::string>& chartFrom,
                 const std::string& caption, const Options& options) {
    try {
        const std::string text =
            chartFrom.empty() ? Report(ReportInputs{ReadSamples(reportFrom), options.curve, {}, {}, {}})
                              : MemoryCurvesSvg(chartFrom[0], chartFrom[1], caption);
        std::ofstream out(options.out);
        if (!(out << text).flush())
            throw std::runtime_error("cannot write " + options.out);
    } catch (const std::exception& error) {
        std::cerr << "scoutwell_bench: " << error.what() << "\n";
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    std::string reportFrom, caption;    // recorded samples to write the report from, measuring nothing
    std::vector<std::string> chartFrom; // or the two runs' samples to draw the memory curves from
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
        else if (argument == "--pages") {
            const std::string set = value();
            if (set != "plain" && set != "heavy") {
                std::cerr << "--pages takes plain or heavy\n";
                return 2;
            }
            options.pages = set == "heavy" ? PageSet::Heavy : PageSet::Plain;
        } else if (argument == "--chromium")
            options.chromium = value();
        else if (argument == "--report-from")
            reportFrom = value();
        else if (argument == "--chart")
            chartFrom = {value(), value()};
        else if (argument == "--caption")
            caption = value();
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
        PageServer server(options.pages);
        std::vector<std::string> hosts;
        for (const char* engine : DefaultEngines)
            hosts.push_back(Host(QueryUrl(engine)));
        server.SetHosts(hosts);
        std::cout << "http_proxy=" << server.ProxyAddress() << std::endl;
        std::this_thread::sleep_for(std::chrono::seconds(options.serveSeconds));
        return 0;
    }
    if ((!reportFrom.empty() || !chartFrom.empty()) && !options.out.empty())
        return FromRecorded(reportFrom, chartFrom, caption, options);
    if (options.program.empty() || options.bare.empty() || options.out.empty()) {
        std::cerr << "usage: scoutwell_bench --program PATH --bare PATH --out FILE [--shots DIR] [--runs N] "
                     "[--curve N]\n"
                     "       [--chromium PATH] [--quick] [--only CONFIGURATION,...|curve|typing] "
                     "[--resize-only] [--stall-runs N]\n       [--pages plain|heavy]\n       "
                     "scoutwell_bench --serve SECONDS\n       "
                     "scoutwell_bench --report-from FILE.tsv --out FILE [--curve N]\n       "
                     "scoutwell_bench --chart PLAIN.tsv HEAVY.tsv --out FILE.svg [--caption TEXT]\n";
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
