// The memory curves drawn as SVG: a white sheet of its own (so that it
// reads the same in light and dark viewers), the program's lines solid and
// the floor's dashed, a colour per page set that stays apart for the
// colour-blind (Okabe and Ito's blue and vermilion).

#include "curve_chart.h"

#include "bench.h"
#include "report.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <iostream>
#include <optional>
#include <sstream>
#include <tuple>

namespace {

constexpr int Width = 900, Height = 600;
constexpr int PlotLeft = 84, PlotRight = Width - 36, PlotTop = 120, PlotBottom = Height - 170;
const char* const Ink = "#1a1a1a";
const char* const Faint = "#5a5a5a";
const char* const Grid = "#dcdcdc";
const char* const PlainColour = "#0072b2";
const char* const HeavyColour = "#d55e00";

std::string Escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else if (c == '"')
            out += "&quot;";
        else
            out += c;
    }
    return out;
}

// A step of 1, 2 or 5 times a power of ten giving about `wanted` intervals
// over the span, so that the ticks fall on round numbers.
double NiceStep(double span, int wanted) {
    const double raw = std::max(span, 1.0) / wanted;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    for (double multiple : {1.0, 2.0, 5.0})
        if (multiple * magnitude >= raw)
            return multiple * magnitude;
    return 10 * magnitude;
}

struct Scale {
    double xMax, xStep, yMax, yStep;
    double X(double search) const { return PlotLeft + (PlotRight - PlotLeft) * search / xMax; }
    double Y(double mib) const { return PlotBottom - (PlotBottom - PlotTop) * mib / yMax; }
};

Scale ScaleFor(const std::vector<ChartSeries>& series) {
    double searches = 0, mib = 0;
    for (const auto& line : series)
        for (const auto& [search, value] : line.points)
            searches = std::max(searches, static_cast<double>(search)), mib = std::max(mib, value);
    Scale scale{};
    scale.xStep = NiceStep(std::max(searches, 10.0), 10);
    scale.xMax = std::ceil(std::max(searches, 10.0) / scale.xStep) * scale.xStep;
    scale.yStep = NiceStep(std::max(mib * 1.05, 100.0), 6);
    scale.yMax = std::ceil(std::max(mib * 1.05, 100.0) / scale.yStep) * scale.yStep;
    return scale;
}

void Axes(std::ostream& svg, const Scale& scale) {
    svg << "<g font-size=\"13\" fill=\"" << Ink << "\">\n";
    for (double mib = 0; mib <= scale.yMax + 0.5; mib += scale.yStep) {
        const double y = scale.Y(mib);
        svg << "<line x1=\"" << PlotLeft << "\" x2=\"" << PlotRight << "\" y1=\"" << y << "\" y2=\"" << y
            << "\" stroke=\"" << (mib == 0 ? Ink : Grid) << "\"/>\n"
            << "<text x=\"" << PlotLeft - 8 << "\" y=\"" << y + 4.5 << "\" text-anchor=\"end\">"
            << Fixed(mib, 0) << "</text>\n";
    }
    for (double search = 0; search <= scale.xMax + 0.5; search += scale.xStep) {
        const double x = scale.X(search);
        svg << "<line x1=\"" << x << "\" x2=\"" << x << "\" y1=\"" << PlotTop << "\" y2=\"" << PlotBottom + 5
            << "\" stroke=\"" << (search == 0 ? Ink : Grid) << "\"/>\n"
            << "<text x=\"" << x << "\" y=\"" << PlotBottom + 22 << "\" text-anchor=\"middle\">"
            << Fixed(search, 0) << "</text>\n";
    }
    const int middleY = (PlotTop + PlotBottom) / 2;
    svg << "<text x=\"" << (PlotLeft + PlotRight) / 2 << "\" y=\"" << PlotBottom + 48
        << "\" text-anchor=\"middle\" font-size=\"14\">searches in one process (the floor: loads of its "
           "five views)</text>\n"
        << "<text transform=\"translate(24 " << middleY
        << ") rotate(-90)\" text-anchor=\"middle\" font-size=\"14\">memory of the process tree, distinct "
           "(MiB)</text>\n</g>\n";
}

// A point's mark: a filled circle for the program, a hollow square for the floor.
void Mark(std::ostream& svg, const ChartSeries& line, double x, double y) {
    if (line.dashed)
        svg << "<rect x=\"" << x - 4 << "\" y=\"" << y - 4 << "\" width=\"8\" height=\"8\" fill=\"#ffffff\" "
            << "stroke=\"" << line.colour << "\" stroke-width=\"2\"/>\n";
    else
        svg << "<circle cx=\"" << x << "\" cy=\"" << y << "\" r=\"4.5\" fill=\"" << line.colour << "\"/>\n";
}

