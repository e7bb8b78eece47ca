#include "ChildProcess.h"
#include "TempFolder.h"
#include "command_line.h"
#include "decimal_text.h"
#include "file_job.h"
#include "safe_output.h"
#include "selective_kernel.h"
#include "test_tiff.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <future>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <span>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

// What a job asks of the C library, watched: after the first lookup of `name` (by openat or stat),
// `swap` runs, once; the file system may be one without unnamed files; every other read and write
// may be interrupted by a signal first; the first temporary names may be found taken, and
// `signalAtNaming` is raised as a temporary file is given its name; flushing a folder may fail;
// flushes of a file or a folder and renames are noted in `calls`.
struct Watch {
    std::string name;
    std::function<void()> swap;
    bool noUnnamedFiles = false;
    bool interrupted = false;
    int collisions = 0; // temporary names found taken
    int signalAtNaming = 0;
    int folderFlushError = 0;
    std::vector<std::string> calls = {};
} watch;

void lookedUp(const char* path) {
    if (watch.swap && watch.name == path) {
        std::exchange(watch.swap, nullptr)();
    }
}

bool isFolder(int fd) {
    return std::filesystem::is_directory("/proc/self/fd/" + std::to_string(fd));
}

int noted(const char* call, int fd) {
    watch.calls.push_back(std::string(call) + (isFolder(fd) ? " folder" : " file"));
    return fd;
}

// Raises `signalAtNaming`, if any, as a call that makes a temporary name returns `result`.
long named(long result) {
    if (watch.signalAtNaming != 0) {
        std::raise(watch.signalAtNaming);
    }
    return result;
}

bool interruptsNow() {
    static std::atomic<unsigned> calls{0};
    if (watch.interrupted && calls++ % 2 == 0) {
        errno = EINTR;
        return true;
    }
    return false;
}

} // namespace

