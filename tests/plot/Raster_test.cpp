// SPDX-License-Identifier: GPL-3.0-or-later
#include "plot/Raster.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <set>
#include <utility>
#include <vector>

namespace tamrisk {
namespace {

using Pixels = std::set<std::pair<int, int>>;

constexpr Color kPen = Rgb(1, 2, 3);

Pixels SetPixels(const Raster& r)
{
    Pixels out;
    for (int y = 0; y < r.height(); ++y)
        for (int x = 0; x < r.width(); ++x)
            if (r.pixel(x, y) != 0)
                out.insert({x, y});
    return out;
}

Pixels Line(int w, int h, std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1)
{
    Raster r(w, h);
    r.SelectPen(kPen);
    r.MoveTo(x0, y0);
    r.LineTo(x1, y1);
    return SetPixels(r);
}

struct Shape {
    const char* name;
    int x0, y0, x1, y1;
    Pixels expected;
};

class LineShape : public ::testing::TestWithParam<Shape> {};

TEST_P(LineShape, SetsExactlyThesePixels)
{
    const Shape& s = GetParam();
    EXPECT_EQ(Line(20, 20, s.x0, s.y0, s.x1, s.y1), s.expected);
}

// Minor coordinate: nearest integer to the exact line, halves toward the
// smaller coordinate; end pixel left out.
INSTANTIATE_TEST_SUITE_P(
    Shapes, LineShape,
    ::testing::Values(Shape{"Horizontal", 2, 3, 6, 3, {{2, 3}, {3, 3}, {4, 3}, {5, 3}}},
                      Shape{"HorizontalBackwards", 6, 3, 2, 3, {{6, 3}, {5, 3}, {4, 3}, {3, 3}}},
                      Shape{"Vertical", 4, 1, 4, 5, {{4, 1}, {4, 2}, {4, 3}, {4, 4}}},
                      Shape{"VerticalUp", 4, 5, 4, 1, {{4, 5}, {4, 4}, {4, 3}, {4, 2}}},
                      Shape{"Diagonal", 0, 0, 4, 4, {{0, 0}, {1, 1}, {2, 2}, {3, 3}}},
                      Shape{"AntiDiagonal", 4, 0, 0, 4, {{4, 0}, {3, 1}, {2, 2}, {1, 3}}},
                      Shape{"ShallowTenByThree",
                            0,
                            0,
                            10,
                            3,
                            {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}, {5, 1}, {6, 2}, {7, 2}, {8, 2}, {9, 3}}},
                      Shape{"ShallowTenByThreeBackwards",
                            10,
                            3,
                            0,
                            0,
                            {{10, 3}, {9, 3}, {8, 2}, {7, 2}, {6, 2}, {5, 1}, {4, 1}, {3, 1}, {2, 1}, {1, 0}}},
                      Shape{"TwoByOneTie", 0, 0, 2, 1, {{0, 0}, {1, 0}}},
                      Shape{"TwoByOneTieBackwards", 2, 1, 0, 0, {{2, 1}, {1, 0}}},
                      Shape{"SteepThreeByTen",
                            0,
                            0,
                            3,
                            10,
                            {{0, 0}, {0, 1}, {1, 2}, {1, 3}, {1, 4}, {1, 5}, {2, 6}, {2, 7}, {2, 8}, {3, 9}}},
                      Shape{"SteepUpLeft", 3, 4, 1, 0, {{3, 4}, {2, 3}, {2, 2}, {1, 1}}},
                      Shape{"SinglePixel", 7, 7, 8, 7, {{7, 7}}}, Shape{"ZeroLength", 7, 7, 7, 7, {}}),
    [](const auto& testCase) { return testCase.param.name; });

TEST(Raster, StartsBlackAndFillsClippedRectangles)
{
    Raster r(6, 4);
    EXPECT_EQ(SetPixels(r), Pixels{});
    r.FillSolidRect(-3, 2, 5, 10, kPen); // reaches past left and bottom
    r.FillSolidRect(5, -1, 4, 2, kPen);  // past top and right
    r.FillSolidRect(2, 1, 0, 3, kPen);   // empty
    r.FillSolidRect(3, 1, -2, 3, kPen);  // negative width
    EXPECT_EQ(SetPixels(r), (Pixels{{0, 2}, {1, 2}, {0, 3}, {1, 3}, {5, 0}}));
}

TEST(Raster, LineToMovesTheCurrentPosition)
{
    Raster r(10, 10);
    r.SelectPen(kPen);
    r.MoveTo(1, 1);
    r.LineTo(4, 1);
    r.LineTo(4, 3); // continues from (4, 1), whose pixel the first line left out
    EXPECT_EQ(SetPixels(r), (Pixels{{1, 1}, {2, 1}, {3, 1}, {4, 1}, {4, 2}}));
}

TEST(Raster, LaterPenCoversEarlier)
{
    Raster r(5, 5);
    r.SelectPen(Rgb(9, 0, 0));
    r.MoveTo(0, 2);
    r.LineTo(5, 2);
    r.SelectPen(Rgb(0, 9, 0));
    r.MoveTo(2, 0);
    r.LineTo(2, 5);
    EXPECT_EQ(r.pixel(2, 2), Rgb(0, 9, 0));
    EXPECT_EQ(r.pixel(1, 2), Rgb(9, 0, 0));
}

// Drawing into a picture offset inside a big one and cropping must give
// exactly what the clipped drawing gives.
// A segment of one step sets only its start pixel, when that is inside,
// wherever it lies against the border and whichever way it points.
TEST(Raster, OneStepSegmentsSetTheirStartPixel)
{
    constexpr int w = 5, h = 4;
    for (int x0 = -2; x0 <= w + 1; ++x0)
        for (int y0 = -2; y0 <= h + 1; ++y0)
            for (int dx = -1; dx <= 1; ++dx)
                for (int dy = -1; dy <= 1; ++dy) {
                    if (dx == 0 && dy == 0)
                        continue;
                    Pixels expected;
                    if (x0 >= 0 && x0 < w && y0 >= 0 && y0 < h)
                        expected.insert({x0, y0});
                    ASSERT_EQ(Line(w, h, x0, y0, x0 + dx, y0 + dy), expected)
                        << "(" << x0 << "," << y0 << ") by (" << dx << "," << dy << ")";
                }
}

TEST(Raster, ClippingMatchesCroppedUnclippedDrawing)
{
    constexpr int w = 13, h = 9, margin = 40;
    std::mt19937 rng(12345);
    std::uniform_int_distribution<int> coord(-margin + 1, margin + 12);
    Raster big(w + 2 * margin + 20, h + 2 * margin + 20);
    big.SelectPen(kPen);
    for (int round = 0; round < 10000; ++round) {
        const int x0 = coord(rng), y0 = coord(rng), x1 = coord(rng), y1 = coord(rng);
        big.FillSolidRect(0, 0, big.width(), big.height(), 0);
        big.MoveTo(x0 + margin, y0 + margin);
        big.LineTo(x1 + margin, y1 + margin);

        Pixels cropped;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (big.pixel(x + margin, y + margin) != 0)
                    cropped.insert({x, y});
        ASSERT_EQ(Line(w, h, x0, y0, x1, y1), cropped) << "(" << x0 << "," << y0 << ")->(" << x1 << "," << y1 << ")";
    }
}

// The pixel an unbounded picture sets in column x (x-major segments) or row y.
std::int64_t ExactMinor(std::int64_t a0, std::int64_t b0, std::int64_t a1, std::int64_t b1, std::int64_t a)
{
    __extension__ typedef __int128 Wide;
    __extension__ typedef unsigned __int128 UWide;
    const auto mul = [](Wide x, Wide y) { return static_cast<Wide>(static_cast<UWide>(x) * static_cast<UWide>(y)); };
    const Wide n = a1 > a0 ? Wide{a1} - a0 : Wide{a0} - a1;
    const Wide k = a1 > a0 ? Wide{a} - a0 : Wide{a0} - a;
    const Wide db = Wide{b1} - b0;
    // nearest to b0 + k*db/n, halves down: the largest b with b - b0 - 1/2 < k*db/n
    Wide num = mul(2 * k, db) - n;
    Wide den = 2 * n;
    Wide q = num / den;
    if (num % den != 0 && num > 0)
        ++q;
    return static_cast<std::int64_t>(b0 + q);
}

struct FarSegment {
    std::int64_t x0, y0, x1, y1;
};

class FarLine : public ::testing::TestWithParam<FarSegment> {};

// Segments that reach far beyond the picture: the visible pixels are those
// of the exact line, found without walking the invisible part (a walk over
// 2^60 steps would never finish).
TEST_P(FarLine, SetsTheExactVisiblePixels)
{
    const FarSegment s = GetParam();
    constexpr int w = 40, h = 30;
    const Pixels got = Line(w, h, s.x0, s.y0, s.x1, s.y1);

    Pixels expected;
    const std::int64_t adx = s.x1 > s.x0 ? s.x1 - s.x0 : s.x0 - s.x1;
    const std::int64_t ady = s.y1 > s.y0 ? s.y1 - s.y0 : s.y0 - s.y1;
    const bool xMajor = adx >= ady;
    const int count = xMajor ? w : h;
    for (int a = 0; a < count; ++a) {
        const std::int64_t aStart = xMajor ? s.x0 : s.y0;
        const std::int64_t aEnd = xMajor ? s.x1 : s.y1;
        const bool onSegment = aStart < aEnd ? (a >= aStart && a < aEnd) : (a <= aStart && a > aEnd);
        if (!onSegment)
            continue;
        const std::int64_t b = xMajor ? ExactMinor(s.x0, s.y0, s.x1, s.y1, a) : ExactMinor(s.y0, s.x0, s.y1, s.x1, a);
        const std::int64_t x = xMajor ? a : b;
        const std::int64_t y = xMajor ? b : a;
        if (x >= 0 && x < w && y >= 0 && y < h)
            expected.insert({static_cast<int>(x), static_cast<int>(y)});
    }
    EXPECT_FALSE(expected.empty());
    EXPECT_EQ(got, expected);
}

constexpr std::int64_t kG = 1000000000;
constexpr std::int64_t kFar = std::int64_t{1} << 60;

INSTANTIATE_TEST_SUITE_P(Huge, FarLine,
                         ::testing::Values(FarSegment{-kG, 5, kG, 5}, FarSegment{kG, 7, -kG, 7},
                                           FarSegment{-kG, -kG, kG, kG}, FarSegment{-3 * kG, -kG + 11, 3 * kG, kG + 11},
                                           FarSegment{kG + 3, -kG, -kG + 3, kG}, FarSegment{-kFar, 3, kFar, 20},
                                           FarSegment{-kFar + 7, -kFar, kFar, kFar - 13},
                                           FarSegment{20, -kFar, 21, kFar},
                                           FarSegment{kFar, kFar / 3, -kFar, -kFar / 3 + 11},
                                           FarSegment{-kG, 29, 10, 0}, FarSegment{12, 12, kG, 2 * kG / 3}));

TEST(Raster, SegmentsBeyondTheCoordinateLimitAreLeftOutButMoveThePosition)
{
    Raster r(10, 10);
    r.SelectPen(kPen);
    r.MoveTo(Raster::kCoordinateLimit + 1, 2);
    r.LineTo(0, 2);
    EXPECT_EQ(SetPixels(r), Pixels{});
    r.LineTo(3, 2); // from (0, 2)
    EXPECT_EQ(SetPixels(r), (Pixels{{0, 2}, {1, 2}, {2, 2}}));
}

} // namespace
} // namespace tamrisk
