// The report's figures: each section's values for its placeholders in
// report_template.md, computed from the samples; the prose is the template's.

#include "report.h"

#include "bench.h"
#include "result_pages.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <tuple>

std::string Fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

namespace {

using Values = std::map<std::string, std::string>;

const std::string Program = ProgramAuto.name, Compositing = ProgramCompositing.name;

const char* Verdict(bool met) {
    return met ? "**met**" : "**missed**";
}

std::string Ratio(double a, double b) {
    return b > 0 ? Fixed(a / b, 3) : std::string("—");
}

// Reads the samples for the sections: medians, summaries, the figures
// several sections share.
class Figures {
public:
    explicit Figures(const ReportInputs& inputs) : s(inputs.samples), curveLast(inputs.curve) {}

    std::string Ms(const std::string& key) const { return Describe(s.Get(key), 0, " ms"); }
    std::string MiB(const std::string& key) const { return Describe(s.Get(key), 0, " MiB"); }

    // Per configuration and delay: the five-pane time, the slowest pane alone, their ratio.
    struct SearchFigures {
        Summary five, single;
        int slowestPane = -1;
        double ratio = 0;
    };
    SearchFigures Search(const std::string& mode, int delay) const {
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
    }
    // A typing figure over both delays.
    Summary Both(const std::string& key) const {
        std::vector<double> values = s.Of(key + ".0");
        const auto& more = s.Of(key + ".400");
        values.insert(values.end(), more.begin(), more.end());
        return Summarise(values);
    }
    double Longest(const std::string& prefix) const {
        double most = 0;
        for (const auto& [name, values] : s.All())
            if (name.rfind(prefix, 0) == 0 && (prefix.back() == '.' || name == prefix))
                for (double v : values)
                    most = std::max(most, v);
        return most;
    }
    std::string CurveKey(const std::string& mode, const std::string& point, const char* which) const {
        return "curve." + mode + "." + point + (*which ? std::string(".") + which : "");
    }
    double CurveAt(const std::string& mode, const std::string& point, const char* which) const {
        return s.Get(CurveKey(mode, point, which)).median;
    }
    double CurveFirst() const { return CurveAt(Program, "1", "distinct"); }
    double CurveEnd() const { return CurveAt(Program, std::to_string(curveLast), "distinct"); }
    double FloorCurveEnd() const { return CurveAt(FloorOff.name, std::to_string(curveLast), "distinct"); }

