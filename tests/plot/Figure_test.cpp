// SPDX-License-Identifier: GPL-3.0-or-later
#include "FigureChecks.h"

#include "model/SampleGrid.h"

#include <gtest/gtest.h>

#include <limits>
#include <regex>

namespace tamrisk {
namespace {

using test::StateShowing;
using test::StrokedPaths;
using test::SvgPath;
using test::Write;

// Where sample i of a curve must lie: the model's own value and position,
// mapped through the axes of the figure's frame.
std::pair<double, double> Expected(const FigureFrame& f, PlotKind kind, double position, double value)
{
    const double across = kind == PlotKind::Depth ? value : position;
    const double along = kind == PlotKind::Depth ? position : value;
    const double x = f.plot.x + *f.horizontal.Fraction(across) * f.plot.width;
    const double v = *f.vertical.Fraction(along) * f.plot.height;
    return {x, kind == PlotKind::Depth ? f.plot.y + v : f.plot.y + f.plot.height - v};
}

struct CurveCase {
    PlotKind kind;
    std::vector<const char*> shown;
};

class FigureCurves : public ::testing::TestWithParam<CurveCase> {};

TEST_P(FigureCurves, OnePathPerShownCurveThroughTheSampleValues)
{
    ModelState state;
    {
        ControlState controls;
        for (const char* name : GetParam().shown)
            controls.flags.*FindCurve(name)->flag = true;
        Recompute(controls, state);
    }
    const PlotKind kind = GetParam().kind;
    FigureOptions options;
    options.style = FigureStyle::Window; // the window's pens and ranges
    options.kind = kind;
    const test::Written svg = Write(state, options);
    ASSERT_TRUE(test::WellFormedXml(svg.bytes));
    const std::vector<SvgPath> paths = StrokedPaths(svg.bytes);

    const int points = kind == PlotKind::Depth ? state.params.depthPoints : state.params.timePoints;
    const float step = kind == PlotKind::Depth ? DepthStep(state.params) : TimeStep(state.params);
    for (const char* name : GetParam().shown) {
        SCOPED_TRACE(name);
        const CurveRow& row = *FindCurve(name);
        const std::vector<const SvgPath*> curves = test::CurvesOf(paths, row.pen);
        ASSERT_EQ(curves.size(), 1u);
        ASSERT_EQ(curves[0]->pieces.size(), 1u);
        const std::vector<float>& values = kind == PlotKind::Depth
                                               ? state.profile.*kProfileArrays[std::size_t(row.array)].values
                                               : state.curves.*kSignalArrays[std::size_t(row.array)].values;
        std::vector<std::pair<double, double>> expected;
        for (int i = 0; i < points; ++i)
            expected.push_back(Expected(svg.frame, kind, GridPosition(i, step), values[std::size_t(i)]));
        EXPECT_TRUE(test::RunsThrough(curves[0]->pieces[0], expected, 0.01));
    }
}

INSTANTIATE_TEST_SUITE_P(
    BothPlots, FigureCurves,
    ::testing::Values(CurveCase{PlotKind::Depth, {"showIntensity", "showEffLabDose", "showNatRate"}},
                      CurveCase{PlotKind::Signal, {"showSignalAtDepth", "showTotalSignalNat", "showTotalSignalLab"}}));

TEST(Figure, AxesAreTheWindowsRanges)
{
    const ModelState state = StateShowing({"showRatio", "showTotalSignalLab"});
    FigureOptions options;
    options.style = FigureStyle::Window; // the window's pens and ranges
    const FigureFrame depth = Write(state, options).frame;
    EXPECT_EQ(depth.horizontal.hi, state.params.plotMax); // the automatic maximum
    EXPECT_EQ(depth.vertical.lo, state.params.top);
    EXPECT_EQ(depth.vertical.hi, state.params.bottom);
    options.kind = PlotKind::Signal;
    const FigureFrame signal = Write(state, options).frame;
    EXPECT_EQ(signal.horizontal.hi, state.params.timeMax);
    EXPECT_EQ(signal.vertical.hi, state.params.intensityMax);
}

// A sample that is not finite, or 0 on a logarithmic axis, breaks the path.
struct BreakCase {
    float bad;
    bool logValues;
    bool noted;
};

class FigureBreaks : public ::testing::TestWithParam<BreakCase> {};

TEST_P(FigureBreaks, ASampleWithoutPlaceBreaksThePath)
{
    ModelState state = StateShowing({"showIntensity"});
    state.profile.intensity[100] = GetParam().bad;
    state.profile.intensity[250] = GetParam().bad;
    FigureOptions options;
    options.style = FigureStyle::Window; // the window's pens and ranges
    options.logValues = GetParam().logValues;
    const test::Written svg = Write(state, options);
    const std::vector<SvgPath> paths = StrokedPaths(svg.bytes);
    const std::vector<const SvgPath*> curves = test::CurvesOf(paths, FindCurve("showIntensity")->pen);
    ASSERT_EQ(curves.size(), 1u);
    const auto& pieces = curves[0]->pieces;
    ASSERT_EQ(pieces.size(), 3u);
    // Samples 0 .. 99, 101 .. 249 and 251 .. 399.
    const auto depthOf = [&](const std::pair<double, double>& point) {
        return (point.second - svg.frame.plot.y) / svg.frame.plot.height * 2.0 / DepthStep(state.params);
    };
    const std::pair<double, double> ends[] = {{0, 99}, {101, 249}, {251, 399}};
    for (std::size_t k = 0; k < 3; ++k) {
        EXPECT_NEAR(depthOf(pieces[k].front()), ends[k].first, 0.01);
        EXPECT_NEAR(depthOf(pieces[k].back()), ends[k].second, 0.01);
    }
    bool noted = false;
    for (const std::string& note : svg.notes)
        noted |= note.find("showIntensity: 2 values of 0 or below") != std::string::npos;
    EXPECT_EQ(noted, GetParam().noted);
}

INSTANTIATE_TEST_SUITE_P(Samples, FigureBreaks,
                         ::testing::Values(BreakCase{std::numeric_limits<float>::quiet_NaN(), false, false},
                                           BreakCase{std::numeric_limits<float>::infinity(), false, false},
                                           BreakCase{-std::numeric_limits<float>::infinity(), false, false},
                                           BreakCase{0.0f, true, true}));

TEST(Figure, FarValuesAreCutAtThePlotArea)
{
    ModelState state = StateShowing({"showIntensity"});
    state.profile.intensity[200] = 3e38f;
    FigureOptions windowStyle;
    windowStyle.style = FigureStyle::Window;
    const test::Written svg = Write(state, windowStyle);
    const std::vector<SvgPath> paths = StrokedPaths(svg.bytes);
    const std::vector<const SvgPath*> curves = test::CurvesOf(paths, FindCurve("showIntensity")->pen);
    ASSERT_EQ(curves.size(), 1u);
    const FigureRect& p = svg.frame.plot;
    for (const auto& piece : curves[0]->pieces)
        for (const auto& [x, y] : piece)
            ASSERT_LE(x, p.x + p.width + 2.01);
}

class FigureFormats : public ::testing::TestWithParam<FigureFormat> {};

TEST_P(FigureFormats, SameInputsSameBytes)
{
    const ModelState state = StateShowing({"showIntensity", "showRatio", "showSignalAtDepth"});
    for (PlotKind kind : {PlotKind::Depth, PlotKind::Signal}) {
        FigureOptions options;
        options.kind = kind;
        options.format = GetParam();
        options.dpi = 100;
        options.title = "Slab";
        const std::string first = Write(state, options).bytes;
        EXPECT_GT(first.size(), 1000u);
        EXPECT_EQ(first, Write(state, options).bytes);
    }
}

INSTANTIATE_TEST_SUITE_P(All, FigureFormats,
                         ::testing::Values(FigureFormat::Svg, FigureFormat::Pdf, FigureFormat::Png));

TEST(Figure, PdfIsOnePageOfTheAskedSizeWithoutDate)
{
    const ModelState state = StateShowing({"showTotalSignalNat"});
    FigureOptions options;
    options.kind = PlotKind::Signal;
    options.format = FigureFormat::Pdf;
    options.widthMm = 85.0;
    options.heightMm = 60.0;
    const std::string pdf = Write(state, options).bytes;
    ASSERT_TRUE(pdf.starts_with("%PDF-"));
    const std::regex page(R"(/Type /Page\b[^s])");
    EXPECT_EQ(std::distance(std::sregex_iterator(pdf.begin(), pdf.end(), page), std::sregex_iterator()), 1);
    std::smatch box;
    ASSERT_TRUE(std::regex_search(pdf, box, std::regex(R"(/MediaBox \[ 0 0 ([0-9.]+) ([0-9.]+) \])")));
    EXPECT_NEAR(std::stod(box[1]), 85.0 / 25.4 * 72.0, 0.001);
    EXPECT_NEAR(std::stod(box[2]), 60.0 / 25.4 * 72.0, 0.001);
    EXPECT_EQ(pdf.find("CreationDate"), std::string::npos);
    EXPECT_EQ(pdf.find("ModDate"), std::string::npos);
}

TEST(Figure, PngHasThePixelsOfSizeAndResolution)
{
    const ModelState state = StateShowing({"showIntensity"});
    FigureOptions options;
    options.format = FigureFormat::Png;
    options.widthMm = 101.6; // 4 inches
    options.heightMm = 76.2; // 3 inches
    options.dpi = 75;
    const std::string png = Write(state, options).bytes;
    ASSERT_GE(png.size(), 24u);
    const auto be32 = [&](std::size_t at) {
        return (unsigned(std::uint8_t(png[at])) << 24) | (unsigned(std::uint8_t(png[at + 1])) << 16) |
               (unsigned(std::uint8_t(png[at + 2])) << 8) | unsigned(std::uint8_t(png[at + 3]));
    };
    EXPECT_EQ(be32(16), 300u);
    EXPECT_EQ(be32(20), 225u);
    EXPECT_EQ(png.find("tIME"), std::string::npos);
}

TEST(Figure, RefusedOptionsWriteNothing)
{
    const ModelState state = StateShowing({});
    for (auto change : {+[](FigureOptions& o) { o.widthMm = 0; }, +[](FigureOptions& o) { o.heightMm = -5; },
                        +[](FigureOptions& o) { o.fontSize = std::nan(""); },
                        +[](FigureOptions& o) {
                            o.format = FigureFormat::Png;
                            o.dpi = 1e6;
                        }}) {
        FigureOptions options;
        change(options);
        EXPECT_TRUE(CheckFigureOptions(options).has_value());
        StringSink sink;
        EXPECT_THROW(WriteFigure(options, state.params, state.flags, state.profile, state.curves, sink),
                     std::invalid_argument);
        EXPECT_TRUE(sink.data().empty());
    }
}

TEST(Figure, SinkFailureIsReported)
{
    struct FailingSink final : ByteSink {
        void Write(std::string_view) override { throw FileError("disk full"); }
    } sink;
    const ModelState state = StateShowing({"showIntensity"});
    EXPECT_THROW(WriteFigure(FigureOptions{}, state.params, state.flags, state.profile, state.curves, sink), FileError);
}

TEST(FigureFormat, FollowsTheExtension)
{
    EXPECT_EQ(FigureFormatFromPath("a/b.svg"), FigureFormat::Svg);
    EXPECT_EQ(FigureFormatFromPath("B.PDF"), FigureFormat::Pdf);
    EXPECT_EQ(FigureFormatFromPath("x.y.png"), FigureFormat::Png);
    EXPECT_EQ(FigureFormatFromPath("plot.txt"), std::nullopt);
    EXPECT_EQ(FigureFormatFromPath("dir.svg/plot"), std::nullopt);
    EXPECT_EQ(FigureFormatFromPath("-"), std::nullopt);
}

} // namespace
} // namespace tamrisk
