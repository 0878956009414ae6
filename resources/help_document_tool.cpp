// Writes the help document: the RTF of help.rtf.in with the maker's texts
// filled in and every picture marker replaced by its picture, stored the way
// word processors on Windows store a pasted screenshot: a Windows metafile
// that draws one 24-bit bitmap.
//
//   help_document_tool <template> <picture-folder> <output>
//
// In the template, @ContactAddress@, @CopyrightLine@ and @MakerName@ stand for
// the texts of product_info.h, and @picture NAME WIDTH HEIGHT@ for the
// uncompressed 24-bit BMP file NAME.bmp of the picture folder, shown WIDTH x
// HEIGHT twips.

#include "product_info.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>

namespace {

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw Failure("cannot read " + path.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Little-endian binary data, as metafiles and bitmaps hold it.
struct Bytes {
    std::string data;
    Bytes& U16(unsigned v) {
        data += static_cast<char>(v & 0xFF);
        data += static_cast<char>((v >> 8) & 0xFF);
        return *this;
    }
    Bytes& U32(std::uint32_t v) { return U16(v & 0xFFFF).U16(v >> 16); }
    Bytes& Raw(std::string_view raw) {
        data += raw;
        return *this;
    }
};

std::uint32_t Le(std::string_view bytes, std::size_t at, int size) {
    if (at + static_cast<std::size_t>(size) > bytes.size())
        throw Failure("the bitmap file is cut short");
    std::uint32_t value = 0;
    for (int k = size - 1; k >= 0; --k)
        value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(k)]);
    return value;
}

struct Bitmap {
    std::string dib; // BITMAPINFOHEADER and pixels, no palette
    int width = 0;
    int height = 0;
};

// Only the plainest bitmap is accepted, so that the document holds exactly
// the 24-bit pictures it is meant to.
Bitmap ReadBmp(const std::filesystem::path& path) {
    const std::string file = ReadFile(path);
    if (file.size() < 54 || file.compare(0, 2, "BM") != 0)
        throw Failure(path.string() + " is not a BMP file");
    const std::uint32_t pixelsAt = Le(file, 10, 4);
    const std::uint32_t headerSize = Le(file, 14, 4);
    const auto width = static_cast<std::int32_t>(Le(file, 18, 4));
    const auto height = static_cast<std::int32_t>(Le(file, 22, 4));
    const std::uint32_t bitsPerPixel = Le(file, 28, 2);
    const std::uint32_t compression = Le(file, 30, 4);
    if (headerSize != 40 || bitsPerPixel != 24 || compression != 0 || width <= 0 || height <= 0 ||
        width > 4096 || height > 4096)
        throw Failure(path.string() + " is not an uncompressed, bottom-up 24-bit bitmap");
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
    const std::size_t pixelBytes = stride * static_cast<std::size_t>(height);
    if (pixelsAt > file.size() || file.size() - pixelsAt < pixelBytes)
        throw Failure(path.string() + " is cut short");

    Bytes header;
    header.U32(40).U32(static_cast<std::uint32_t>(width)).U32(static_cast<std::uint32_t>(height));
    header.U16(1).U16(24);
    header.U32(0).U32(static_cast<std::uint32_t>(pixelBytes)).U32(0).U32(0).U32(0).U32(0);
    header.Raw(std::string_view(file).substr(pixelsAt, pixelBytes));
    return {header.data, width, height};
}

// A metafile that sets up a window of the bitmap's size and stretches the
// bitmap over it: header, META_SETWINDOWORG, META_SETWINDOWEXT,
// META_SETSTRETCHBLTMODE, META_STRETCHDIB, META_EOF.
std::string Metafile(const Bitmap& bitmap) {
    const auto w = static_cast<unsigned>(bitmap.width);
    const auto h = static_cast<unsigned>(bitmap.height);
    Bytes records;
    records.U32(5).U16(0x020B).U16(0).U16(0);
    records.U32(5).U16(0x020C).U16(h).U16(w);
    records.U32(4).U16(0x0107).U16(3); // COLORONCOLOR
    const auto stretchWords = static_cast<std::uint32_t>((28 + bitmap.dib.size()) / 2);
    records.U32(stretchWords).U16(0x0F43).U32(0x00CC0020); // SRCCOPY
    records.U16(0);                                        // DIB_RGB_COLORS
    records.U16(h).U16(w).U16(0).U16(0);                   // source height, width, y, x
    records.U16(h).U16(w).U16(0).U16(0);                   // destination height, width, y, x
    records.Raw(bitmap.dib);
    records.U32(3).U16(0x0000);

    Bytes metafile;
    const auto totalWords = static_cast<std::uint32_t>((18 + records.data.size()) / 2);
    metafile.U16(1).U16(9).U16(0x0300).U32(totalWords).U16(0).U32(stretchWords).U16(0);
    metafile.Raw(records.data);
    return metafile.data;
}

