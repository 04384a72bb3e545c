// SPDX-License-Identifier: GPL-3.0-or-later
// The fit command as a user runs it: the README's example, its files and
// record, and every refusal with its exit code and nothing written.
#include "ToolRunner.h"
#include "cli/ToolProcess.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <thread>

namespace tamrisk {
namespace {

using testing::RunTool;
using testing::ToolOutcome;

class FitCliTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::copy_file(std::filesystem::path(TAMRISK_SOURCE_DIR) / "examples" / "osl-profile.csv",
                                   dir_.path() / "osl-profile.csv");
    }
    void Write(const std::string& name, const std::string& text) const
    {
        std::ofstream(dir_.path() / name, std::ios::binary) << text;
    }
    ToolOutcome Fit(std::vector<std::string> args) const
    {
        args.insert(args.begin(), "fit");
        return RunTool(args, dir_.path());
    }
    std::vector<std::string> Example() const
    {
        return {"--data", "osl-profile.csv", "--observe", "osl_fraction", "--sigma",     "sigma",
                "--free", "extinction=10",   "--free",    "scale=1000",   "--eval-time", "100"};
    }

    testing::TempDir dir_;
};

TEST_F(FitCliTest, TheReadmesExampleWithItsFilesAndRecord)
{
    std::vector<std::string> args = Example();
    for (const char* more : {"-o", "fit.csv", "--residuals", "residuals.csv", "--record", "fit.json", "--profile"})
        args.emplace_back(more);
    const ToolOutcome run = Fit(args);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string table = testing::ReadFile(dir_.path() / "fit.csv");
    EXPECT_EQ(table.substr(0, table.find('\n')),
              "parameter,set,estimate,std_error,ci68_low,ci68_high,ci95_low,ci95_high,profile68_low,profile68_high,"
              "profile95_low,profile95_high,corr_extinction,corr_scale,chi2,dof,reduced_chi2,p_value");
    // The README shows these rows (columns 1-4 and 9-12): the example runs as written.
    const std::string readme = testing::ReadFile(std::filesystem::path(TAMRISK_SOURCE_DIR) / "README.md");
    for (std::size_t begin = table.find('\n') + 1, end; (end = table.find('\n', begin)) != std::string::npos;
         begin = end + 1) {
        std::vector<std::string> cells;
        for (std::size_t a = begin, b; a <= end; a = b + 1) {
            b = std::min(table.find(',', a), end);
            cells.push_back(table.substr(a, b - a));
        }
        std::string shown;
        for (const std::size_t c : {0, 1, 2, 3, 8, 9, 10, 11})
            shown += (shown.empty() ? "" : ",") + cells[c];
        EXPECT_NE(readme.find("\n" + shown + "\n"), std::string::npos) << shown;
    }
    const std::string residuals = testing::ReadFile(dir_.path() / "residuals.csv");
    EXPECT_EQ(residuals.substr(0, residuals.find('\n')),
              "set,depth_mm,observed,sigma,fitted,residual,normalized_residual");
    EXPECT_EQ(std::count(residuals.begin(), residuals.end(), '\n'), 16);

    // The record replays the fit, byte for byte.
    std::filesystem::rename(dir_.path() / "fit.csv", dir_.path() / "first.csv");
    const ToolOutcome replay = Fit({"--params", "fit.json"});
    ASSERT_EQ(replay.exitCode, 0) << replay.err;
    EXPECT_EQ(testing::ReadFile(dir_.path() / "fit.csv"), testing::ReadFile(dir_.path() / "first.csv"));

    // JSON: the same numbers with the record around them.
    std::vector<std::string> json = Example();
    json.insert(json.end(), {"--format", "json"});
    const ToolOutcome document = Fit(json);
    ASSERT_EQ(document.exitCode, 0) << document.err;
    for (const char* key : {"\"estimates\"", "\"correlation\"", "\"residuals\"", "\"p_value\"", "\"arguments\""})
        EXPECT_NE(document.out.find(key), std::string::npos) << key;
}

