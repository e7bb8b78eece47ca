#include "block_encoder.h"

#include "page_tags.h"

namespace fendral {

namespace {

// TIFF's header: what stays in a worker's memory between blocks, so that no block starts at
// offset 0, which libtiff takes for "not written yet".
constexpr std::size_t headerBytes = 8;

void copyLayout(TIFF* from, TIFF* to, const PageFormat& page) {
    std::uint16_t predictor = PREDICTOR_NONE;
    std::uint16_t count = 0;
    std::uint16_t* kinds = nullptr;
    const bool ok = setSampleLayout(to, page) &&
                    (TIFFGetField(from, TIFFTAG_EXTRASAMPLES, &count, &kinds) == 0 ||
                     TIFFSetField(to, TIFFTAG_EXTRASAMPLES, count, kinds) != 0) &&
                    TIFFSetField(to, TIFFTAG_COMPRESSION, page.compression) != 0 &&
                    (TIFFGetField(from, TIFFTAG_PREDICTOR, &predictor) == 0 ||
                     TIFFSetField(to, TIFFTAG_PREDICTOR, predictor) != 0);
    if (!ok) {
        throw Failure("cannot set up compression");
    }
}

} // namespace

BlockEncoder::BlockEncoder(TiffFile& file, const PageFormat& page, unsigned workers)
    : tiled_(page.tiled) {
    // The file's byte order, which 16-bit samples and predictors follow.
    const char* mode = TIFFIsBigEndian(file.get()) != 0 ? "wb" : "wl";
    for (unsigned i = 0; i < std::max(1U, workers); ++i) {
        Worker& worker = *workers_.emplace_back(std::make_unique<Worker>());
        worker.tif = std::make_unique<TiffFile>(
            file.name(),
            [&](TIFFOpenOptions* options) { return worker.memory.open("blocks", mode, options); },
            "cannot start writing");
        try {
            copyLayout(file.get(), worker.tif->get(), page);
        } catch (const Failure& failure) {
            throw file.failure(failure.what());
        }
    }
}

std::vector<std::byte> BlockEncoder::encode(unsigned worker, std::uint32_t index,
                                            const std::byte* data, std::size_t bytes) {
    Worker& own = *workers_[worker];
    TIFF* tif = own.tif->get();
    own.memory.truncate(headerBytes);
    auto* samples = const_cast<std::byte*>(data);
    const auto size = static_cast<tmsize_t>(bytes);
    const tmsize_t written = tiled_ ? TIFFWriteEncodedTile(tif, index, samples, size)
                                    : TIFFWriteEncodedStrip(tif, index, samples, size);
    const std::string what = "cannot compress block " + std::to_string(index);
    if (written < 0) {
        throw own.tif->failure(what);
    }
    own.tif->check(what);
    const auto* compressed = reinterpret_cast<const std::byte*>(own.memory.bytes().data());
    const std::uint64_t offset = TIFFGetStrileOffset(tif, index);
    return {compressed + offset, compressed + offset + TIFFGetStrileByteCount(tif, index)};
}

} // namespace fendral
