// SPDX-License-Identifier: GPL-3.0-or-later
// The command line as a whole: usage errors before anything is written,
// the format taken from a file's ending, and records that replay a command.
#include "cli/ToolRunner.h"

#include "TamriskVersion.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

namespace tamrisk {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;
using testing::RunTool;

// Every file of a folder by name, with its bytes.
std::map<std::string, std::string> Files(const fs::path& folder)
{
    std::map<std::string, std::string> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        files[entry.path().filename().string()] = entry.is_directory() ? "(folder)" : ReadFile(entry.path());
    return files;
}

struct UsageCase {
    const char* name;
    std::vector<std::string> args;
    int exitCode;
    const char* message;
};

class UsageTest : public ::testing::TestWithParam<UsageCase> {};

// Records that are JSON objects but hostile in what they hold.
std::map<std::string, std::string> HostileRecords()
{
    std::string many = "{";
    for (int i = 0; i <= 10000; ++i)
        many += (i == 0 ? "\"k" : ",\"k") + std::to_string(i) + "\":0";
    return {
        {"deep.json", std::string(100, '[') + std::string(100, ']')},
        {"many.json", many + "}"},
        {"inputs5.json", R"({"inputs": 5})"},
        {"textnumber.json", R"({"inputs": {"top": {"text": 5}}})"},
        {"showtext.json", R"({"inputs": {"show": "x"}})"},
        {"shownumber.json", R"({"inputs": {"show": [1]}})"},
        {"commandnumber.json", R"({"command": 5, "inputs": {}})"},
        {"argumentnumber.json", R"({"command": "export", "arguments": ["export", 5], "inputs": {}})"},
        {"argumentsbroken.json", R"({"command": "export", "arguments": ["export", "--top"], "inputs": {}})"},
        {"controlbytes.json", R"({"inputs": {"\u001b[31mred": {"text": "1"}}})"},
    };
}

TEST_P(UsageTest, IsRefusedBeforeAnyFileIsWritten)
{
    const UsageCase& c = GetParam();
    testing::TempDir dir;
    fs::create_directory(dir.path() / "folder");
    const std::map<std::string, std::string> records = HostileRecords();
    for (const auto& [name, text] : records)
        std::ofstream(dir / name) << text;
    const testing::ToolOutcome outcome = RunTool(c.args, dir.path().string());
    EXPECT_EQ(outcome.exitCode, c.exitCode) << outcome.err;
    EXPECT_NE(outcome.err.find(c.message), std::string::npos) << outcome.err;
    EXPECT_EQ(outcome.err.find('\x1b'), std::string::npos) << "control bytes reach the terminal";
    EXPECT_EQ(Files(dir.path()).size(), records.size() + 1) << "a file was written";
}

INSTANTIATE_TEST_SUITE_P(
    CommandLine, UsageTest,
    ::testing::Values(
        UsageCase{"HelpOfAnUnknownCommand", {"help", "scna"}, 2, "did you mean 'scan'"},
        UsageCase{"MistypedToolOption", {"--verison"}, 2, "did you mean '--version'"},
        UsageCase{"PlotWithoutCurves", {"plot", "depth", "-o", "d.svg"}, 2, "--show"},
        UsageCase{"OutputIsTheRecord", {"export", "-o", "p.txt", "--record", "p.txt"}, 2, "both name"},
        UsageCase{"OutputIsTheRecordThroughDotDot",
                  {"sweep", "--vary", "rate1=0:1:2", "-o", "folder/../s.csv", "--record", "s.csv"},
                  2,
                  "both name"},
        UsageCase{"BothToStandardOutput", {"readouts", "-o", "-", "--record", "-"}, 2, "standard output"},
        UsageCase{"BothPicturesInOneFile",
                  {"render", "--depth-picture", "p.png", "--signal-picture", "p.png"},
                  2,
                  "both name"},
        UsageCase{"FigureIsItsRecord",
                  {"plot", "depth", "--show", "showRatio", "-o", "f.svg", "--record", "f.svg"},
                  2,
                  "both name"},
        UsageCase{"ParamsFolder", {"export", "-o", "p.txt", "--params", "folder"}, 1, "it is a folder"},
        UsageCase{"ParamsMissing", {"export", "-o", "p.txt", "--params", "none.json"}, 1, "No such file"},
        UsageCase{"ParamsTooDeep", {"export", "-o", "p.txt", "--params", "deep.json"}, 2, "nested more than 64"},
        UsageCase{"EmptyShard", {"sweep", "--vary", "rate1=0.1:1:2", "--shard", "", "-o", "w.csv"}, 2, "is not K/N"},
        UsageCase{"ShardBeyondItsLimit",
                  {"sweep", "--vary", "rate1=0.1:1:2", "--shard", "1/1000000000"},
                  2,
                  "N must be from 1 to 1000000"},
        UsageCase{"StepsBeyondInt", {"sweep", "--vary", "rate1=0.1:1:2147483648"}, 2, "at most 2147483647"},
        UsageCase{"EscapedName", {"export", "-o", "p.txt", "--params", "\x1b[31mred.json"}, 1, "\\x1B[31mred"},
        UsageCase{
            "ParamsWithTooManyNames", {"export", "-o", "p.txt", "--params", "many.json"}, 2, "more than 10000 names"},
        UsageCase{"ParamsInputsNotAnObject",
                  {"export", "-o", "p.txt", "--params", "inputs5.json"},
                  2,
                  "\"inputs\" is not an object"},
        UsageCase{"ParamsTextIsANumber",
                  {"export", "-o", "p.txt", "--params", "textnumber.json"},
                  2,
                  "input \"top\" has no acceptable \"text\""},
        UsageCase{"ParamsShowIsAText",
                  {"plot", "depth", "-o", "d.svg", "--params", "showtext.json"},
                  2,
                  "\"show\" is not a list"},
        UsageCase{"ParamsShowsANumber",
                  {"sweep", "--vary", "rate1=0:1:2", "--params", "shownumber.json"},
                  2,
                  "\"show\" names no curve 1"},
        UsageCase{
            "ParamsCommandIsANumber", {"readouts", "--params", "commandnumber.json"}, 2, "\"command\" is not a text"},
        UsageCase{"ParamsArgumentIsANumber",
                  {"export", "-o", "p.txt", "--params", "argumentnumber.json"},
                  2,
                  "\"arguments\" is not a list of texts"},
        UsageCase{"ParamsArgumentsDoNotParse",
                  {"export", "-o", "p.txt", "--params", "argumentsbroken.json"},
                  2,
                  "--top needs a value"},
        UsageCase{"ParamsNameWithControlBytes",
                  {"export", "-o", "p.txt", "--params", "controlbytes.json"},
                  2,
                  "unknown input \"\\x1B[31mred\""},
        // A record is JSON, whose texts are UTF-8: found before the sweep, not after it.
        UsageCase{"RecordOfANameThatIsNotUtf8",
                  {"sweep", "--vary", "rate1=0:1:2000", "--vary", "dose-rate=0:1:2000", "-o", "s.csv", "--record",
                   "r\xff.json"},
                  2,
                  "'r\\xFF.json' is not UTF-8 text"},
        UsageCase{"JsonOfAnInputThatIsNotUtf8", {"export", "-o", "p.json", "--top", "1\xe9"}, 2, "is not UTF-8 text"}),
    [](const auto& param) { return std::string(param.param.name); });

struct DoubtCase {
    const char* name;
    std::vector<std::string> args;
    const char* warning;
};

class DoubtTest : public ::testing::TestWithParam<DoubtCase> {};

// A doubtful input or result is written with a warning, and refused under --strict before any file exists.
TEST_P(DoubtTest, WarnsAndWritesOrRefusesUnderStrict)
{
    const DoubtCase& c = GetParam();
    testing::TempDir dir;
    const testing::ToolOutcome written = RunTool(c.args, dir.path().string());
    EXPECT_EQ(written.exitCode, 0) << written.err;
    EXPECT_NE(written.err.find(c.warning), std::string::npos) << written.err;
    EXPECT_FALSE(Files(dir.path()).empty() && written.out.empty()) << "the output is still written";

    testing::TempDir strictDir;
    std::vector<std::string> strict = c.args;
    strict.push_back("--strict");
    const testing::ToolOutcome refused = RunTool(strict, strictDir.path().string());
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_NE(refused.err.find("--strict: nothing was written"), std::string::npos) << refused.err;
    EXPECT_TRUE(Files(strictDir.path()).empty());
    EXPECT_TRUE(refused.out.empty());
}

INSTANTIATE_TEST_SUITE_P(
    CommandLine, DoubtTest,
    ::testing::Values(
        DoubtCase{"NanExtinction", {"readouts", "--format", "csv", "--extinction", "nan"}, "is NaN"},
        DoubtCase{"NegativeEvalTime", {"export", "-o", "p.csv", "--eval-time", "-5"}, "the evaluation time"},
        DoubtCase{"TopBelowBottom", {"curves", "--top", "3", "--bottom", "1"}, "lies below the bottom edge"},
        DoubtCase{"DepthOutsideTheSlab", {"curves", "-o", "c.csv", "--depth", "5"}, "outside the slab"},
        DoubtCase{"ScanWithoutRows",
                  {"scan", "-o", "s.txt", "--time-steps", "-3"},
                  "STEPS -3 is below 0: the axis has no values"},
        DoubtCase{"SweepWithoutRows",
                  {"sweep", "--vary", "eval-time=1:10:-3", "-o", "w.csv"},
                  "STEPS -3 is below 0: the axis has no values"},
        DoubtCase{"SweepBelowZero", {"sweep", "--vary", "extinction=-1:1:2", "-o", "w.csv"}, "reaches below 0"},
        DoubtCase{"ScanOfNanRate", {"scan", "-o", "s.csv", "--rate1", "nan", "--ext-steps", "1"}, "not finite"},
        DoubtCase{"PlotOfNegativeDoseRate",
                  {"plot", "depth", "-o", "d.svg", "--show", "showRatio", "--dose-rate", "-1"},
                  "the external dose rate"}),
    [](const auto& param) { return std::string(param.param.name); });

// The ratio of the totals is a double; when it happens to equal a float, the
// float's shorter text would read back as another number.
TEST(ReadoutsTable, WritesTheRatioAsTheDoubleItIs)
{
    testing::TempDir dir;
    const std::vector<std::string> inputs = {"--extinction", "10000", "--eval-time", "10000"};
    std::vector<std::string> csv = {"readouts", "--format", "csv"};
    csv.insert(csv.end(), inputs.begin(), inputs.end());
    const testing::ToolOutcome table = RunTool(csv, dir.path().string());
    ASSERT_EQ(table.exitCode, 0) << table.err;
    EXPECT_NE(table.out.find(",1.0008,0.5,2.0016000270843506\n"), std::string::npos) << table.out;
    std::vector<std::string> json = {"readouts", "--format", "json"};
    json.insert(json.end(), inputs.begin(), inputs.end());
    const testing::ToolOutcome document = RunTool(json, dir.path().string());
    EXPECT_NE(document.out.find("\"value\": 2.0016000270843506"), std::string::npos) << document.out;
    const testing::ToolOutcome sweep =
        RunTool({"sweep", "--vary", "extinction=10000:10000:0", "--eval-time", "10000", "--columns", "eff_ratio"},
                dir.path().string());
    EXPECT_NE(sweep.out.find(",2.0016000270843506,2.0016000270843506\n"), std::string::npos) << sweep.out;
}

TEST(Version, NamesTheVersionAndTheLicence)
{
    testing::TempDir dir;
    const testing::ToolOutcome outcome = RunTool({"--version"}, dir.path().string());
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_EQ(outcome.out, "tamrisk-cli " TAMRISK_VERSION "\n" TAMRISK_LICENCE "\n");
}

// A text the window would read only in part is named in its warning, escaped.
TEST(Warning, ShowsTheGivenTextEscaped)
{
    testing::TempDir dir;
    const testing::ToolOutcome outcome = RunTool({"readouts", "--top", "1\x1b[2J"}, dir.path().string());
    EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
    EXPECT_NE(outcome.err.find("--top '1\\x1B[2J' is read as 1"), std::string::npos) << outcome.err;
    EXPECT_EQ(outcome.err.find('\x1b'), std::string::npos) << "control bytes reach the terminal";
}

TEST(OutputFormat, FollowsTheFileEndingWithoutFormat)
{
    testing::TempDir dir;
    const std::string folder = dir.path().string();
    for (const char* name : {"p.csv", "p.TSV", "p.json", "p.txt", "r.json", "s.tsv"})
        ASSERT_EQ(RunTool(name[0] == 'p'   ? std::vector<std::string>{"export", "-o", name}
                          : name[0] == 'r' ? std::vector<std::string>{"readouts", "-o", name}
                                           : std::vector<std::string>{"sweep", "--vary", "rate1=0:1:2", "-o", name},
                          folder)
                      .exitCode,
                  0)
            << name;
    EXPECT_EQ(ReadFile(dir / "p.csv").rfind("depth_mm,intensity,", 0), 0u);
    EXPECT_EQ(ReadFile(dir / "p.TSV").rfind("depth_mm\tintensity\t", 0), 0u);
    EXPECT_EQ(ReadFile(dir / "p.json").front(), '{');
    EXPECT_NE(ReadFile(dir / "p.txt").find('\0'), std::string::npos) << "other endings keep the window's file";
    EXPECT_EQ(ReadFile(dir / "r.json").front(), '{');
    EXPECT_EQ(ReadFile(dir / "s.tsv").rfind("rate1_per_s\t", 0), 0u);
    // --format still decides.
    ASSERT_EQ(RunTool({"export", "-o", "q.csv", "--format", "native"}, folder).exitCode, 0);
    EXPECT_NE(ReadFile(dir / "q.csv").find('\0'), std::string::npos);
}

// Each command with --record, then again from nothing but --params of that
// record: every output file and standard output, byte for byte.
class ReplayTest : public ::testing::TestWithParam<std::vector<std::string>> {};

TEST_P(ReplayTest, ARecordReplaysItsCommandByteForByte)
{
    testing::TempDir original, replayed;
    std::vector<std::string> args = GetParam();
    args.insert(args.end(), {"--record", "../record.json"});
    fs::create_directory(original.path() / "run");
    const testing::ToolOutcome first = RunTool(args, (original.path() / "run").string());
    ASSERT_EQ(first.exitCode, 0) << first.err;
    const std::string record = original / "record.json";
    ASSERT_TRUE(fs::exists(record));
    const std::map<std::string, std::string> expected = Files(original.path() / "run");
    ASSERT_FALSE(expected.empty() && first.out.empty());

    for (const bool fromStandardInput : {false, true}) {
        fs::remove_all(original.path() / "run");
        fs::create_directory(original.path() / "run");
        const testing::ToolOutcome again =
            fromStandardInput
                ? RunTool({GetParam().front(), "--params", "-"}, (original.path() / "run").string(), record)
                : RunTool({GetParam().front(), "--params", record}, (original.path() / "run").string());
        ASSERT_EQ(again.exitCode, 0) << again.err;
        EXPECT_EQ(Files(original.path() / "run"), expected) << (fromStandardInput ? "from standard input" : "");
        EXPECT_EQ(again.out, first.out);
    }
    (void)replayed;
}

INSTANTIATE_TEST_SUITE_P(
    EveryCommand, ReplayTest,
    ::testing::Values(
        std::vector<std::string>{"readouts", "--extinction-pos", "130", "--show", "showRatio"},
        std::vector<std::string>{"readouts", "--format", "json", "--extinction", "25"},
        std::vector<std::string>{"export", "-o", "p.json", "--top", "1", "--bottom", "3"},
        std::vector<std::string>{"export", "-o", "p.txt", "--transparency-correction"},
        std::vector<std::string>{"curves", "--format", "tsv", "--depth", "0.2"},
        std::vector<std::string>{"scan", "-o", "s.json", "--ext-steps", "3", "--time-steps", "2", "--ext-log", "0"},
        std::vector<std::string>{"scan", "-o", "s.txt", "--ext-steps", "2", "--time-steps", "3", "--threads", "1"},
        std::vector<std::string>{"sweep", "--vary", "dose-rate=0:2:3", "--vary", "rate1=0.01:1:2:log", "--columns",
                                 "signal_axis_max", "-o", "w.csv"},
        std::vector<std::string>{"sweep", "--vary", "eval-time=1:100:7:log", "--shard", "2/3", "--format", "tsv"},
        std::vector<std::string>{"sweep", "--vary", "top=0:0.5:2", "--format", "json", "-o", "w.json"},
        std::vector<std::string>{"plot", "depth", "-o", "d.svg", "--show", "showRatio,showIntensity", "--width", "85",
                                 "--font-size", "7", "--language", "de", "--log-values", "--title", "T"},
        std::vector<std::string>{"plot", "signal", "-o", "s.png", "--show", "showSignalAtDepth", "--log-time", "--dpi",
                                 "100", "--height", "60"},
        std::vector<std::string>{"render", "--depth-picture", "d.png", "--extinction", "3"},
        std::vector<std::string>{"params", "--rate1", "0.3", "-o", "run.json"}));

TEST(Replay, OptionsGivenAgainOverrideTheRecord)
{
    testing::TempDir dir;
    const std::string folder = dir.path().string();
    ASSERT_EQ(RunTool({"export", "-o", "p.csv", "--extinction", "25", "--record", "r.json"}, folder).exitCode, 0);
    ASSERT_EQ(RunTool({"export", "--params", "r.json", "-o", "q.csv", "--format", "tsv"}, folder).exitCode, 0);
    const std::string replay = ReadFile(dir / "q.csv");
    EXPECT_EQ(replay.rfind("depth_mm\t", 0), 0u);
    ASSERT_EQ(RunTool({"export", "-o", "t.tsv", "--extinction", "25"}, folder).exitCode, 0);
    EXPECT_EQ(replay, ReadFile(dir / "t.tsv"));
}

} // namespace
} // namespace tamrisk
