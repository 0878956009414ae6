#include "rtf_pictures.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>

namespace {

std::uint32_t Le16(std::string_view bytes, std::size_t at) {
    return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8;
}

std::uint32_t Le32(std::string_view bytes, std::size_t at) {
    return Le16(bytes, at) | Le16(bytes, at + 2) << 16;
}

std::uint32_t Be16(std::string_view bytes, std::size_t at) {
    return static_cast<unsigned char>(bytes[at]) << 8 | static_cast<unsigned char>(bytes[at + 1]);
}

std::uint32_t Be32(std::string_view bytes, std::size_t at) {
    return Be16(bytes, at) << 16 | Be16(bytes, at + 2);
}

void PutLe16(std::string& out, std::uint32_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

void PutLe32(std::string& out, std::uint32_t value) {
    PutLe16(out, value & 0xFFFF);
    PutLe16(out, value >> 16);
}

bool SizeAllowed(std::int64_t width, std::int64_t height) {
    return width > 0 && height > 0 && width <= RtfLimits::MaxPicturePixels &&
           height <= RtfLimits::MaxPicturePixels && width * height <= RtfLimits::MaxPicturePixels;
}

RtfPicture Picture(RtfPictureFormat format, std::string bytes, int width, int height) {
    RtfPicture picture;
    picture.format = format;
    picture.bytes = std::move(bytes);
    picture.pixelWidth = width;
    picture.pixelHeight = height;
    return picture;
}

// The parts of a DIB's header that matter for its pixels, whatever header
// version it came with.
struct DibHeader {
    std::int64_t width = 0;
    std::int64_t height = 0; // negative: rows stored top-down
    int bitsPerPixel = 0;
    std::uint32_t compression = 0;
    std::array<std::uint32_t, 3> masks{};             // red, green, blue for 16 and 32 bits
    std::vector<std::array<std::uint8_t, 3>> palette; // blue, green, red
    std::size_t infoSize = 0;                         // header, masks and palette
};

constexpr std::uint32_t BiRgb = 0;
constexpr std::uint32_t BiRle8 = 1;
constexpr std::uint32_t BiRle4 = 2;
constexpr std::uint32_t BiBitfields = 3;

std::optional<DibHeader> ReadDibHeader(std::string_view info) {
    if (info.size() < 12)
        return std::nullopt;
    DibHeader header;
    const std::uint32_t size = Le32(info, 0);
    std::size_t paletteEntrySize = 4;
    std::uint32_t coloursUsed = 0;
    if (size == 12) { // BITMAPCOREHEADER
        header.width = Le16(info, 4);
        header.height = Le16(info, 6);
        header.bitsPerPixel = static_cast<int>(Le16(info, 10));
        paletteEntrySize = 3;
    } else if (size >= 40 && size <= 1024 && info.size() >= size) {
        header.width = static_cast<std::int32_t>(Le32(info, 4));
        header.height = static_cast<std::int32_t>(Le32(info, 8));
        header.bitsPerPixel = static_cast<int>(Le16(info, 14));
        header.compression = Le32(info, 16);
        coloursUsed = Le32(info, 32);
    } else {
        return std::nullopt;
    }
    header.infoSize = size;

    const int bpp = header.bitsPerPixel;
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        return std::nullopt;
    const std::uint32_t c = header.compression;
    const bool compressionFits = c == BiRgb || (c == BiRle8 && bpp == 8) || (c == BiRle4 && bpp == 4) ||
                                 (c == BiBitfields && (bpp == 16 || bpp == 32));
    if (!compressionFits || (header.height < 0 && (c == BiRle8 || c == BiRle4)))
        return std::nullopt;
    if (!SizeAllowed(header.width, header.height < 0 ? -header.height : header.height))
        return std::nullopt;

    if (c == BiBitfields) {
        // A 40-byte header is followed by the three masks; later versions hold them.
        if (size == 40) {
            if (info.size() < 52)
                return std::nullopt;
            header.infoSize = 52;
        } else if (size < 52) {
            return std::nullopt;
        }
        for (int i = 0; i < 3; ++i)
            header.masks[i] = Le32(info, 40 + 4 * i);
    } else if (bpp == 16) {
        header.masks = {0x7C00, 0x03E0, 0x001F};
    } else if (bpp == 32) {
        header.masks = {0xFF0000, 0x00FF00, 0x0000FF};
    }

    std::size_t entries = 0;
    if (bpp <= 8)
        entries = (coloursUsed == 0 || coloursUsed > (1u << bpp)) ? (1u << bpp) : coloursUsed;
    else
        entries = std::min<std::uint32_t>(coloursUsed, 256); // present but not needed
    if (info.size() < header.infoSize + entries * paletteEntrySize)
        return std::nullopt;
    if (bpp <= 8) {
        for (std::size_t i = 0; i < entries; ++i) {
            const std::size_t at = header.infoSize + i * paletteEntrySize;
            header.palette.push_back({static_cast<std::uint8_t>(info[at]),
                                      static_cast<std::uint8_t>(info[at + 1]),
                                      static_cast<std::uint8_t>(info[at + 2])});
        }
    }
    header.infoSize += entries * paletteEntrySize;
    // A full palette, so that no pixel's index can point past it.
    if (bpp <= 8)
        header.palette.resize(std::size_t{1} << bpp, {0, 0, 0});
    return header;
}

std::size_t Stride(std::int64_t width, int bitsPerPixel) {
    return static_cast<std::size_t>((width * bitsPerPixel + 31) / 32 * 4);
}

// Expands RLE8/RLE4 pixels into bottom-up rows of the same depth. Runs past
// the edge are clipped; pixels the data never reaches stay index 0.
std::string ExpandRle(std::string_view data, const DibHeader& header) {
    const std::int64_t width = header.width;
    const std::int64_t height = header.height;
    const bool four = header.compression == BiRle4;
    const std::size_t stride = Stride(width, header.bitsPerPixel);
    std::string rows(stride * static_cast<std::size_t>(height), '\0');
    auto put = [&](std::int64_t x, std::int64_t y, unsigned index) {
        if (x < 0 || x >= width || y < 0 || y >= height)
            return;
        char& byte = rows[static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(four ? x / 2 : x)];
        if (!four)
            byte = static_cast<char>(index);
        else if (x % 2 == 0)
            byte = static_cast<char>((static_cast<unsigned char>(byte) & 0x0F) | (index & 0x0F) << 4);
        else
            byte = static_cast<char>((static_cast<unsigned char>(byte) & 0xF0) | (index & 0x0F));
    };
    std::int64_t x = 0;
    std::int64_t y = 0;
    std::size_t i = 0;
    while (i + 1 < data.size() && y < height) {
        const unsigned count = static_cast<unsigned char>(data[i]);
        const unsigned value = static_cast<unsigned char>(data[i + 1]);
        i += 2;
        if (count > 0) {
            for (unsigned k = 0; k < count && x < width; ++k, ++x)
                put(x, y, four ? ((k % 2 == 0) ? value >> 4 : value & 0x0F) : value);
            continue;
        }
        if (value == 0) { // end of line
            x = 0;
            ++y;
        } else if (value == 1) { // end of bitmap
            break;
        } else if (value == 2) { // delta
            if (i + 1 >= data.size())
                break;
            x += static_cast<unsigned char>(data[i]);
            y += static_cast<unsigned char>(data[i + 1]);
            i += 2;
        } else { // absolute run of `value` pixels, padded to a 16-bit boundary
            const std::size_t bytes = four ? (value + 1) / 2 : value;
            if (i + bytes > data.size())
                break;
            for (unsigned k = 0; k < value; ++k, ++x) {
                const auto b = static_cast<unsigned char>(data[i + (four ? k / 2 : k)]);
                put(x, y, four ? ((k % 2 == 0) ? b >> 4 : b & 0x0F) : b);
            }
            i += bytes + (bytes % 2);
        }
    }
    return rows;
}

// One colour component by its mask, scaled to 0..255.
std::uint8_t Component(std::uint32_t pixel, std::uint32_t mask) {
    if (mask == 0)
        return 0;
    int shift = 0;
    while (((mask >> shift) & 1) == 0)
        ++shift;
    const std::uint32_t max = mask >> shift;
    const std::uint64_t value = (pixel & mask) >> shift;
    return static_cast<std::uint8_t>(value * 255 / max);
}

std::string BmpFile(const DibHeader& header, int bitsPerPixel, std::string_view rows, bool topDown) {
    const std::size_t paletteBytes = header.palette.size() * 4;
    const std::size_t offset = 14 + 40 + paletteBytes;
    std::string out;
    out.reserve(offset + rows.size());
    out += "BM";
    PutLe32(out, static_cast<std::uint32_t>(offset + rows.size()));
    PutLe32(out, 0);
    PutLe32(out, static_cast<std::uint32_t>(offset));
    PutLe32(out, 40);
    PutLe32(out, static_cast<std::uint32_t>(header.width));
    PutLe32(out, static_cast<std::uint32_t>(topDown ? -header.height : header.height));
    PutLe16(out, 1);
    PutLe16(out, static_cast<std::uint32_t>(bitsPerPixel));
    PutLe32(out, BiRgb);
    PutLe32(out, static_cast<std::uint32_t>(rows.size()));
    PutLe32(out, 2835); // 72 dpi, which loaders ignore
    PutLe32(out, 2835);
    PutLe32(out, static_cast<std::uint32_t>(header.palette.size()));
    PutLe32(out, 0);
    for (const auto& entry : header.palette) {
        out.append(reinterpret_cast<const char*>(entry.data()), 3);
        out += '\0';
    }
    out.append(rows);
    return out;
}

RtfPicture DibFromParts(std::string_view info, std::string_view bits) {
    auto header = ReadDibHeader(info);
    if (!header)
        return {};
    const bool topDown = header->height < 0;
    header->height = topDown ? -header->height : header->height;
    const std::int64_t width = header->width;
    const std::int64_t height = header->height;
    const int bpp = header->bitsPerPixel;

    std::string rows;
    if (header->compression == BiRle8 || header->compression == BiRle4) {
        rows = ExpandRle(bits, *header);
    } else {
        const std::size_t stride = Stride(width, bpp);
        const std::size_t needed = stride * static_cast<std::size_t>(height);
        if (bits.size() < needed)
            return {}; // cut short
        if (bpp == 16 || bpp == 32) {
            const std::size_t outStride = Stride(width, 24);
            rows.assign(outStride * static_cast<std::size_t>(height), '\0');
            for (std::int64_t y = 0; y < height; ++y) {
                for (std::int64_t x = 0; x < width; ++x) {
                    const std::size_t at =
                        static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x * bpp / 8);
                    const std::uint32_t pixel = bpp == 16 ? Le16(bits, at) : Le32(bits, at);
                    char* out =
                        &rows[static_cast<std::size_t>(y) * outStride + static_cast<std::size_t>(x) * 3];
                    out[0] = static_cast<char>(Component(pixel, header->masks[2]));
                    out[1] = static_cast<char>(Component(pixel, header->masks[1]));
                    out[2] = static_cast<char>(Component(pixel, header->masks[0]));
                }
            }
        } else {
            rows.assign(bits.substr(0, needed));
        }
    }
    const int outBpp = bpp > 8 ? 24 : bpp;
    return Picture(RtfPictureFormat::Bmp, BmpFile(*header, outBpp, rows, topDown), static_cast<int>(width),
                   static_cast<int>(height));
}

std::int64_t Pixels(const RtfPicture& picture) {
    return std::int64_t{picture.pixelWidth} * picture.pixelHeight;
}

} // namespace

