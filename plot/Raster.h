// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

namespace tamrisk {

// 0x00RRGGBB
using Color = std::uint32_t;
constexpr Color Rgb(int r, int g, int b)
{
    return (static_cast<Color>(r) << 16) | (static_cast<Color>(g) << 8) | static_cast<Color>(b);
}

// A picture of 32-bit RGB pixels with the few drawing operations the plots
// use: filled rectangles and one-pixel solid lines from a current position.
// Lines are clipped at the border; LineTo leaves out its end pixel.
//
// A segment of n = max(|dx|, |dy|) steps sets the n pixels k = 0 .. n-1
// along its major axis; the minor coordinate is the exact line value rounded
// to the nearest integer, exact halves toward the smaller coordinate (up or
// left). The rule depends only on absolute position, so a segment drawn
// backwards covers the same pixels apart from the end it leaves out.
class Raster {
public:
    // Segments with an end beyond +-kCoordinateLimit are not drawn (the
    // current position still moves); within it the clipping is exact.
    static constexpr std::int64_t kCoordinateLimit = std::int64_t{1} << 60;

    Raster(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }
    Color pixel(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
    const std::vector<Color>& pixels() const { return pixels_; }

    void FillSolidRect(int x, int y, int w, int h, Color color);
    void SelectPen(Color color) { pen_ = color; }
    void MoveTo(std::int64_t x, std::int64_t y);
    void LineTo(std::int64_t x, std::int64_t y);

private:
    int width_;
    int height_;
    std::vector<Color> pixels_;
    Color pen_ = 0;
    std::int64_t curX_ = 0;
    std::int64_t curY_ = 0;
};

} // namespace tamrisk
