#include "app/view/win32/WindowIcon.h"

#include <array>
#include <cstdint>

namespace fendralwin::win32 {

namespace {

// Painted first and made transparent afterwards: GDI drawing leaves no alpha of its own.
constexpr COLORREF kTransparentKey = RGB(255, 0, 255);

void line(HDC dc, COLORREF color, int width, POINT from, POINT to) {
    const HPEN pen = CreatePen(PS_SOLID, width, color);
    const HGDIOBJ previous = SelectObject(dc, pen);
    MoveToEx(dc, from.x, from.y, nullptr);
    LineTo(dc, to.x, to.y);
    SelectObject(dc, previous);
    DeleteObject(pen);
}

// Draws on a 16-unit grid, each unit `u` pixels.
void drawIcon(HDC dc, int size) {
    const int u = size / 16;
    const RECT all{0, 0, size, size};
    const HBRUSH key = CreateSolidBrush(kTransparentKey);
    FillRect(dc, &all, key);
    DeleteObject(key);

    const HBRUSH grey = CreateSolidBrush(RGB(192, 192, 192));
    const HGDIOBJ oldBrush = SelectObject(dc, grey);
    const HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    RoundRect(dc, 0, 0, size + 1, size + 1, 4 * u, 4 * u);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(grey);

    // Bevel: light along the top and left, dark along the bottom and right.
    const int inside = u;
    const int outside = size - 2 * u;
    line(dc, RGB(255, 255, 255), u, {inside, inside}, {outside, inside});
    line(dc, RGB(255, 255, 255), u, {inside, inside}, {inside, outside});
    line(dc, RGB(128, 128, 128), u, {inside, outside}, {outside + u, outside});
    line(dc, RGB(128, 128, 128), u, {outside, inside}, {outside, outside + u});

    // A low hall with two stacks rising from its roof.
    const std::array<POINT, 13> building{{{3, 13},
                                          {3, 8},
                                          {5, 8},
                                          {5, 3},
                                          {7, 3},
                                          {7, 8},
                                          {9, 8},
                                          {9, 5},
                                          {11, 5},
                                          {11, 8},
                                          {13, 8},
                                          {13, 13},
                                          {3, 13}}};
    std::array<POINT, 13> scaled{};
    for (std::size_t i = 0; i < building.size(); ++i) {
        scaled[i] = {building[i].x * u, building[i].y * u};
    }
    const HPEN outline = CreatePen(PS_SOLID, u, RGB(64, 64, 64));
    const HGDIOBJ previous = SelectObject(dc, outline);
    Polyline(dc, scaled.data(), static_cast<int>(scaled.size()));
    SelectObject(dc, previous);
    DeleteObject(outline);
}

} // namespace

HICON makeWindowIcon(int size) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size;
    info.bmiHeader.biHeight = -size; // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HDC screen = GetDC(nullptr);
    const HBITMAP color = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    const HBITMAP mask = CreateBitmap(size, size, 1, 1, nullptr);
    if (color == nullptr || mask == nullptr) {
        DeleteObject(color);
        DeleteObject(mask);
        return nullptr;
    }

    const HDC colorDc = CreateCompatibleDC(nullptr);
    const HDC maskDc = CreateCompatibleDC(nullptr);
    const HGDIOBJ oldColor = SelectObject(colorDc, color);
    const HGDIOBJ oldMask = SelectObject(maskDc, mask);
    drawIcon(colorDc, size);
    GdiFlush();

    // Alpha from the key colour; the mask says the same for systems that ignore alpha.
    const RECT all{0, 0, size, size};
    FillRect(maskDc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    auto* pixels = static_cast<std::uint32_t*>(bits);
    const std::uint32_t keyPixel = 0x00FF00FF; // BGRA order of kTransparentKey
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            std::uint32_t& pixel = pixels[y * size + x];
            if ((pixel & 0x00FFFFFF) == keyPixel) {
                pixel = 0;
                SetPixel(maskDc, x, y, RGB(255, 255, 255));
            } else {
                pixel |= 0xFF000000;
            }
        }
    }
    SelectObject(maskDc, oldMask);
    SelectObject(colorDc, oldColor);
    DeleteDC(maskDc);
    DeleteDC(colorDc);

    ICONINFO icon{TRUE, 0, 0, mask, color};
    const HICON made = CreateIconIndirect(&icon);
    DeleteObject(mask);
    DeleteObject(color);
    return made;
}

} // namespace fendralwin::win32
