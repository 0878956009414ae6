// Microbenchmarks: the keyword encoding on a long text, the pane layout, both
// as pure arithmetic on fake placements and on the real main window, and the
// start's reading of the engine folders into the real window's choosers.
//     scoutwell_microbench [--md=FILE] [Google Benchmark's own options]
// With --md the medians, minima and maxima of the repetitions are also
// written to FILE as a Markdown table.

#include "compact_style.h"
#include "engine_catalogue.h"
#include "fake_browser_view.h"
#include "keyword_encoding.h"
#include "main_window.h"
#include "pane_layout.h"

#include <benchmark/benchmark.h>
#include <wx/app.h>
#include <wx/combobox.h>
#include <wx/display.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <string>

#include <unistd.h>

namespace {

// 10 KB of keywords as people type them, with some of every kind of
// character the encoding replaces and some it leaves.
std::wstring KeywordText() {
    const std::wstring pieces[] = {L"new york ",  L"100% pure ", L"rock & roll ", L"\"exact phrase\" ",
                                   L"c++ ",       L"what? ",     L"path/to ",     L"a=b ",
                                   L"caf\u00e9 ", L"(x|y) ",     L"[1,2]; "};
    std::wstring text;
    for (std::size_t i = 0; text.size() < 10 * 1024; ++i)
        text += pieces[i % std::size(pieces)];
    text.resize(10 * 1024);
    return text;
}

void EncodeKeywords10KB(benchmark::State& state) {
    const std::wstring text = KeywordText();
    for (auto _ : state)
        benchmark::DoNotOptimize(EncodeKeywords(text));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size() * sizeof(wchar_t)));
}

// The main window's controls as fakes that keep what they are given.
void ArrangePanesPure(benchmark::State& state) {
    FakePlacement window, topStrip;
    PaneArray<FakePlacement> buttonColumns, views;
    topStrip.SetHeight(1575);
    for (auto& column : buttonColumns)
        column.SetWidth(735);
    PaneLayoutControls controls{window, topStrip, {}, {}};
    for (PaneIndex i = 0; i < PaneCount; ++i) {
        controls.buttonColumns[i] = &buttonColumns[i];
        controls.views[i] = &views[i];
    }
    const std::function<void()> noZoom = [] {};
    bool large = false;
    for (auto _ : state) {
        // Another size each time, as during a resize.
        large = !large;
        window.SetWidth(large ? 24000 : 18000);
        window.SetHeight(large ? 18000 : 13500);
        ArrangePanes(controls, noZoom);
        benchmark::DoNotOptimize(views[4].Top());
    }
}

MainWindow* g_form = nullptr;

// The real window's ArrangePanes: the wx and GTK calls that place five views
// and five button columns. GTK's own relayout follows in the event loop and
// is not in this figure; the resize benchmark of scoutwell_bench takes it in.
void ArrangePanesRealWindow(benchmark::State& state) {
    bool large = false;
    const wxSize screen = wxDisplay(0u).GetGeometry().GetSize();
    for (auto _ : state) {
        state.PauseTiming();
        large = !large;
        g_form->SetSize(large ? screen : screen * 3 / 4);
        state.ResumeTiming();
        g_form->ArrangePanes();
    }
    g_form->SetSize(screen);
}

// What the engine folders cost: the user's folder with no descriptions, and
// with a thousand, read and listed in all five choosers. The start itself
// waits only for the reading; the event loop lists them during the splash.
void ReadAddedEnginesRealWindow(benchmark::State& state, int files, bool listed) {
    const std::filesystem::path config =
        std::filesystem::temp_directory_path() / ("scoutwell-bench-" + std::to_string(getpid()));
    const std::filesystem::path folder = config / "scoutwell" / "engines";
    std::filesystem::create_directories(folder);
    for (int i = 0; i < files; ++i)
        std::ofstream(folder / ("engine-" + std::to_string(i) + ".xml"))
            << "<OpenSearchDescription><ShortName>Engine " << i
            << "</ShortName><Description>An engine of the benchmark</Description><InputEncoding>UTF-8"
               "</InputEncoding><Url type=\"text/html\" template=\"https://e"
            << i << ".example/search?q={searchTerms}\"/></OpenSearchDescription>\n";
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    for (auto _ : state) {
        state.PauseTiming();
        while (!g_form->AllEnginesListed()) // what the last round left to the event loop
            wxTheApp->Yield(true);
        for (wxComboBox* chooser : g_form->engineChoosers)
            while (chooser->GetCount() > EngineCount)
                chooser->Delete(chooser->GetCount() - 1);
        state.ResumeTiming();
        g_form->ReadAddedEngines();
        while (listed && !g_form->AllEnginesListed())
            wxTheApp->Yield(true);
    }
    unsetenv("XDG_CONFIG_HOME");
    std::filesystem::remove_all(config);
}

