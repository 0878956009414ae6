#pragma once

#include "stats.h"

#include <map>
#include <string>
#include <vector>

// What the report is written from: every sample of a run, and the few notes
// that are text rather than numbers.
struct ReportInputs {
    const Samples& samples;
    int curve = 0;                         // searches of the memory curve
    std::vector<std::string> notes;        // the peer browser's other requests, when it ran
    std::vector<std::string> slowSearches; // where the time of the curve's slow searches went
    // Set for a run of the memory curve alone on another page set: the
    // report is then that curve's section under this title, with its targets.
    std::string curveOnlyTitle;
};

// The results as Markdown: bench/report_template.md with its placeholders filled.
std::string Report(const ReportInputs& inputs);

// The template's text with each {{name}} replaced by values' entry of that
// name; a name without a value is an error, so that none is left unfilled.
std::string FillTemplate(const std::string& text, const std::map<std::string, std::string>& values);

// The raw samples as the driver writes them beside the report (FILE.tsv: a
// name, then its values, tab-separated), and read back.
void WriteSamples(const Samples& samples, const std::string& path);
Samples ReadSamples(const std::string& path);

// The report's template, built into the driver (report_template.cpp.in).
extern const char* const ReportTemplate;
