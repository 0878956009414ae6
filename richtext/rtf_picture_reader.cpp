// \pict groups: their words, their hex or \bin data, and the picture they
// make in the text of the group that holds them.
#include "rtf_pictures.h"
#include "rtf_reader_internal.h"

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <utility>

namespace RtfReading {

namespace {

// The shown length of one side: the goal, else the picture's own extent
// (pixels for bitmaps, hundredths of a millimetre for metafiles), else the
// image's pixels; then the scale, within a frame of sane size.
int ShownTwips(std::int64_t goal, std::int64_t extent, bool metafile, int pixels, std::int64_t scale) {
    std::int64_t twips = goal;
    if (twips <= 0 && extent > 0)
        twips = metafile ? extent * 1440 / 2540 : extent * 15;
    if (twips <= 0)
        twips = std::int64_t{pixels} * 15;
    twips = std::min<std::int64_t>(twips, RtfLimits::MaxPictureTwips);
    if (scale > 0)
        twips = twips * std::min<std::int64_t>(scale, 100000) / 100;
    return Clamp(twips, 0, RtfLimits::MaxPictureTwips);
}

} // namespace

void Reader::StartPicture() {
    if (m_picture)
        return; // a picture inside a picture adds nothing to show
    State().destination = Destination::Picture;
    m_picture = true;
    m_pictureDepth = m_stack.size();
    m_pictureEntry = PictureEntry{};
}

bool Reader::PictureRoom(std::size_t more) {
    PictureEntry& p = m_pictureEntry;
    if (p.tooLarge || p.data.size() + more > RtfLimits::MaxPictureBytes - m_pictureBytes) {
        p.tooLarge = true;
        return false;
    }
    return true;
}

void Reader::PictureHex(unsigned char byte) {
    const int value = HexValue(static_cast<char>(byte));
    if (value < 0)
        return;
    PictureEntry& p = m_pictureEntry;
    if (p.nibble < 0) {
        p.nibble = value;
        return;
    }
    if (PictureRoom(1))
        p.data += static_cast<char>(p.nibble * 16 + value);
    p.nibble = -1;
}

void Reader::AppendPictureBytes(std::string_view bytes) {
    if (PictureRoom(bytes.size()))
        m_pictureEntry.data.append(bytes);
}

void Reader::FinishPicture() {
    m_picture = false;
    PictureEntry& p = m_pictureEntry;
    RtfPicture picture;
    if (!p.tooLarge) {
        switch (p.kind) {
        case PictureKind::Png:
            picture = PngPicture(std::move(p.data));
            break;
        case PictureKind::Jpeg:
            picture = JpegPicture(std::move(p.data));
            break;
        case PictureKind::Dib:
            picture = DibPicture(p.data);
            break;
        case PictureKind::Wmf:
            picture = MetafilePicture(p.data);
            break;
        case PictureKind::Emf:
            picture = EnhancedMetafilePicture(p.data);
            break;
        case PictureKind::Other:
            break;
        }
    }
    if (picture.bytes.size() > RtfLimits::MaxPictureBytes - m_pictureBytes)
        picture = RtfPicture{};
    m_pictureBytes += picture.bytes.size();
    const bool metafile = p.kind == PictureKind::Wmf || p.kind == PictureKind::Emf;
    picture.widthTwips = ShownTwips(p.widthGoal, p.width, metafile, picture.pixelWidth, p.scaleX);
    picture.heightTwips = ShownTwips(p.heightGoal, p.height, metafile, picture.pixelHeight, p.scaleY);
    m_pictureEntry = PictureEntry{};

    // The picture stands in the text of the group that holds the \pict.
    if (m_stack.empty() || m_stack.back().destination != Destination::Text || m_stack.back().hidden)
        return;
    if (m_document.pictures.size() >= RtfLimits::MaxPictureCount) {
        m_document.truncated = true;
        return;
    }
    if (!AddRun(RtfRunKind::Picture))
        return;
    m_runs.back().picture = static_cast<int>(m_document.pictures.size());
    m_document.pictures.push_back(std::move(picture));
}

} // namespace RtfReading