    const Samples& s;
    const int curveLast;
};

void RoundTargets(const Figures& f, Values& v) {
    const Samples& s = f.s;
    const double curveFirst = f.CurveFirst(), curveEnd = f.CurveEnd(), floorCurveEnd = f.FloorCurveEnd();
    const double growth = curveFirst > 0 ? curveEnd / curveFirst : 0;
    const double ofFloor = floorCurveEnd > 0 ? curveEnd / floorCurveEnd : 0;
    const bool distinctRead = s.Get("curve." + Program + ".1.distinct").count > 0;
    v["curve_searches"] = std::to_string(f.curveLast);
    v["curve_growth"] = distinctRead ? Fixed(curveEnd, 0) + " MiB vs " + Fixed(curveFirst, 0) +
                                           " MiB = " + Fixed(growth, 3) + " ×"
                                     : std::string("unavailable");
    v["curve_growth_verdict"] = Verdict(growth > 0 && growth <= 1.25);
    v["curve_of_floor"] = distinctRead ? Fixed(curveEnd, 0) + " MiB vs " + Fixed(floorCurveEnd, 0) +
                                             " MiB = " + Fixed(ofFloor, 3) + " ×"
                                       : std::string("unavailable");
    v["curve_of_floor_verdict"] = Verdict(ofFloor > 0 && ofFloor <= 0.8);

    const Summary splash = s.Get("startup.splash-painted." + Program);
    const Summary bare = s.Get("startup.window-painted." + FloorOff.name);
    v["splash_against_floor"] = Fixed(splash.median, 0) + " ms (max " + Fixed(splash.max, 0) + ") vs " +
                                Fixed(bare.median, 0) +
                                " ms = " + Fixed(bare.median > 0 ? splash.median / bare.median : 0, 2) + " ×";
    v["splash_against_floor_verdict"] =
        Verdict(splash.count > 0 && bare.count > 0 && splash.median <= 250 && splash.median <= bare.median);

    const Summary firstRequest = s.Get("request.cold." + Program);
    v["first_request"] = Fixed(firstRequest.median, 0) + " ms (max " + Fixed(firstRequest.max, 0) +
                         ", n=" + std::to_string(firstRequest.count) + ")";
    v["first_request_verdict"] = Verdict(firstRequest.count > 0 && firstRequest.median < 50);

    const Summary warm = s.Get("curve.search." + Program);
    const double p99 = Percentile(s.Of("curve.search." + Program), 0.99);
    const double spread = warm.median > 0 ? p99 / warm.median : 0;
    v["warm_spread"] = Fixed(p99, 0) + " ms vs " + Fixed(warm.median, 0) + " ms = " + Fixed(spread, 2) +
                       " × (n=" + std::to_string(warm.count) + ")";
    v["warm_spread_verdict"] = Verdict(spread > 0 && spread <= 1.5);
}

// Against the floor and another browser: five pages from a cold start.
void Peers(const Figures& f, const ReportInputs& inputs, Values& v) {
    const std::string peerNames[] = {Program, FloorOff.name, ChromiumPeer.name};
    auto peerRow = [&](const std::string& prefix, const std::string& suffix, int decimals,
                       const std::string& programKey = "") {
        std::ostringstream row;
        double values[3];
        for (int i = 0; i < 3; ++i) {
            const Summary summary =
                f.s.Get(i == 0 && !programKey.empty() ? programKey : prefix + peerNames[i] + suffix);
            values[i] = summary.median;
            row << " | " << (summary.count ? Describe(summary, decimals) : std::string("—"));
        }
        for (int i : {1, 2})
            row << " | " << (values[0] > 0 && values[i] > 0 ? Fixed(values[0] / values[i], 2) : "—");
        row << " |";
        return row.str();
    };
    v["peer_memory_distinct"] = peerRow("memory.five.", ".distinct", 0);
    v["peer_memory_pss"] = peerRow("memory.five.", "", 0);
    v["peer_launch"] = peerRow("peer.launch-to-five.", "", 0);
    v["peer_launch_less_splash"] =
        peerRow("peer.launch-to-five.", "", 0, "peer.launch-to-five-less-splash." + Program);
    v["peer_cpu"] = peerRow("cpu.launch-to-five.", "", 2);
    v["chromium_other_requests"] = inputs.notes.empty() ? std::string("— (not run)") : inputs.notes.front();
}

void Targets(const Figures& f, Values& v) {
    const Samples& s = f.s;
    const Summary five = s.Get("memory.five." + Program), floorSame = s.Get("memory.five." + FloorOff.name);
    const double memoryRatio = floorSame.median > 0 ? five.median / floorSame.median : 0;
    v["memory_of_floor"] = Fixed(five.median, 0) + " MiB vs " + Fixed(floorSame.median, 0) +
                           " MiB = " + Fixed(memoryRatio, 3) + " ×";
    v["memory_of_floor_verdict"] = Verdict(memoryRatio > 0 && memoryRatio <= 1.10);
    v["memory_mb"] = Fixed(five.median, 0) + " MiB = " + Fixed(five.median * 1.048576, 0) +
                     " MB (largest run " + Fixed(five.max * 1.048576, 0) + " MB)";
    v["memory_mb_verdict"] = Verdict(five.count > 0 && five.max * 1.048576 < 470);

    const Figures::SearchFigures search400 = f.Search(Program, 400);
    v["search_ratio"] = Fixed(search400.five.median, 0) + " ms vs " + Fixed(search400.single.median, 0) +
                        " ms (pane " + std::to_string(search400.slowestPane + 1) +
                        ") = " + Fixed(search400.ratio, 2) + " ×";
    v["search_ratio_verdict"] = Verdict(search400.ratio > 0 && search400.ratio <= 1.3);

    const Summary splash = s.Get("startup.splash-painted." + Program);
    const Summary main = s.Get("startup.main-painted." + Program);
    v["splash"] = Fixed(splash.median, 0) + " ms (max " + Fixed(splash.max, 0) + ")";
    v["splash_verdict"] = Verdict(splash.count > 0 && splash.median <= 300);
    v["main_window"] = Fixed(main.median, 0) + " ms (max " + Fixed(main.max, 0) + ")";
    v["main_window_verdict"] = Verdict(main.count > 0 && main.median <= 100);

    const double searchStall = f.Longest("stall.search." + Program + ".");
    const double resizeStall = f.Longest("stall.resize." + Program);
    v["search_stall"] = Fixed(searchStall, 0);
    v["search_stall_verdict"] = Verdict(searchStall > 0 && searchStall <= 50);
    v["resize_stall"] = Fixed(resizeStall, 0);
    v["resize_stall_verdict"] = Verdict(resizeStall > 0 && resizeStall <= 50);

    // A run that never asked for suggestions or never showed them measured nothing.
    const double typingStall = f.Longest("stall.typing.on."), typingOff = f.Longest("stall.typing.off.");
    const bool suggested = f.Both("typing.requests.on").min > 0 && f.Both("typing.lists.on").min > 0;
    v["typing_stall"] = Fixed(typingStall, 0);
    v["typing_stall_off"] = Fixed(typingOff, 0);
    v["typing_stall_verdict"] = suggested ? Verdict(typingStall > 0 && typingStall <= 50)
                                          : "**not measured**: a run showed no suggestions";
}

void FloorRows(const Figures& f, Values& v) {
    std::ostringstream md;
    for (const auto& floor : {FloorOff.name, FloorDefault.name}) {
        for (const std::string by : {"", "-by-report"}) {
            const Summary floorFive = f.s.Get("floor.five" + by + "." + floor + ".400");
            Summary slowest;
            int slowestView = -1;
            for (int view = 0; view < 5; ++view) {
                const Summary single =
                    f.s.Get("floor.single" + by + "." + floor + ".400." + std::to_string(view));
                if (single.count > 0 && (slowestView < 0 || single.median > slowest.median))
                    slowest = single, slowestView = view;
            }
            md << "| " << (floor == FloorOff.name ? "no compositing" : "compositing (WebKit's default)")
               << " | " << (by.empty() ? "loaded events" : "page reports") << " | " << Describe(floorFive)
               << " | " << Describe(slowest) << " (view " << slowestView + 1 << ") | "
               << Fixed(slowest.median > 0 ? floorFive.median / slowest.median : 0, 2) << " |\n";
        }
    }
    v["floor_rows"] = md.str();
}

void SearchRows(const Figures& f, Values& v) {
    std::ostringstream md;
    for (const auto& mode : {Program, Compositing}) {
        for (int delay : Delays) {
            const Figures::SearchFigures search = f.Search(mode, delay);
            md << "| "
               << (mode == Program ? "program's choice (no compositing)" : "compositing (user's \"0\")")
               << " | " << delay << " ms | " << Describe(search.five) << " | " << Describe(search.single)
               << " (pane " << search.slowestPane + 1 << ") | " << Fixed(search.ratio, 2) << " |\n";
        }
    }
    v["search_rows"] = md.str();
    FloorRows(f, v);
    v["cold_search"] = f.Ms("search.cold." + Program);
    v["cold_search_compositing"] = f.Ms("search.cold." + Compositing);

    std::ostringstream requests;
    for (const auto& mode : {Program, Compositing})
        requests << "| " << mode << " | " << f.Ms("request.cold." + mode) << " | "
                 << f.Ms("request.warm." + mode) << " |\n";
    v["request_rows"] = requests.str();

    std::ostringstream panes;
    for (int pane = 0; pane < 5; ++pane) {
        panes << "| " << pane + 1 << " | " << DefaultEngines[pane] << " | " << ResultPageWeight(pane) / 1024
              << " KiB";
        for (const auto& mode : {Program, Compositing})
            for (int delay : Delays)
                panes << " | "
                      << Describe(f.s.Get("search.single." + mode + "." + std::to_string(delay) + "." +
                                          std::to_string(pane)));
        panes << " |\n";
    }
    v["pane_rows"] = panes.str();
}

void Startup(const Figures& f, Values& v) {
    const Samples& s = f.s;
    std::ostringstream md;
    for (const auto& mode : {Program, Compositing})
        md << "| " << mode << " | " << Describe(s.Get("startup.splash-mapped." + mode)) << " | "
           << Describe(s.Get("startup.splash-painted." + mode)) << " | "
           << Describe(s.Get("startup.main-mapped." + mode)) << " | "
           << Describe(s.Get("startup.main-painted." + mode)) << " |\n";
    v["startup_rows"] = md.str();
    v["floor_window_mapped"] = Describe(s.Get("startup.window-mapped." + FloorOff.name));
    v["floor_window_drawn"] = Describe(s.Get("startup.window-painted." + FloorOff.name));
    v["floor_default_window_mapped"] = Describe(s.Get("startup.window-mapped." + FloorDefault.name));
    v["floor_default_window_drawn"] = Describe(s.Get("startup.window-painted." + FloorDefault.name));
}

void Memory(const Figures& f, Values& v) {
    const Samples& s = f.s;
    std::ostringstream md;
    for (const auto& mode : {Program, Compositing, FloorOff.name, FloorDefault.name}) {
        md << "| " << mode << " | " << f.MiB("memory.none." + mode) << " | " << f.MiB("memory.five." + mode)
           << " | "
           << (s.Get("memory.five." + mode + ".distinct").count ? f.MiB("memory.five." + mode + ".distinct")
                                                                : "unavailable")
           << " | " << Fixed(s.Get("memory.five." + mode + ".ui").median, 0) << " / "
           << Fixed(s.Get("memory.five." + mode + ".network").median, 0) << " / "
           << Fixed(s.Get("memory.five." + mode + ".web").median, 0) << " | "
           << (s.Get("memory.after." + mode).count ? f.MiB("memory.after." + mode) : "—") << " |\n";
    }
    v["memory_rows"] = md.str();
    v["foreign_webkit"] = Describe(s.Get("memory.foreign-webkit"));
    const double compositing = s.Get("memory.five." + Compositing).median;
    const double floorDefault = s.Get("memory.five." + FloorDefault.name).median;
    v["compositing_memory"] = Fixed(compositing, 0);
    v["floor_default_memory"] = Fixed(floorDefault, 0);
    v["compositing_memory_ratio"] = Fixed(floorDefault > 0 ? compositing / floorDefault : 0, 3);
}

void CurveRows(const Figures& f, Values& v) {
    std::vector<std::string> points{"1"};
    for (int search = 20; search <= f.curveLast; search += 20)
        points.push_back(std::to_string(search));
    if (f.curveLast % 20 != 0 && f.curveLast > 1)
        points.push_back(std::to_string(f.curveLast));
    points.push_back("idle");
    std::ostringstream md;
    for (const auto& point : points) {
        md << "| " << (point == "idle" ? "3 s idle after the last" : point);
        for (const auto& mode : {Program, FloorOff.name})
            for (const char* which : {"distinct", ""})
                md << " | "
                   << (f.s.Get(f.CurveKey(mode, point, which)).count ? Fixed(f.CurveAt(mode, point, which), 0)
                                                                     : std::string("—"));
        md << " |\n";
    }
    v["curve_rows"] = md.str();
}

void Curve(const Figures& f, const ReportInputs& inputs, Values& v) {
    CurveRows(f, v);
    const std::string last = std::to_string(f.curveLast);
    const double curveEnd = f.CurveEnd(), floorCurveEnd = f.FloorCurveEnd();
    v["curve_distinct_growth"] = Ratio(curveEnd, f.CurveFirst());
    v["curve_pss_growth"] = Ratio(f.CurveAt(Program, last, ""), f.CurveAt(Program, "1", ""));
    v["floor_curve_distinct_growth"] = Ratio(floorCurveEnd, f.CurveAt(FloorOff.name, "1", "distinct"));
    v["floor_curve_pss_growth"] =
        Ratio(f.CurveAt(FloorOff.name, last, ""), f.CurveAt(FloorOff.name, "1", ""));
    v["curve_distinct_of_floor"] = Ratio(curveEnd, floorCurveEnd);
    v["curve_pss_of_floor"] = Ratio(f.CurveAt(Program, last, ""), f.CurveAt(FloorOff.name, last, ""));
    v["curve_web_processes"] = Fixed(f.CurveAt(Program, "idle", "web-processes"), 0);
    v["floor_curve_web_processes"] = Fixed(f.CurveAt(FloorOff.name, "idle", "web-processes"), 0);
    v["warm_searches"] = std::to_string(f.s.Get("curve.search." + Program).count);

    for (const auto& [name, key, decimals] :
         {std::tuple<const char*, std::string, int>{"warm_search_times", "curve.search." + Program, 0},
          {"warm_search_cpu", "curve.cpu." + Program, 3}}) {
        const std::vector<double>& values = f.s.Of(key);
        const Summary summary = f.s.Get(key);
        v[name] = " | " + Fixed(summary.median, decimals) + " | " +
                  Fixed(Percentile(values, 0.95), decimals) + " | " +
                  Fixed(Percentile(values, 0.99), decimals) + " | " + Fixed(summary.max, decimals) + " | " +
                  Ratio(Percentile(values, 0.99), summary.median) + " |";
    }
    std::string slow;
    for (const auto& line : inputs.slowSearches)
        slow += "- " + line + "\n";
    v["slow_searches"] = inputs.slowSearches.empty() ? "- none\n" : slow;
}

void EventLoop(const Figures& f, Values& v) {
    const Samples& s = f.s;
    std::ostringstream stalls, cpu;
    for (const auto& mode : {Program, Compositing, FloorOff.name, FloorDefault.name}) {
        stalls << "| " << mode << " | "
               << (s.Get("stall.search." + mode + ".0").count ? f.Ms("stall.search." + mode + ".0") : "—")
               << " | "
               << (s.Get("stall.search." + mode + ".400").count ? f.Ms("stall.search." + mode + ".400") : "—")
               << " | " << f.Ms("stall.resize." + mode) << " |\n";
        cpu << "| " << mode << " | "
            << (s.Get("cpu.search." + mode + ".0").count ? Describe(s.Get("cpu.search." + mode + ".0"), 2)
                                                         : "—")
            << " | "
            << (s.Get("cpu.search." + mode + ".400").count ? Describe(s.Get("cpu.search." + mode + ".400"), 2)
                                                           : "—")
            << " | " << Describe(s.Get("cpu.resize." + mode), 2) << " |\n";
    }
    v["stall_rows"] = stalls.str();
    std::ostringstream typing;
    for (const std::string mode : {"on", "off"})
        typing << "| " << mode << " | " << f.Ms("stall.typing." + mode + ".0") << " | "
               << f.Ms("stall.typing." + mode + ".400") << " | "
               << Describe(f.Both("typing.requests." + mode)) << " | "
               << Describe(f.Both("typing.lists." + mode)) << " | "
               << Describe(f.Both("typing.main-cpu." + mode), 0, " ms") << " |\n";
    v["typing_rows"] = typing.str();
    v["cpu_rows"] = cpu.str();
}

void Drawing(const Figures& f, Values& v) {
    const Samples& s = f.s;
    std::ostringstream md;
    for (const std::string which : {"panes", "zoomed"})
        md << "| " << (which == "panes" ? "the five panes" : "pane 5 zoomed") << " | "
           << Fixed(s.Get("render." + which + ".differing-percent").median, 3) << " % | "
           << Fixed(s.Get("render." + which + ".mean-difference").median, 2) << " | "
           << Fixed(s.Get("render." + which + ".largest-difference").median, 0) << " |\n";
    v["render_rows"] = md.str();
    v["method_cold"] = Describe(s.Get("method.report-minus-loaded.cold"), 1);
    v["method_warm_five"] = Describe(s.Get("method.report-minus-loaded.warm-five"), 1);
    v["method_warm_single"] = Describe(s.Get("method.report-minus-loaded.warm-single"), 1);
}

} // namespace

