// SPDX-License-Identifier: GPL-3.0-or-later
// What the tool does to existing files, devices and pipes, on failures and on
// signals.
#include "support/TestSupport.h"

#include "lanes/LaneKernel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tamrisk {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;

struct Outcome {
    int exitCode = -1;
    std::string err;
};

class CliFilesTest : public ::testing::Test {
protected:
    // Starts the tool with standard output to `out`, standard error to a file
    // and `setting` ("NAME=value") added to the environment.
    pid_t Start(const std::vector<std::string>& args, const std::string& out = "/dev/null",
                std::string setting = {}) const
    {
        std::vector<char*> env;
        for (char** e = environ; *e != nullptr; ++e)
            env.push_back(*e);
        if (!setting.empty())
            env.push_back(setting.data());
        env.push_back(nullptr);
        std::vector<std::string> all = {TAMRISK_CLI_PATH};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& arg : all)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, 2, ErrPath().c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        pid_t pid = -1;
        EXPECT_EQ(posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), env.data()), 0);
        posix_spawn_file_actions_destroy(&actions);
        return pid;
    }

    Outcome Finish(pid_t pid) const
    {
        int status = 0;
        ::waitpid(pid, &status, 0);
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(ErrPath())};
    }

    Outcome Run(const std::vector<std::string>& args, const std::string& out = "/dev/null") const
    {
        return Finish(Start(args, out));
    }

    void SetUp() override { fs::create_directory(Files()); }

    fs::path Files() const { return dir_.path() / "files"; }
    std::string Path(const std::string& name) const { return (Files() / name).string(); }
    std::string ErrPath() const { return dir_ / "stderr"; }

    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const fs::directory_entry& entry : fs::directory_iterator(Files()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    testing::TempDir dir_;
};

// The scan's temporary file shows that the scan is running.
bool WaitForTemporaryFile(const fs::path& dir)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        for (const fs::directory_entry& entry : fs::directory_iterator(dir))
            if (entry.path().filename().string().ends_with(".tmp") && entry.file_size() > 0)
                return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

TEST_F(CliFilesTest, SignalStopsAScanAndKeepsTheOldFile)
{
    const std::pair<int, int> cases[] = {{SIGTERM, 143}, {SIGINT, 130}, {SIGHUP, 129}};
    const std::string old(29537, 'o');
    for (const auto& [signal, exitCode] : cases) {
        const std::string path = Path("scan.txt");
        std::ofstream(path, std::ios::binary) << old;
        const pid_t pid = Start({"scan", "-o", path, "--ext-steps", "2000", "--time-steps", "1000"});
        ASSERT_TRUE(WaitForTemporaryFile(Files()));
        ::kill(pid, signal);
        const Outcome outcome = Finish(pid);
        EXPECT_EQ(outcome.exitCode, exitCode) << outcome.err;
        EXPECT_NE(outcome.err.find("was not written"), std::string::npos) << outcome.err;
        EXPECT_EQ(ReadFile(path), old) << signal;
        EXPECT_EQ(Names(), std::vector<std::string>{"scan.txt"}) << signal;
    }

    // A closed terminal sends SIGHUP and SIGTERM at once: the second ends the tool at once, still cleanly.
    const pid_t pid = Start({"scan", "-o", Path("scan.txt"), "--ext-steps", "2000", "--time-steps", "1000"});
    ASSERT_TRUE(WaitForTemporaryFile(Files()));
    ::kill(pid, SIGHUP);
    ::kill(pid, SIGTERM);
    Finish(pid);
    EXPECT_EQ(ReadFile(Path("scan.txt")), old);
    EXPECT_EQ(Names(), std::vector<std::string>{"scan.txt"});
}

TEST_F(CliFilesTest, FifoAndDevicesAreWrittenDirectlyAndNeverRemoved)
{
    const std::string fifo = Path("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::future<std::string> read = std::async(std::launch::async, [&] { return ReadFile(fifo); });
    const Outcome toFifo = Run({"scan", "-o", fifo, "--ext-steps", "2", "--time-steps", "2"});
    EXPECT_EQ(toFifo.exitCode, 0) << toFifo.err;
    const std::string rows = read.get();
    EXPECT_EQ(std::count(rows.begin(), rows.end(), '\n'), 10);
    EXPECT_TRUE(fs::is_fifo(fifo));

    EXPECT_EQ(Run({"export", "-o", "/dev/null"}).exitCode, 0);
    EXPECT_TRUE(fs::is_character_file("/dev/null"));

    // A failed write to a device is reported as such, and the device stays.
    for (const std::vector<std::string>& args : {std::vector<std::string>{"render", "--depth-picture", "/dev/full"},
                                                 std::vector<std::string>{"scan", "-o", "/dev/full"}}) {
        const Outcome outcome = Run(args);
        EXPECT_EQ(outcome.exitCode, 1);
        EXPECT_NE(outcome.err.find("writing failed: /dev/full: No space left on device"), std::string::npos)
            << outcome.err;
        EXPECT_TRUE(fs::is_character_file("/dev/full"));
    }
}

TEST_F(CliFilesTest, FailedWriteToStandardOutputIsReported)
{
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"readouts"}, std::vector<std::string>{"export", "-o", "-"},
          std::vector<std::string>{"scan", "-o", "-"}}) {
        const Outcome outcome = Run(args, "/dev/full");
        EXPECT_EQ(outcome.exitCode, 1) << args.front();
        const bool named = outcome.err.find("stdout") != std::string::npos ||
                           outcome.err.find("standard output") != std::string::npos;
        EXPECT_TRUE(named) << args.front() << ": " << outcome.err;
    }
}