// Defined here, these take the place of the C library's in the whole test program.
extern "C" int openat(int folder, const char* path, int flags, ...) {
    va_list args;
    va_start(args, flags);
    const bool creates = (flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE;
    const mode_t mode = creates ? va_arg(args, mode_t) : 0;
    va_end(args);
    if (watch.noUnnamedFiles && (flags & O_TMPFILE) == O_TMPFILE) {
        errno = EOPNOTSUPP;
        return -1;
    }
    const auto fd = ::syscall(SYS_openat, folder, path, flags, mode);
    lookedUp(path);
    return static_cast<int>((flags & O_EXCL) != 0 ? named(fd) : fd);
}

extern "C" int linkat(int from, const char* old, int to, const char* name, int flags) noexcept {
    if (watch.collisions > 0) {
        --watch.collisions;
        errno = EEXIST;
        return -1;
    }
    return static_cast<int>(named(::syscall(SYS_linkat, from, old, to, name, flags)));
}

extern "C" ssize_t pread(int fd, void* buffer, size_t size, off_t at) {
    return interruptsNow() ? -1 : ::syscall(SYS_pread64, fd, buffer, size, at);
}

extern "C" ssize_t pwrite(int fd, const void* buffer, size_t size, off_t at) {
    return interruptsNow() ? -1 : ::syscall(SYS_pwrite64, fd, buffer, size, at);
}

extern "C" int fdatasync(int fd) {
    return static_cast<int>(::syscall(SYS_fdatasync, noted("fdatasync", fd)));
}

extern "C" int fsync(int fd) {
    if (watch.folderFlushError != 0 && isFolder(fd)) {
        errno = watch.folderFlushError;
        return -1;
    }
    return static_cast<int>(::syscall(SYS_fsync, noted("fsync", fd)));
}

extern "C" int renameat(int from, const char* old, int to, const char* name) noexcept {
    return static_cast<int>(::syscall(SYS_renameat, from, old, noted("renameat", to), name));
}

extern "C" int stat(const char* __restrict path, struct stat* __restrict info) noexcept {
    const auto result = static_cast<int>(::syscall(SYS_newfstatat, AT_FDCWD, path, info, 0));
    lookedUp(path);
    return result;
}

namespace fendral::test {
namespace {

// filterFile, given up with a message when it has not finished within a minute: a pipeline that
// stalls would otherwise hold the test until the runner's limit.
JobSummary filterOrGiveUp(const std::string& in, const std::string& out,
                          const FilterSettings& settings) {
    auto job = std::async(std::launch::async, [&] { return filterFile(in, out, settings); });
    if (job.wait_for(std::chrono::minutes(1)) == std::future_status::timeout) {
        std::fprintf(stderr, "Filtering %s has not finished in a minute: the pipeline stalls.\n",
                     in.c_str());
        std::_Exit(1);
    }
    return job.get();
}

// The range MAXDIFF's 0..255 maps onto: an integer's whole range, else floating point's 0..1.
std::pair<double, double> rangeOf(const TestImage& image) {
    const double levels = std::ldexp(1, image.bits);
    return image.format == SAMPLEFORMAT_IEEEFP ? std::pair(0.0, 1.0)
           : image.format == SAMPLEFORMAT_INT  ? std::pair(-levels / 2, levels / 2 - 1)
                                               : std::pair(0.0, levels - 1);
}

// The filter written for clarity, not speed, in double precision. The first `colours` channels
// are smoothed; extraSample is the TIFF code of the next (EXTRASAMPLE_ASSOCALPHA...), which any
// others follow unchanged. A NaN or infinite sample is no neighbour and stays.
TestImage referenceFilter(const TestImage& in, double radius, double maxDiff, int colours,
                          int extraSample, std::pair<double, double> range = {}) {
    // Named copies, not a structured binding: lambdas below capture them.
    const auto scale = range == std::pair(0.0, 0.0) ? rangeOf(in) : range;
    const double low = scale.first, high = scale.second;
    const bool floating = in.format == SAMPLEFORMAT_IEEEFP;
    const int width = int(in.width), height = int(in.height), channels = in.channels;
    const int reach = int(radius), alpha = colours, taps = (2 * reach + 1) * (2 * reach + 1);
    const bool associated = extraSample == EXTRASAMPLE_ASSOCALPHA && channels > colours;
    const bool weighted =
        associated || (extraSample == EXTRASAMPLE_UNASSALPHA && channels > colours);
    const auto sample = [&](int x, int y, int c) {
        return in.samples[std::size_t(
            (std::clamp(y, 0, height - 1) * width + std::clamp(x, 0, width - 1)) * channels + c)];
    };
    const auto weight = [&](int x, int y) { // alpha as 0..1
        const double a = weighted ? (sample(x, y, alpha) - low) / (high - low) : 1;
        return a > 0 ? std::min(a, 1.0) : 0.0;
    };
    // A sample, edges replicated; premultiplied colours as plain colours, integers to the nearest
    // level (exactly: a product of integers is exact, and so is the division's rounding).
    const auto value = [&](int x, int y, int c) {
        const double a = associated ? sample(x, y, alpha) - low : high - low;
        const double plain = floating ? sample(x, y, c) / (associated ? weight(x, y) : 1)
                                      : std::round(sample(x, y, c) * (high - low) / a);
        return a <= 0 ? 0 : floating ? plain : std::min(high, plain);
    };
    TestImage out = in;
    for (int i = 0; i < int(in.samples.size()); ++i) {
        const int x = i / channels % width, y = i / channels / width, c = i % channels;
        double sum = 0, weights = 0;
        for (int tap = 0; tap < taps && c < colours; ++tap) {
            const int dx = tap % (2 * reach + 1) - reach, dy = tap / (2 * reach + 1) - reach;
            const double near = value(x + dx, y + dy, c), d2 = dx * dx + dy * dy;
            if (d2 <= radius * radius &&
                std::abs(near - value(x, y, c)) <= maxDiff * (high - low) / 255) {
                const double w = std::exp(-2 * d2 / (radius * radius)) * weight(x + dx, y + dy);
                sum += w * near;
                weights += w;
            }
        }
        const double mean =
            (weights > 0 ? sum / weights : value(x, y, c)) * (associated ? weight(x, y) : 1);
        if (c < colours) {
            out.samples[std::size_t(i)] =
                floating || !std::isfinite(mean) ? mean : std::clamp(std::round(mean), low, high);
        }
    }
    return out;
}

// The largest difference between two images' samples; NaN and NaN, or two equal infinities,
// differ by nothing.
double largestDifference(const TestImage& a, const TestImage& b) {
    double largest = 0;
    for (std::size_t i = 0; i < b.samples.size(); ++i) {
        const double x = a.samples.at(i), y = b.samples[i];
        const bool same = x == y || (std::isnan(x) && std::isnan(y));
        largest = std::max(largest, same ? 0 : std::isnan(x - y) ? INFINITY : std::abs(x - y));
    }
    return largest;
}

// A palette of 2^bits entries: red, green, then blue; of 8-bit colours (v * 257) unless wide.
std::vector<std::uint16_t> paletteOf(int bits, bool wide) {
    const int entries = 1 << bits;
    std::vector<std::uint16_t> map;
    for (int c = 0; c < 3; ++c) {
        for (int i = 0; i < entries; ++i) {
            const int level = (i * 255 / (entries - 1) + 60 * c) % 256;
            map.push_back(std::uint16_t(wide ? level * 256 + i % 7 + 1 : level * 257));
        }
    }
    return map;
}

// A page of palette indices as the RGB its map looks up, at 8 or 16 bits.
TestImage lookedUp(const TestImage& indices, const std::vector<std::uint16_t>& map, bool wide) {
    TestImage rgb{indices.width, indices.height, 3, std::uint16_t(wide ? 16 : 8), {}, ""};
    for (const double index : indices.samples) {
        for (std::size_t c = 0; c < 3; ++c) {
            const std::uint16_t colour = map.at(c * map.size() / 3 + std::size_t(index));
            rgb.samples.push_back(wide ? colour : colour / 257);
        }
    }
    return rgb;
}

// Every kind of page the filter takes, in two-page files with pages of odd sizes (partial tiles
// and strips, several chunks of rows): the output keeps the input's tags, layout and flavour,
// its samples are the reference's on any number of threads, and a radius below one copies them.
// Integers are within a level; floating point within 16 units of its last place at the top of
// its scale (a sum of many taps in its own precision rounds that much); NaN and infinities stay.
// A palette's pages are written as RGB: its colours looked up, then smoothed.
TEST(Filter, EveryKindMatchesTheReference) {
    const auto tags = [](auto... set) {
        return [=](TIFF* t) {
            (set(t), ...);
        };
    };
    const auto predictor = [](int kind) {
        return [=](TIFF* t) {
            TIFFSetField(t, TIFFTAG_PREDICTOR, kind);
        };
    };
    const auto range = [](double low, double high) {
        return [=](TIFF* t) {
            TIFFSetField(t, TIFFTAG_SMINSAMPLEVALUE, low);
            TIFFSetField(t, TIFFTAG_SMAXSAMPLEVALUE, high);
        };
    };
    const auto inks = [](TIFF* t) {
        TIFFSetField(t, TIFFTAG_INKSET, INKSET_MULTIINK);
        TIFFSetField(t, TIFFTAG_NUMBEROFINKS, 4);
        TIFFSetField(t, TIFFTAG_INKNAMES, 20, "Cyan\0Magenta\0Gold\0K");
    };
    const auto palette = [](int bits, bool wide) {
        return [=](TIFF* t) {
            static std::vector<std::uint16_t> map;
            map = paletteOf(bits, wide);
            const std::size_t n = map.size() / 3;
            TIFFSetField(t, TIFFTAG_COLORMAP, &map[0], &map[n], &map[2 * n]);
        };
    };
    constexpr std::uint16_t uint = SAMPLEFORMAT_UINT, sint = SAMPLEFORMAT_INT,
                            real = SAMPLEFORMAT_IEEEFP;
    const struct Kind {
        const char* name;
        std::uint16_t channels, bits;
        TiffLayout layout;
        std::uint16_t format = SAMPLEFORMAT_UINT;
        std::pair<double, double> range = {}; // floating point's SMin/SMaxSampleValue, if given
        bool nonFinite = false;               // NaN and infinities among the samples
    } kinds[] = {
        // clang-format off
        {"grey 8", 1, 8, {PHOTOMETRIC_MINISBLACK}},
        {"grey 16, tiles", 1, 16, {PHOTOMETRIC_MINISBLACK, 0, false, true}},
        {"min-is-white 8, LZW", 1, 8, {PHOTOMETRIC_MINISWHITE, 0, false, false, COMPRESSION_LZW}},
        {"grey + alpha 8", 2, 8, {PHOTOMETRIC_MINISBLACK, EXTRASAMPLE_UNASSALPHA}},
        {"grey premultiplied 16, planar, Deflate", 2, 16, {PHOTOMETRIC_MINISBLACK, EXTRASAMPLE_ASSOCALPHA, true, false, COMPRESSION_ADOBE_DEFLATE}},
        {"RGB 8, planar tiles", 3, 8, {PHOTOMETRIC_RGB, 0, true, true}},
        {"RGB 16, Deflate", 3, 16, {PHOTOMETRIC_RGB, 0, false, false, COMPRESSION_ADOBE_DEFLATE}},
        {"RGB premultiplied 8, LZW tiles", 4, 8, {PHOTOMETRIC_RGB, EXTRASAMPLE_ASSOCALPHA, false, true, COMPRESSION_LZW}},
        {"RGBA 16, planar, LZW", 4, 16, {PHOTOMETRIC_RGB, EXTRASAMPLE_UNASSALPHA, true, false, COMPRESSION_LZW}},
        {"RGB + extra 8, PackBits", 4, 8, {PHOTOMETRIC_RGB, EXTRASAMPLE_UNSPECIFIED, false, false, COMPRESSION_PACKBITS}},
        {"RGB 16, planar tiles, big-endian BigTIFF", 3, 16, {PHOTOMETRIC_RGB, 0, true, true, COMPRESSION_NONE, "wb8"}},
        {"RGB 8, JPEG", 3, 8, {PHOTOMETRIC_RGB, 0, false, false, COMPRESSION_JPEG}},
        {"YCbCr 8, JPEG tiles, filtered as RGB", 3, 8, {PHOTOMETRIC_YCBCR, 0, false, true, COMPRESSION_JPEG}},
        {"RGB premultiplied + extra 8, planar", 5, 8, {PHOTOMETRIC_RGB, EXTRASAMPLE_ASSOCALPHA, true}},
        {"RGBA + 2 extra 16, LZW tiles", 6, 16, {PHOTOMETRIC_RGB, EXTRASAMPLE_UNASSALPHA, false, true, COMPRESSION_LZW}},
        {"CMYK 8, inks named", 4, 8, {PHOTOMETRIC_SEPARATED, 0, false, false, COMPRESSION_NONE, "w", inks}},
        {"CMYK + alpha 16, LZW", 5, 16, {PHOTOMETRIC_SEPARATED, EXTRASAMPLE_UNASSALPHA, false, false, COMPRESSION_LZW}},
        {"grey 4, LZW", 1, 4, {PHOTOMETRIC_MINISBLACK, 0, false, false, COMPRESSION_LZW, "w", predictor(PREDICTOR_NONE)}},
        {"grey 2 min-is-white, tiles", 1, 2, {PHOTOMETRIC_MINISWHITE, 0, false, true}},
        {"grey + alpha 4, big-endian", 2, 4, {PHOTOMETRIC_MINISBLACK, EXTRASAMPLE_UNASSALPHA, false, false, COMPRESSION_NONE, "wb"}},
        {"signed 8", 1, 8, {PHOTOMETRIC_MINISBLACK}, sint},
        {"signed 16 RGB, Deflate", 3, 16, {PHOTOMETRIC_RGB, 0, false, false, COMPRESSION_ADOBE_DEFLATE}, sint},
        {"signed 32, planar tiles, big-endian", 2, 32, {PHOTOMETRIC_MINISBLACK, EXTRASAMPLE_UNASSALPHA, true, true, COMPRESSION_NONE, "wb"}, sint},
        {"unsigned 32, LZW", 1, 32, {PHOTOMETRIC_MINISBLACK, 0, false, false, COMPRESSION_LZW}, uint},
        {"float 16 RGB, Deflate, floating-point predictor", 3, 16, {PHOTOMETRIC_RGB, 0, false, false, COMPRESSION_ADOBE_DEFLATE, "w", predictor(PREDICTOR_FLOATINGPOINT)}, real},
        {"float 32 grey in -50..200, LZW, floating-point predictor", 1, 32, {PHOTOMETRIC_MINISBLACK, 0, false, false, COMPRESSION_LZW, "w", tags(predictor(PREDICTOR_FLOATINGPOINT), range(-50, 200))}, real, {-50, 200}},
        {"float 32 RGBA, planar tiles", 4, 32, {PHOTOMETRIC_RGB, EXTRASAMPLE_UNASSALPHA, true, true}, real},
        {"float 32 RGB, NaN and infinities", 3, 32, {PHOTOMETRIC_RGB}, real, {}, true},
        {"float 64 grey, NaN and infinities, Deflate", 1, 64, {PHOTOMETRIC_MINISBLACK, 0, false, false, COMPRESSION_ADOBE_DEFLATE, "w", predictor(PREDICTOR_FLOATINGPOINT)}, real, {}, true},
        {"palette 8", 1, 8, {PHOTOMETRIC_PALETTE, 0, false, false, COMPRESSION_LZW, "w", palette(8, false)}},
        {"palette 4, 16-bit colours", 1, 4, {PHOTOMETRIC_PALETTE, 0, false, true, COMPRESSION_NONE, "w", palette(4, true)}},
        {"palette 2", 1, 2, {PHOTOMETRIC_PALETTE, 0, false, false, COMPRESSION_NONE, "w", palette(2, false)}},
        {"palette 1", 1, 1, {PHOTOMETRIC_PALETTE, 0, false, false, COMPRESSION_PACKBITS, "w", palette(1, false)}}};
    const struct { double radius, maxDiff; unsigned threads; } settings[] = {
        {1, 10, 2}, {2.5, 30, 3}, {1.5, 255, 2}, {7, 40, 2}, {0, 255, 2}, {0.5, 255, 3}};
    // clang-format on
    const fendralwin::test::TempFolder folder;
    const std::string in = folder / "in.tif", out = folder / "out.tif";
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(kind.name);
        const TiffLayout& layout = kind.layout;
        const std::uint16_t photometric = layout.photometric;
        const int colours = photometric <= PHOTOMETRIC_MINISBLACK  ? 1
                            : photometric == PHOTOMETRIC_SEPARATED ? 4
                                                                   : 3;
        const bool jpeg = layout.compression == COMPRESSION_JPEG, alpha = kind.channels > colours;
        const bool floating = kind.format == SAMPLEFORMAT_IEEEFP;
        const bool paletted = photometric == PHOTOMETRIC_PALETTE, wide = paletted && kind.bits == 4;
        std::vector<TestImage> written;
        for (const auto& [width, height, seed] : {std::tuple(37U, 141U, 7U), {20U, 9U, 8U}}) {
            TestImage page =
                noisyImage(width, height, kind.channels, 16, alpha && layout.extraSample > 0, seed);
            const TestImage sample{1, 1, 1, kind.bits, {}, "", kind.format};
            const auto [low, high] =
                floating && kind.range.second > 0 ? kind.range : rangeOf(sample);
            page = asKind(page, kind.bits, kind.format, low, high);
            for (std::size_t i = 0; kind.nonFinite && i < page.samples.size(); i += 7) {
                page.samples[i] = std::array{NAN, INFINITY, -INFINITY}[i % 3];
            }
            written.push_back(page);
        }
        writeTiff(in, written, layout);
        std::vector<TestImage> pages = readTiff(in); // as JPEG decodes them
        if (paletted) {
            for (TestImage& page : pages) {
                page = lookedUp(page, paletteOf(kind.bits, wide), wide);
            }
        }
        const double unit =
            !floating ? 1
                      : std::ldexp(kind.range.second > 0 ? kind.range.second - kind.range.first : 1,
                                   kind.bits == 16   ? -7
                                   : kind.bits == 32 ? -20
                                                     : -49);
        for (const auto& s : settings) {
            SCOPED_TRACE(testing::Message() << "radius " << s.radius << ", maxdiff " << s.maxDiff);
            const JobSummary summary = filterOrGiveUp(in, out, {s.radius, s.maxDiff, 1});
            const std::string rgb =
                " palette written as " + std::to_string(wide ? 16 : 8) + "-bit RGB";
            const std::vector<std::string> changed{"page 1" + rgb, "page 2" + rgb};
            EXPECT_EQ(summary.changed, paletted ? changed : std::vector<std::string>{});
            const std::vector<TestImage> serial = readTiff(out);
            filterOrGiveUp(in, out, {s.radius, s.maxDiff, s.threads});
            const std::vector<TestImage> got = readTiff(out);
            for (std::size_t p = 0; p < pages.size(); ++p) {
                EXPECT_EQ(largestDifference(got.at(p), serial.at(p)), 0)
                    << "threads change samples";
                const TestImage want =
                    s.radius < 1
                        ? pages[p]
                        : referenceFilter(pages[p], s.radius, s.maxDiff, paletted ? 3 : colours,
                                          layout.extraSample, kind.range);
                EXPECT_EQ(got[p].tags, paletted ? got[p].tags : want.tags);
                EXPECT_EQ(std::tuple(got[p].bits, got[p].channels),
                          std::tuple(want.bits, want.channels));
                // Encoding JPEG again loses some; all else is within rounding, a copy exact.
                EXPECT_LE(largestDifference(got[p], want), jpeg           ? 32
                                                           : s.radius < 1 ? 0
                                                                          : unit)
                    << p;
            }
        }
    }
}

// The message of the Failure that `job` throws, or "no failure".
template <typename Job>
std::string failureOf(const Job& job) {
    try {
        job();
    } catch (const Failure& failure) {
        return failure.what();
    }
    return "no failure";
}

// Pages wider than a lane and taller than a band, in strips and in planar tiles, with and without
// alpha: the lanes and bands meet without a seam.
TEST(Filter, WidePagesMatchTheReferenceAcrossLanesAndBands) {
    // clang-format off
    const std::tuple<const char*, std::uint16_t, std::uint16_t, TiffLayout, double> kinds[] = {
        {"RGB 8, LZW", 3, 8, {PHOTOMETRIC_RGB, 0, false, false, COMPRESSION_LZW}, 5},
        {"RGBA 16, planar tiles", 4, 16, {PHOTOMETRIC_RGB, EXTRASAMPLE_UNASSALPHA, true, true}, 2.5}};
    // clang-format on
    const fendralwin::test::TempFolder folder;
    const std::string in = folder / "in.tif", out = folder / "out.tif";
    for (const auto& [name, channels, bits, layout, radius] : kinds) {
        SCOPED_TRACE(name);
        const int extra = channels == 4 ? layout.extraSample : -1;
        const TestImage page = noisyImage(1100, 70, channels, bits, extra > 0, 9);
        writeTiff(in, {page}, layout);
        filterOrGiveUp(in, out, {radius, 40, 2});
        EXPECT_LE(
            largestDifference(readTiff(out).at(0), referenceFilter(page, radius, 40, 3, extra)), 1);
    }
}

// Every variant this processor runs gives the baseline's means, for 8- and 16-bit levels, for
// floating point and in double precision, up to the rounding that fused multiply-adds change, with
// and without alpha, over more than a block and a short one.
TEST(Filter, EveryKernelVariantAgreesWithTheBaseline) {
    constexpr std::ptrdiff_t stride = 320, origin = 8 * stride + 8; // room for a reach of 8
    std::vector<double> values(stride * 17), alpha(values.size());
    std::mt19937 random(3);
    std::ranges::generate(values, [&] { return double(random() % 256); });
    std::ranges::generate(alpha, [&] { return double(random() % 4) / 3.0; });
    const KernelVariant& baseline = kernelVariants().back();
    EXPECT_STREQ(baseline.name, "baseline");
    const auto agree = [&]<typename T>(PlaneKernel<T> KernelVariant::*kernel, const char* what) {
        const std::vector<T> plane(values.begin(), values.end()),
            weights(alpha.begin(), alpha.end());
        for (const KernelVariant& variant : kernelVariants()) {
            for (const double radius : {1.0, 2.5, 7.0}) {
                for (const T* weight : {static_cast<const T*>(nullptr), weights.data() + origin}) {
                    std::vector<T> want(300), got(300);
                    const BandPlanes<T> planes{plane.data() + origin, weight, stride};
                    smoothRow<T>(Disc(radius), 40, planes, 0, 300, want.data(), baseline.*kernel);
                    smoothRow<T>(Disc(radius), 40, planes, 0, 300, got.data(),
                                 (variant.runsHere() ? variant : baseline).*kernel);
                    EXPECT_TRUE(std::ranges::equal(
                        got, want, [](T a, T b) { return std::abs(a - b) < T(1e-3); }))
                        << variant.name << " " << what << " radius " << radius
                        << (weight ? " alpha" : "");
                }
            }
        }
    };
    agree(&KernelVariant::levels, "levels");
    agree(&KernelVariant::floats, "floats");
    agree(&KernelVariant::wide, "wide");
}

// A radius of nought copies every page: the first with EXIF and GPS directories and
// reduced-resolution sub-images, which live apart from it (one that cannot be carried, CMYK, is
// named); then single strips too large to hold whole, read row by row, each plane on its own, and
// a row of tiles as large, which can only be read tile by tile.
TEST(Keeping, ExifGpsSubImagesAndLargeStrips) {
    const fendralwin::test::TempFolder folder;
    const std::string in = folder / "in.tif", out = folder / "out.tif";
    {
        const TiffPtr tif = openTiff(in, "w");
        std::uint64_t exif = 0, gps = 0, subImages[2] = {};
        const std::uint16_t iso = 400;
        TIFFCreateEXIFDirectory(tif.get());
        TIFFSetField(tif.get(), EXIFTAG_DATETIMEORIGINAL, "2024:06:07 10:11:12");
        TIFFSetField(tif.get(), EXIFTAG_EXPOSURETIME, 0.125);
        TIFFSetField(tif.get(), EXIFTAG_ISOSPEEDRATINGS, 1, &iso);
        TIFFWriteCustomDirectory(tif.get(), &exif);
        TIFFFreeDirectory(tif.get()); // libtiff leaks the last directory's values otherwise
        TIFFCreateGPSDirectory(tif.get());
        TIFFSetField(tif.get(), GPSTAG_LATITUDEREF, "N");
        TIFFWriteCustomDirectory(tif.get(), &gps);
        TIFFFreeDirectory(tif.get());
        TIFFCreateDirectory(tif.get());
        // clang-format off
        const auto oneStrip = [](TIFF* t) { TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, 1800); };
        const std::pair<TestImage, TiffLayout> pages[] = {
            {noisyImage(40, 30, 3), {PHOTOMETRIC_RGB, 0, false, false, 1, "w", [&](TIFF* t) {
                TIFFSetField(t, TIFFTAG_EXIFIFD, exif); TIFFSetField(t, TIFFTAG_GPSIFD, gps); TIFFSetField(t, TIFFTAG_SUBIFD, 2, subImages); }}},
            // Sub-images: one with an EXIF directory, which cannot be carried, and an L*a*b* one.
            {noisyImage(20, 15, 3), {PHOTOMETRIC_RGB, 0, false, false, 1, "w", [&](TIFF* t) { TIFFSetField(t, TIFFTAG_EXIFIFD, exif); }}},
            {noisyImage(8, 8, 3), {PHOTOMETRIC_CIELAB}},
            {noisyImage(1700, 1800, 3), {PHOTOMETRIC_RGB, 0, false, false, COMPRESSION_LZW, "w", oneStrip}},
            {noisyImage(1700, 1800, 3), {PHOTOMETRIC_RGB, 0, true, false, COMPRESSION_LZW, "w", oneStrip}},
            {noisyImage(11008, 256, 3), {PHOTOMETRIC_RGB, 0, false, true, 1, "w", [](TIFF* t) { TIFFSetField(t, TIFFTAG_TILELENGTH, 256); }}}};
        // clang-format on
        for (const auto& [image, layout] : pages) {
            writePage(tif.get(), image, layout);
        }
    }
    const std::vector<std::string> notKept{"page 1 sub-image 2 (L*a*b* images are not supported)",
                                           "page 1 sub-image 1 EXIF directory"};
    EXPECT_EQ(filterOrGiveUp(in, out, {0, 10, 2}).notKept, notKept);
    EXPECT_EQ(readTiff(out), readTiff(in));
    // The first page's linked directories, after how many sub-images it has.
    const auto linked = [](const std::string& path) {
        const TiffPtr tif = openTiff(path);
        std::uint64_t exif = 0, gps = 0, *subImages = nullptr;
        std::uint16_t count = 0;
        TIFFGetField(tif.get(), TIFFTAG_EXIFIFD, &exif);
        TIFFGetField(tif.get(), TIFFTAG_GPSIFD, &gps);
        TIFFGetField(tif.get(), TIFFTAG_SUBIFD, &count, &subImages);
        std::string text = std::to_string(count);
        const std::uint64_t first = count > 0 ? subImages[0] : 0;
        text += TIFFReadEXIFDirectory(tif.get(), exif) ? tagsOf(tif.get()) : "no EXIF";
        text += TIFFReadGPSDirectory(tif.get(), gps) ? tagsOf(tif.get()) : "no GPS";
        return text + (TIFFSetSubDirectory(tif.get(), first) ? tagsOf(tif.get()) : "no sub-image");
    };
    EXPECT_EQ(linked(out), std::string("1").append(linked(in), 1)); // of its two sub-images
}

// The reads of a job grow with its directories, not with their square: 1,000 of them, a quarter
// sub-images. Counted as the process's read calls, as the system counts them.
TEST(Keeping, ReadsGrowWithThePages) {
    const fendralwin::test::TempFolder folder;
    const std::string in = folder / "in.tif", out = folder / "out.tif";
    const auto reads = [] {
        const std::string counts = fendralwin::test::readFile("/proc/self/io");
        return std::stol(counts.substr(counts.find("syscr:") + 6));
    };
    writeTiff(in, std::vector(1000, noisyImage(1, 1, 3)),
              {PHOTOMETRIC_RGB, 0, false, false, 1, "w", [written = 0](TIFF* t) mutable {
                   static std::uint64_t placeholder = 0; // the next page is its sub-image
                   if (written++ % 4 == 0) {
                       TIFFSetField(t, TIFFTAG_SUBIFD, 1, &placeholder);
                   }
               }});
    const long before = reads();
    filterOrGiveUp(in, out, {1, 10, 2});
    EXPECT_LT(reads() - before, 1000 * 50);
}

namespace fs = std::filesystem;
using fendralwin::test::readFile;

// Runs the Fendral built alongside through the shell, `launch` ending in how (exec...), its stdout
// and stderr going to files (no terminal). One that has not finished in a minute, spinning or
// stalled, is ended and the test told. Gives the exit code (minus the signal that ended it),
// stderr and stdout.
auto runFendral(const std::vector<std::string>& args, const std::string& launch) {
    const fendralwin::test::TempFolder logs;
    std::string command = launch + " timeout 60 " FENDRAL_PROGRAM;
    for (const std::string& arg : args) {
        command += " '" + arg + "'";
    }
    const int status = std::system((command + " >" + logs / "1" + " 2>" + logs / "2").c_str());
    EXPECT_NE(status, 124 << 8) << command << ": has not finished in a minute";
    return std::tuple{WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status),
                      readFile(logs / "2"), readFile(logs / "1")};
}

