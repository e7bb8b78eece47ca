#include "page_format.h"

#include "failure.h"
#include "listed_blocks.h"

#include <algorithm>
#include <cmath>
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
bool canRewrite(std::uint16_t compression, const PageFormat& page) {
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
        return page.bitsPerSample == 8 && page.sampleFormat == SAMPLEFORMAT_UINT &&
               page.photometric != PHOTOMETRIC_PALETTE;
    default:
        return false;
    }
}

std::string compressionName(std::uint16_t compression) {
    const TIFFCodec* codec = TIFFFindCODEC(compression);
    return codec != nullptr ? codec->name : "scheme " + std::to_string(compression);
}

std::uint16_t extraSampleCount(TIFF* tif) {
    std::uint16_t count = 0;
    std::uint16_t* kinds = nullptr;
    return TIFFGetField(tif, TIFFTAG_EXTRASAMPLES, &count, &kinds) != 0 ? count : 0;
}

// The colour channels, as the filter sees them: a palette's indices become red, green and blue;
// separated images have as many inks as samples that are no extra ones.
int colourChannelsOf(TIFF* tif, const PageFormat& page, std::uint16_t samplesPerPixel) {
    switch (page.photometric) {
    case PHOTOMETRIC_MINISBLACK:
    case PHOTOMETRIC_MINISWHITE:
        return 1;
    case PHOTOMETRIC_RGB:
    case PHOTOMETRIC_PALETTE:
        return 3;
    case PHOTOMETRIC_SEPARATED:
        return std::max(1, samplesPerPixel - extraSampleCount(tif));
    case PHOTOMETRIC_YCBCR: // libtiff's JPEG codec turns it into RGB and back (see PageReader)
        if (page.compression == COMPRESSION_JPEG) {
            return 3;
        }
        [[fallthrough]];
    default:
        unsupported(photometricName(page.photometric));
    }
}

// Sets the sample format, the bytes a sample takes between the stages and MAXDIFF's scale.
void readSampleKind(TIFF* tif, PageFormat& page) {
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLEFORMAT, &page.sampleFormat);
    const int bits = page.bitsPerSample;
    const bool grey =
        page.photometric == PHOTOMETRIC_MINISBLACK || page.photometric == PHOTOMETRIC_MINISWHITE;
    if (page.sampleFormat == SAMPLEFORMAT_COMPLEXINT ||
        page.sampleFormat == SAMPLEFORMAT_COMPLEXIEEEFP) {
        unsupported("complex samples are");
    }
    if (bits == 1 && page.photometric != PHOTOMETRIC_PALETTE) {
        throw Failure("bilevel (1-bit) images have two levels only, which cannot be smoothed");
    }
    if (page.photometric == PHOTOMETRIC_PALETTE) {
        if (bits != 1 && bits != 2 && bits != 4 && bits != 8) {
            unsupported("palettes of " + std::to_string(bits) + "-bit indices are");
        }
        std::uint16_t* maps[3] = {};
        if (TIFFGetField(tif, TIFFTAG_COLORMAP, &maps[0], &maps[1], &maps[2]) == 0) {
            throw Failure("the palette image has no colour map");
        }
        const std::size_t entries = std::size_t{1} << bits;
        for (std::uint16_t* map : maps) {
            page.colourMap.insert(page.colourMap.end(), map, map + entries);
        }
        // A map of 8-bit colours holds each as v * 257; any other value needs 16 bits.
        const bool wide = std::ranges::any_of(page.colourMap,
                                              [](std::uint16_t value) { return value % 257 != 0; });
        page.sampleFormat = SAMPLEFORMAT_UINT;
        page.ringBytes = wide ? 2 : 1;
        page.scaleMax = wide ? 65535 : 255;
        return;
    }
    const bool floating = page.sampleFormat == SAMPLEFORMAT_IEEEFP;
    const bool whole =
        floating ? bits == 16 || bits == 32 || bits == 64 : bits == 8 || bits == 16 || bits == 32;
    if (!whole && !(grey && (bits == 2 || bits == 4) && page.sampleFormat == SAMPLEFORMAT_UINT)) {
        unsupported(std::to_string(bits) + "-bit " +
                    (floating                                ? "floating-point "
                     : page.sampleFormat == SAMPLEFORMAT_INT ? "signed "
                                                             : "") +
                    "samples are");
    }
    if (page.sampleFormat != SAMPLEFORMAT_INT && !floating) {
        page.sampleFormat = SAMPLEFORMAT_UINT; // "void" samples are read as unsigned ones
    }
    page.ringBytes = floating && bits == 16 ? 4 : std::max(1, bits / 8);
    if (floating) {
        double low = 0;
        double high = 0;
        const bool given = TIFFGetField(tif, TIFFTAG_SMINSAMPLEVALUE, &low) != 0 &&
                           TIFFGetField(tif, TIFFTAG_SMAXSAMPLEVALUE, &high) != 0 &&
                           std::isfinite(low) && std::isfinite(high) && low < high;
        page.scaleMin = given ? low : 0;
        page.scaleMax = given ? high : 1;
    } else {
        page.scaleMax = static_cast<double>((std::uint64_t{1} << bits) - 1);
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

    page.bitsPerSample = bitsPerSample;
    page.colourChannels = colourChannelsOf(tif, page, samplesPerPixel);
    readSampleKind(tif, page);
    if (page.photometric == PHOTOMETRIC_PALETTE && samplesPerPixel != 1) {
        unsupported("palette images with extra samples are");
    }
    if (samplesPerPixel < page.colourChannels && page.photometric != PHOTOMETRIC_PALETTE) {
        throw Failure("the colours need " + std::to_string(page.colourChannels) +
                      " samples per pixel, the page has " + std::to_string(samplesPerPixel));
    }
    page.channels = std::max<int>(samplesPerPixel, page.colourChannels);
    if (page.channels > page.colourChannels) {
        page.extra = extraSampleKind(tif);
    }
    if (!canRewrite(page.compression, page) || TIFFIsCODECConfigured(page.compression) == 0) {
        unsupported(compressionName(page.compression) + " compression is");
    }
    if (page.width == 0 || page.height == 0) {
        throw Failure("the image is empty");
    }
    if (page.width > maxExtent || page.height > maxExtent) {
        unsupported("images over " + std::to_string(maxExtent) + " pixels across are");
    }
    page.planar = planarConfig == PLANARCONFIG_SEPARATE && samplesPerPixel > 1;
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
