#pragma once

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

// What a figure is reported as: the median of its runs with the smallest and
// largest, and how many there were.
struct Summary {
    double median = 0, min = 0, max = 0;
    std::size_t count = 0;
};

inline Summary Summarise(std::vector<double> values) {
    Summary s;
    s.count = values.size();
    if (values.empty())
        return s;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    s.median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    s.min = values.front();
    s.max = values.back();
    return s;
}

// The value below which the given fraction of the values lie (nearest rank).
inline double Percentile(std::vector<double> values, double fraction) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const auto rank = static_cast<std::size_t>(std::ceil(fraction * static_cast<double>(values.size())));
    return values[std::min(values.size(), std::max<std::size_t>(rank, 1)) - 1];
}

// "412 (398–450, n=5)" with the given number of decimals.
inline std::string Describe(const Summary& s, int decimals = 0, const char* unit = "") {
    if (s.count == 0)
        return "not measured";
    char text[160];
    std::snprintf(text, sizeof text, "%.*f%s (%.*f–%.*f, n=%zu)", decimals, s.median, unit, decimals, s.min,
                  decimals, s.max, s.count);
    return text;
}

// Every sample of a benchmark run, by name.
class Samples {
public:
    void Add(const std::string& name, double value) { m_values[name].push_back(value); }
    const std::vector<double>& Of(const std::string& name) const {
        static const std::vector<double> none;
        const auto it = m_values.find(name);
        return it == m_values.end() ? none : it->second;
    }
    Summary Get(const std::string& name) const { return Summarise(Of(name)); }
    const std::map<std::string, std::vector<double>>& All() const { return m_values; }

private:
    std::map<std::string, std::vector<double>> m_values;
};
