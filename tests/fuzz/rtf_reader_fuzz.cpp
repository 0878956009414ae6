// Any bytes to the RTF and plain-text readers and the picture decoders give what a viewer's limits allow.

#include "plain_text_document.h"
#include "rtf_pictures.h"
#include "rtf_reader.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void Require(bool condition) {
    if (!condition)
        std::abort();
}

std::uint32_t Le32(const std::string& bytes, std::size_t at) {
    std::uint32_t value = 0;
    std::memcpy(&value, bytes.data() + at, 4);
    return value;
}

void CheckPicture(const RtfPicture& picture) {
    Require(picture.widthTwips >= 0 && picture.widthTwips <= RtfLimits::MaxPictureTwips &&
            picture.heightTwips >= 0 && picture.heightTwips <= RtfLimits::MaxPictureTwips);
    if (picture.format == RtfPictureFormat::None)
        return Require(picture.bytes.empty());
    Require(picture.pixelWidth > 0 && picture.pixelHeight > 0 &&
            std::int64_t{picture.pixelWidth} * picture.pixelHeight <= RtfLimits::MaxPicturePixels);
    if (picture.format == RtfPictureFormat::Bmp) {
        // What a BMP loader reads: sizes that agree with the data, a 40-byte header, a whole palette
        // and every row (bottom-up, or top-down with a negative height).
        Require(picture.bytes.size() >= 54 && picture.bytes.compare(0, 2, "BM") == 0);
        Require(Le32(picture.bytes, 2) == picture.bytes.size() && Le32(picture.bytes, 14) == 40);
        Require(Le32(picture.bytes, 18) == static_cast<std::uint32_t>(picture.pixelWidth));
        Require(Le32(picture.bytes, 22) == static_cast<std::uint32_t>(picture.pixelHeight) ||
                Le32(picture.bytes, 22) == static_cast<std::uint32_t>(-picture.pixelHeight));
        const unsigned bpp = static_cast<unsigned char>(picture.bytes[28]);
        Require(bpp == 1 || bpp == 4 || bpp == 8 || bpp == 24);
        const std::size_t palette = bpp <= 8 ? (std::size_t{1} << bpp) * 4 : 0;
        Require(Le32(picture.bytes, 10) == 54 + palette);
        const std::size_t stride = (static_cast<std::size_t>(picture.pixelWidth) * bpp + 31) / 32 * 4;
        Require(picture.bytes.size() ==
                54 + palette + stride * static_cast<std::size_t>(picture.pixelHeight));
    }
}

void CheckDocument(const RtfDocument& document) {
    Require(document.paragraphs.size() <= RtfLimits::MaxParagraphs);
    Require(document.pictures.size() <= RtfLimits::MaxPictureCount);
    std::size_t pictureBytes = 0;
    for (const RtfPicture& picture : document.pictures) {
        CheckPicture(picture);
        pictureBytes += picture.bytes.size();
    }
    Require(pictureBytes <= RtfLimits::MaxPictureBytes);
    for (const RtfParagraph& paragraph : document.paragraphs)
        for (const RtfRun& run : paragraph.runs) {
            Require(run.style.font >= -1 && run.style.font < static_cast<int>(document.fonts.size()));
            Require(run.style.colour >= -1 && run.style.colour < static_cast<int>(document.colours.size()));
            Require(run.style.halfPoints > 0);
            if (run.kind == RtfRunKind::Picture)
                Require(run.picture >= 0 && run.picture < static_cast<int>(document.pictures.size()));
            for (const wchar_t c : run.text)
                Require(c >= 0x20 && c != 0x7F && c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF));
        }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // A first byte below 8 hands the rest straight to one picture decoder: through RTF the fuzzer would
    // have to find the hex form of a metafile.
    const int route = bytes.empty() ? 8 : static_cast<unsigned char>(bytes[0]);
    const std::string picture(bytes.substr(route < 8 ? 1 : 0));
    RtfPicture (*const decoders[])(std::string_view) = {
        [](std::string_view b) { return PngPicture(std::string(b)); },
        [](std::string_view b) { return JpegPicture(std::string(b)); }, DibPicture, MetafilePicture,
        EnhancedMetafilePicture};
    const char* kinds[] = {"\\wmetafile8", "\\dibitmap0", "\\emfblip"};
    if (route >= 8) {
        CheckDocument(ReadRtf(bytes));
        CheckDocument(PlainTextDocument(bytes));
    } else if (route < 5) {
        CheckPicture(decoders[route](picture));
    } else {
        CheckDocument(ReadRtf("{\\rtf1{\\pict" + std::string(kinds[route - 5]) + "\\bin" +
                              std::to_string(picture.size()) + " " + picture + "}}"));
    }
    return 0;
}
