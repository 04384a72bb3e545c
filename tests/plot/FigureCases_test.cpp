// SPDX-License-Identifier: GPL-3.0-or-later
// One table of figure cases: every kind of figure in both languages, on
// linear and logarithmic axes, with plain, non-finite and negative data.
// Each is drawn as SVG, PDF and PNG and checked as a journal's figure editor
// would check it.
#include "ColourVision.h"
#include "FigureChecks.h"

#include "plot/ColourMap.h"
#include "plot/Contours.h"
#include "plot/FigureSeries.h"
#include "scan/ScanValues.h"

#include <png.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace tamrisk {
namespace {

enum class Data { Plain, NotFinite, Negative };

struct FigureCase {
    PlotKind kind;
    Language language;
    bool log;
    Data data;
};

std::string CaseName(const FigureCase& c)
{
    static const char* const kKinds[] = {"Depth", "Signal", "Scan", "Sweep"};
    static const char* const kData[] = {"Plain", "NotFinite", "Negative"};
    return std::string(kKinds[int(c.kind)]) + (c.language == Language::De ? "De" : "En") + (c.log ? "Log" : "Linear") +
           kData[int(c.data)];
}

std::vector<FigureCase> AllCases()
{
    std::vector<FigureCase> cases;
    for (PlotKind kind : {PlotKind::Depth, PlotKind::Signal, PlotKind::Scan, PlotKind::Sweep})
        for (Language language : {Language::En, Language::De})
            for (bool log : {false, true})
                for (Data data : {Data::Plain, Data::NotFinite, Data::Negative})
                    cases.push_back({kind, language, log, data});
    return cases;
}

// ---- inputs ----

const char* const kDepthCurves[] = {"showIntensity", "showEffLabDose", "showRatio", "showEffRatio"};
const char* const kSignalCurves[] = {"showTotalSignalNat", "showTotalSignalLab", "showSignalAtDepth"};

// The numbers of a small scan, on logarithmic or linear axes.
FigureData ScanData(bool log)
{
    ScanGrid grid;
    grid.extinction = log ? ScanAxis{1.0f, 1000.0f, 15, true} : ScanAxis{1.0f, 20.0f, 15, false};
    grid.evalTime = log ? ScanAxis{1.0f, 10000.0f, 15, true} : ScanAxis{10.0f, 500.0f, 15, false};
    const std::size_t ne = 16, nt = 16;
    std::vector<float> ext(ne), half(ne), trans(ne), time(nt), lab(ne * nt), nat(ne * nt);
    std::vector<double> ratio(ne * nt);
    ComputeScanValues(grid, ModelParameters{}, 1,
                      {ext.data(), half.data(), trans.data(), time.data(), lab.data(), nat.data(), ratio.data()});
    FigureData data;
    data.xColumn = "eval_time_s";
    data.yColumn = "extinction_per_mm";
    data.zColumn = "eff_ratio";
    data.x.assign(time.begin(), time.end());
    data.y.assign(ext.begin(), ext.end());
    data.z = ratio;
    data.xLog = data.yLog = log;
    return data;
}

// A family from the scan: the ratio against evaluation time for four extinctions.
FigureData FamilyData(bool log)
{
    const FigureData scan = ScanData(log);
    FigureData family = scan;
    family.y.clear();
    family.z.clear();
    for (std::size_t i : {0, 5, 10, 15}) {
        family.y.push_back(scan.y[i]);
        family.z.insert(family.z.end(), scan.z.begin() + long(i * scan.x.size()),
                        scan.z.begin() + long((i + 1) * scan.x.size()));
    }
    family.yColumn = "extinction_per_mm";
    family.yLog = false;
    return family;
}

struct CaseInput {
    FigureOptions options;
    ModelState state;
    FigureData data;
    std::vector<PrintPen> pens;     // the pens of the curves shown together
    std::vector<std::string> names; // flags or family values of the curves
    std::string notDrawn;           // the curve marked as not drawn, or ""
};

CaseInput Input(const FigureCase& c)
{
    CaseInput in;
    FigureOptions& o = in.options;
    o.kind = c.kind;
    o.language = c.language;
    o.widthMm = kSingleColumnMm;
    o.fontSize = 7.0;
    o.dpi = 100.0;
    if (c.kind == PlotKind::Depth || c.kind == PlotKind::Signal) {
        const bool depth = c.kind == PlotKind::Depth;
        ControlState controls;
        for (const char* name : depth ? std::vector<const char*>(std::begin(kDepthCurves), std::end(kDepthCurves))
                                      : std::vector<const char*>(std::begin(kSignalCurves), std::end(kSignalCurves))) {
            controls.flags.*FindCurve(name)->flag = true;
            in.pens.push_back(FindCurve(name)->print);
            in.names.push_back(name);
        }
        Recompute(controls, in.state);
        o.logValues = c.log;
        o.logTime = c.log && !depth;
        std::vector<float>& changed = depth ? in.state.profile.effRatio : in.state.curves.totalSignalNat;
        if (c.data == Data::NotFinite) {
            std::fill(changed.begin(), changed.end(), std::nanf(""));
            in.notDrawn = depth ? "showEffRatio" : "showTotalSignalNat";
        }
        if (c.data == Data::Negative)
            for (float& v : depth ? in.state.profile.intensity : in.state.curves.totalSignalLab)
                v -= depth ? 0.5f : 0.05f;
        return in;
    }
    in.data = c.kind == PlotKind::Scan ? ScanData(c.log) : FamilyData(c.log);
    const std::size_t n = in.data.x.size();
    if (c.kind == PlotKind::Sweep)
        for (std::size_t k = 0; k < in.data.y.size(); ++k) {
            in.pens.push_back(FamilyPen(k));
            in.names.push_back(ShortNumber(in.data.y[k], c.language));
        }
    if (c.data == Data::NotFinite) {
        if (c.kind == PlotKind::Scan) {
            in.data.z[3] = NAN;
            in.data.z[40] = INFINITY;
        } else {
            std::fill(in.data.z.begin() + long(n), in.data.z.begin() + long(2 * n), NAN);
            in.notDrawn = ShortNumber(in.data.y[1], Language::En); // notes are English
        }
    }
    if (c.data == Data::Negative)
        for (std::size_t j = 0; j < n; ++j)
            in.data.z[j] -= 2.5;
    return in;
}

test::Written Draw(const CaseInput& in, FigureFormat format, LegendPlace legend = LegendPlace::Auto)
{
    FigureOptions options = in.options;
    options.format = format;
    options.legend = legend;
    test::Written w;
    StringSink sink;
    if (options.kind == PlotKind::Scan || options.kind == PlotKind::Sweep)
        w.frame = WriteDataFigure(options, in.data, sink, &w.notes);
    else
        w.frame =
            WriteFigure(options, in.state.params, in.state.flags, in.state.profile, in.state.curves, sink, &w.notes);
    w.bytes = sink.data();
    return w;
}

// ---- reading the files ----

std::string RunTool(const std::string& command, int& status)
{
    std::string output;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        status = -1;
        return output;
    }
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, n);
    status = ::pclose(pipe);
    return output;
}

