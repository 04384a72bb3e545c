// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/Raster.h"

#include <algorithm>

namespace tamrisk {

namespace {

// Clipping works with products of two coordinates of up to 2^62.
__extension__ typedef __int128 Wide;
__extension__ typedef unsigned __int128 UWide;

// Multiplies without a signed-overflow check: the operands are bounded by
// kCoordinateLimit, and this avoids needing a runtime helper that only some
// compilers' libraries provide.
Wide Mul(Wide a, Wide b) { return static_cast<Wide>(static_cast<UWide>(a) * static_cast<UWide>(b)); }

Wide FloorDiv(Wide a, Wide b) // b > 0
{
    Wide q = a / b;
    return (a % b != 0 && a < 0) ? q - 1 : q;
}

Wide CeilDiv(Wide a, Wide b) // b > 0
{
    Wide q = a / b;
    return (a % b != 0 && a > 0) ? q + 1 : q;
}

bool Inside(std::int64_t v, std::int64_t size) { return v >= 0 && v < size; }

// One segment seen along its major axis: step k = 0 .. n-1 sets the pixel
// (a0 + sa*k, b0 + ceil((2*db*k - n) / (2n))), that is the exact minor value
// k*db/n rounded to nearest with halves toward the smaller coordinate.
struct Span {
    std::int64_t a0;
    int sa;         // +1 or -1
    std::int64_t n; // > 0
    std::int64_t b0;
    std::int64_t db;    // |db| <= n
    std::int64_t aSize; // picture extent along the major axis
    std::int64_t bSize; // and along the minor axis
};

// The visible steps form one interval because both coordinates are monotone
// in k. Returns false when it is empty.
bool VisibleSteps(const Span& s, Wide& lo, Wide& hi)
{
    lo = 0;
    hi = s.n - 1;

    if (s.sa > 0) {
        lo = std::max(lo, Wide{-s.a0});
        hi = std::min(hi, Wide{s.aSize - 1 - s.a0});
    } else {
        lo = std::max(lo, Wide{s.a0 - (s.aSize - 1)});
        hi = std::min(hi, Wide{s.a0});
    }

    // minor(k) >= c  <=>  2*db*k >  n*(2(c-b0) - 1)
    // minor(k) <= c  <=>  2*db*k <= n*(2(c-b0) + 1)
    const Wide n = s.n;
    const Wide dLow = Wide{0} - s.b0;
    const Wide dHigh = Wide{s.bSize - 1} - s.b0;
    if (s.db == 0) {
        if (dLow > 0 || dHigh < 0)
            return false;
    } else if (s.db > 0) {
        const Wide twoDb = Wide{2} * s.db;
        lo = std::max(lo, FloorDiv(Mul(n, 2 * dLow - 1), twoDb) + 1);
        hi = std::min(hi, FloorDiv(Mul(n, 2 * dHigh + 1), twoDb));
    } else {
        const Wide twoE = Wide{-2} * s.db;
        hi = std::min(hi, CeilDiv(Mul(n, 1 - 2 * dLow), twoE) - 1);
        lo = std::max(lo, CeilDiv(-Mul(n, 2 * dHigh + 1), twoE));
    }
    return lo <= hi;
}

// Sets `count` pixels from (a, b) on, where r (0 <= r < 2n) is the
// remainder of the minor coordinate's error term at the first of them.
template <typename Plot>
void Walk(const Span& s, std::int64_t a, std::int64_t b, std::int64_t r, std::int64_t count, Plot plot)
{
    const std::int64_t twoN = 2 * s.n;
    const std::int64_t twoDb = 2 * s.db;
    for (std::int64_t k = 0; k < count; ++k) {
        plot(a, b);
        a += s.sa;
        r -= twoDb;
        if (r < 0) {
            r += twoN;
            ++b;
        } else if (r >= twoN) {
            r -= twoN;
            --b;
        }
    }
}

// Draws the steps of a segment that fall inside the picture. When an end lies
// outside, the first visible step and its error term are computed directly,
// so the cost follows the visible part only.
template <typename Plot>
void DrawSpan(const Span& s, bool startInside, bool endInside, Plot plot)
{
    if (startInside && endInside) {
        Walk(s, s.a0, s.b0, s.n, s.n, plot);
        return;
    }
    Wide lo = 0;
    Wide hi = 0;
    if (!VisibleSteps(s, lo, hi))
        return;

    // Minor offset q and remainder r = q*2n - (2*db*k - n), 0 <= r < 2n.
    const Wide twoN = Wide{2} * s.n;
    Wide q = 0;
    Wide r = s.n;
    if (lo != 0) {
        const Wide num = Mul(Wide{2} * s.db, lo) - s.n;
        q = CeilDiv(num, twoN);
        r = Mul(q, twoN) - num;
    }
    Walk(s, s.a0 + s.sa * static_cast<std::int64_t>(lo), s.b0 + static_cast<std::int64_t>(q),
         static_cast<std::int64_t>(r), static_cast<std::int64_t>(hi - lo) + 1, plot);
}

} // namespace

Raster::Raster(int width, int height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), Color{0})
{
}

