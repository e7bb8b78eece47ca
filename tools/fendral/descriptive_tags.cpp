#include "descriptive_tags.h"

#include <cstdint>
#include <cstring>
#include <initializer_list>

namespace fendral {

namespace {

// Stored is how libtiff hands a single value out, Passed how its variadic setter reads it back.
template <typename Stored, typename Passed = Stored>
void copyValue(TIFF* in, TIFF* out, std::uint32_t tag) {
    Stored value{};
    if (TIFFGetField(in, tag, &value) != 0) {
        TIFFSetField(out, tag, static_cast<Passed>(value));
    }
}

void copyPointer(TIFF* in, TIFF* out, std::uint32_t tag) {
    void* values = nullptr;
    if (TIFFGetField(in, tag, &values) != 0) {
        TIFFSetField(out, tag, values);
    }
}

template <typename Count>
void copyCounted(TIFF* in, TIFF* out, std::uint32_t tag) {
    Count count = 0;
    void* values = nullptr;
    if (TIFFGetField(in, tag, &count, &values) != 0) {
        TIFFSetField(out, tag, count, values);
    }
}

// A separated image's ink names, one string per ink: libtiff counts them as NumberOfInks.
void copyInkNames(TIFF* in, TIFF* out) {
    std::uint16_t inks = 0;
    const char* names = nullptr;
    if (TIFFGetField(in, TIFFTAG_NUMBEROFINKS, &inks) == 0) {
        return;
    }
    TIFFSetField(out, TIFFTAG_NUMBEROFINKS, inks);
    if (TIFFGetField(in, TIFFTAG_INKNAMES, &names) == 0 || names == nullptr) {
        return;
    }
    const char* end = names;
    for (std::uint16_t ink = 0; ink < inks; ++ink) {
        end += std::strlen(end) + 1;
    }
    TIFFSetField(out, TIFFTAG_INKNAMES, static_cast<int>(end - names), names);
}

// Tags libtiff keeps in fixed fields of its directory rather than in its list of custom tags.
void copyBuiltInTags(TIFF* in, TIFF* out) {
    copyValue<std::uint32_t>(in, out, TIFFTAG_SUBFILETYPE);
    copyValue<std::uint16_t, int>(in, out, TIFFTAG_ORIENTATION);
    copyValue<std::uint16_t, int>(in, out, TIFFTAG_RESOLUTIONUNIT);
    for (const std::uint32_t tag :
         {TIFFTAG_XRESOLUTION, TIFFTAG_YRESOLUTION, TIFFTAG_XPOSITION, TIFFTAG_YPOSITION}) {
        copyValue<float, double>(in, out, tag);
    }
    std::uint16_t page = 0;
    std::uint16_t pages = 0;
    if (TIFFGetField(in, TIFFTAG_PAGENUMBER, &page, &pages) != 0) {
        TIFFSetField(out, TIFFTAG_PAGENUMBER, page, pages);
    }
    // Floating-point samples' range, which MAXDIFF's scale follows.
    copyValue<double>(in, out, TIFFTAG_SMINSAMPLEVALUE);
    copyValue<double>(in, out, TIFFTAG_SMAXSAMPLEVALUE);
    copyInkNames(in, out);
    std::uint16_t* curves[3] = {};
    if (TIFFGetField(in, TIFFTAG_TRANSFERFUNCTION, &curves[0], &curves[1], &curves[2]) != 0) {
        TIFFSetField(out, TIFFTAG_TRANSFERFUNCTION, curves[0], curves[1], curves[2]);
    }
}

bool pointsIntoFile(std::uint32_t tag, TIFFDataType type) {
    return type == TIFF_IFD || type == TIFF_IFD8 || tag == TIFFTAG_EXIFIFD ||
           tag == TIFFTAG_GPSIFD || tag == TIFFTAG_INTEROPERABILITYIFD;
}

// A tag libtiff does not know (GeoTIFF's, say) must be declared on the output before it is set.
bool declare(TIFF* out, const TIFFField* field) {
    const std::uint32_t tag = TIFFFieldTag(field);
    if (TIFFFindField(out, tag, TIFF_ANY) != nullptr) {
        return true;
    }
    static char name[] = "private tag";
    TIFFFieldInfo info{tag,
                       static_cast<short>(TIFFFieldReadCount(field)),
                       static_cast<short>(TIFFFieldWriteCount(field)),
                       TIFFFieldDataType(field),
                       FIELD_CUSTOM,
                       1,
                       static_cast<unsigned char>(TIFFFieldPassCount(field)),
                       name};
    return TIFFMergeFieldInfo(out, &info, 1) == 0;
}

void copySingleValue(TIFF* in, TIFF* out, const TIFFField* field) {
    const std::uint32_t tag = TIFFFieldTag(field);
    switch (TIFFFieldDataType(field)) {
    case TIFF_BYTE:
    case TIFF_UNDEFINED:
        return copyValue<std::uint8_t, int>(in, out, tag);
    case TIFF_SBYTE:
        return copyValue<std::int8_t, int>(in, out, tag);
    case TIFF_SHORT:
        return copyValue<std::uint16_t, int>(in, out, tag);
    case TIFF_SSHORT:
        return copyValue<std::int16_t, int>(in, out, tag);
    case TIFF_LONG:
        return copyValue<std::uint32_t>(in, out, tag);
    case TIFF_SLONG:
        return copyValue<std::int32_t>(in, out, tag);
    case TIFF_LONG8:
        return copyValue<std::uint64_t>(in, out, tag);
    case TIFF_SLONG8:
        return copyValue<std::int64_t>(in, out, tag);
    case TIFF_DOUBLE:
        return copyValue<double>(in, out, tag);
    case TIFF_FLOAT:
    case TIFF_RATIONAL:
    case TIFF_SRATIONAL:
        return TIFFFieldSetGetSize(field) == 8 ? copyValue<double>(in, out, tag)
                                               : copyValue<float, double>(in, out, tag);
    default:
        return;
    }
}

void copyCustomTag(TIFF* in, TIFF* out, const TIFFField* field) {
    const std::uint32_t tag = TIFFFieldTag(field);
    const int readCount = TIFFFieldReadCount(field);
    if (TIFFFieldPassCount(field) != 0) {
        return TIFFFieldSetGetCountSize(field) == 4 ? copyCounted<std::uint32_t>(in, out, tag)
                                                    : copyCounted<std::uint16_t>(in, out, tag);
    }
    // libtiff hands out strings, arrays and variable counts as a pointer to its own copy.
    if (TIFFFieldDataType(field) == TIFF_ASCII || readCount < 0 || readCount > 1) {
        return copyPointer(in, out, tag);
    }
    copySingleValue(in, out, field);
}

} // namespace

std::vector<std::uint32_t> copyDescriptiveTags(TIFF* in, TIFF* out) {
    copyBuiltInTags(in, out);
    return copyListedTags(in, out);
}

std::vector<std::uint32_t> copyListedTags(TIFF* in, TIFF* out) {
    std::vector<std::uint32_t> left;
    const int count = TIFFGetTagListCount(in);
    for (int i = 0; i < count; ++i) {
        const TIFFField* field = TIFFFindField(in, TIFFGetTagListEntry(in, i), TIFF_ANY);
        if (field == nullptr) {
            continue;
        }
        if (pointsIntoFile(TIFFFieldTag(field), TIFFFieldDataType(field))) {
            left.push_back(TIFFFieldTag(field));
        } else if (TIFFFieldIsAnonymous(field) == 0 || declare(out, field)) {
            copyCustomTag(in, out, field);
        }
    }
    return left;
}

} // namespace fendral