std::filesystem::path SaveTemporary(const std::string& bytes, const std::string& name)
{
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("tamrisk-" + std::to_string(::getpid()) + "-" + name);
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

struct Picture {
    int width = 0, height = 0;
    std::vector<png_byte> rgb;
    PenColor At(int x, int y) const
    {
        const std::size_t i = (std::size_t(y) * std::size_t(width) + std::size_t(x)) * 3;
        return {rgb[i], rgb[i + 1], rgb[i + 2]};
    }
};

Picture Decode(const std::string& png)
{
    Picture picture;
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, png.data(), png.size()))
        return picture;
    image.format = PNG_FORMAT_RGB;
    picture.rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, picture.rgb.data(), 0, nullptr)) {
        png_image_free(&image);
        picture.rgb.clear();
        return picture;
    }
    picture.width = int(image.width);
    picture.height = int(image.height);
    return picture;
}

// The pHYs chunk's pixels per metre and unit, or nothing.
std::optional<std::pair<std::uint32_t, int>> Resolution(const std::string& png)
{
    const std::size_t at = png.find("pHYs");
    if (at == std::string::npos || at + 13 > png.size())
        return std::nullopt;
    const auto byte = [&](std::size_t i) { return std::uint32_t(static_cast<unsigned char>(png[i])); };
    const std::uint32_t x = byte(at + 4) << 24 | byte(at + 5) << 16 | byte(at + 6) << 8 | byte(at + 7);
    const std::uint32_t y = byte(at + 8) << 24 | byte(at + 9) << 16 | byte(at + 10) << 8 | byte(at + 11);
    if (x != y)
        return std::nullopt;
    return std::pair(x, int(byte(at + 12)));
}

