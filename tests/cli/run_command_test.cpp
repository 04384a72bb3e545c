// SPDX-License-Identifier: GPL-3.0-or-later
// The way every command runs: its outputs are checked before its work, so a
// refusal never comes after it, and a failure of the work names the outputs
// that were not written.
#include "cli/RunCommand.h"
#include "support/TestSupport.h"

#include <CLI/CLI.hpp>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <new>
#include <sstream>
#include <stdexcept>

namespace tamrisk::cli {
namespace {

namespace fs = std::filesystem;

class FakeCommand final : public Command {
public:
    FakeCommand(std::vector<NamedOutput> outputs, std::function<int()> work)
        : outputs_(std::move(outputs)), work_(std::move(work))
    {
    }
    const char* name() const override { return "fake"; }
    const char* summary() const override { return ""; }
    void AddOptions(CLI::App&) override {}
    int Prepare(const CLI::App&, CommandContext&) override { return kExitSuccess; }
    std::vector<NamedOutput> Outputs() const override { return outputs_; }
    int Run(CommandContext&) override
    {
        ran = true;
        return work_();
    }
    bool ran = false;

private:
    std::vector<NamedOutput> outputs_;
    std::function<int()> work_;
};

struct RunCase {
    const char* name;
    std::vector<NamedOutput> outputs; // paths relative to the test's folder, except "-" and ""
    std::function<int()> work;
    int exitCode;
    const char* message;
    bool runs;
};

void PrintTo(const RunCase& c, std::ostream* os) { *os << c.name; }

class RunCommandTest : public ::testing::TestWithParam<RunCase> {};

TEST_P(RunCommandTest, ChecksTheOutputsFirstAndNamesThemOnFailure)
{
    const RunCase& c = GetParam();
    testing::TempDir dir;
    std::ofstream(dir / "table.csv") << "old";
    std::vector<NamedOutput> outputs = c.outputs;
    for (NamedOutput& output : outputs)
        if (output.path != "-" && !output.path.empty())
            output.path = dir / output.path;
    FakeCommand command(outputs, c.work);
    CLI::App parsed;
    std::ostringstream out, err;
    EXPECT_EQ(RunCommand(command, {}, nullptr, parsed, out, err), c.exitCode) << err.str();
    EXPECT_EQ(command.ran, c.runs);
    EXPECT_NE(err.str().find(c.message), std::string::npos) << err.str();
    EXPECT_EQ(err.str().find('\x1b'), std::string::npos);
    EXPECT_EQ(testing::ReadFile(dir / "table.csv"), "old");
}

INSTANTIATE_TEST_SUITE_P(
    Commands, RunCommandTest,
    ::testing::Values(RunCase{"OutOfMemoryNamesStandardOutput",
                              {{"-o", "-"}},
                              []() -> int { throw std::bad_alloc(); },
                              1,
                              "out of memory; the output on standard output is incomplete",
                              true},
                      RunCase{"FailureShownEscaped",
                              {{"-o", "table.csv"}},
                              []() -> int { throw std::runtime_error("bad \x1b[2J"); },
                              1,
                              "fake: bad \\x1B[2J",
                              true},
                      RunCase{"MissingFolderBeforeTheWork",
                              {{"-o", "table.csv"}, {"--record", "none/run.json"}},
                              [] { return 0; },
                              1,
                              "none' does not exist",
                              false},
                      RunCase{"EmptyNameBeforeTheWork", {{"-o", ""}}, [] { return 0; }, 2, "the name is empty", false},
                      RunCase{"ClashBeforeTheWork",
                              {{"-o", "table.csv"}, {"--record", "table.csv"}},
                              [] { return 0; },
                              2,
                              "both name",
                              false}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(RunCommandMessages, OutOfMemoryNamesBothFiles)
{
    testing::TempDir dir;
    FakeCommand command({{"-o", dir / "table.csv"}, {"--record", dir / "run.json"}},
                        []() -> int { throw std::bad_alloc(); });
    CLI::App parsed;
    std::ostringstream out, err;
    RunCommand(command, {}, nullptr, parsed, out, err);
    EXPECT_EQ(err.str(), "tamrisk-cli fake: out of memory; '" + dir / "table.csv" + "' and '" + dir / "run.json" +
                             "' were not written; existing files are unchanged\n");
}

} // namespace
} // namespace tamrisk::cli