void Line(std::ostream& svg, const Scale& scale, const ChartSeries& line) {
    if (line.points.empty())
        return;
    svg << "<polyline fill=\"none\" stroke=\"" << line.colour << "\" stroke-width=\"2.5\" "
        << "stroke-linejoin=\"round\"" << (line.dashed ? " stroke-dasharray=\"9 6\"" : "") << " points=\"";
    for (const auto& [search, mib] : line.points)
        svg << Fixed(scale.X(search), 1) << ',' << Fixed(scale.Y(mib), 1) << ' ';
    svg << "\"/>\n";
    for (const auto& [search, mib] : line.points)
        Mark(svg, line, scale.X(search), scale.Y(mib));
}

// Two columns under the plot, the series in their order, two to a column.
void Legend(std::ostream& svg, const std::vector<ChartSeries>& series) {
    for (std::size_t i = 0; i < series.size(); ++i) {
        const ChartSeries& line = series[i];
        const double x = PlotLeft + 10 + static_cast<double>(i / 2) * (PlotRight - PlotLeft) / 2.0;
        const double y = PlotBottom + 84 + static_cast<double>(i % 2) * 28;
        const std::string last = line.points.empty()
                                     ? std::string(": not recorded")
                                     : ": " + Fixed(line.points.back().second, 0) + " MiB after " +
                                           std::to_string(line.points.back().first);
        if (!line.points.empty()) {
            svg << "<line x1=\"" << x << "\" x2=\"" << x + 44 << "\" y1=\"" << y << "\" y2=\"" << y
                << "\" stroke=\"" << line.colour << "\" stroke-width=\"2.5\""
                << (line.dashed ? " stroke-dasharray=\"9 6\"" : "") << "/>\n";
            Mark(svg, line, x + 22, y);
        }
        svg << "<text x=\"" << x + 54 << "\" y=\"" << y + 5 << "\" font-size=\"14\" fill=\""
            << (line.points.empty() ? Faint : Ink) << "\">" << Escaped(line.label + last) << "</text>\n";
    }
}

std::optional<Samples> Recorded(const std::string& path) {
    try {
        return ReadSamples(path);
    } catch (const std::exception& error) {
        std::cerr << "scoutwell_bench: " << error.what() << "; its curves are left out of the chart\n";
        return std::nullopt;
    }
}

} // namespace

std::vector<std::pair<int, double>> CurvePoints(const Samples& samples, const std::string& mode) {
    const std::string prefix = "curve." + mode + ".", suffix = ".distinct";
    std::vector<std::pair<int, double>> points;
    for (const auto& [name, values] : samples.All()) {
        if (name.size() <= prefix.size() + suffix.size() || name.rfind(prefix, 0) != 0 ||
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0 || values.empty())
            continue;
        const std::string search = name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
        if (search.find_first_not_of("0123456789") == std::string::npos)
            points.emplace_back(std::stoi(search), Summarise(values).median);
    }
    std::sort(points.begin(), points.end());
    return points;
}

std::string CurveChartSvg(const std::string& title, const std::vector<std::string>& caption,
                          const std::vector<ChartSeries>& series) {
    const Scale scale = ScaleFor(series);
    std::ostringstream svg;
    svg << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << Width << "\" height=\"" << Height
        << "\" viewBox=\"0 0 " << Width << ' ' << Height
        << "\" font-family=\"DejaVu Sans, Arial, sans-serif\">\n"
        << "<title>" << Escaped(title) << "</title>\n"
        << "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n"
        << "<text x=\"" << PlotLeft << "\" y=\"34\" font-size=\"20\" font-weight=\"bold\" fill=\"" << Ink
        << "\">" << Escaped(title) << "</text>\n";
    for (std::size_t i = 0; i < caption.size(); ++i)
        svg << "<text x=\"" << PlotLeft << "\" y=\"" << 56 + 18 * i << "\" font-size=\"13\" fill=\"" << Faint
            << "\">" << Escaped(caption[i]) << "</text>\n";
    Axes(svg, scale);
    for (const auto& line : series)
        Line(svg, scale, line);
    Legend(svg, series);
    svg << "</svg>\n";
    return svg.str();
}

std::string MemoryCurvesSvg(const std::string& plainTsv, const std::string& heavyTsv,
                            const std::string& note) {
    std::vector<ChartSeries> series;
    for (const auto& [path, pages, colour] : {std::tuple{plainTsv, "plain pages", PlainColour},
                                              std::tuple{heavyTsv, "heavy pages", HeavyColour}}) {
        const std::optional<Samples> samples = Recorded(path);
        for (const auto* mode : {&ProgramAuto, &FloorOff}) {
            ChartSeries line;
            line.label = std::string(mode == &ProgramAuto ? "program" : "floor") + ", " + pages;
            line.colour = colour;
            line.dashed = mode == &FloorOff;
            if (samples)
                line.points = CurvePoints(*samples, mode->name);
            series.push_back(line);
        }
    }
    std::vector<std::string> caption{
        "Memory of the whole process tree after search 1 and every tenth, each physical page counted once;",
        "solid: the program, dashed: the bare floor, showing the same pages; blue: plain pages, orange: "
        "heavy "
        "pages."};
    if (!note.empty())
        caption.push_back(note);
    return CurveChartSvg("Memory against search count", caption, series);
}
