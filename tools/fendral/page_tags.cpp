#include "page_tags.h"

#include "descriptive_tags.h"
#include "failure.h"

#include <algorithm>
#include <cstdint>

namespace fendral {

namespace {

constexpr std::size_t largestStrip = std::size_t{1} << 20;

bool usesPredictor(std::uint16_t compression) {
    return compression == COMPRESSION_LZW || compression == COMPRESSION_ADOBE_DEFLATE ||
           compression == COMPRESSION_DEFLATE || compression == COMPRESSION_ZSTD ||
           compression == COMPRESSION_LZMA;
}

// The input's kinds of extra sample, as many as the page has; those it does not declare
// unspecified.
bool setExtraSamples(TIFF* in, TIFF* out, const PageFormat& page) {
    std::uint16_t count = 0;
    std::uint16_t* kinds = nullptr;
    std::vector<std::uint16_t> all(std::size_t(page.channels - page.colourChannels),
                                   EXTRASAMPLE_UNSPECIFIED);
    if (TIFFGetField(in, TIFFTAG_EXTRASAMPLES, &count, &kinds) != 0) {
        std::copy_n(kinds, std::min<std::size_t>(count, all.size()), all.begin());
    }
    return TIFFSetField(out, TIFFTAG_EXTRASAMPLES, std::uint16_t(all.size()), all.data()) != 0;
}

// JPEG-compressed YCbCr is filtered as RGB: the codec converts back, with the input's subsampling.
bool setYCbCrJpeg(TIFF* in, TIFF* out) {
    std::uint16_t horizontal = 2;
    std::uint16_t vertical = 2;
    std::uint16_t positioning = YCBCRPOSITION_CENTERED;
    TIFFGetFieldDefaulted(in, TIFFTAG_YCBCRSUBSAMPLING, &horizontal, &vertical);
    TIFFGetFieldDefaulted(in, TIFFTAG_YCBCRPOSITIONING, &positioning);
    return TIFFSetField(out, TIFFTAG_YCBCRSUBSAMPLING, horizontal, vertical) != 0 &&
           TIFFSetField(out, TIFFTAG_YCBCRPOSITIONING, positioning) != 0 &&
           TIFFSetField(out, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB) != 0;
}

bool setCompression(TIFF* in, TIFF* out, std::uint16_t compression) {
    if (TIFFSetField(out, TIFFTAG_COMPRESSION, compression) == 0) {
        return false;
    }
    std::uint16_t predictor = PREDICTOR_NONE;
    if (usesPredictor(compression) && TIFFGetField(in, TIFFTAG_PREDICTOR, &predictor) != 0 &&
        predictor >= PREDICTOR_NONE && predictor <= PREDICTOR_FLOATINGPOINT) {
        return TIFFSetField(out, TIFFTAG_PREDICTOR, predictor) != 0;
    }
    if (compression == COMPRESSION_JPEG) {
        std::uint16_t photometric = PHOTOMETRIC_RGB;
        TIFFGetField(in, TIFFTAG_PHOTOMETRIC, &photometric);
        // The input's quality is not recorded; re-encoding loses detail, so stay on the high side.
        return TIFFSetField(out, TIFFTAG_JPEGQUALITY, 90) != 0 &&
               (photometric != PHOTOMETRIC_YCBCR || setYCbCrJpeg(in, out));
    }
    return true;
}

} // namespace

PageFormat outputFormat(const PageFormat& input) {
    PageFormat output = input;
    if (input.photometric == PHOTOMETRIC_PALETTE) {
        // Smoothed colours are not in the map: the output holds them as RGB.
        output.photometric = PHOTOMETRIC_RGB;
        output.bitsPerSample = 8 * input.ringBytes;
        output.colourMap.clear();
    }
    if (input.tiled) {
        // Tiles no larger than the page needs, however large the input's were declared.
        output.blockWidth = writableTileSide(std::min(input.blockWidth, input.width));
        output.blockHeight = writableTileSide(input.blockHeight);
    } else {
        // About 64 KiB a strip, in a multiple of 16 rows as JPEG wants; where 16 rows would pass a
        // megabyte, as many rows as a megabyte holds, so that wide pages stay light (JPEG's rows
        // are never that wide).
        const std::size_t rowBytes = input.rowBytes();
        const std::size_t rows =
            16 * rowBytes <= largestStrip || input.compression == COMPRESSION_JPEG
                ? std::max<std::size_t>(16, 65536 / rowBytes / 16 * 16)
                : std::max<std::size_t>(1, largestStrip / rowBytes);
        output.blockHeight = static_cast<std::uint32_t>(std::min<std::size_t>(rows, input.height));
        output.blockWidth = input.width;
    }
    return output;
}

bool setSampleLayout(TIFF* out, const PageFormat& page) {
    return TIFFSetField(out, TIFFTAG_IMAGEWIDTH, page.width) != 0 &&
           TIFFSetField(out, TIFFTAG_IMAGELENGTH, page.height) != 0 &&
           TIFFSetField(out, TIFFTAG_BITSPERSAMPLE, page.bitsPerSample) != 0 &&
           // Unsigned integers, the default, as before: without the tag.
           (page.sampleFormat == SAMPLEFORMAT_UINT ||
            TIFFSetField(out, TIFFTAG_SAMPLEFORMAT, page.sampleFormat) != 0) &&
           TIFFSetField(out, TIFFTAG_SAMPLESPERPIXEL, page.channels) != 0 &&
           TIFFSetField(out, TIFFTAG_PHOTOMETRIC, page.photometric) != 0 &&
           TIFFSetField(out, TIFFTAG_PLANARCONFIG,
                        page.planar ? PLANARCONFIG_SEPARATE : PLANARCONFIG_CONTIG) != 0 &&
           (page.tiled ? TIFFSetField(out, TIFFTAG_TILEWIDTH, page.blockWidth) != 0 &&
                             TIFFSetField(out, TIFFTAG_TILELENGTH, page.blockHeight) != 0
                       : TIFFSetField(out, TIFFTAG_ROWSPERSTRIP, page.blockHeight) != 0);
}

std::vector<std::uint32_t> writePageTags(TIFF* in, TIFF* out, const PageFormat& output) {
    const bool ok =
        setSampleLayout(out, output) &&
        (output.channels == output.colourChannels || setExtraSamples(in, out, output)) &&
        setCompression(in, out, output.compression);
    if (!ok) {
        throw Failure("cannot set up the output page");
    }
    return copyDescriptiveTags(in, out);
}

} // namespace fendral