void Raster::FillSolidRect(int x, int y, int w, int h, Color color)
{
    const std::int64_t left = std::max<std::int64_t>(x, 0);
    const std::int64_t top = std::max<std::int64_t>(y, 0);
    const std::int64_t right = std::min<std::int64_t>(std::int64_t{x} + w, width_);
    const std::int64_t bottom = std::min<std::int64_t>(std::int64_t{y} + h, height_);
    if (left >= right || top >= bottom)
        return;
    // Fill one row, then copy it: the copy runs at memory speed.
    Color* const first = pixels_.data() + top * width_ + left;
    const std::int64_t count = right - left;
    std::fill(first, first + count, color);
    for (std::int64_t row = top + 1; row < bottom; ++row)
        std::copy(first, first + count, pixels_.data() + row * width_ + left);
}

void Raster::MoveTo(std::int64_t x, std::int64_t y)
{
    curX_ = x;
    curY_ = y;
}

void Raster::LineTo(std::int64_t x, std::int64_t y)
{
    const std::int64_t x0 = curX_;
    const std::int64_t y0 = curY_;
    MoveTo(x, y);

    const auto inLimit = [](std::int64_t v) { return v >= -kCoordinateLimit && v <= kCoordinateLimit; };
    if (!inLimit(x0) || !inLimit(y0) || !inLimit(x) || !inLimit(y))
        return;

    const std::int64_t dx = x - x0;
    const std::int64_t dy = y - y0;
    const std::int64_t adx = dx < 0 ? -dx : dx;
    const std::int64_t ady = dy < 0 ? -dy : dy;
    if (adx == 0 && ady == 0)
        return;

    const bool startInside = Inside(x0, width_) && Inside(y0, height_);
    Color* const data = pixels_.data();
    if (adx <= 1 && ady <= 1) {
        // One step, the most common segment of a curve: only its start pixel.
        if (startInside)
            data[y0 * width_ + x0] = pen_;
        return;
    }
    const bool endInside = Inside(x, width_) && Inside(y, height_);
    const std::int64_t stride = width_;
    const Color pen = pen_;
    if (adx >= ady) {
        const Span span{x0, dx > 0 ? 1 : -1, adx, y0, dy, width_, height_};
        DrawSpan(span, startInside, endInside, [=](std::int64_t px, std::int64_t py) { data[py * stride + px] = pen; });
    } else {
        const Span span{y0, dy > 0 ? 1 : -1, ady, x0, dx, height_, width_};
        DrawSpan(span, startInside, endInside, [=](std::int64_t py, std::int64_t px) { data[py * stride + px] = pen; });
    }
}

} // namespace tamrisk
