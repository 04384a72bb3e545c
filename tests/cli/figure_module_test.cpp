// SPDX-License-Identifier: GPL-3.0-or-later
// The figure module's C interface: the figures it draws are WriteFigure's,
// byte for byte; bad requests and refused output come back as values, never
// as exceptions; and the module exports its C entry point only.
#include "cli/ModuleDrawing.h"

#include "plot/Figure.h"
#include "plot/Recompute.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

namespace tamrisk::cli {
namespace {

struct Direct {
    std::string bytes;
    std::vector<std::string> notes;
};

Direct DrawDirectly(const FigureOptions& options, const ModelState& state)
{
    Direct direct;
    StringSink sink;
    WriteFigure(options, state.params, state.flags, state.profile, state.curves, sink, &direct.notes);
    direct.bytes = sink.data();
    return direct;
}

ModelState Showing(const std::vector<const char*>& shown, const ControlState& start = {})
{
    ControlState controls = start;
    for (const char* name : shown)
        controls.flags.*FindCurve(name)->flag = true;
    ModelState state;
    RecomputeNumbers(controls, state);
    return state;
}

struct FigureCase {
    const char* name;
    std::vector<const char*> shown;
    void (*change)(FigureOptions&, ModelState&);
};

void PrintTo(const FigureCase& c, std::ostream* os) { *os << c.name; }

class ThroughTheModule : public ::testing::TestWithParam<FigureCase> {};

TEST_P(ThroughTheModule, SameBytesAndNotesAsWriteFigure)
{
    ModelState state = Showing(GetParam().shown);
    FigureOptions options;
    GetParam().change(options, state);
    const Direct direct = DrawDirectly(options, state);
    const FigureDrawing drawn =
        DrawWithModule(tamrisk_draw_figure, options, state.params, state.flags, state.profile, state.curves);
    EXPECT_EQ(drawn.error, "");
    EXPECT_TRUE(drawn.bytes == direct.bytes) << drawn.bytes.size() << " bytes instead of " << direct.bytes.size();
    EXPECT_EQ(drawn.notes, direct.notes);
}

INSTANTIATE_TEST_SUITE_P(
    Figures, ThroughTheModule,
    ::testing::Values(
        FigureCase{"DepthSvg", {"showIntensity", "showRatio", "showEffIntLabDose"}, [](FigureOptions&, ModelState&) {}},
        FigureCase{"SignalPdfGermanTitled",
                   {"showSignalAtDepth", "showTotalSignalNat", "showTotalSignalHomogeneous"},
                   [](FigureOptions& o, ModelState&) {
                       o.kind = PlotKind::Signal;
                       o.format = FigureFormat::Pdf;
                       o.language = Language::De;
                       o.title = std::string("Zerfall \xC3\xA4 <&>\0!", 17);
                       o.widthMm = 85;
                       o.heightMm = 60;
                   }},
        FigureCase{"DepthPngLogValues",
                   {"showRatio", "showLabDose"},
                   [](FigureOptions& o, ModelState&) {
                       o.format = FigureFormat::Png;
                       o.dpi = 90;
                       o.logValues = true;
                       o.logTime = true; // noted: the depth plot has no time axis
                   }},
        FigureCase{"SignalLogAxes",
                   {"showTotalSignalLab"},
                   [](FigureOptions& o, ModelState&) {
                       o.kind = PlotKind::Signal;
                       o.logValues = true;
                       o.logTime = true;
                       o.fontSize = 7;
                   }},
        FigureCase{"OwnDepthRanges",
                   {"showNatRate", "showEffLabDose"},
                   [](FigureOptions&, ModelState& s) {
                       s.params.top = 0.5f;
                       s.params.bottom = 1.75f;
                       s.params.depthPoints = 250;
                       s.params.plotMax = 0.7f;
                   }},
        FigureCase{"OwnTimeRanges",
                   {"showTotalSignalHomogeneous", "showSignalAtDepth"},
                   [](FigureOptions& o, ModelState& s) {
                       o.kind = PlotKind::Signal;
                       s.params.timePoints = 200;
                       s.params.timeMin = 3.0f;
                       s.params.timeMax = 333.3f;
                       s.params.intensityMin = 1e-9f;
                       s.params.intensityMax = 2e-6f;
                   }},
        // Curves the last run did not fill, or too short, are left out as WriteFigure leaves them out.
        FigureCase{"SignalNotComputed",
                   {"showTotalSignalNat", "showSignalAtDepth"},
                   [](FigureOptions& o, ModelState& s) {
                       o.kind = PlotKind::Signal;
                       s.curves.summedComputed = false;
                   }},
        FigureCase{"ArrayShorterThanTheGrid",
                   {"showIntensity", "showLabDose"},
                   [](FigureOptions&, ModelState& s) { s.profile.intensity.resize(399); }},
        FigureCase{"NoSamples", {"showIntensity"}, [](FigureOptions&, ModelState& s) { s.params.depthPoints = 0; }},
        FigureCase{"NotFinite",
                   {"showIntensity"},
                   [](FigureOptions&, ModelState& s) {
                       s.profile.intensity[7] = std::numeric_limits<float>::quiet_NaN();
                       s.params.plotMax = std::numeric_limits<float>::infinity();
                   }}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

// The output the module wrote, one entry per call of the write function.
struct Written {
    std::vector<std::pair<int, std::string>> calls;
    int refuseFrom = 1 << 30; // calls from this one on are refused
};

int Record(void* context, int output, const char* bytes, std::size_t length)
{
    Written& written = *static_cast<Written*>(context);
    written.calls.emplace_back(output, std::string(bytes, length));
    return int(written.calls.size()) > written.refuseFrom ? 1 : 0;
}

TamriskFigureRequest ValidRequest(const TamriskFigureCurve& curve)
{
    TamriskFigureRequest request{};
    request.version = TAMRISK_FIGURE_INTERFACE_VERSION;
    request.widthMm = 160;
    request.dpi = 300;
    request.fontSize = 9;
    request.logValues = 1; // gives a note: values of 0 are left out
    request.depthPoints = 3;
    request.timePoints = 3;
    request.bottom = 2;
    request.timeMax = 600;
    request.plotMax = 1.5f;
    request.intensityMax = 0.1f;
    request.curves = &curve;
    request.curveCount = 1;
    return request;
}

const float kValues[] = {1.0f, 0.5f, 0.0f};
const TamriskFigureCurve kIntensity{"showIntensity", 13, kValues, 3};

TEST(FigureModuleInterface, DrawnFigureComesAsNotesThenBytes)
{
    const TamriskFigureRequest request = ValidRequest(kIntensity);
    Written written;
    ASSERT_EQ(tamrisk_draw_figure(&request, Record, &written), 0);
    ASSERT_EQ(written.calls.size(), 2u);
    EXPECT_EQ(written.calls[0].first, TAMRISK_FIGURE_NOTE);
    EXPECT_NE(written.calls[0].second.find("showIntensity: 1 values of 0"), std::string::npos);
    EXPECT_EQ(written.calls[1].first, TAMRISK_FIGURE_BYTES);
    EXPECT_NE(written.calls[1].second.find("<svg"), std::string::npos);
}

// Stops when asked for the `kStopAt`-th time: early in the drawing, or in the
// encoding of the picture, which asks at each piece it writes.
int gStopChecks = 0;
int gStopAt = 0;
int StopWhenCounted() { return ++gStopChecks >= gStopAt ? 1 : 0; }

struct StopCase {
    const char* name;
    int format;
    int stopAt;
};

class StoppedDrawing : public ::testing::TestWithParam<StopCase> {};

TEST_P(StoppedDrawing, WritesNothingAndSaysStopped)
{
    // A picture of many pieces, so that the encoding is asked too.
    static const std::vector<float> values(400, 0.5f);
    const TamriskFigureCurve curve{"showIntensity", 13, values.data(), values.size()};
    TamriskFigureRequest request = ValidRequest(curve);
    request.depthPoints = int(values.size());
    request.format = GetParam().format;
    request.widthMm = 400;
    request.heightMm = 400;
    request.dpi = 150;
    request.stopRequested = StopWhenCounted;
    gStopChecks = 0;
    gStopAt = 1000000;
    Written complete;
    ASSERT_EQ(tamrisk_draw_figure(&request, Record, &complete), 0);
    ASSERT_GE(gStopChecks, GetParam().stopAt) << "asked fewer times than the case needs";

    // A negative case counts from the end: -1 is the last time a whole drawing asks.
    gStopAt = GetParam().stopAt > 0 ? GetParam().stopAt : gStopChecks + 1 + GetParam().stopAt;
    gStopChecks = 0;
    Written written;
    EXPECT_EQ(tamrisk_draw_figure(&request, Record, &written), TAMRISK_FIGURE_STOPPED);
    EXPECT_TRUE(written.calls.empty());

    // The tool's side: no bytes, no error, stopped (its figure is another,
    // so it is stopped at its first ask).
    gStopChecks = 0;
    gStopAt = 1;
    ModelState state = Showing({"showIntensity"});
    FigureOptions options;
    options.format = FigureFormat(GetParam().format);
    const FigureDrawing drawing = DrawWithModule(tamrisk_draw_figure, options, state.params, state.flags, state.profile,
                                                 state.curves, StopWhenCounted);
    EXPECT_TRUE(drawing.stopped);
    EXPECT_TRUE(drawing.bytes.empty() && drawing.error.empty());
}

INSTANTIATE_TEST_SUITE_P(Formats, StoppedDrawing,
                         // The drawing asks some 30 times, the SVG's writing once (last), the PDF's
                         // and the picture's encoding at each of their pieces (the last asks of all):
                         // cases from the end do not depend on how often the drawing asks.
                         ::testing::Values(StopCase{"AtOnce", 2, 1}, StopCase{"BetweenSegments", 2, 3},
                                           StopCase{"WhileThePictureIsEncoded", 2, -2},
                                           StopCase{"SvgWhileWritten", 0, -1}, StopCase{"PdfWhileWritten", 1, -2}),
                         [](const auto& param) { return std::string(param.param.name); });

struct RefusedCase {
    const char* name;
    void (*change)(TamriskFigureRequest&);
    const char* error; // part of the error text
};

void PrintTo(const RefusedCase& c, std::ostream* os) { *os << c.name; }

class RefusedRequest : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedRequest, GivesOneErrorAndNoBytes)
{
    TamriskFigureRequest request = ValidRequest(kIntensity);
    GetParam().change(request);
    Written written;
    EXPECT_NE(tamrisk_draw_figure(&request, Record, &written), 0);
    ASSERT_EQ(written.calls.size(), 1u);
    EXPECT_EQ(written.calls[0].first, TAMRISK_FIGURE_ERROR);
    EXPECT_NE(written.calls[0].second.find(GetParam().error), std::string::npos) << written.calls[0].second;
}

const TamriskFigureCurve kUnknown{"showIntensityX", 14, kValues, 3};

INSTANTIATE_TEST_SUITE_P(
    Requests, RefusedRequest,
    ::testing::Values(RefusedCase{"OtherVersion", [](TamriskFigureRequest& r) { r.version = 0; }, "version"},
                      RefusedCase{"UnknownKind", [](TamriskFigureRequest& r) { r.kind = 5; }, "unknown plot"},
                      RefusedCase{"FitWithoutItsData", [](TamriskFigureRequest& r) { r.kind = 4; }, "has no fit"},
                      RefusedCase{"NegativeFormat", [](TamriskFigureRequest& r) { r.format = -1; }, "format"},
                      RefusedCase{"UnknownLanguage", [](TamriskFigureRequest& r) { r.language = 2; }, "language"},
                      RefusedCase{"UnknownCurve", [](TamriskFigureRequest& r) { r.curves = &kUnknown; },
                                  "unknown curve showIntensityX"},
                      // The name is taken by its length, not up to a NUL.
                      RefusedCase{"NameByLength",
                                  [](TamriskFigureRequest& r) {
                                      static const TamriskFigureCurve shortName{"showIntensity", 8, kValues, 3};
                                      r.curves = &shortName;
                                  },
                                  "unknown curve showInte"},
                      // What the figure options refuse, as WriteFigure words it.
                      RefusedCase{"ZeroWidth", [](TamriskFigureRequest& r) { r.widthMm = 0; }, "width"}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(FigureModuleInterface, RefusedOutputStopsTheModule)
{
    const TamriskFigureRequest request = ValidRequest(kIntensity);
    Written written;
    written.refuseFrom = 0; // the note is refused
    EXPECT_NE(tamrisk_draw_figure(&request, Record, &written), 0);
    EXPECT_EQ(written.calls.size(), 1u);
    EXPECT_NE(tamrisk_draw_figure(nullptr, Record, &written), 0);
    EXPECT_NE(tamrisk_draw_figure(&request, nullptr, nullptr), 0);
}

// The tool's side: a failed drawing brings no bytes and no notes, and always a reason.
TEST(DrawWithModule, FailureKeepsNothingButTheReason)
{
    const ModelState state = Showing({"showIntensity"});
    const auto halfThenFail = [](const TamriskFigureRequest*, TamriskFigureWrite write, void* context) {
        write(context, TAMRISK_FIGURE_NOTE, "note", 4);
        write(context, TAMRISK_FIGURE_BYTES, "<svg", 4);
        return 1;
    };
    const FigureDrawing half =
        DrawWithModule(halfThenFail, FigureOptions{}, state.params, state.flags, state.profile, state.curves);
    EXPECT_EQ(half.bytes, "");
    EXPECT_TRUE(half.notes.empty());
    EXPECT_EQ(half.error, "the figure could not be drawn");

    const auto unknownOutput = [](const TamriskFigureRequest*, TamriskFigureWrite write, void* context) {
        return write(context, 7, "x", 1) != 0 ? 1 : 0;
    };
    EXPECT_EQ(
        DrawWithModule(unknownOutput, FigureOptions{}, state.params, state.flags, state.profile, state.curves).error,
        "the figure could not be drawn");
}

std::string CommandOutput(const std::string& command, int& status)
{
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        status = -1;
        return out;
    }
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, n);
    status = ::pclose(pipe);
    return out;
}

TEST(FigureModuleFile, ExportsOnlyItsCEntryPoint)
{
    int status = 0;
    const std::string symbols = CommandOutput("nm -D --defined-only '" TAMRISK_FIGURE_MODULE_PATH "' 2>&1", status);
    ASSERT_EQ(status, 0) << symbols;
    std::vector<std::string> exported;
    std::istringstream lines(symbols);
    for (std::string address, type, name; lines >> address >> type >> name;)
        exported.push_back(type + " " + name);
    EXPECT_EQ(exported, std::vector<std::string>{"T tamrisk_draw_figure"}) << symbols;
}

// The tool with its own C++ runtime, loading the module: the same files as WriteFigure.
TEST(FigureModuleFile, ToolWritesWriteFiguresBytes)
{
    testing::TempDir dir;
    ControlState controls;
    controls.edits.top = "0.25";
    const ModelState state = Showing({"showIntensity", "showEffRatio", "showTotalSignalLab"}, controls);
    struct ToolCase {
        const char* file;
        std::vector<std::string> options;
        void (*change)(FigureOptions&);
    };
    const ToolCase cases[] = {
        {"d.svg", {"depth", "--log-values"}, [](FigureOptions& o) { o.logValues = true; }},
        {"s.png",
         {"signal", "--dpi", "100", "--title", "Signal"},
         [](FigureOptions& o) {
             o.kind = PlotKind::Signal;
             o.format = FigureFormat::Png;
             o.dpi = 100;
             o.title = "Signal";
         }},
    };
    for (const ToolCase& c : cases) {
        std::string command = std::string("'") + TAMRISK_CLI_PATH + "' plot";
        for (const std::string& option : c.options)
            command += " '" + option + "'";
        command += " -o '" + (dir.path() / c.file).string() +
                   "' --top 0.25 --show showIntensity,showEffRatio,showTotalSignalLab 2>/dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        FigureOptions options;
        options.format = FigureFormat::Svg;
        c.change(options);
        EXPECT_TRUE(testing::ReadFile(dir.path() / c.file) == DrawDirectly(options, state).bytes) << c.file;
    }
}

} // namespace
} // namespace tamrisk::cli
