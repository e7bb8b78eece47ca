#include "page_format.h"

#include "failure.h"
#include "listed_blocks.h"

#include <algorithm>
#include <string>

namespace fendral {

namespace {

// Large enough for any real image, small enough that sizes computed in int cannot overflow.
constexpr std::uint32_t maxExtent = 1U << 24;

[[noreturn]] void unsupported(const std::string& what) {
    throw Failure(what + " not supported");
}

std::string photometricName(std::uint16_t photometric) {
    switch (photometric) {
    case PHOTOMETRIC_PALETTE:
        return "palette images are";
    case PHOTOMETRIC_SEPARATED:
        return "CMYK (separated) images are";
    case PHOTOMETRIC_YCBCR:
        return "YCbCr images other than JPEG-compressed ones are";
    case PHOTOMETRIC_CIELAB:
    case PHOTOMETRIC_ICCLAB:
    case PHOTOMETRIC_ITULAB:
        return "L*a*b* images are";
    case PHOTOMETRIC_MASK:
        return "transparency masks are";
    case PHOTOMETRIC_LOGL:
    case PHOTOMETRIC_LOGLUV:
        return "LogLuv images are";
    default:
        return "images with photometric interpretation " + std::to_string(photometric) + " are";
    }
}

// Compressions libtiff can both decode and encode for 8- and 16-bit samples; the output keeps
// the input's, so one that cannot be written back is refused up front.
bool canRewrite(std::uint16_t compression, int bitsPerSample) {
    switch (compression) {
    case COMPRESSION_NONE:
    case COMPRESSION_LZW:
    case COMPRESSION_PACKBITS:
    case COMPRESSION_ADOBE_DEFLATE:
    case COMPRESSION_DEFLATE:
    case COMPRESSION_ZSTD:
    case COMPRESSION_LZMA:
        return true;
    case COMPRESSION_JPEG:
    case COMPRESSION_WEBP:
        return bitsPerSample == 8;
    default:
        return false;
    }
}

std::string compressionName(std::uint16_t compression) {
    const TIFFCodec* codec = TIFFFindCODEC(compression);
    return codec != nullptr ? codec->name : "scheme " + std::to_string(compression);
}

void checkSampleFormat(TIFF* tif, std::uint16_t bitsPerSample) {
    std::uint16_t sampleFormat = SAMPLEFORMAT_UINT;
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLEFORMAT, &sampleFormat);
    if (sampleFormat == SAMPLEFORMAT_IEEEFP) {
        unsupported("floating-point samples are");
    }
    if (sampleFormat != SAMPLEFORMAT_UINT) {
        unsupported("signed or complex samples are");
    }
    if (bitsPerSample == 1) {
        unsupported("bilevel (1-bit) images are");
    }
    if (bitsPerSample != 8 && bitsPerSample != 16) {
        unsupported(std::to_string(bitsPerSample) + "-bit samples are");
    }
}

ExtraSample extraSampleKind(TIFF* tif) {
    std::uint16_t count = 0;
    std::uint16_t* kinds = nullptr;
    if (TIFFGetField(tif, TIFFTAG_EXTRASAMPLES, &count, &kinds) == 0 || count == 0) {
        return ExtraSample::unspecified;
    }
    switch (kinds[0]) {
    case EXTRASAMPLE_ASSOCALPHA:
        return ExtraSample::associatedAlpha;
    case EXTRASAMPLE_UNASSALPHA:
        return ExtraSample::unassociatedAlpha;
    default:
        return ExtraSample::unspecified;
    }
}

void readBlockSize(TIFF* tif, PageFormat& page) {
    page.tiled = TIFFIsTiled(tif) != 0;
    if (page.tiled) {
        TIFFGetField(tif, TIFFTAG_TILEWIDTH, &page.blockWidth);
        TIFFGetField(tif, TIFFTAG_TILELENGTH, &page.blockHeight);
        if (page.blockWidth == 0 || page.blockHeight == 0 || page.blockWidth > maxExtent ||
            page.blockHeight > maxExtent) {
            throw Failure("the tile size is invalid");
        }
        // The rows of a tile below the image's last are never decoded.
        page.blockHeight = std::min(page.blockHeight, page.height);
        return;
    }
    std::uint32_t rowsPerStrip = 0;
    TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
    page.blockWidth = page.width;
    // Often 2^32 - 1, "all rows"; libtiff has refused 0.
    page.blockHeight = std::min(rowsPerStrip, page.height);
}

} // namespace

PageFormat describePage(TIFF* tif) {
    PageFormat page;
    std::uint16_t bitsPerSample = 1;
    std::uint16_t samplesPerPixel = 1;
    std::uint16_t planarConfig = PLANARCONFIG_CONTIG;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &page.width);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &page.height);
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bitsPerSample);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samplesPerPixel);
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planarConfig);
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &page.compression);
    TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &page.photometric);

    // libtiff's JPEG codec turns YCbCr into RGB and back (see PageReader and writePageTags).
    const bool jpegYCbCr =
        page.photometric == PHOTOMETRIC_YCBCR && page.compression == COMPRESSION_JPEG;
    if (page.photometric == PHOTOMETRIC_RGB || jpegYCbCr) {
        page.colourChannels = 3;
    } else if (page.photometric != PHOTOMETRIC_MINISBLACK &&
               page.photometric != PHOTOMETRIC_MINISWHITE) {
        unsupported(photometricName(page.photometric));
    }
    checkSampleFormat(tif, bitsPerSample);
    page.bitsPerSample = bitsPerSample;
    if (samplesPerPixel < page.colourChannels) {
        throw Failure("RGB needs 3 samples per pixel, the page has " +
                      std::to_string(samplesPerPixel));
    }
    if (samplesPerPixel > page.colourChannels + 1) {
        unsupported("images with " + std::to_string(samplesPerPixel - page.colourChannels) +
                    " extra samples are");
    }
    page.channels = samplesPerPixel;
    if (page.channels > page.colourChannels) {
        page.extra = extraSampleKind(tif);
    }
    if (!canRewrite(page.compression, page.bitsPerSample) ||
        TIFFIsCODECConfigured(page.compression) == 0) {
        unsupported(compressionName(page.compression) + " compression is");
    }
    if (page.width == 0 || page.height == 0) {
        throw Failure("the image is empty");
    }
    if (page.width > maxExtent || page.height > maxExtent) {
        unsupported("images over " + std::to_string(maxExtent) + " pixels across are");
    }
    page.planar = planarConfig == PLANARCONFIG_SEPARATE && page.channels > 1;
    readBlockSize(tif, page);
    checkBlocksListed(tif, page);
    page.largestStoredBlock = largestStoredBlock(tif);
    page.directory = TIFFCurrentDirOffset(tif);
    return page;
}

std::uint32_t writableTileSide(std::uint32_t side) {
    return (side + 15) / 16 * 16;
}

} // namespace fendral
