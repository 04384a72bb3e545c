// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/PlotCommand.h"

#include "plot/Figure.h"

#include <CLI/CLI.hpp>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include <unistd.h>

namespace tamrisk::cli {
namespace {

namespace fs = std::filesystem;

struct Parsed {
    FigureCommandRequest request;
    std::optional<std::string> refusal;
};

// The plot command's own options as a parser built from them reads them.
Parsed Parse(std::vector<std::string> args)
{
    Parsed parsed;
    PlotOptionTexts texts;
    CLI::App app;
    AddPlotOptions(app, parsed.request, texts);
    std::reverse(args.begin(), args.end());
    app.parse(args);
    parsed.refusal = ApplyPlotOptions(texts, parsed.request);
    return parsed;
}

ModelState Showing(std::initializer_list<bool DisplayFlags::*> flags)
{
    ControlState controls;
    for (auto flag : flags)
        controls.flags.*flag = true;
    ModelState state;
    Recompute(controls, state);
    return state;
}

std::string Contents(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class PlotCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() / ("tamrisk-plot-" + std::to_string(::getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path dir_;
};

TEST_F(PlotCommand, OptionsReachTheFigure)
{
    const Parsed p = Parse({"signal", "-o", "s.pdf", "--width", "85", "--height", "60", "--dpi", "600", "--font-size",
                            "7", "--title", "Decay", "--language", "de", "--log-values", "--log-time"});
    ASSERT_FALSE(p.refusal);
    const FigureOptions& f = p.request.figure;
    EXPECT_EQ(f.kind, PlotKind::Signal);
    EXPECT_EQ(p.request.output, "s.pdf");
    EXPECT_FALSE(p.request.format);
    EXPECT_EQ(f.widthMm, 85);
    EXPECT_EQ(f.heightMm, 60);
    EXPECT_EQ(f.dpi, 600);
    EXPECT_EQ(f.fontSize, 7);
    EXPECT_EQ(f.title, "Decay");
    EXPECT_EQ(f.language, Language::De);
    EXPECT_TRUE(f.logValues && f.logTime);
    EXPECT_THROW(Parse({"sideways", "-o", "x.svg"}), CLI::ValidationError);
    EXPECT_THROW(Parse({"depth"}), CLI::RequiredError);
}

TEST_F(PlotCommand, WritesTheFigureOfTheStateInTheFormatOfTheName)
{
    const ModelState state = Showing({&DisplayFlags::showIntensity});
    for (const char* name : {"d.svg", "d.PDF", "d.png"}) {
        FigureCommandRequest request = Parse({"depth", "-o", (dir_ / name).string()}).request;
        std::ostringstream err;
        ASSERT_EQ(RunPlot(request, state, err, tamrisk_draw_figure), 0) << err.str();
        FigureOptions options;
        options.format = *FigureFormatFromPath(name);
        StringSink expected;
        WriteFigure(options, state.params, state.flags, state.profile, state.curves, expected);
        EXPECT_TRUE(Contents(dir_ / name) == expected.data()) << name;
    }
}

TEST_F(PlotCommand, RefusalsLeaveNoFile)
{
    const ModelState state = Showing({&DisplayFlags::showIntensity});
    // Options that make no figure are usage errors (2); a path that cannot be written is 1.
    const std::pair<std::vector<std::string>, int> refused[] = {
        {{"depth", "-o", (dir_ / "d.txt").string()}, 2},
        {{"depth", "-o", "-"}, 2},
        {{"depth", "-o", (dir_ / "d.svg").string(), "--width", "0"}, 2},
        {{"depth", "-o", (dir_ / "d.png").string(), "--dpi", "100000"}, 2},
        {{"depth", "-o", (dir_ / "d.svg").string(), "--width", "20", "--font-size", "40"}, 1}, // found while drawing
        {{"depth", "-o", (dir_ / "no" / "d.svg").string()}, 1},
    };
    for (const auto& [args, code] : refused) {
        std::ostringstream err;
        EXPECT_EQ(RunPlot(Parse(args).request, state, err, tamrisk_draw_figure), code) << args.back();
        EXPECT_FALSE(err.str().empty());
    }
    EXPECT_TRUE(fs::is_empty(dir_));
}

TEST_F(PlotCommand, LogAxisNotesGoToErr)
{
    ModelState state = Showing({&DisplayFlags::showRatio});
    const fs::path out = dir_ / "d.svg";
    std::ostringstream err;
    ASSERT_EQ(RunPlot(Parse({"depth", "-o", out.string(), "--log-values"}).request, state, err, tamrisk_draw_figure),
              0);
    EXPECT_NE(err.str().find("note: showRatio:"), std::string::npos) << err.str();
}

} // namespace
} // namespace tamrisk::cli
