// What the panes show, captured once the screen is still, and the two
// ways of drawing compared pixel by pixel.
#include "bench.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>

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
