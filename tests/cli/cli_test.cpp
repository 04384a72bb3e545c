// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/ComputeModel.h"
#include "output/ProfileExport.h"
#include "plot/ReadoutTable.h"
#include "plot/Recompute.h"
#include "scan/ScanRun.h"
#include "model/InputTable.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace tamrisk {
namespace {

namespace fs = std::filesystem;

struct Outcome {
    int exitCode = -1;
    std::string out;
    std::string err;
};

using testing::ReadFile;

class CliTest : public ::testing::Test {
protected:
    // Runs the tool with the arguments, each quoted for the shell.
    Outcome Run(const std::vector<std::string>& args) const
    {
        std::string command = std::string("'") + TAMRISK_CLI_PATH + "'";
        for (const std::string& arg : args)
            command += " '" + arg + "'";
        const std::string out = dir_ / "stdout";
        const std::string err = dir_ / "stderr";
        command += " >'" + out + "' 2>'" + err + "'";
        const int status = std::system(command.c_str());
        Outcome outcome;
        outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        outcome.out = ReadFile(out);
        outcome.err = ReadFile(err);
        return outcome;
    }

    std::string Path(const char* name) const { return dir_ / name; }

    testing::TempDir dir_;
};

using testing::ExpectedExport;

TEST_F(CliTest, ReadoutsOfTheStartState)
{
    ModelState state;
    const PlotReadouts plots = Recompute({}, state);
    const Outcome outcome = Run({"readouts"});
    EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
    EXPECT_EQ(outcome.out, "1002\t10.\n1052\t6.931e-002\n1053\t4.54e-005\n1007\t0.\n1016\t100.\n1039\t1.\n"
                           "1049\t(1.5)\n1051\t(0.1)\n1012\t" +
                               plots.effLabTotal + "\n1018\t" + plots.effNatTotal + "\n1019\t" + plots.effRatio + "\n");
}

TEST_F(CliTest, ReadoutsFollowTheInputs)
{
    struct Case {
        std::vector<std::string> args;
        std::vector<std::string> expectedLines; // lines that must appear
    };
    const Case cases[] = {
        {{"--no-auto-profile", "--no-auto-signal"}, {"1049\t...", "1051\t..."}},
        {{"--top", "1", "--bottom", "3"}, {"1039\t2."}},
        {{"--extinction-pos", "0", "--dose-rate-pos", "200", "--eval-time-pos", "200"},
         {"1002\t1.e-002", "1007\t2.", "1016\t1.e+005"}},
        {{"--extinction", "1", "--eval-time", "2.5", "--depth", "0.25"},
         {"1002\t1.", "1052\t0.6931", "1053\t0.3679", "1016\t2.5", "1039\t0.25"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"readouts"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const Outcome outcome = Run(args);
        EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
        for (const std::string& line : c.expectedLines)
            EXPECT_NE(outcome.out.find(line + "\n"), std::string::npos) << line << " in\n" << outcome.out;
    }
}

// The readouts command's tables and a sweep's --columns name the read-outs
// as the read-out table does, in its order (native lines: see above).
TEST_F(CliTest, ReadoutsAreTheRowsOfTheReadoutTable)
{
    std::string names, columns;
    for (const ReadoutRow& row : ReadoutTable()) {
        names += (names.empty() ? "" : ",") + std::string(row.name);
        columns += std::string(",") + row.name;
    }

    const Outcome csv = Run({"readouts", "--format", "csv"});
    ASSERT_EQ(csv.exitCode, 0) << csv.err;
    EXPECT_EQ(csv.out.substr(0, csv.out.find('\n')), names);

    const Outcome json = Run({"readouts", "--format", "json"});
    ASSERT_EQ(json.exitCode, 0) << json.err;
    const nlohmann::ordered_json readouts = nlohmann::ordered_json::parse(json.out)["readouts"];
    ASSERT_EQ(readouts.size(), ReadoutTable().size());
    std::size_t i = 0;
    for (const auto& [name, entry] : readouts.items()) {
        EXPECT_EQ(name, ReadoutTable()[i].name);
        EXPECT_EQ(entry["id"], IdNumber(ReadoutTable()[i].id));
        ++i;
    }

    const Outcome sweep = Run({"sweep", "--vary", "top=0:1:1", "--columns", names});
    ASSERT_EQ(sweep.exitCode, 0) << sweep.err;
    EXPECT_EQ(sweep.out.substr(0, sweep.out.find('\n')), "top_mm,eff_lab_total,eff_nat_total,eff_ratio" + columns);
}

TEST_F(CliTest, ExportToFileAndToStandardOutput)
{
    ControlState controls;
    controls.edits.top = "0.5mm";
    controls.sliders.doseRate = 50;
    controls.transparencyCorrection = true;
    const std::string expected = ExpectedExport(controls);

    const std::vector<std::string> inputs = {"--top", "0.5mm", "--dose-rate-pos", "50", "--transparency-correction"};
    std::vector<std::string> toFile = {"export", "-o", Path("profile.txt")};
    toFile.insert(toFile.end(), inputs.begin(), inputs.end());
    const Outcome file = Run(toFile);
    EXPECT_EQ(file.exitCode, 0) << file.err;
    EXPECT_EQ(ReadFile(Path("profile.txt")), expected);

    std::vector<std::string> toStdout = {"export", "-o", "-"};
    toStdout.insert(toStdout.end(), inputs.begin(), inputs.end());
    const Outcome out = Run(toStdout);
    EXPECT_EQ(out.exitCode, 0) << out.err;
    EXPECT_EQ(out.out, expected);
}

TEST_F(CliTest, ScanMatchesTheLibraryForAnyThreadCount)
{
    ControlState controls;
    ModelParameters params;
    DisplayFlags flags;
    ReadParameters(controls, params, flags);
    params.externalDoseRate = 0.75f; // --dose-rate
    ScanGridTexts texts;
    texts.extinctionStart = "2";
    texts.extinctionEnd = "40";
    texts.extinctionSteps = "5";
    texts.extinctionLog = false;
    texts.evalTimeSteps = "7";
    DepthProfile profile;
    SignalCurves curves;
    StringSink sink;
    ScanToFile(ReadScanGrid(texts), params, flags, profile, curves, sink);

    for (const char* threads : {"1", "2", "3"}) {
        const Outcome outcome =
            Run({"scan", "-o", Path("scan.txt"), "--ext-start", "2", "--ext-end", "40", "--ext-steps", "5", "--ext-log",
                 "0", "--time-steps", "7", "--dose-rate", "0.75", "--threads", threads});
        EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
        EXPECT_EQ(ReadFile(Path("scan.txt")), sink.data()) << threads << " threads";
    }
    const Outcome defaults = Run({"scan", "-o", "-"});
    EXPECT_EQ(defaults.exitCode, 0);
    EXPECT_EQ(std::count(defaults.out.begin(), defaults.out.end(), '\n'), 442);
}

TEST_F(CliTest, RenderWritesTwoPngFiles)
{
    const Outcome outcome = Run({"render", "--depth-picture", Path("depth.png"), "--signal-picture", Path("signal.png"),
                                 "--show", "showRatio,showTotalSignalLab", "--depth", "0.3"});
    EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
    for (const char* name : {"depth.png", "signal.png"})
        EXPECT_EQ(ReadFile(Path(name)).substr(0, 8), "\x89PNG\r\n\x1a\n") << name;
}

TEST_F(CliTest, RefusedInputsGiveAnErrorAndNoFile)
{
    struct Case {
        std::vector<std::string> args;
        const char* message;
    };
    const std::string target = Path("never.txt");
    const Case cases[] = {
        {{"export", "-o", target, "--no-such-option"}, "--no-such-option"},
        {{"export", "-o", target, "--extinction-pos", "201"}, "--extinction-pos"},
        {{"export", "-o", target, "--depth-pos", "-1"}, "--depth-pos"},
        {{"export", "-o", target, "--eval-time-pos", "80.5"}, "--eval-time-pos"},
        {{"export", "-o", target, "--extinction", "12abc"}, "--extinction"},
        {{"export", "-o", target, "--eval-time", ""}, "--eval-time"},
        {{"export", "-o", target, "--show", "showEverything"}, "--show"},
        {{"scan", "-o", target, "--ext-log", "yes"}, "--ext-log"},
        {{"scan", "-o", target, "--threads", "0"}, "--threads"},
        {{"scan", "-o", target, "--time-start", "0,5"}, "the evaluation-time axis"},
        {{"scan", "-o", target, "--ext-end", "-3"}, "the extinction axis"},
        {{"export"}, "--output"},
        {{}, "subcommand"},
    };
    for (const Case& c : cases) {
        const Outcome outcome = Run(c.args);
        EXPECT_NE(outcome.exitCode, 0) << c.message;
        EXPECT_NE(outcome.err.find(c.message), std::string::npos) << outcome.err;
        EXPECT_FALSE(fs::exists(target)) << c.message;
    }
}

TEST_F(CliTest, UnopenableAndUnwritablePaths)
{
    struct Case {
        std::string path;
        const char* message;
    };
    const Case cases[] = {
        {Path("missing/out.txt"), "missing' does not exist"},
        {dir_.path().string(), "Is a directory"},
        {"/dev/full", "No space left on device"},
    };
    for (const char* command : {"export", "scan"}) {
        for (const Case& c : cases) {
            const Outcome outcome = Run({command, "-o", c.path});
            EXPECT_NE(outcome.exitCode, 0) << command << ' ' << c.path;
            EXPECT_NE(outcome.err.find(c.message), std::string::npos) << outcome.err;
        }
    }
    EXPECT_FALSE(fs::exists(Path("missing")));
    const Outcome render = Run({"render", "--depth-picture", Path("missing/d.png"), "--signal-picture", Path("s.png")});
    EXPECT_NE(render.exitCode, 0);
}

TEST_F(CliTest, HelpListsTheCommands)
{
    const Outcome outcome = Run({"--help"});
    EXPECT_EQ(outcome.exitCode, 0);
    for (const char* command : {"readouts", "export", "scan", "render"})
        EXPECT_NE(outcome.out.find(command), std::string::npos) << command;
}

TEST_F(CliTest, ArgumentRulesFollowGnuConventions)
{
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        const char* inError; // "" when stderr must be empty
    };
    const Case cases[] = {
        {{"readouts", "--top="}, 0, ""}, // an empty text is a legal window state
        {{"readouts", "--top=1", "--bottom", "3"}, 0, ""},
        {{"readouts", "--dose-rate", "-1"}, 0, "warning: the external dose rate"}, // a value may start with '-'
        {{"readouts", "--dose-rate", "-1", "--strict"}, 2, "--strict: nothing was written"},
        {{"readouts", "--top", "--no-auto-profile"}, 2, "--top needs a value"},
        {{"readouts", "--top"}, 2, "--top needs a value"},
        {{"readouts", "--bottm", "3"}, 2, "did you mean '--bottom'"},
        {{"exprot", "-o", "-"}, 2, "did you mean 'export'"},
        {{"readouts", "--top", "0,5"}, 0, "'0,5' is read as 0"},
        {{"readouts", "--curve-step", "12abc"}, 0, "'12abc' is read as 12"},
        {{"render", "--depth-picture", "d.svg"}, 2, "tamrisk-cli plot"},
        {{"render"}, 2, "--depth-picture"},
        {{"--version"}, 0, ""},
    };
    for (const Case& c : cases) {
        const Outcome outcome = Run(c.args);
        EXPECT_EQ(outcome.exitCode, c.exitCode) << c.args.front() << ' ' << outcome.err;
        if (*c.inError == '\0') {
            EXPECT_EQ(outcome.err, "") << c.args.front();
        } else {
            EXPECT_NE(outcome.err.find(c.inError), std::string::npos) << outcome.err;
        }
    }
    // The same inputs as the window's: an empty top edge reads as 0.
    EXPECT_EQ(Run({"readouts", "--top="}).out, Run({"readouts", "--top", "0"}).out);
    EXPECT_EQ(Run({"readouts", "--top=0.5"}).out, Run({"readouts", "--top", "0.5"}).out);
}

TEST_F(CliTest, HelpShowsMeaningUnitAndDefaultOfEveryInput)
{
    const Outcome outcome = Run({"export", "--help"});
    ASSERT_EQ(outcome.exitCode, 0);
    for (const InputRow& row : InputTable()) {
        const std::string option = std::string("  --") + row.name;
        std::size_t at = outcome.out.find(option);
        while (at != std::string::npos && outcome.out[at + option.size()] != ' ' &&
               outcome.out[at + option.size()] != ',')
            at = outcome.out.find(option, at + 1);
        ASSERT_NE(at, std::string::npos) << row.name;
        const std::string line = outcome.out.substr(at, outcome.out.find("\n  -", at) - at);
        EXPECT_NE(line.find(row.meaning), std::string::npos) << line;
        if (*row.unit != '\0') {
            EXPECT_NE(line.find(row.unit), std::string::npos) << line;
        }
        if (row.kind != InputKind::Value && row.kind != InputKind::Switch) {
            EXPECT_NE(line.find("=" + DefaultText(row)), std::string::npos) << line;
        }
    }
}

} // namespace
} // namespace tamrisk