std::string Hex(std::string_view bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() * 2 + bytes.size() / 32);
    for (std::size_t k = 0; k < bytes.size(); ++k) {
        const auto c = static_cast<unsigned char>(bytes[k]);
        out += digits[c >> 4];
        out += digits[c & 0xF];
        if (k % 64 == 63)
            out += '\n';
    }
    return out;
}

// The picture group for a bitmap shown at width x height twips. Word
// processors show a pasted picture slightly scaled; the goal size is chosen
// for a scale of 99 or 98 per cent (whichever keeps the goal nearer the
// bitmap's own size at 15 twips a pixel), so that goal x scale is exactly the
// size asked for.
std::string PictureGroup(const Bitmap& bitmap, int width, int height) {
    const auto goal = [](int shown, int scale) { return (shown * 100 + scale - 1) / scale; };
    int bestScale = 99;
    long bestError = -1;
    for (const int scale : {99, 98}) {
        const long error = std::labs(goal(width, scale) - bitmap.width * 15L) +
                           std::labs(goal(height, scale) - bitmap.height * 15L);
        if (bestError < 0 || error < bestError) {
            bestError = error;
            bestScale = scale;
        }
    }
    const int goalWidth = goal(width, bestScale);
    const int goalHeight = goal(height, bestScale);
    // A metafile's own extent is in hundredths of a millimetre.
    const auto himetric = [](int twips) { return static_cast<long>(std::lround(twips * 2540.0 / 1440.0)); };
    std::ostringstream group;
    group << "{\\pict\\wmetafile8\\picw" << himetric(goalWidth) << "\\pich" << himetric(goalHeight)
          << "\\picwgoal" << goalWidth << "\\pichgoal" << goalHeight << "\\picscalex" << bestScale
          << "\\picscaley" << bestScale << "\n"
          << Hex(Metafile(bitmap)) << "}";
    return group.str();
}

// RTF for a text of product_info.h: Windows-1252 escapes for Latin-1
// letters, Unicode escapes beyond.
std::string RtfText(std::wstring_view text) {
    std::string out;
    char escape[16];
    for (const wchar_t c : text) {
        if (c == L'\\' || c == L'{' || c == L'}') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else if (c >= 0xA0 && c <= 0xFF) {
            std::snprintf(escape, sizeof escape, "\\'%02x", static_cast<unsigned>(c));
            out += escape;
        } else {
            std::snprintf(escape, sizeof escape, "\\u%d?", static_cast<int>(static_cast<std::int16_t>(c)));
            out += escape;
        }
    }
    return out;
}

std::string Expand(std::string_view text, const std::filesystem::path& pictureFolder) {
    const std::map<std::string, std::wstring_view> texts{
        {"ContactAddress", ContactAddress}, {"CopyrightLine", CopyrightLine}, {"MakerName", MakerName}};
    std::string out;
    std::size_t at = 0;
    int pictures = 0;
    while (at < text.size()) {
        const std::size_t open = text.find('@', at);
        if (open == std::string_view::npos) {
            out += text.substr(at);
            break;
        }
        const std::size_t close = text.find('@', open + 1);
        if (close == std::string_view::npos)
            throw Failure("a marker in the template has no closing @");
        out += text.substr(at, open - at);
        const std::string marker(text.substr(open + 1, close - open - 1));
        at = close + 1;

        if (const auto found = texts.find(marker); found != texts.end()) {
            out += RtfText(found->second);
            continue;
        }
        std::istringstream words(marker);
        std::string keyword, name;
        int width = 0, height = 0;
        if (!(words >> keyword >> name >> width >> height) || keyword != "picture" || width <= 0 ||
            height <= 0)
            throw Failure("unknown marker @" + marker + "@");
        out += PictureGroup(ReadBmp(pictureFolder / (name + ".bmp")), width, height);
        ++pictures;
    }
    std::fprintf(stderr, "help document: %d pictures\n", pictures);
    return out;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <template> <picture-folder> <output>\n", argv[0]);
        return 2;
    }
    try {
        const std::string document = Expand(ReadFile(argv[1]), argv[2]);
        // Written beside the target and renamed over it, so a failure never
        // leaves half a document.
        const std::filesystem::path output = argv[3];
        std::filesystem::path partial = output;
        partial += ".partial";
        {
            std::ofstream out(partial, std::ios::binary | std::ios::trunc);
            out << document;
            out.close();
            if (!out)
                throw Failure("cannot write " + partial.string());
        }
        std::filesystem::rename(partial, output);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "help_document_tool: %s\n", error.what());
        return 1;
    }
    return 0;
}