TEST_F(FitCliTest, BadDataAndNamesExitWithTwoBeforeFitting)
{
    Write("text.csv", "depth_mm,osl_fraction,sigma\n0.1,900,30\n0.2,lots,30\n0.3,700,30\n");
    Write("zero.csv", "depth_mm,osl_fraction,sigma\n0.1,900,0\n0.2,800,30\n0.3,700,30\n");
    Write("twice.csv", "depth_mm,osl_fraction,sigma\n0.1,900,30\n0.1,800,30\n0.3,700,30\n");
    Write("deep.csv", "depth_mm,int_lab_dose\n0.1,1\n0.5,2\n2.5,3\n");
    const std::string file = "osl-profile.csv";
    struct Case {
        std::vector<std::string> args;
        const char* message;
    };
    const std::vector<Case> cases = {
        {{"--data", "text.csv", "--observe", "osl_fraction", "--sigma", "sigma", "--free", "scale"},
         "row 2 (line 3), column 'osl_fraction': 'lots' is not a number"},
        {{"--data", "zero.csv", "--observe", "osl_fraction", "--sigma", "sigma", "--free", "scale"},
         "the standard error '0' must be above 0"},
        {{"--data", "twice.csv", "--observe", "osl_fraction", "--free", "scale"}, "are the same point"},
        {{"--data", file, "--observe", "osl_fraction", "--sigma", "sigmas", "--free", "scale"},
         "no column 'sigmas' (--sigma) (did you mean 'sigma'?)"},
        {{"--data", file, "--observe", "osl_fracton", "--free", "scale"}, "did you mean 'osl_fraction'?"},
        {{"--data", file, "--observe", "osl_fraction", "--free", "extintion"}, "did you mean 'extinction'?"},
        {{"--data", file, "--observe", "osl_fraction", "--free", "scale", "--free", "scale=2"}, "freed twice"},
        {{"--data", file, "--observe", "osl_fraction"}, "give at least one parameter"},
        {{"--data", "deep.csv", "--observe", "int_lab_dose", "--free", "extinction"},
         "lies outside the model's samples"},
    };
    for (const Case& c : cases) {
        const ToolOutcome run = Fit(c.args);
        EXPECT_EQ(run.exitCode, 2) << c.message << ": " << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_TRUE(run.out.empty());
    }
    const ToolOutcome missing = Fit({"--data", "none.csv", "--observe", "osl_fraction", "--free", "scale"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("'none.csv' cannot be read"), std::string::npos) << missing.err;
}

TEST_F(FitCliTest, NoConfidentNumberExitsWithOneAndWritesNothing)
{
    Write("two.csv", "depth_mm,osl_fraction\n0.1,900\n0.2,800\n");
    const std::string file = "osl-profile.csv";
    struct Case {
        std::vector<std::string> args;
        const char* message;
    };
    const std::vector<Case> cases = {
        {{"--data", file, "--sigma", "sigma", "--free", "rate1", "--free", "eval-time", "--free", "scale=1000"},
         "rate1 and eval-time are not identifiable"},
        {{"--data", file, "--sigma", "sigma", "--free", "extinction=1:0:2", "--free", "scale=1000"},
         "extinction sits on its upper bound 2"},
        {{"--data", "two.csv", "--free", "extinction", "--free", "scale", "--free", "offset"},
         "2 data points cannot fix 3 free parameters"},
        {{"--data", "two.csv", "--free", "extinction", "--free", "scale"}, "no residual variance"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = c.args;
        args.insert(args.end(), {"--observe", "osl_fraction", "--eval-time", "100", "-o", "fit.csv"});
        const ToolOutcome run = Fit(args);
        EXPECT_EQ(run.exitCode, 1) << c.message << ": " << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(dir_.path() / "fit.csv"));
    }
}

TEST_F(FitCliTest, SeveralDataSetsNameTheirOwnParameters)
{
    // The example and the same profile at half the counts: one extinction, a scale each.
    std::ifstream in(dir_.path() / "osl-profile.csv");
    std::string line, half;
    std::getline(in, line);
    half = line + "\n";
    while (std::getline(in, line)) {
        const std::size_t a = line.find(','), b = line.rfind(',');
        half += line.substr(0, a + 1) + std::to_string(std::stod(line.substr(a + 1, b - a - 1)) / 2) + "," +
                std::to_string(std::stod(line.substr(b + 1)) / 2) + "\n";
    }
    Write("half.csv", half);
    std::vector<std::string> args = {"--data",       "osl-profile.csv", "--data",      "half.csv", "--observe",
                                     "osl_fraction", "--sigma",         "sigma",       "--free",   "extinction=10",
                                     "--free-each",  "scale=1000",      "--eval-time", "100"};
    const ToolOutcome run = Fit(args);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("\nscale[1],1,"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\nscale[2],2,"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("corr_scale[2]"), std::string::npos);
}

TEST_F(FitCliTest, PlotFitDrawsTheFigureOrRefuses)
{
    std::vector<std::string> args = Example();
    args.insert(args.begin(), {"plot", "fit", "-o", "fit.svg"});
    const ToolOutcome run = RunTool(args, dir_.path());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string svg = testing::ReadFile(dir_.path() / "fit.svg");
    EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
    EXPECT_NE(svg.find("</svg>"), std::string::npos);
    // The same inputs give the same bytes.
    std::filesystem::rename(dir_.path() / "fit.svg", dir_.path() / "first.svg");
    ASSERT_EQ(RunTool(args, dir_.path()).exitCode, 0);
    EXPECT_EQ(testing::ReadFile(dir_.path() / "fit.svg"), testing::ReadFile(dir_.path() / "first.svg"));

    const std::pair<std::vector<std::string>, const char*> refused[] = {
        {{"plot", "fit", "-o", "f.svg", "--free", "scale"}, "plot fit needs the fit's --data and --observe"},
        {{"plot", "depth", "-o", "f.svg", "--show", "showIntensity", "--data", "osl-profile.csv"},
         "--data and --observe belong to plot fit"},
    };
    for (const auto& [refusedArgs, message] : refused) {
        const ToolOutcome refusal = RunTool(refusedArgs, dir_.path());
        EXPECT_EQ(refusal.exitCode, 2) << refusal.err;
        EXPECT_NE(refusal.err.find(message), std::string::npos) << refusal.err;
    }
    std::vector<std::string> product = {"plot",      "fit",          "-o",     "f.svg", "--data", "osl-profile.csv",
                                        "--observe", "osl_fraction", "--free", "rate1", "--free", "eval-time"};
    const ToolOutcome unidentifiable = RunTool(product, dir_.path());
    EXPECT_EQ(unidentifiable.exitCode, 1);
    EXPECT_FALSE(std::filesystem::exists(dir_.path() / "f.svg"));
}

TEST_F(FitCliTest, ASignalStopsALongFitKeepingTheOldFile)
{
    // 20000 totals, a model run each for every evaluation: seconds of work.
    std::string data = "eval_time_s,eff_ratio\n";
    for (int k = 1; k <= 20000; ++k)
        data += std::to_string(k) + ",2\n";
    Write("many.csv", data);
    Write("kept.csv", "old output");
    testing::ToolLaunch launch;
    launch.folder = dir_.path().string();
    launch.err = dir_ / "stderr";
    launch.args = {"fit", "--data", "many.csv", "--observe", "eff_ratio", "--free", "extinction", "-o", "kept.csv"};
    const pid_t pid = testing::StartTool(launch);
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const auto signalled = std::chrono::steady_clock::now();
    ::kill(pid, SIGTERM);
    const testing::ToolEnd end = testing::WaitForTool(pid, std::chrono::seconds(30));
    EXPECT_LT(std::chrono::steady_clock::now() - signalled, std::chrono::seconds(2));
    EXPECT_EQ(end.exitCode, 128 + SIGTERM);
    EXPECT_NE(testing::ReadFile(dir_ / "stderr").find("interrupted by SIGTERM"), std::string::npos);
    EXPECT_EQ(testing::ReadFile(dir_ / "kept.csv"), "old output");
}

} // namespace
} // namespace tamrisk
