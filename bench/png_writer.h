#pragma once

#include <cstdint>
#include <string>
#include <vector>

// An 8-bit RGB picture, rows top to bottom.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels; // width * height * 3

    std::uint8_t* At(int x, int y) { return &pixels[(static_cast<std::size_t>(y) * width + x) * 3]; }
    const std::uint8_t* At(int x, int y) const {
        return &pixels[(static_cast<std::size_t>(y) * width + x) * 3];
    }
};

// The picture as a PNG file, its data in stored (uncompressed) deflate blocks:
// valid for every reader, and it needs no compression library.
std::string EncodePng(const RgbImage& image);
