#pragma once

#include "rtf_document.h"

#include <string>
#include <string_view>

// Turns the data of an RTF picture into bytes an image loader reads. Each
// returns a picture with format None when the data is not a picture of that
// kind, is cut short, or is larger than RtfLimits::MaxPicturePixels; only the
// format, bytes and pixel size are filled in.

// A whole PNG file: checked for its signature and header.
RtfPicture PngPicture(std::string data);

// A whole JPEG file: its size is read from its frame header.
RtfPicture JpegPicture(std::string data);

// A device-independent bitmap (BITMAPINFO and pixels) as a BMP file for wx's
// image loader, in the forms that loader reads safely: 1, 4 and 8 bits per
// pixel with their whole palette, or 24 bits. RLE compression is expanded
// here, since wx 3.2's reader of it writes past its image on damaged data,
// and other depths converted to 24 bits (it refuses bit-field masks and takes
// the spare byte of 32-bit pixels as opacity); rows stored top-down stay so,
// for the loader turns them.
RtfPicture DibPicture(std::string_view dib);

// A Windows metafile (optionally behind a placeable header) that wraps a
// bitmap: the largest bitmap of its META_STRETCHDIB, META_DIBSTRETCHBLT,
// META_DIBBITBLT or META_SETDIBTODEV records, as DibPicture gives it.
RtfPicture MetafilePicture(std::string_view wmf);

// An enhanced metafile that wraps a bitmap: the largest bitmap of its
// EMR_STRETCHDIBITS, EMR_SETDIBITSTODEVICE, EMR_BITBLT or EMR_STRETCHBLT records.
RtfPicture EnhancedMetafilePicture(std::string_view emf);