RtfPicture PngPicture(std::string data) {
    static constexpr std::string_view Signature("\x89PNG\r\n\x1A\n", 8);
    if (data.size() < 24 || std::string_view(data).substr(0, 8) != Signature ||
        std::string_view(data).substr(12, 4) != "IHDR")
        return {};
    const std::int64_t width = Be32(data, 16);
    const std::int64_t height = Be32(data, 20);
    if (!SizeAllowed(width, height))
        return {};
    return Picture(RtfPictureFormat::Png, std::move(data), static_cast<int>(width), static_cast<int>(height));
}

RtfPicture JpegPicture(std::string data) {
    const std::string_view bytes(data);
    if (bytes.size() < 4 || Be16(bytes, 0) != 0xFFD8)
        return {};
    std::size_t at = 2;
    while (at + 4 <= bytes.size()) {
        if (static_cast<unsigned char>(bytes[at]) != 0xFF)
            return {};
        const unsigned marker = static_cast<unsigned char>(bytes[at + 1]);
        if (marker == 0xFF) { // fill byte
            ++at;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) { // no length
            at += 2;
            continue;
        }
        if (marker == 0xD9 || marker == 0xDA) // end of image, start of scan: no frame header met
            return {};
        const std::size_t length = Be16(bytes, at + 2);
        const bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (length < 8 || at + 9 > bytes.size())
                return {};
            const std::int64_t height = Be16(bytes, at + 5);
            const std::int64_t width = Be16(bytes, at + 7);
            if (!SizeAllowed(width, height))
                return {};
            return Picture(RtfPictureFormat::Jpeg, std::move(data), static_cast<int>(width),
                           static_cast<int>(height));
        }
        if (length < 2)
            return {};
        at += 2 + length;
    }
    return {};
}