TEST_F(CliFilesTest, InfiniteAxisEndIsRefusedBeforeAnyFile)
{
    const Outcome outcome = Run({"scan", "-o", Path("scan.txt"), "--ext-end", "1e39"});
    EXPECT_EQ(outcome.exitCode, 2);
    EXPECT_NE(outcome.err.find("finite numbers"), std::string::npos) << outcome.err;
    EXPECT_TRUE(Names().empty());
}

// How quickly: bench/cli_bench.cpp.
TEST_F(CliFilesTest, GridWithoutPointsWritesTheHeaderOnly)
{
    const Outcome outcome = Run({"scan", "-o", Path("scan.txt"), "--ext-steps", "2147483647", "--time-steps", "-1"});
    EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
    EXPECT_EQ(fs::file_size(Path("scan.txt")), 81u);
}

TEST_F(CliFilesTest, ControlBytesInFileNamesAreShownEscaped)
{
    const Outcome outcome = Run({"export", "-o", Path("no\x1b[31mfolder/out.txt")});
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_NE(outcome.err.find("no\\x1B[31mfolder"), std::string::npos) << outcome.err;
    EXPECT_EQ(outcome.err.find('\x1b'), std::string::npos);
}

// Each lane form this processor runs writes the same scan file; one it
// lacks is refused before anything is written.
TEST_F(CliFilesTest, ScanFileIsTheSameWithEveryLaneForm)
{
    const std::vector<std::string> grid = {"--ext-steps", "37", "--time-steps", "45", "--transparency-correction"};
    std::string first;
    for (const detail::LaneKernel kernel : detail::kLaneKernels) {
        const std::string form = detail::FormsOf(kernel).name;
        std::vector<std::string> args = {"scan", "-o", Path(form)};
        args.insert(args.end(), grid.begin(), grid.end());
        const Outcome outcome = Finish(Start(args, "/dev/null", "TAMRISK_LANES=" + form));
        if (!detail::LaneKernelAvailable(kernel)) {
            EXPECT_EQ(outcome.exitCode, 2) << form;
            EXPECT_NE(outcome.err.find("cannot run"), std::string::npos) << outcome.err;
            EXPECT_FALSE(fs::exists(Path(form))) << form;
            continue;
        }
        ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
        const std::string file = ReadFile(Path(form));
        if (first.empty())
            first = file;
        EXPECT_EQ(file, first) << form;
    }
    EXPECT_GT(first.size(), 37u * 45u * 20u);
}

// A value that names no form is refused before anything else, --version and
// --help included, with the valid names; a control byte in it is shown
// escaped.
TEST_F(CliFilesTest, UnknownLaneFormIsRefused)
{
    const struct {
        std::string value;
        std::vector<std::string> args;
        std::string shown;
    } cases[] = {
        {"AVX2", {"readouts"}, "AVX2"},
        {"avx-512", {"--version"}, "avx-512"},
        {"sse", {"scan", "--help"}, "sse"},
        {"avx2\x1b[31m", {"readouts"}, "avx2\\x1B[31m"},
    };
    for (const auto& c : cases) {
        const std::string out = Path("out.txt");
        const Outcome outcome = Finish(Start(c.args, out, "TAMRISK_LANES=" + c.value));
        EXPECT_EQ(outcome.exitCode, 2) << c.value;
        EXPECT_EQ(outcome.err, "tamrisk-cli: TAMRISK_LANES=" + c.shown +
                                   " is not a form of the vector kernels (scalar, avx2 or avx512)\n");
        EXPECT_EQ(ReadFile(out), "") << c.value;
    }
}

// Figures come from a module loaded when drawn; without it every other
// command still works and plot says what is missing.
TEST_F(CliFilesTest, FiguresComeFromTheModuleBesideTheTool)
{
    ASSERT_EQ(Run({"plot", "signal", "-o", Path("signal.svg"), "--show", "showSignalAtDepth"}).exitCode, 0);
    EXPECT_NE(ReadFile(Path("signal.svg")).find("<svg"), std::string::npos);

    const fs::path alone = dir_.path() / "alone";
    fs::create_directory(alone);
    fs::copy_file(TAMRISK_CLI_PATH, alone / "tamrisk-cli");
    const auto RunAlone = [&](std::vector<std::string> args) {
        std::vector<char*> argv;
        std::string tool = (alone / "tamrisk-cli").string();
        argv.push_back(tool.data());
        for (std::string& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 2, ErrPath().c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        pid_t pid = -1;
        EXPECT_EQ(posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        return Finish(pid);
    };
    EXPECT_EQ(RunAlone({"scan", "-o", Path("scan.txt"), "--ext-steps", "2", "--time-steps", "2"}).exitCode, 0);
    const Outcome outcome = RunAlone({"plot", "depth", "-o", Path("depth.svg"), "--show", "showRatio"});
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_NE(outcome.err.find("figure module tamrisk-figures.so is missing"), std::string::npos) << outcome.err;
    EXPECT_FALSE(fs::exists(Path("depth.svg")));
}

} // namespace
} // namespace tamrisk
