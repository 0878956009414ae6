#pragma once

// The memory curves as a picture: memory against search count, drawn as SVG
// text so that BENCHMARKS.md can show it without anything to install.

#include "stats.h"

#include <string>
#include <utility>
#include <vector>

// One line of the chart.
struct ChartSeries {
    std::string label;                          // in the legend
    std::string colour;                         // one per page set
    bool dashed = false;                        // the floor's lines; the program's are solid
    std::vector<std::pair<int, double>> points; // search, MiB; none when not recorded
};

// One mode's curve in a run's samples: distinct MiB after each numbered
// search (the idle reading after the last is not a search and is left out).
std::vector<std::pair<int, double>> CurvePoints(const Samples& samples, const std::string& mode);

// The chart as an SVG document: a line with marked points for each series
// that has points, and a legend entry for every series, saying which were
// not recorded.
std::string CurveChartSvg(const std::string& title, const std::vector<std::string>& caption,
                          const std::vector<ChartSeries>& series);

// The program's and the floor's curves on the plain and the heavy pages,
// from the samples files two runs wrote (FILE.tsv); a file that cannot be
// read leaves its two series out. `note` is a further line of caption.
std::string MemoryCurvesSvg(const std::string& plainTsv, const std::string& heavyTsv,
                            const std::string& note);