RtfPicture DibPicture(std::string_view dib) {
    const auto header = ReadDibHeader(dib);
    if (!header)
        return {};
    return DibFromParts(dib.substr(0, header->infoSize), dib.substr(header->infoSize));
}

RtfPicture MetafilePicture(std::string_view wmf) {
    std::size_t at = 0;
    if (wmf.size() >= 22 && Le32(wmf, 0) == 0x9AC6CDD7)
        at = 22;
    if (wmf.size() < at + 18)
        return {};
    const std::uint32_t type = Le16(wmf, at);
    const std::uint32_t headerWords = Le16(wmf, at + 2);
    if ((type != 1 && type != 2) || headerWords != 9)
        return {};
    at += 18;

    RtfPicture best;
    while (at + 6 <= wmf.size()) {
        const std::uint64_t size = std::uint64_t{Le32(wmf, at)} * 2;
        const std::uint32_t function = Le16(wmf, at + 4);
        if (size < 6 || function == 0)
            break;
        const std::string_view record =
            wmf.substr(at, static_cast<std::size_t>(std::min<std::uint64_t>(size, wmf.size() - at)));
        std::size_t dibAt = 0;
        switch (function) {
        case 0x0F43:
            dibAt = 28;
            break; // META_STRETCHDIB
        case 0x0B41:
            dibAt = 26;
            break; // META_DIBSTRETCHBLT
        case 0x0940:
            dibAt = 22;
            break; // META_DIBBITBLT
        case 0x0D33:
            dibAt = 24;
            break; // META_SETDIBTODEV
        default:
            break;
        }
        if (dibAt != 0 && record.size() > dibAt) {
            RtfPicture picture = DibPicture(record.substr(dibAt));
            if (picture.format != RtfPictureFormat::None && Pixels(picture) > Pixels(best))
                best = std::move(picture);
        }
        if (size > wmf.size() - at)
            break;
        at += static_cast<std::size_t>(size);
    }
    return best;
}