// The contents of the SVG's text elements.
std::vector<std::string> SvgTexts(const std::string& svg)
{
    std::vector<std::string> texts;
    std::size_t at = 0;
    while ((at = svg.find("<text ", at)) != std::string::npos) {
        const std::size_t start = svg.find('>', at) + 1;
        const std::size_t end = svg.find("</text>", start);
        texts.push_back(svg.substr(start, end - start));
        at = end;
    }
    return texts;
}

bool Contains(const std::vector<std::string>& texts, const std::string& wanted)
{
    return std::find(texts.begin(), texts.end(), wanted) != texts.end();
}

void ExpectSameRect(const FigureRect& a, const FigureRect& b, const char* what)
{
    EXPECT_NEAR(a.x, b.x, 1e-9) << what;
    EXPECT_NEAR(a.y, b.y, 1e-9) << what;
    EXPECT_NEAR(a.width, b.width, 1e-9) << what;
    EXPECT_NEAR(a.height, b.height, 1e-9) << what;
}

void ExpectSameAxis(const FigureAxis& a, const FigureAxis& b, const char* what)
{
    EXPECT_DOUBLE_EQ(a.lo, b.lo) << what;
    EXPECT_DOUBLE_EQ(a.hi, b.hi) << what;
    EXPECT_EQ(a.log, b.log) << what;
}

bool OnTick(double v, double step) { return std::fabs(v / step - std::round(v / step)) < 1e-6; }

// Both ends on numbered ticks of round numbers, the top one labelled.
void ExpectRoundEnds(const FigureAxis& axis, const std::vector<std::string>& texts, Language language, const char* what)
{
    const AxisTicks ticks = MakeTicks(axis);
    ASSERT_FALSE(ticks.major.empty()) << what;
    if (axis.log) {
        EXPECT_DOUBLE_EQ(std::pow(10.0, std::round(std::log10(axis.lo))), axis.lo) << what;
        EXPECT_DOUBLE_EQ(std::pow(10.0, std::round(std::log10(axis.hi))), axis.hi) << what;
    } else {
        EXPECT_TRUE(OnTick(axis.lo, ticks.step)) << what << " starts at " << axis.lo;
        EXPECT_TRUE(OnTick(axis.hi, ticks.step)) << what << " ends at " << axis.hi;
    }
    EXPECT_NEAR(ticks.major.back(), axis.hi, std::fabs(axis.hi) * 1e-9 + 1e-300) << what;
    const std::string top = PrintTickText(axis.hi, axis, ticks, language, AxisExponent(axis, ticks));
    EXPECT_TRUE(Contains(texts, top)) << what << ": no label " << top;
}