// Kinds, permissions and link targets of everything in the working folder, contents if asked.
std::map<std::string, std::string> snapshot(bool contents) {
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(".")) {
        const fs::file_status status = entry.symlink_status();
        std::string& text = entries[entry.path().string()];
        text = std::to_string(int(status.type())) + " " + std::to_string(int(status.permissions()));
        text += fs::is_symlink(status) ? " -> " + fs::read_symlink(entry.path()).native() : "";
        // A digest, so that a failure's report stays short however large the file.
        text += contents && fs::is_regular_file(status)
                    ? std::to_string(std::hash<std::string>{}(readFile(entry.path())))
                    : "";
    }
    return entries;
}

// Each run in turn, in the test's own folder: exit 0 with the output written quietly (stderr is no
// terminal), or help and version on stdout; 1 with one line naming the user's file and the
// system's or libtiff's reason; 2 with the reason and the usage. Nothing else in the folder
// changes.
TEST(Program, EveryRun) {
    const fs::path home = fs::current_path();
    const fendralwin::test::TempFolder folder;
    fs::current_path(folder.path());
    // A plain input; then pages Fendral refuses, or that libtiff reports it cannot decode; last a
    // page whose EXIF directory cannot be read, which is named but fails nothing.
    const std::tuple<std::string, TestImage, TiffLayout> inputs[] = {// clang-format off
        {"in.tif", noisyImage(20, 12, 3), {PHOTOMETRIC_RGB}}, {"wide.tif", noisyImage(1000000, 1, 3), {PHOTOMETRIC_RGB, 0, false, false, COMPRESSION_ADOBE_DEFLATE}},
        {"complex.tif", noisyImage(8, 8, 1, 32), {.tags = [](TIFF* t) { TIFFSetField(t, TIFFTAG_SAMPLEFORMAT, SAMPLEFORMAT_COMPLEXINT); }}},
        {"bilevel.tif", noisyImage(8, 8, 1, 1), {}}, {"lab.tif", noisyImage(8, 8, 3), {PHOTOMETRIC_CIELAB}},
        {"ycbcr.tif", noisyImage(8, 8, 3), {PHOTOMETRIC_YCBCR}}, {"bits12.tif", noisyImage(8, 8, 1, 12), {}},
        {"logluv.tif", noisyImage(8, 8, 3, 16), {PHOTOMETRIC_LOGLUV}},
        {"webp.tif", noisyImage(8, 8, 4), {PHOTOMETRIC_RGB, 0, true, false, COMPRESSION_WEBP}}, {"corrupt.tif", noisyImage(20, 80, 1), {.compression = COMPRESSION_LZW}},
        {"badexif.tif", noisyImage(8, 8, 1), {.tags = [](TIFF* t) { TIFFSetField(t, TIFFTAG_EXIFIFD, std::uint64_t{0xFFFFFF00}); }}},
        {"bigtile.tif", noisyImage(1, 1, 1), {.tiled = true, .compression = COMPRESSION_ADOBE_DEFLATE, .tags = [](TIFF* t) { TIFFSetField(t, TIFFTAG_TILEWIDTH, 8192); TIFFSetField(t, TIFFTAG_TILELENGTH, 8192); }}},
        {"hugetile.tif", noisyImage(16, 16, 1), {.tiled = true}}, {"sparse.tif", noisyImage(20, 300, 1), {.compression = COMPRESSION_LZW}},
        // Blocks whose data is missing or short, made so below (and a sparse one, which reads as zeros).
        {"offset0.tif", noisyImage(20, 40, 1), {}}, {"past.tif", noisyImage(20, 40, 1), {.tiled = true, .compression = COMPRESSION_LZW}},
        {"short.tif", noisyImage(20, 40, 1), {}}, {"jpegend.tif", noisyImage(20, 40, 3), {PHOTOMETRIC_RGB, 0, false, true, COMPRESSION_JPEG}},
        {"bigstrip.tif", noisyImage(4200, 2000, 1), {.compression = COMPRESSION_LZW, .tags = [](TIFF* t) { TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, 2000); }}},
        // Offset lists one entry short; a single strip whose RowsPerStrip says "all of them"; RGBA
        // whose extra sample is not declared; a JPEG strip too large to read whole, cut short;
        // pages a million pixels wide, their strips sparse.
        {"fewstrips.tif", noisyImage(20, 80, 1), {}}, {"fewtiles.tif", noisyImage(20, 40, 1), {.tiled = true}},
        {"onestrip.tif", noisyImage(20, 40, 1), {.compression = COMPRESSION_LZW, .tags = [](TIFF* t) { TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, 40); }}},
        {"undeclared.tif", noisyImage(8, 8, 4), {.photometric = PHOTOMETRIC_RGB, .tags = [](TIFF* t) { TIFFUnsetField(t, TIFFTAG_EXTRASAMPLES); }}},
        {"bigjpeg.tif", noisyImage(2400, 1200, 3), {PHOTOMETRIC_RGB, 0, false, false, COMPRESSION_JPEG, "w", [](TIFF* t) { TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, 1200); }}},
        {"widesparse.tif", noisyImage(1 << 16, 2, 4, 16), {.photometric = PHOTOMETRIC_RGB, .extraSample = EXTRASAMPLE_UNASSALPHA, .compression = COMPRESSION_ADOBE_DEFLATE, .tags = [](TIFF* t) { TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, 1); }}},
        {"tallsparse.tif", noisyImage(1 << 16, 2, 4, 16), {.photometric = PHOTOMETRIC_RGB, .extraSample = EXTRASAMPLE_UNASSALPHA, .compression = COMPRESSION_ADOBE_DEFLATE, .tags = [](TIFF* t) { TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, 1); }}}};
    // clang-format on
    for (const auto& [name, image, layout] : inputs) {
        writeTiff(name, std::vector(name == "corrupt.tif" ? 2 : 1, image), layout);
    }
    // Strip 2 of page 2 is garbage: it fails while other strips are decoded on other threads,
    // after page 1 went to the temporary file.
    TiffPtr corrupt = openTiff("corrupt.tif", "r+");
    TIFFSetDirectory(corrupt.get(), 1);
    TIFFWriteRawStrip(corrupt.get(), 2, std::string(40, '\xff').data(), 40);
    corrupt.reset(); // writes the directory
    // Tiles whose image rows would take 512 MB decoded; a JPEG stream cut short.
    const std::tuple<const char*, ttag_t, std::uint32_t, std::uint32_t> patches[] = {
        // clang-format off
        {"hugetile.tif", TIFFTAG_TILEWIDTH, 32768, 0}, {"hugetile.tif", TIFFTAG_TILELENGTH, 32768, 0},
        {"hugetile.tif", TIFFTAG_IMAGELENGTH, 32768, 0}, {"offset0.tif", TIFFTAG_STRIPOFFSETS, 0, 1},
        {"past.tif", TIFFTAG_TILEBYTECOUNTS, 60000, 1}, {"short.tif", TIFFTAG_STRIPBYTECOUNTS, 100, 2},
        {"jpegend.tif", TIFFTAG_TILEBYTECOUNTS, 40, 1}, {"bigstrip.tif", TIFFTAG_STRIPOFFSETS, 0, 0}, {"sparse.tif", TIFFTAG_STRIPBYTECOUNTS, 0, 15}, {"bigjpeg.tif", TIFFTAG_STRIPBYTECOUNTS, 200000, 0},
        {"onestrip.tif", TIFFTAG_ROWSPERSTRIP, 0xFFFFFFFF, 0}};
    // clang-format on
    for (const auto& [name, tag, value, index] : patches) {
        patchTag(name, tag, value, index);
    }
    patchTag("fewstrips.tif", TIFFTAG_STRIPOFFSETS, 3, countOfValues);
    // Pages a million 16-bit RGBA pixels wide, 16 and 1024 rows high, in two sparse strips.
    for (const auto& [name, rows] : {std::pair{"widesparse.tif", 16}, {"tallsparse.tif", 1024}}) {
        const std::pair<ttag_t, std::uint32_t> sparse[] = {{TIFFTAG_IMAGEWIDTH, 1 << 20},
                                                           {TIFFTAG_IMAGELENGTH, rows},
                                                           {TIFFTAG_ROWSPERSTRIP, rows / 2}};
        for (const auto& [tag, value] : sparse) {
            patchTag(name, tag, value);
        }
        patchTag(name, TIFFTAG_STRIPBYTECOUNTS, 0, 0);
        patchTag(name, TIFFTAG_STRIPBYTECOUNTS, 0, 1);
    }
    patchTag("fewtiles.tif", TIFFTAG_TILEBYTECOUNTS, 4, countOfValues);
    const std::string usage(usageText()), version = "Fendral " FENDRAL_VERSION " (filter kernel: ";
    const std::string here = folder.path(), longName = std::string(251, 'n') + ".tif";
    const fendralwin::test::TempFolder elsewhere; // for what measures Fendral alone, in kilobytes
    const std::string peak = elsewhere / "peak";
    const struct {
        std::vector<std::string> args;
        int exitCode;
        std::string errors = "", make = "", written = "", output = "", launch = "exec";
        long peakMB = 0; // if set, the job's peak resident memory stays below it
    } rows[] = {
        // clang-format off
        {{"2", "10", "in.tif", "out.tif"}, 0, "", "", "./out.tif"},
        {{"--", "2", "10", "in.tif", "-out.tif"}, 0, "", "", "./-out.tif"},
        {{"2", "10", "in.tif", here + "/" + longName}, 0, "", "", "./" + longName},
        {{"2", "10", "in.tif", "out.tif"}, 0, "", "mkdir -p sub; echo old > sub/file.tif; ln -s sub/file.tif out.tif", "./out.tif"},
        {{"2", "--help"}, 0, "", "", "", usage}, {{"-h"}, 0, "", "", "", usage}, {{"--version"}, 0, "", "", "", version},
        {{}, 2, "expected 4 arguments, got 0"}, {{"1", "10", "in.tif", "out.tif", "out.tif"}, 2, "expected 4 arguments, got 5"},
        {{".", "10", "in.tif", "out.tif"}, 2, "RADIUS must be a non-negative decimal number such as 1.5, not \".\""},
        {{"1", "x", "in.tif", "out.tif"}, 2, "MAXDIFF must be a non-negative decimal number such as 1.5, not \"x\""},
        {{"101", "10", "in.tif", "out.tif"}, 2, "RADIUS must be at most 100"},
        {{"1", "10", "", "out.tif"}, 2, "INPUT and OUTPUT must name files"},
        {{"1", "10", "in.tif", "-"}, 2, "\"-\" is no file: INPUT and OUTPUT must name files"},
        {{"1", "10", "in.tif", "-out.tif"}, 2, "unknown option -out.tif (a file whose name begins with - goes after --)"},
        {{"2", "10", "none.tif", "out.tif"}, 1, "cannot open none.tif: No such file or directory"},
        {{"2", "10", here, "out.tif"}, 1, here + " is a folder, not an image"},
        {{"2", "10", "in.tif", here}, 1, "the output " + here + " is a folder; name a file"},
        {{"2", "10", "in.tif", here + "/no/such.tif"}, 1, "cannot write " + here + "/no/such.tif: No such file or directory"},
        {{"2", "10", "in.tif", "out.tif"}, 1, "the output out.tif is not a regular file", "mkfifo out.tif"},
        {{"2", "10", "in.tif", "out.tif"}, 1, "not writing through a dangling link: out.tif", "ln -s none.tif out.tif"},
        {{"2", "10", "in.tif", "out.tif"}, 1, "cannot write out.tif: Too many levels of symbolic links", "ln -s out.tif out.tif"},
        {{"2", "10", "in.tif", "out.tif"}, 1, "the output out.tif is read-only", "echo old > out.tif; chmod 444 out.tif"},
        {{"2", "10", "in.tif", "link.tif"}, 1, "the output link.tif is the input file; choose another name", "ln -s in.tif link.tif"},
        {{"2", "10", "in.tif", "sub/../hard.tif"}, 1, "the output sub/../hard.tif is the input file; choose another name", "mkdir -p sub; ln in.tif hard.tif"},
        // What is left refused: one line naming the page and its kind.
        {{"2", "10", "complex.tif", "out.tif"}, 1, "complex.tif page 1: complex samples are not supported"},
        {{"2", "10", "bilevel.tif", "out.tif"}, 1, "bilevel.tif page 1: bilevel (1-bit) images have two levels only, which cannot be smoothed"},
        {{"2", "10", "lab.tif", "out.tif"}, 1, "lab.tif page 1: L*a*b* images are not supported"},
        {{"2", "10", "ycbcr.tif", "out.tif"}, 1, "ycbcr.tif page 1: YCbCr images other than JPEG-compressed ones are not supported"},
        {{"2", "10", "bits12.tif", "out.tif"}, 1, "bits12.tif page 1: 12-bit samples are not supported"},
        {{"2", "10", "logluv.tif", "out.tif"}, 1, "logluv.tif page 1: LogLuv images are not supported"},
        {{"2", "10", "webp.tif", "out.tif"}, 1, "webp.tif page 1: cannot read the page (TWebPFixupTags: TIFF WEBP requires data to be stored contiguously in RGB e.g. RGBRGBRGB or RGBARGBARGBA)"},
        {{"2", "10", "corrupt.tif", "out.tif"}, 1, "corrupt.tif page 2: cannot read strip 2 (Using code not yet in table)", "echo old > out.tif"},
        {{"2", "10", "badexif.tif", "out.tif"}, 0, "warning: badexif.tif: not kept: page 1 EXIF directory (unreadable)", "", "./out.tif"},
        // A disk that fills up: here a limit on the size of files.
        {{"2", "10", "wide.tif", "out.tif"}, 1, "out.tif page 1: cannot write strip 0: File too large", "", "", "", "ulimit -f 40; exec"},
        {{"2", "10", "in.fifo", "out.tif"}, 1, "in.fifo is not a regular file", "mkfifo in.fifo"},
        // Memory follows the rows that exist: one row a million pixels wide is no large job, nor
        // one pixel in a tile of 8192 x 8192, nor 16 sparse rows of a million 16-bit RGBA pixels;
        // a page whose rows or tiles would need too much at the radius is refused before any work.
        {{"10", "10", "wide.tif", "out.tif"}, 0, "", "", "./out.tif", "", "exec", 150},
        {{"2", "10", "bigtile.tif", "out.tif"}, 0, "", "", "./out.tif", "", "exec", 150},
        {{"2", "10", "widesparse.tif", "out.tif"}, 0, "", "", "./out.tif", "", "exec", 1024},
        {{"100", "10", "tallsparse.tif", "out.tif"}, 1, "tallsparse.tif page 1: filtering it would take 1978 MB of memory, more than the 768 MB allowed"},
        {{"2", "10", "hugetile.tif", "out.tif"}, 1, "hugetile.tif page 1: filtering it would take 1026 MB of memory, more than the 768 MB allowed"},
        {{"2", "10", "fewstrips.tif", "out.tif"}, 1, "fewstrips.tif page 1: strip 3 is missing: the page lists 3 of its 5 strips"},
        {{"2", "10", "fewtiles.tif", "out.tif"}, 1, "fewtiles.tif page 1: tile 4 is missing: the page lists 4 of its 6 tiles"},
        {{"2", "10", "onestrip.tif", "out.tif"}, 0, "", "", "./out.tif"}, {{"2", "10", "undeclared.tif", "out.tif"}, 0, "", "", "./out.tif"},
        // A signal as the finished file takes a temporary name is held back until the name is marked
        // for removal: nothing is left.
        {{"2", "10", "in.tif", "out.tif"}, -SIGTERM, "", "echo old > out.tif", "", "", "exec strace -f -qq -o /dev/null -e trace=linkat -e inject=linkat:signal=TERM"},
        {{"2", "10", "offset0.tif", "out.tif"}, 1, "offset0.tif page 1: cannot read strip 1: its offset is 0"},
        {{"2", "10", "past.tif", "out.tif"}, 1, "past.tif page 1: cannot read tile 1: its 60000 bytes run past the end of the file"},
        {{"2", "10", "short.tif", "out.tif"}, 1, "short.tif page 1: cannot read strip 2: it holds 100 bytes of the 160 its rows need"},
        {{"2", "10", "jpegend.tif", "out.tif"}, 1, "jpegend.tif page 1: cannot read tile 1 (JPEGLib: Premature end of JPEG file)"},
        {{"2", "10", "bigstrip.tif", "out.tif"}, 1, "bigstrip.tif page 1: cannot read strip 0: its offset is 0"},
        {{"2", "10", "bigjpeg.tif", "out.tif"}, 1, "bigjpeg.tif page 1: cannot read strip 0 (JPEGLib: Premature end of JPEG file)"},
        {{"0", "10", "sparse.tif", "sparse-out.tif"}, 0, "", "", "./sparse-out.tif"}};
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.args));
        fs::remove("out.tif");
        EXPECT_EQ(std::system(row.make.c_str()), 0);
        if (row.launch.starts_with("exec strace") &&
            std::system("command -v strace >/dev/null") != 0) {
            std::printf("Skipped, as strace is missing: %s\n", row.launch.c_str());
            continue;
        }
        const auto before = snapshot(row.exitCode != 0);
        const auto [exitCode, errors, output] = runFendral(
            row.args, row.peakMB > 0 ? "exec /usr/bin/time -f %M -o " + peak : row.launch);
        EXPECT_EQ(exitCode, row.exitCode);
        if (row.peakMB > 0 && exitCode == 0) {
            EXPECT_LT(std::stol(readFile(peak)), row.peakMB * 1024);
        }
        EXPECT_TRUE(output.starts_with(row.output) && output.empty() == row.output.empty())
            << output;
        const std::string expected = row.errors.empty() ? "" : "Fendral: " + row.errors + "\n";
        EXPECT_EQ(errors, expected + (row.exitCode == 2 ? usage : ""));
        auto after = snapshot(row.exitCode != 0);
        if (!row.written.empty()) {
            EXPECT_EQ(readTiff(row.written).size(), 1U);
            after.erase(before.contains(row.written) ? "" : row.written);
        }
        EXPECT_EQ(after, before);
    }
    const std::vector<double> sparse = readTiff("sparse-out.tif").at(0).samples;
    EXPECT_EQ(std::count(sparse.begin(), sparse.end(), 0), 20 * 16); // strip 15, and only it
    fs::current_path(home);
}

