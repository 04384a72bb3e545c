#include "model/ComputeModel.h"
#include "output/ProfileExport.h"
#include "plot/Recompute.h"
#include "scan/ScanRun.h"

#include <gtest/gtest.h>

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

std::string Contents(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class CliTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() /
               ("tamrisk-cli-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // Runs the tool with the arguments, each quoted for the shell.
    Outcome Run(const std::vector<std::string>& args) const
    {
        std::string command = std::string("'") + TAMRISK_CLI_PATH + "'";
        for (const std::string& arg : args)
            command += " '" + arg + "'";
        const fs::path out = dir_ / "stdout";
        const fs::path err = dir_ / "stderr";
        command += " >'" + out.string() + "' 2>'" + err.string() + "'";
        const int status = std::system(command.c_str());
        Outcome outcome;
        outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        outcome.out = Contents(out);
        outcome.err = Contents(err);
        return outcome;
    }

    std::string Path(const char* name) const { return (dir_ / name).string(); }

    fs::path dir_;
};

std::string ExpectedExport(const ControlState& controls)
{
    ModelState state;
    Recompute(controls, state);
    StringSink sink;
    WriteProfileExport(sink, state.params, state.profile);
    return sink.data();
}

TEST_F(CliTest, ReadoutsOfTheStartState)
{
    ModelState state;
    const PlotReadouts plots = Recompute({}, state);
    const Outcome outcome = Run({"readouts"});
    EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
    EXPECT_EQ(outcome.out, "1002\t10.\n1052\t6.931e-002\n1053\t4.54e-005\n1007\t0.\n1016\t100.\n1039\t1.\n"
                           "1049\t(1.5)\n1051\t(0.1)\n1012\t" + plots.effLabTotal + "\n1018\t" +
                               plots.effNatTotal + "\n1019\t" + plots.effRatio + "\n");
}

TEST_F(CliTest, ReadoutsFollowTheInputs)
{
    struct Case {
        std::vector<std::string> args;
        std::vector<std::string> expectedLines;  // lines that must appear
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
    EXPECT_EQ(Contents(Path("profile.txt")), expected);

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
    params.externalDoseRate = 0.75f;  // --dose-rate
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
        const Outcome outcome = Run({"scan", "-o", Path("scan.txt"), "--ext-start", "2", "--ext-end", "40",
                                     "--ext-steps", "5", "--ext-log", "0", "--time-steps", "7", "--dose-rate",
                                     "0.75", "--threads", threads});
        EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
        EXPECT_EQ(Contents(Path("scan.txt")), sink.data()) << threads << " threads";
    }
    const Outcome defaults = Run({"scan", "-o", "-"});
    EXPECT_EQ(defaults.exitCode, 0);
    EXPECT_EQ(std::count(defaults.out.begin(), defaults.out.end(), '\n'), 442);
}

TEST_F(CliTest, RenderWritesTwoPngFiles)
{
    const Outcome outcome = Run({"render", "--depth", Path("depth.png"), "--signal", Path("signal.png"), "--show",
                                 "showRatio,showTotalSignalLab", "--signal-depth", "0.3"});
    EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
    for (const char* name : {"depth.png", "signal.png"})
        EXPECT_EQ(Contents(Path(name)).substr(0, 8), "\x89PNG\r\n\x1a\n") << name;
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
        {{"scan", "-o", target, "--time-start", "0,5"}, "Auswertezeit"},
        {{"scan", "-o", target, "--ext-end", "-3"}, "Transparenz"},
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
        {Path("missing/out.txt"), "Probleme w\u00e4hrend des Speicherns"},
        {dir_.string(), "Is a directory"},
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
    const Outcome render = Run({"render", "--depth", Path("missing/d.png"), "--signal", Path("s.png")});
    EXPECT_NE(render.exitCode, 0);
}

TEST_F(CliTest, HelpListsTheCommands)
{
    const Outcome outcome = Run({"--help"});
    EXPECT_EQ(outcome.exitCode, 0);
    for (const char* command : {"readouts", "export", "scan", "render"})
        EXPECT_NE(outcome.out.find(command), std::string::npos) << command;
}

} // namespace
} // namespace tamrisk
