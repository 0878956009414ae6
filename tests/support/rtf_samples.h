#pragma once

// Pieces of RTF pictures built byte by byte: DIBs, metafiles, PNG and JPEG heads, and their hex form.

#include <cstdint>
#include <string>
#include <string_view>

namespace RtfSamples {

struct Bytes {
    std::string data;
    Bytes& U8(unsigned v) {
        data += static_cast<char>(v & 0xFF);
        return *this;
    }
    Bytes& U16(unsigned v) { return U8(v).U8(v >> 8); }
    Bytes& U32(std::uint32_t v) { return U16(v & 0xFFFF).U16(v >> 16); }
    Bytes& Be16(unsigned v) { return U8(v >> 8).U8(v); } // big-endian, as PNG and JPEG have it
    Bytes& Raw(std::string_view raw) {
        data += raw;
        return *this;
    }
};

inline std::string Hex(std::string_view bytes) {
    std::string out;
    for (const unsigned char c : bytes) {
        out += "0123456789abcdef"[c >> 4];
        out += "0123456789abcdef"[c & 0xF];
        if (out.size() % 64 == 0)
            out += "\r\n";
    }
    return out;
}

// An uncompressed BITMAPINFOHEADER DIB of width x height pixels.
inline std::string Dib(int width, int height, int bpp, std::string_view bits, std::string_view palette = {}) {
    Bytes dib;
    dib.U32(40).U32(width).U32(height).U16(1).U16(bpp).U32(0).U32(bits.size()).U32(0).U32(0).U32(0).U32(0);
    return dib.Raw(palette).Raw(bits).data;
}

// 2 x 2 pixels, 24 bits, bottom-up: blue, green / red, white; rows padded to four bytes.
inline std::string SmallDib() {
    return Dib(2, 2, 24, std::string("\xFF\0\0\0\xFF\0\0\0\0\0\xFF\xFF\xFF\xFF\0\0", 16));
}

// A metafile drawing a bitmap with one record of the given function, its DIB at dibOffset in it.
inline std::string Metafile(unsigned function, std::size_t dibOffset, const std::string& dib,
                            bool placeable) {
    Bytes wmf;
    if (placeable)
        wmf.U32(0x9AC6CDD7).U16(0).U16(0).U16(0).U16(163).U16(105).U16(1440).U32(0).U16(0);
    const std::size_t recordBytes = dibOffset + dib.size() + (dib.size() % 2);
    wmf.U16(1).U16(9).U16(0x300).U32(0).U16(0).U32(static_cast<std::uint32_t>(recordBytes / 2)).U16(0);
    wmf.U32(5).U16(0x020B).U16(0).U16(0); // META_SETWINDOWORG, before the bitmap as writers put it
    wmf.U32(static_cast<std::uint32_t>(recordBytes / 2)).U16(function);
    wmf.Raw(std::string(dibOffset - 6, '\0')).Raw(dib);
    if (dib.size() % 2)
        wmf.U8(0);
    wmf.U32(3).U16(0); // end
    return wmf.data;
}

// The start of a PNG or JPEG file up to its size: enough for the reader, not for an image loader.
inline std::string Png(std::uint32_t width, std::uint32_t height) {
    Bytes png;
    png.Raw({"\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR", 16}).Be16(width >> 16).Be16(width).Be16(height >> 16);
    return png.Be16(height).Raw({"\x08\x02\0\0\0CRC.", 9}).data;
}

inline std::string Jpeg(unsigned width, unsigned height) {
    Bytes jpeg;
    jpeg.Raw({"\xFF\xD8\xFF\xE0\x00\x04JF\xFF\xC0\x00\x0B\x08", 13}).Be16(height).Be16(width);
    return jpeg.Raw({"\x01\x01\x11\x00\xFF\xD9", 6}).data;
}

} // namespace RtfSamples