// Whatever signal ends a job, midway or as the finished file is given a temporary name, the
// output's folder holds what it held and the old output is as it was; where there are no unnamed
// files, whatever signal can be caught. A signal the parent ignored (nohup...) stays ignored, and
// the job goes on. Then a replacement, its reads and writes interrupted by signals: the input is
// looked up by its name once, and checked and read through what that found, so a folder swapped in
// for it afterwards changes nothing. The new output's data reaches the disc before it takes the
// output's name, and the folder's record of the name after; a folder that cannot be flushed is
// reported. It keeps the old one's owner and group (root gives that to nobody), never set-user-ID
// or set-group-ID.
TEST(Output, ReplacedSafelyWhateverEndsTheJob) {
    const fendralwin::test::TempFolder folder;
    const std::string in = folder / "in.tif", out = folder / "out.tif";
    writeTiff(in, {noisyImage(30, 300, 1)}); // rows in several chunks
    const std::pair<int, bool> signals[] = {{SIGKILL, false}, {SIGQUIT, false}, {SIGUSR1, false},
                                            {SIGALRM, false}, {SIGPIPE, false}, {SIGTERM, false},
                                            {SIGINT, false},  {SIGHUP, false},  {SIGHUP, true}};
    for (const bool atNaming : {false, true}) {
        for (const bool noUnnamedFiles : {false, true}) {
            watch.noUnnamedFiles = noUnnamedFiles;
            folder.write("out.tif", "old");
            // Only SIGKILL, which nothing can catch, may leave a temporary name.
            for (const auto& [signal, ignored] :
                 std::span(signals).subspan(atNaming || noUnnamedFiles ? 1 : 0)) {
                const std::string how = std::to_string(signal) + (atNaming ? " at naming" : "") +
                                        (noUnnamedFiles ? ", named" : "");
                const pid_t child = ::fork();
                if (child == 0) {
                    const rlimit noCore{0, 0};
                    ::setrlimit(RLIMIT_CORE, &noCore);
                    std::signal(signal, ignored ? SIG_IGN : SIG_DFL);
                    SafeOutput::handleSignals();
                    watch.signalAtNaming = atNaming ? signal : 0;
                    filterFile(in, out, {1, 10, 2},
                               {.rowsDone = [raised = atNaming ? 0 : signal](std::uint32_t) {
                                   if (raised != 0) {
                                       std::raise(raised);
                                   }
                               }});
                    std::_Exit(0);
                }
                const int status =
                    fendralwin::test::waitForChild(child, "a job ended by signal " + how);
                // How it ended, what the folder holds (in and out), whether the old output stayed.
                EXPECT_EQ(std::tuple(WIFSIGNALED(status) ? WTERMSIG(status) : 0,
                                     std::distance(fs::directory_iterator(folder.path()), {}),
                                     readFile(out) == "old"),
                          std::tuple(ignored ? 0 : signal, 2, !ignored))
                    << how;
            }
        }
    }
    const uid_t user = ::geteuid() == 0 ? 65534 : ::geteuid();
    const gid_t group = ::geteuid() == 0 ? 65534 : ::getegid();
    ASSERT_EQ(::chown(out.c_str(), user, group), 0);
    fs::permissions(out, fs::perms(06755));
    watch = {"in.tif", [&] {
                 fs::rename(in, folder / "kept.tif");
                 fs::create_directory(in);
             }};
    watch.interrupted = true;
    watch.collisions = 2;
    filterOrGiveUp(in, out, {1, 10, 1});
    watch.interrupted = false;
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), {}), 3); // in, kept, out
    struct stat info {};
    ::stat(out.c_str(), &info);
    const std::vector<std::string> calls{"fdatasync file", "renameat folder", "fsync folder"};
    EXPECT_EQ(std::tuple(info.st_uid, info.st_gid, info.st_mode & 07777, watch.calls),
              std::tuple(user, group, 0755U, calls));
    fs::remove(out);
    watch.folderFlushError = EIO;
    EXPECT_EQ(failureOf([&] {
                  filterFile(folder / "kept.tif", out, {1, 10, 1});
              }),
              "cannot flush the folder of " + out +
                  ": Input/output error; the new output is in place but may not survive a crash");
    EXPECT_TRUE(fs::is_regular_file(out));
    watch = {};
}