double Smallest(const std::vector<double>& v) {
    return *std::min_element(v.begin(), v.end());
}
double Largest(const std::vector<double>& v) {
    return *std::max_element(v.begin(), v.end());
}

// Keeps the median, minimum and maximum of each benchmark's repetitions.
class MarkdownReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate)
                m_figures[run.run_name.function_name][run.aggregate_name] = run.GetAdjustedRealTime();
            m_units[run.run_name.function_name] = benchmark::GetTimeUnitString(run.time_unit);
            if (run.run_type == Run::RT_Iteration)
                m_iterations[run.run_name.function_name] = run.iterations;
        }
    }

    void Write(const std::string& file) const {
        std::ofstream md(file);
        md << "| microbenchmark | median | min | max | iterations per run |\n|---|---|---|---|---|\n";
        for (const auto& [name, figures] : m_figures) {
            const std::string unit = " " + m_units.at(name);
            auto get = [&](const char* key) {
                const auto it = figures.find(key);
                char text[64];
                std::snprintf(text, sizeof text, "%.3g", it == figures.end() ? 0.0 : it->second);
                return text + unit;
            };
            md << "| `" << name << "` | " << get("median") << " | " << get("min") << " | " << get("max")
               << " | " << (m_iterations.count(name) ? m_iterations.at(name) : 0) << " |\n";
        }
    }

private:
    std::map<std::string, std::map<std::string, double>> m_figures;
    std::map<std::string, std::string> m_units;
    std::map<std::string, benchmark::IterationCount> m_iterations;
};

// A benchmark whose rounds take a second is given its number of rounds.
void Register(const char* name, void (*function)(benchmark::State&), int iterations = 0) {
    auto* benchmark = benchmark::RegisterBenchmark(name, function);
    if (iterations > 0)
        benchmark->Iterations(iterations);
    benchmark->Repetitions(9)
        ->ComputeStatistics("min", Smallest)
        ->ComputeStatistics("max", Largest)
        ->Unit(benchmark::kMicrosecond);
}

} // namespace

int main(int argc, char** argv) {
    std::string markdown;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--md=", 5) == 0)
            markdown = argv[i] + 5;
        else
            argv[kept++] = argv[i];
    }
    argc = kept;
    benchmark::Initialize(&argc, argv);

    Register("EncodeKeywords/10KB", EncodeKeywords10KB);
    Register("ArrangePanes/fake placements", ArrangePanesPure);
    if (std::getenv("DISPLAY") != nullptr) {
        wxApp::SetInstance(new wxApp);
        if (wxEntryStart(argc, argv)) {
            ApplyCompactStyle();
            g_form = new MainWindow(std::filesystem::path());
            g_form->Show();
            wxTheApp->Yield(true);
            Register("ArrangePanes/real window", ArrangePanesRealWindow);
            Register("EngineFolders/start, no files",
                     [](benchmark::State& state) { ReadAddedEnginesRealWindow(state, 0, false); });
            Register(
                "EngineFolders/start, 1000 files",
                [](benchmark::State& state) { ReadAddedEnginesRealWindow(state, 1000, false); }, 1);
            Register(
                "EngineFolders/start and lists, 1000 files",
                [](benchmark::State& state) { ReadAddedEnginesRealWindow(state, 1000, true); }, 1);
        }
    }

    MarkdownReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    if (!markdown.empty())
        reporter.Write(markdown);
    if (g_form != nullptr) {
        g_form->Destroy();
        wxTheApp->Yield(true);
        wxEntryCleanup();
    }
    benchmark::Shutdown();
    return 0;
}