RtfPicture EnhancedMetafilePicture(std::string_view emf) {
    if (emf.size() < 44 || Le32(emf, 0) != 1 || Le32(emf, 40) != 0x464D4520)
        return {};
    RtfPicture best;
    std::size_t at = 0;
    while (at + 8 <= emf.size()) {
        const std::uint32_t type = Le32(emf, at);
        const std::uint32_t size = Le32(emf, at + 4);
        if (size < 8 || size > emf.size() - at || type == 14) // EMR_EOF
            break;
        const std::string_view record = emf.substr(at, size);
        std::size_t fields = 0; // where offBmiSrc, cbBmiSrc, offBitsSrc, cbBitsSrc stand
        switch (type) {
        case 76: // EMR_BITBLT
        case 77: // EMR_STRETCHBLT
            fields = 84;
            break;
        case 80: // EMR_SETDIBITSTODEVICE
        case 81: // EMR_STRETCHDIBITS
            fields = 48;
            break;
        default:
            break;
        }
        if (fields != 0 && record.size() >= fields + 16) {
            const std::uint32_t infoAt = Le32(record, fields);
            const std::uint32_t infoSize = Le32(record, fields + 4);
            const std::uint32_t bitsAt = Le32(record, fields + 8);
            const std::uint32_t bitsSize = Le32(record, fields + 12);
            if (infoSize > 0 && infoAt <= record.size() && infoSize <= record.size() - infoAt &&
                bitsAt <= record.size() && bitsSize <= record.size() - bitsAt) {
                RtfPicture picture =
                    DibFromParts(record.substr(infoAt, infoSize), record.substr(bitsAt, bitsSize));
                if (picture.format != RtfPictureFormat::None && Pixels(picture) > Pixels(best))
                    best = std::move(picture);
            }
        }
        at += size;
    }
    return best;
}