// As root, with links of another user's in a sticky folder that everyone may write to, as /tmp:
// one pointing at a file of ours is not followed, whatever the system's own rule for such links
// says; our own link there is. Then that user swaps the output's name between such a link and a
// file of its own while job after job runs: our file is never written.
TEST(Output, AnotherUsersLinksInASharedFolderAreNotFollowed) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root, to act as another user";
    }
    const fendralwin::test::TempFolder folder;
    fs::permissions(folder.path(), fs::perms(0755));
    const std::string in = folder / "in.tif", mine = folder / "mine.tif";
    const fs::path shared = folder.path() / "shared";
    writeTiff(in, {noisyImage(30, 20, 1)});
    fs::create_directory(shared);
    fs::permissions(shared, fs::perms(01777));
    for (const uid_t owner : {65534U, 0U}) {
        folder.write("mine.tif", "mine");
        const std::string link = shared / std::to_string(owner);
        fs::create_symlink(mine, link);
        ASSERT_EQ(::lchown(link.c_str(), owner, owner), 0);
        EXPECT_EQ(failureOf([&] {
                      filterFile(in, link, {1, 10, 1});
                  }),
                  owner == 0 ? "no failure"
                             : "not following the link " + link +
                                   ": it belongs to another user, in a folder that others can "
                                   "write to");
        EXPECT_EQ(readFile(mine) == "mine", owner != 0) << owner;
    }
    folder.write("mine.tif", "mine");
    const std::string out = shared / "out.tif", link = shared / "link", file = shared / "file";
    const pid_t other = ::fork();
    if (other == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) {
            std::_Exit(1);
        }
        for (;;) {
            ::symlink(mine.c_str(), link.c_str());
            ::rename(link.c_str(), out.c_str());
            ::close(::open(file.c_str(), O_WRONLY | O_CREAT, 0644));
            ::rename(file.c_str(), out.c_str());
        }
    }
    // The swaps begin before the jobs, so that the name is always the other user's.
    for (int wait = 0; wait < 5000 && !fs::exists(fs::symlink_status(out)); ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    int jobs = 0;
    for (const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
         std::chrono::steady_clock::now() < end; ++jobs) {
        failureOf([&] { filterFile(in, out, {1, 10, 1}); });
    }
    ::kill(other, SIGKILL);
    fendralwin::test::waitForChild(other, "the other user");
    EXPECT_EQ(readFile(mine), "mine") << "after " << jobs << " jobs";
}

// RADIUS and MAXDIFF as the window writes them, and nothing else.
TEST(ParseDecimal, TakesTheWindowsNumberTextsOnly) {
    const std::pair<const char*, std::optional<double>> rows[] = {
        // clang-format off
        {"1", 1}, {"1.5", 1.5}, {"5.", 5}, {".5", 0.5}, {"10", 10}, {"0", 0}, {"007.250", 7.25},
        {".", {}}, {"", {}}, {"-1", {}}, {"+1", {}}, {"1e5", {}}, {"abc", {}}, {"1.2.3", {}},
        {" 1", {}}, {"1 ", {}}, {"1,5", {}}, {"inf", {}}, {"nan", {}}, {"0x10", {}}};
    // clang-format on
    for (const auto& [text, value] : rows) {
        EXPECT_EQ(parseDecimal(text), value) << '"' << text << '"';
    }
}

} // namespace
} // namespace fendral::test
