#include "block_encoder.h"

#include "memory_file.h"

namespace fendral {

BlockEncoder::BlockEncoder(TiffFile& file, const PageFormat& page)
    : name_(file.name())
    , page_(page)
    , mode_(TIFFIsBigEndian(file.get()) != 0 ? "wb" : "wl") {
    TIFFGetField(file.get(), TIFFTAG_PREDICTOR, &predictor_);
    std::uint16_t count = 0;
    std::uint16_t* kinds = nullptr;
    if (TIFFGetField(file.get(), TIFFTAG_EXTRASAMPLES, &count, &kinds) != 0) {
        extraSamples_.assign(kinds, kinds + count);
    }
}

std::vector<std::byte> BlockEncoder::encode(const std::byte* data, std::size_t bytes,
                                            std::uint32_t rows, int plane) const {
    MemoryFile memory;
    TiffFile tif(name_,
                 [&](TIFFOpenOptions* options) { return memory.open("block", mode_, options); });
    TIFF* t = tif.get();
    // One block per plane: the block is that plane's first.
    bool ok =
        TIFFSetField(t, TIFFTAG_IMAGEWIDTH, page_.tiled ? page_.blockWidth : page_.width) != 0 &&
        TIFFSetField(t, TIFFTAG_IMAGELENGTH, page_.tiled ? page_.blockHeight : rows) != 0 &&
        TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, page_.bitsPerSample) != 0 &&
        TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, page_.channels) != 0 &&
        TIFFSetField(t, TIFFTAG_PHOTOMETRIC, page_.photometric) != 0 &&
        TIFFSetField(t, TIFFTAG_PLANARCONFIG,
                     page_.planar ? PLANARCONFIG_SEPARATE : PLANARCONFIG_CONTIG) != 0 &&
        (extraSamples_.empty() ||
         TIFFSetField(t, TIFFTAG_EXTRASAMPLES, extraSamples_.size(), extraSamples_.data()) != 0) &&
        TIFFSetField(t, TIFFTAG_COMPRESSION, page_.compression) != 0 &&
        (predictor_ == PREDICTOR_NONE || TIFFSetField(t, TIFFTAG_PREDICTOR, predictor_) != 0) &&
        (page_.tiled ? TIFFSetField(t, TIFFTAG_TILEWIDTH, page_.blockWidth) != 0 &&
                           TIFFSetField(t, TIFFTAG_TILELENGTH, page_.blockHeight) != 0
                     : TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, rows) != 0);
    auto* samples = const_cast<std::byte*>(data);
    const auto size = static_cast<tmsize_t>(bytes);
    const auto index = static_cast<std::uint32_t>(plane);
    ok = ok && (page_.tiled ? TIFFWriteEncodedTile(t, index, samples, size)
                            : TIFFWriteEncodedStrip(t, index, samples, size)) >= 0;
    tif.check("cannot compress a block");
    if (!ok) {
        throw tif.failure("cannot compress a block");
    }
    const auto* written = reinterpret_cast<const std::byte*>(memory.bytes().data());
    const std::uint64_t offset = TIFFGetStrileOffset(t, index);
    return {written + offset, written + offset + TIFFGetStrileByteCount(t, index)};
}

} // namespace fendral