std::string FillTemplate(const std::string& text, const std::map<std::string, std::string>& values) {
    std::string out;
    std::size_t at = 0;
    while (true) {
        const std::size_t open = text.find("{{", at);
        if (open == std::string::npos)
            break;
        const std::size_t close = text.find("}}", open);
        if (close == std::string::npos)
            throw std::runtime_error("the report template has an unclosed {{");
        const std::string name = text.substr(open + 2, close - open - 2);
        const auto value = values.find(name);
        if (value == values.end())
            throw std::runtime_error("the report template names " + name + ", which has no value");
        out += text.substr(at, open - at) + value->second;
        at = close + 2;
    }
    return out + text.substr(at);
}

// The curve's section of the template alone, under the run's title, with the
// targets the curve answers: growth, against the floor, and warm searches
// staying as fast as they began.
std::string CurveOnlyReport(const Figures& figures, const ReportInputs& inputs) {
    Values values;
    RoundTargets(figures, values);
    Curve(figures, inputs, values);
    const std::vector<double>& times = figures.s.Of("curve.search." + Program);
    const std::size_t ends = std::min<std::size_t>(20, times.size() / 2);
    const std::vector<double> first(times.begin(), times.begin() + static_cast<long>(ends)),
        last(times.end() - static_cast<long>(ends), times.end());
    const double firstMedian = Percentile(first, 0.5), lastMedian = Percentile(last, 0.5);
    const double floorEnd = figures.FloorCurveEnd();
    const double ofFloor = floorEnd > 0 ? figures.CurveEnd() / floorEnd : 0;
    std::ostringstream targets;
    targets << "| target | measured | |\n|---|---|---|\n"
            << "| memory after " << figures.curveLast << " searches ≤ 1.25 × after the first | "
            << values["curve_growth"] << " | " << values["curve_growth_verdict"] << " |\n"
            << "| memory after " << figures.curveLast << " searches ≤ the floor's after as many loads | "
            << values["curve_of_floor"] << " | " << Verdict(ofFloor > 0 && ofFloor <= 1.0) << " |\n"
            << "| warm search: 99th percentile ≤ 1.5 × median | " << values["warm_spread"] << " | "
            << values["warm_spread_verdict"] << " |\n"
            << "| warm search: median of the last 20 ≤ 1.1 × of the first 20 | " << Fixed(lastMedian, 0)
            << " ms vs " << Fixed(firstMedian, 0) << " ms = " << Ratio(lastMedian, firstMedian) << " × | "
            << Verdict(firstMedian > 0 && lastMedian <= 1.1 * firstMedian) << " |\n";
    const std::string text = ReportTemplate;
    const std::size_t begin = text.find('\n', text.find("### Memory over")) + 1;
    const std::size_t end = text.find("### Event loop");
    return "### " + inputs.curveOnlyTitle + "\n\n" + targets.str() +
           FillTemplate(text.substr(begin, end - begin), values);
}

std::string Report(const ReportInputs& inputs) {
    const Figures figures(inputs);
    if (!inputs.curveOnlyTitle.empty())
        return CurveOnlyReport(figures, inputs);
    Values values;
    RoundTargets(figures, values);
    Peers(figures, inputs, values);
    Targets(figures, values);
    SearchRows(figures, values);
    Startup(figures, values);
    Memory(figures, values);
    Curve(figures, inputs, values);
    EventLoop(figures, values);
    Drawing(figures, values);
    return FillTemplate(ReportTemplate, values);
}

void WriteSamples(const Samples& samples, const std::string& path) {
    std::ofstream raw(path);
    for (const auto& [name, values] : samples.All()) {
        raw << name;
        for (double v : values)
            raw << '\t' << v;
        raw << '\n';
    }
}

Samples ReadSamples(const std::string& path) {
    std::ifstream in(path);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    Samples samples;
    for (std::string line; std::getline(in, line);) {
        std::istringstream fields(line);
        std::string name, value;
        std::getline(fields, name, '\t');
        while (std::getline(fields, value, '\t'))
            samples.Add(name, std::stod(value));
    }
    return samples;
}
