// SPDX-License-Identifier: GPL-3.0-or-later
// The sweep command: a table other programs read, blocks that GNU parallel
// joins to the whole, and the usage errors.
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace tamrisk {
namespace {

struct Outcome {
    int exitCode = -1;
    std::string out;
    std::string err;
};

class SweepCliTest : public ::testing::Test {
protected:
    static std::string Command(const std::vector<std::string>& args)
    {
        std::string command = std::string("'") + TAMRISK_CLI_PATH + "' sweep";
        for (const std::string& arg : args)
            command += " '" + arg + "'";
        return command;
    }

    Outcome Shell(const std::string& command) const
    {
        const std::string out = dir_ / "stdout";
        const std::string err = dir_ / "stderr";
        const int status = std::system((command + " >'" + out + "' 2>'" + err + "'").c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, testing::ReadFile(out), testing::ReadFile(err)};
    }

    Outcome Run(const std::vector<std::string>& args) const { return Shell(Command(args)); }

    testing::TempDir dir_;
};

TEST_F(SweepCliTest, DoseRateAndDecayRateTable)
{
    const Outcome result = Run({"--vary", "dose-rate=0:2:20", "--vary=rate1=0.01:1:10:log"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out.substr(0, result.out.find('\n')),
              "dose_rate,rate1_per_s,eff_lab_total,eff_nat_total,eff_ratio");
    EXPECT_EQ(std::count(result.out.begin(), result.out.end(), '\n'), 1 + 21 * 11);
    // The decay rate varies fastest: row 12 is the second dose rate's first.
    std::vector<std::string> lines;
    for (std::size_t begin = 0, end; (end = result.out.find('\n', begin)) != std::string::npos; begin = end + 1)
        lines.push_back(result.out.substr(begin, end - begin));
    EXPECT_EQ(lines[1].rfind("0,0.01,", 0), 0u) << lines[1];
    EXPECT_EQ(lines[11].rfind("0,1,", 0), 0u) << lines[11];
    EXPECT_EQ(lines[12].rfind("0.1,0.01,", 0), 0u) << lines[12];
}

// The scan's table and a sweep of its two axes are one table: the same bytes.
TEST_F(SweepCliTest, SweepOfTheScansAxesIsTheScanTable)
{
    for (const std::string format : {"csv", "tsv"}) {
        const Outcome sweep =
            Run({"--vary", "extinction=1:10000:20:log", "--vary", "eval-time=1:10000:20:log", "--format", format});
        const Outcome scan = Shell(std::string("'") + TAMRISK_CLI_PATH + "' scan --format " + format + " -o -");
        ASSERT_EQ(sweep.exitCode, 0) << sweep.err;
        ASSERT_EQ(scan.exitCode, 0) << scan.err;
        EXPECT_EQ(std::count(scan.out.begin(), scan.out.end(), '\n'), 1 + 21 * 21);
        EXPECT_EQ(sweep.out, scan.out) << format;
    }
    // Where the tables share columns, a sweep keeps the scan's order.
    const Outcome three = Run({"--vary", "bottom=1:3:1", "--vary", "extinction=1:10:1", "--vary", "eval-time=1:10:1"});
    ASSERT_EQ(three.exitCode, 0) << three.err;
    EXPECT_EQ(three.out.substr(0, three.out.find('\n')),
              "bottom_mm,extinction_per_mm,half_value_depth_mm,transmission,eval_time_s,eff_lab_total,"
              "eff_nat_total,eff_ratio");
}

TEST_F(SweepCliTest, ShardsJoinedByGnuParallelAreTheWholeTable)
{
    if (std::system("parallel --version >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "GNU parallel is not installed (scripts/install-deps.sh)";
    // 10 points: not divisible by 3 or 7.
    const std::vector<std::string> sweep = {
        "--vary", "eval-time=1:1000:4:log", "--vary", "transparency-correction=0,1", "--format", "tsv"};
    const Outcome whole = Run(sweep);
    ASSERT_EQ(whole.exitCode, 0) << whole.err;
    for (int n : {1, 2, 3, 7}) {
        const std::string shards = dir_ / ("shard-" + std::to_string(n) + "-");
        // Each block to a file of its own, in parallel, then joined in order.
        const Outcome run = Shell("parallel --halt now,fail=1 " + Command(sweep) + " --shard {}/" + std::to_string(n) +
                                  " -o '" + shards + "{}.tsv' ::: $(seq 1 " + std::to_string(n) +
                                  ") && cat $(seq -f '" + shards + "%g.tsv' 1 " + std::to_string(n) + ")");
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.out, whole.out) << n;
        if (n != 3)
            continue;
        // Kept in order on standard output, as a one-liner does it.
        const Outcome kept = Shell("parallel -k " + Command(sweep) + " --shard {}/" + std::to_string(n) +
                                   " ::: $(seq 1 " + std::to_string(n) + ")");
        EXPECT_EQ(kept.out, whole.out) << n;
    }
}

TEST_F(SweepCliTest, CountComputesNothing)
{
    const Outcome all = Run({"--vary", "top=0:1:199", "--vary", "rate1=0.01:1:4999", "--count"});
    ASSERT_EQ(all.exitCode, 0) << all.err;
    EXPECT_EQ(all.out.substr(0, all.out.find('\n')), "points 1000000");
    const Outcome small = Run({"--vary", "top=0:1:3", "--shard", "2/3", "--count"});
    const Outcome rows = Run({"--vary", "top=0:1:3", "--shard", "2/3"});
    EXPECT_EQ(small.out, "points 1\nbytes " + std::to_string(rows.out.size()) + " (estimate)\n");
}

struct UsageCase {
    const char* name;
    std::vector<std::string> args;
    const char* message;
};

void PrintTo(const UsageCase& c, std::ostream* os) { *os << c.name; }

class SweepUsage : public SweepCliTest, public ::testing::WithParamInterface<UsageCase> {};

TEST_P(SweepUsage, RefusedWithExitCode2)
{
    const Outcome result = Run(GetParam().args);
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_NE(result.err.find(GetParam().message), std::string::npos) << result.err;
    EXPECT_TRUE(result.out.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Sweep, SweepUsage,
    ::testing::Values(
        UsageCase{"UnknownName", {"--vary", "dose-rat=0:1:2"}, "(did you mean 'dose-rate'?)"},
        UsageCase{"UnknownReadout", {"--vary", "top=0:1:2", "--columns", "eff_ratoi"}, "(did you mean 'eff_ratio'?)"},
        UsageCase{"LogThroughZero", {"--vary", "rate1=0:1:10:log"}, "logarithmic"},
        UsageCase{"NoAxis", {"--top", "1"}, "--vary"},
        UsageCase{"ShardOutOfRange", {"--vary", "top=0:1:2", "--shard", "4/3"}, "K must be from 1 to N"},
        UsageCase{"ShardOfJson", {"--vary", "top=0:1:2", "--shard", "1/2", "--format", "json"}, "JSON"}),
    [](const auto& c) { return c.param.name; });

} // namespace
} // namespace tamrisk
