// SPDX-License-Identifier: GPL-3.0-or-later
// Where legends go and what they say, and how evenly text is set.
#include "FigureChecks.h"

#include "plot/FigureText.h"

#include <cairo.h>

#include <memory>

namespace tamrisk {
namespace {

const char* const kAllDepthCurves = "showIntensity,showOslContribution,showNatRate,showLabDose,showRatio,"
                                    "showIntNatRate,showIntLabDose,showIntRatio,showEffNatRate,showEffLabDose,"
                                    "showEffRatio,showEffIntNatRate,showEffIntLabDose,showEffIntRatio";

ModelState Showing(const std::string& names)
{
    ControlState controls;
    std::size_t start = 0;
    while (start <= names.size()) {
        const std::size_t end = std::min(names.find(',', start), names.size());
        controls.flags.*FindCurve(names.substr(start, end - start))->flag = true;
        start = end + 1;
    }
    ModelState state;
    Recompute(controls, state);
    return state;
}

bool Inside(const FigureRect& inner, const FigureRect& outer)
{
    return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.width <= outer.x + outer.width + 1e-9 &&
           inner.y + inner.height <= outer.y + outer.height + 1e-9;
}

struct PlaceCase {
    const char* name;
    const char* curves;
    double widthMm, heightMm;
    LegendPlace place;
};

class LegendPlaces : public ::testing::TestWithParam<PlaceCase> {};

// Inside the plot it covers at most a third of the plot area; below, at most
// a third of the figure's height; beside, about a third of its width. Past
// that a note says how much it takes. Asked for a place, it goes there.
TEST_P(LegendPlaces, KeepToTheirShareOrSaySo)
{
    const PlaceCase& c = GetParam();
    FigureOptions options;
    options.kind = PlotKind::Depth;
    options.widthMm = c.widthMm;
    options.heightMm = c.heightMm;
    options.fontSize = 7.0;
    options.legend = c.place;
    const test::Written w = test::Write(Showing(c.curves), options);
    const FigureRect& box = w.frame.legend;
    const FigureRect& plot = w.frame.plot;
    const double width = c.widthMm * 72.0 / 25.4, height = c.heightMm * 72.0 / 25.4;
    if (c.place == LegendPlace::None) {
        EXPECT_EQ(box.width, 0.0);
        return;
    }
    ASSERT_GT(box.width, 0.0);
    EXPECT_TRUE(Inside(box, {0.0, 0.0, width, height}));
    const bool inside = Inside(box, plot);
    const bool below = box.y >= plot.y + plot.height;
    const bool right = box.x >= plot.x + plot.width;
    EXPECT_EQ(int(inside) + int(below) + int(right), 1) << "inside, below or beside the plot";
    bool noted = false;
    for (const std::string& note : w.notes)
        noted = noted || note.find("the legend takes") != std::string::npos;
    switch (c.place) {
    case LegendPlace::Inside:
        EXPECT_TRUE(inside);
        break;
    case LegendPlace::Below:
        EXPECT_TRUE(below);
        break;
    case LegendPlace::Right:
        EXPECT_TRUE(right);
        break;
    default:
        if (inside)
            EXPECT_LE(box.width * box.height, plot.width * plot.height / 3.0);
        else if (below)
            EXPECT_TRUE(box.height <= height / 3.0 || noted) << box.height / height;
        else
            EXPECT_LE(box.width, width / 3.0 + 2 * 0.7 * 0.6 * options.fontSize);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Figures, LegendPlaces,
    ::testing::Values(PlaceCase{"FewCurvesInside", "showIntensity,showRatio", 160, 150, LegendPlace::Auto},
                      PlaceCase{"AllCurvesSingleColumn", kAllDepthCurves, 85, 150, LegendPlace::Auto},
                      PlaceCase{"AllCurvesSquare", kAllDepthCurves, 85, 85, LegendPlace::Auto},
                      PlaceCase{"AllCurvesDoubleColumn", kAllDepthCurves, 170, 120, LegendPlace::Auto},
                      PlaceCase{"AskedInside", "showIntensity,showRatio", 160, 150, LegendPlace::Inside},
                      PlaceCase{"AskedBelow", "showIntensity,showRatio", 160, 150, LegendPlace::Below},
                      PlaceCase{"AskedRight", "showIntensity,showRatio", 160, 150, LegendPlace::Right},
                      PlaceCase{"NoLegend", kAllDepthCurves, 85, 85, LegendPlace::None}),
    [](const auto& param) { return std::string(param.param.name); });

// Ratios shown together are numbered in legend order, in both languages.
TEST(LegendNames, NumberTheRatiosInLegendOrder)
{
    const ModelState state = Showing("showRatio,showIntRatio,showEffRatio,showIntensity");
    for (Language language : {Language::En, Language::De}) {
        FigureOptions options;
        options.language = language;
        const std::string svg = test::Write(state, options).bytes;
        const std::string word = language == Language::En ? "Ratio " : "Verhältnis ";
        std::size_t last = 0;
        for (const char* number : {"1:", "2:", "3:"}) {
            const std::size_t at = svg.find(word + number);
            ASSERT_NE(at, std::string::npos) << word << number;
            EXPECT_GT(at, last) << "numbered in legend order";
            last = at;
        }
        EXPECT_EQ(svg.find(word + "4:"), std::string::npos);
    }
    // One ratio alone keeps its name.
    EXPECT_EQ(test::Write(Showing("showRatio"), FigureOptions{}).bytes.find("Ratio 1"), std::string::npos);
}

struct SurfaceDeleter {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextDeleter {
    void operator()(cairo_t* cr) const { cairo_destroy(cr); }
};

// Glyphs stand at their exact positions: a text ten times as large is ten
// times as wide. Rounding each glyph's advance to a whole point would make
// small texts wider or narrower by up to half a point a letter.
TEST(FigureText, LettersAreSpacedWithoutRounding)
{
    std::unique_ptr<cairo_surface_t, SurfaceDeleter> surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, 10, 10));
    std::unique_ptr<cairo_t, ContextDeleter> cr(cairo_create(surface.get()));
    for (const char* text : {"Intensitätsverlauf / Stimulationsleistung", "Effective lab dose [relative]"}) {
        const double small = FigureText(cr.get(), 7.0).Measure(text).width;
        const double large = FigureText(cr.get(), 70.0).Measure(text).width;
        EXPECT_NEAR(small * 10.0, large, large * 1e-3) << text;
    }
}

} // namespace
} // namespace tamrisk