bool NearColour(const PenColor& a, const PenColor& b, int tolerance)
{
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

class FigureCases : public ::testing::TestWithParam<FigureCase> {};

TEST_P(FigureCases, PassAFigureEditorsChecks)
{
    const FigureCase& c = GetParam();
    const CaseInput in = Input(c);
    const test::Written svg = Draw(in, FigureFormat::Svg);
    const test::Written pdf = Draw(in, FigureFormat::Pdf);
    const test::Written png = Draw(in, FigureFormat::Png);

    // One layout for all three formats.
    for (const test::Written* other : {&pdf, &png}) {
        ExpectSameRect(svg.frame.plot, other->frame.plot, "plot area");
        ExpectSameRect(svg.frame.legend, other->frame.legend, "legend");
        ExpectSameRect(svg.frame.colourBar, other->frame.colourBar, "colour bar");
        ExpectSameAxis(svg.frame.horizontal, other->frame.horizontal, "horizontal axis");
        ExpectSameAxis(svg.frame.vertical, other->frame.vertical, "vertical axis");
        EXPECT_EQ(svg.notes, other->notes);
    }

    // SVG: well-formed, its texts as text elements in the font named, no glyph outlines.
    EXPECT_TRUE(test::WellFormedXml(svg.bytes));
    const std::vector<std::string> texts = SvgTexts(svg.bytes);
    EXPECT_GE(texts.size(), 6u);
    EXPECT_NE(svg.bytes.find("font-family=\"DejaVu Sans\""), std::string::npos);
    EXPECT_EQ(svg.bytes.find("<symbol"), std::string::npos) << "text drawn as glyph outlines";

    // PDF: passes qpdf's check, every font embedded.
    const std::filesystem::path pdfPath = SaveTemporary(pdf.bytes, CaseName(c) + ".pdf");
    int status = 0;
    const std::string check = RunTool("qpdf --check '" + pdfPath.string() + "' 2>&1", status);
    EXPECT_EQ(status, 0) << check;
    const std::string fonts = RunTool("pdffonts '" + pdfPath.string() + "' 2>&1", status);
    EXPECT_EQ(status, 0) << fonts;
    std::istringstream lines(fonts);
    std::string line;
    int fontCount = 0;
    bool table = false;
    while (std::getline(lines, line)) {
        if (line.starts_with("----")) {
            table = true;
            continue;
        }
        if (!table || line.empty())
            continue;
        std::istringstream words(line);
        std::vector<std::string> word{std::istream_iterator<std::string>(words), {}};
        ASSERT_GE(word.size(), 6u) << line;
        EXPECT_EQ(word[word.size() - 5], "yes") << "not embedded: " << line;
        ++fontCount;
    }
    EXPECT_GE(fontCount, 1);
    std::filesystem::remove(pdfPath);

    // PNG: the resolution chunk, and the size it gives.
    const std::optional<std::pair<std::uint32_t, int>> resolution = Resolution(png.bytes);
    ASSERT_TRUE(resolution.has_value());
    EXPECT_EQ(resolution->first, std::uint32_t(std::lround(in.options.dpi / 0.0254)));
    EXPECT_EQ(resolution->second, 1) << "unit: the metre";
    const Picture picture = Decode(png.bytes);
    ASSERT_FALSE(picture.rgb.empty()) << "the PNG does not decode";
    EXPECT_EQ(picture.width, std::lround(in.options.widthMm / 25.4 * in.options.dpi));

    // The legend lies within the page and covers no curve: where it stands,
    // the same figure without a legend shows no pixel of a curve's colour.
    const FigureRect& box = svg.frame.legend;
    const double pageWidth = in.options.widthMm * 72.0 / 25.4;
    const double pageHeight = DefaultFigureHeightMm(c.kind) * 72.0 / 25.4;
    if (box.width > 0.0) {
        EXPECT_GE(box.x, 0.0);
        EXPECT_GE(box.y, 0.0);
        EXPECT_LE(box.x + box.width, pageWidth);
        EXPECT_LE(box.y + box.height, pageHeight);
        const FigureRect& area = svg.frame.plot;
        const bool inside = box.x >= area.x && box.y >= area.y && box.x + box.width <= area.x + area.width &&
                            box.y + box.height <= area.y + area.height;
        if (inside) {
            const test::Written bare = Draw(in, FigureFormat::Png, LegendPlace::None);
            ExpectSameRect(bare.frame.plot, area, "plot area without the legend");
            const Picture plain = Decode(bare.bytes);
            const double scale = in.options.dpi / 72.0;
            for (int y = int(std::ceil(box.y * scale)); y < int((box.y + box.height) * scale); ++y)
                for (int x = int(std::ceil(box.x * scale)); x < int((box.x + box.width) * scale); ++x)
                    for (const PrintPen& pen : in.pens)
                        ASSERT_FALSE(NearColour(plain.At(x, y), pen.color, 6))
                            << "the legend covers a curve at pixel " << x << ", " << y;
        } else {
            const bool apart = box.x >= area.x + area.width || box.y >= area.y + area.height ||
                               box.x + box.width <= area.x || box.y + box.height <= area.y;
            EXPECT_TRUE(apart) << "a legend outside the plot area must not reach into it";
        }
    }

    // Curves that cannot be drawn are named on standard error and in the legend.
    if (!in.notDrawn.empty()) {
        bool noted = false;
        for (const std::string& note : svg.notes)
            noted = noted ||
                    (note.find(in.notDrawn) != std::string::npos && note.find("not drawn") != std::string::npos);
        EXPECT_TRUE(noted) << in.notDrawn;
        const std::string mark = NotDrawnText("not finite", c.language);
        // (A long entry wraps: its lines follow each other.)
        std::string all;
        for (const std::string& text : texts)
            all += text + " ";
        EXPECT_NE(all.find(mark), std::string::npos) << "no legend entry says: " << mark;
    }

    // Axes end on labelled round numbers; value axes reach below 0 with the data.
    if (c.kind == PlotKind::Scan) {
        ExpectRoundEnds(svg.frame.colourAxis, texts, c.language, "colour bar");
        if (c.data == Data::Negative) {
            EXPECT_LT(svg.frame.colourAxis.lo, 0.0);
        }
    } else {
        ExpectRoundEnds(svg.frame.horizontal, texts, c.language, "horizontal axis");
        ExpectRoundEnds(svg.frame.vertical, texts, c.language, "vertical axis");
        const FigureAxis& values = c.kind == PlotKind::Depth ? svg.frame.horizontal : svg.frame.vertical;
        if (c.data == Data::Negative && !values.log) {
            EXPECT_LT(values.lo, 0.0);
        }
    }

    // Curves shown together stay apart in every vision, or differ in line style.
    for (std::size_t i = 0; i < in.pens.size(); ++i)
        for (std::size_t j = i + 1; j < in.pens.size(); ++j) {
            if (in.pens[i].dash != in.pens[j].dash)
                continue;
            for (test::Vision vision : test::kVisions)
                EXPECT_GE(test::DeltaE(in.pens[i].color, in.pens[j].color, vision), kPrintMinDeltaE)
                    << in.names[i] << " and " << in.names[j] << " in " << test::VisionName(vision);
        }
}

INSTANTIATE_TEST_SUITE_P(All, FigureCases, ::testing::ValuesIn(AllCases()),
                         [](const auto& param) { return CaseName(param.param); });

// ---- the palette on its own ----

TEST(PrintPalette, EveryPairOfAPlotsCurvesIsToldApart)
{
    for (PlotKind plot : {PlotKind::Depth, PlotKind::Signal})
        for (const CurveRow& a : kCurves)
            for (const CurveRow& b : kCurves) {
                if (&a >= &b || a.plot != plot || b.plot != plot || a.print.dash != b.print.dash)
                    continue;
                for (test::Vision vision : test::kVisions)
                    EXPECT_GE(test::DeltaE(a.print.color, b.print.color, vision), kPrintMinDeltaE)
                        << a.name << " and " << b.name << " in " << test::VisionName(vision);
            }
    for (std::size_t i = 0; i < 28; ++i)
        for (std::size_t j = i + 1; j < 28; ++j) {
            const PrintPen a = FamilyPen(i), b = FamilyPen(j);
            if (a.dash != b.dash)
                continue;
            for (test::Vision vision : test::kVisions)
                EXPECT_GE(test::DeltaE(a.color, b.color, vision), kPrintMinDeltaE) << i << " and " << j;
        }
}

TEST(PrintPalette, NoPenIsLightOnWhitePaper)
{
    for (const CurveRow& row : kCurves)
        EXPECT_LT(test::ToLab(row.print.color, test::Vision::Normal).l, 72.0) << row.name;
    for (const PenColor& colour : kFamilyColors)
        EXPECT_LT(test::ToLab(colour, test::Vision::Normal).l, 72.0);
}

// The colour science itself, on published pairs (Sharma, Wu and Dalal 2005, table 1).
TEST(ColourVision, DeltaE2000MatchesThePublishedPairs)
{
    EXPECT_NEAR(test::DeltaE2000({50.0, 2.6772, -79.7751}, {50.0, 0.0, -82.7485}), 2.0425, 1e-4);
    EXPECT_NEAR(test::DeltaE2000({50.0, -1.3802, -84.2814}, {50.0, 0.0, -82.7485}), 1.0000, 1e-4);
    EXPECT_NEAR(test::DeltaE2000({50.0, 2.5, 0.0}, {73.0, 25.0, -18.0}), 27.1492, 1e-4);
    EXPECT_NEAR(test::DeltaE2000({2.0776, 0.0795, -1.1350}, {0.9033, -0.0636, -0.5514}), 0.9082, 1e-4);
    // Red and green, far apart in normal vision, come close for a deuteranope.
    const PenColor red{213, 94, 0}, green{0, 158, 115};
    EXPECT_GT(test::DeltaE(red, green, test::Vision::Normal),
              2.0 * test::DeltaE(red, green, test::Vision::Deuteranopia) / 2.0);
}

// ---- the map against the scan's numbers ----

TEST(ScanMap, CellColoursAreTheScansValuesOnTheColourBar)
{
    for (bool log : {false, true}) {
        FigureData data = ScanData(log);
        data.levels = {1e9}; // no contour line crosses the cells checked
        FigureOptions options;
        options.kind = PlotKind::Scan;
        options.format = FigureFormat::Png;
        options.dpi = 150.0;
        StringSink sink;
        const FigureFrame frame = WriteDataFigure(options, data, sink);
        const Picture picture = Decode(sink.data());
        ASSERT_FALSE(picture.rgb.empty());
        const double scale = options.dpi / 72.0;
        const std::size_t n = data.x.size(), m = data.y.size();
        for (const auto& [i, j] : {std::pair{1, 1}, std::pair{4, 9}, std::pair{8, 2}, std::pair{13, 14}}) {
            const double x = frame.plot.x + frame.plot.width * double(j) / double(n - 1);
            const double y = frame.plot.y + frame.plot.height * (1.0 - double(i) / double(m - 1));
            const PenColor expected = Viridis(*frame.colourAxis.Fraction(data.z[std::size_t(i) * n + std::size_t(j)]));
            EXPECT_TRUE(NearColour(picture.At(int(x * scale), int(y * scale)), expected, 2))
                << "grid point " << i << ", " << j << (log ? " (log)" : " (linear)");
        }
    }
}

TEST(ScanMap, ContourLinesRunWhereTheValuesCrossTheirLevel)
{
    const FigureData data = ScanData(true);
    const std::size_t n = data.x.size(), m = data.y.size();
    const auto [lo, hi] = std::minmax_element(data.z.begin(), data.z.end());
    const std::vector<double> levels = RoundLevels(*lo, *hi);
    ASSERT_GE(levels.size(), 2u);
    const double step = MakeTicks(FigureAxis{*lo, *hi, false}).step;
    for (double level : levels) {
        EXPECT_TRUE(OnTick(level, step)) << level << " is no round number";
        const std::vector<ContourSegment> segments = ContourSegments(data.z, n, m, level);
        ASSERT_FALSE(segments.empty()) << level;
        // Each end lies on a cell edge where the values on the edge, taken
        // straight between its two grid points, equal the level.
        for (const ContourSegment& s : segments)
            for (const auto& [x, y] : {std::pair{s.x0, s.y0}, std::pair{s.x1, s.y1}}) {
                const bool onColumn = x == std::floor(x);
                const std::size_t i = std::size_t(std::floor(y)), j = std::size_t(std::floor(x));
                double value;
                if (onColumn) {
                    const double t = y - double(i);
                    value = i + 1 < m ? data.z[i * n + j] + t * (data.z[(i + 1) * n + j] - data.z[i * n + j])
                                      : data.z[i * n + j];
                } else {
                    const double t = x - double(j);
                    value = data.z[i * n + j] + t * (data.z[i * n + j + 1] - data.z[i * n + j]);
                }
                EXPECT_NEAR(value, level, 1e-9);
            }
    }
    // A level outside the values draws nothing.
    EXPECT_TRUE(ContourSegments(data.z, n, m, *hi + 1.0).empty());
}

TEST(FigureTitle, LongTitlesWrapOrAreRefused)
{
    const ModelState state = test::StateShowing({"showIntensity"});
    FigureOptions options;
    options.widthMm = kSingleColumnMm;
    options.title = "The light intensity against depth below the lit surface of the slab";
    const test::Written wrapped = test::Write(state, options);
    // Its lines, in order, are the whole title: nothing cut off.
    std::string joined;
    int lines = 0;
    for (const std::string& text : SvgTexts(wrapped.bytes))
        if (text.size() > 12 && options.title.find(text) != std::string::npos) {
            joined += (joined.empty() ? "" : " ") + text;
            ++lines;
        }
    EXPECT_GE(lines, 2);
    EXPECT_EQ(joined, options.title);
    options.title = std::string(400, 'x') + " " + std::string(400, 'y');
    EXPECT_THROW(test::Write(state, options), std::invalid_argument);
}

} // namespace
} // namespace tamrisk
