#pragma once

#include <array>

namespace fendralwin::test {

// Where every control stands at 96 DPI, in pixels of the client area, written out by hand from
// the designed twips so that the window builders' conversion is checked, not repeated.
struct PixelPlace {
    const char* name;
    int left;
    int top;
    int width;
    int height;
};

// clang-format off
inline constexpr std::array<PixelPlace, 24> kDesignedPixelsAt96Dpi{{
    {"drvIn", 3, 45, 181, 21},          {"dirIn", 3, 87, 181, 96},
    {"filIn", 3, 201, 178, 149},        {"drvOut", 198, 45, 181, 21},
    {"dirOut", 198, 87, 181, 96},       {"txtOutputFile", 198, 201, 181, 21},
    {"hscrlMaxDiff", 111, 423, 157, 19}, {"hscrlRadius", 111, 402, 157, 19},
    {"txtRadius", 69, 402, 34, 19},     {"txtMaxDiff", 69, 423, 34, 19},
    {"lblRadius", 21, 405, 40, 13},     {"lblMaxDiff", 21, 426, 43, 16},
    {"cmdRunFendral", 276, 402, 91, 19}, {"Label1", 3, 3, 178, 25},
    {"lblOutput", 195, 3, 175, 25},     {"cmdExit", 276, 423, 91, 19},
    {"Label2", 198, 186, 157, 13},      {"lblSelInDrive", 3, 30, 157, 13},
    {"lblSelInDir", 3, 72, 157, 13},    {"lblSelInFile", 3, 186, 157, 13},
    {"lblInputFile", 6, 351, 373, 22},  {"lblOutputFile", 6, 378, 373, 22},
    {"lblOutDrv", 198, 30, 157, 13},    {"lblSelOutDir", 198, 72, 157, 13},
}};
// clang-format on

inline constexpr int kClientWidthAt96Dpi = 385;
inline constexpr int kClientHeightAt96Dpi = 446;

} // namespace fendralwin::test
