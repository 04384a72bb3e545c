// SPDX-License-Identifier: GPL-3.0-or-later
// Every long command stopped by every signal it catches, wherever it is:
// working, with its output complete but not yet in place, on a second
// signal, blocked writing to a pipe nobody reads, and opening a FIFO without
// reader. Each time it ends with 128 + N (or, on a second signal, by that
// signal), every old file is as it was and no temporary file is left.
#include "cli/ToolProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include <sys/stat.h>

namespace tamrisk {
namespace {

namespace fs = std::filesystem;
using namespace testing;

// How a test sees that a command is at work.
enum class Busy {
    TemporaryFile, // its output's temporary file fills
    Memory,        // its picture takes memory (the output is made in memory first)
    Started,       // it computes for seconds before it writes anything (a fit): a pause after its start
};

struct LongCommand {
    const char* name;
    std::vector<std::string> work;   // runs for seconds
    std::vector<std::string> quick;  // done at once
    std::vector<std::string> stream; // soon writes more than a pipe holds, in large writes
    Busy busy;
};

// The data files the fits read, in every test's folder: 20000 totals (a
// model run each per evaluation), a small profile, and 5000 depths whose
// residuals fill a pipe.
const std::pair<const char*, std::string> kDataFiles[] = {
    {"totals.csv",
     [] {
         std::string text = "eval_time_s,eff_ratio\n";
         for (int k = 1; k <= 20000; ++k)
             text += std::to_string(k) + ",2\n";
         return text;
     }()},
    {"profile.csv", "depth_mm,intensity\n0.1,0.37\n0.2,0.14\n0.3,0.05\n"},
    {"dense.csv",
     [] {
         std::string text = "depth_mm,intensity\n";
         for (int k = 0; k < 5000; ++k)
             text += std::to_string(k * 0.0003) + "," + std::to_string(std::exp(-3.3 * k * 0.0003)) + "\n";
         return text;
     }()},
};

void PrintTo(const LongCommand& command, std::ostream* os) { *os << command.name; }

const LongCommand kCommands[] = {
    {"scan",
     {"scan", "--ext-steps", "2000", "--time-steps", "1000"},
     {"scan", "--ext-steps", "2", "--time-steps", "2"},
     {"scan", "--ext-steps", "200", "--time-steps", "200"},
     Busy::TemporaryFile},
    {"sweep",
     {"sweep", "--vary", "dose-rate=0:2:1999", "--vary", "rate1=0.01:1:1999"},
     {"sweep", "--vary", "dose-rate=0:2:3"},
     {"sweep", "--vary", "dose-rate=0:2:199", "--vary", "rate1=0.01:1:199"},
     Busy::TemporaryFile},
    {"plot",
     // About 3 s of drawing and encoding without a stop.
     {"plot", "depth", "--show", "showIntensity", "--format", "png", "--width", "2000", "--height", "2000", "--dpi",
      "140"},
     {"plot", "depth", "--show", "showIntensity", "--format", "png"},
     {"plot", "depth", "--show", "showIntensity", "--format", "png", "--width", "1000", "--height", "1000", "--dpi",
      "100"},
     Busy::Memory},
    {"fit",
     {"fit", "--data", "totals.csv", "--observe", "eff_ratio", "--free", "extinction"},
     {"fit", "--data", "profile.csv", "--observe", "intensity", "--free", "extinction"},
     {"fit", "--data", "dense.csv", "--observe", "intensity", "--free", "extinction", "--format", "json"},
     Busy::Started},
};

enum class Moment { DuringWork, BeforeCommit, SecondSignal, BlockedOnPipe, OpeningFifo };

const char* MomentName(Moment moment)
{
    switch (moment) {
    case Moment::DuringWork:
        return "DuringWork";
    case Moment::BeforeCommit:
        return "BeforeCommit";
    case Moment::SecondSignal:
        return "SecondSignal";
    case Moment::BlockedOnPipe:
        return "BlockedOnPipe";
    case Moment::OpeningFifo:
        return "OpeningFifo";
    }
    return "";
}

const char* SignalName(int signal) { return signal == SIGINT ? "SIGINT" : signal == SIGTERM ? "SIGTERM" : "SIGHUP"; }

// The other signal a closed terminal or an impatient user sends next.
int NextSignal(int signal) { return signal == SIGINT ? SIGTERM : signal == SIGTERM ? SIGHUP : SIGINT; }

using SignalCase = std::tuple<LongCommand, int, Moment>;

class SignalTable : public ::testing::TestWithParam<SignalCase> {
protected:
    void SetUp() override
    {
        std::ofstream(dir_ / "kept.out") << "old output";
        std::ofstream(dir_ / "run.json") << "old record";
        for (const auto& [name, text] : kDataFiles)
            std::ofstream(dir_ / name) << text;
    }

    std::vector<std::string> With(std::vector<std::string> args, const std::string& output,
                                  const std::string& record) const
    {
        args.insert(args.end(), {"-o", output, "--record", record});
        return args;
    }

    bool HasWorkingTemporaryFile() const
    {
        std::error_code gone; // the file may go while it is looked at
        for (const fs::directory_entry& entry : fs::directory_iterator(dir_.path()))
            if (entry.path().filename().string().ends_with(".tmp") && entry.file_size(gone) > 0 && !gone)
                return true;
        return false;
    }

    std::vector<std::string> TemporaryFiles() const
    {
        std::vector<std::string> names;
        for (const fs::directory_entry& entry : fs::directory_iterator(dir_.path()))
            if (entry.path().filename().string().ends_with(".tmp"))
                names.push_back(entry.path().filename().string());
        return names;
    }

    TempDir dir_;
};

TEST_P(SignalTable, EndsWith128PlusNKeepingEveryOldFile)
{
    const auto& [command, signal, moment] = GetParam();
    ToolLaunch launch;
    launch.folder = dir_.path().string();
    launch.err = dir_ / "stderr";
    const auto blockedOn = [&](pid_t pid, const char* where) {
        return WaitUntil(pid, [&] { return WaitChannel(pid).find(where) != std::string::npos; });
    };
    bool recordKept = true;
    int pipeRead = -1;
    pid_t pid = -1;
    switch (moment) {
    case Moment::DuringWork:
    case Moment::SecondSignal: {
        launch.args = With(command.work, "kept.out", "run.json");
        pid = StartTool(launch);
        // A scan or sweep is working once its temporary file fills; a figure once its picture takes memory;
        // a fit soon after its start.
        bool working = true;
        if (command.busy == Busy::TemporaryFile)
            working = WaitUntil(pid, [&] { return HasWorkingTemporaryFile(); });
        else if (command.busy == Busy::Memory)
            working = WaitUntil(pid, [&] { return ResidentKilobytes(pid) > 100000; });
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
        ASSERT_TRUE(working) << ReadFile(dir_ / "stderr");
        break;
    }
    case Moment::BeforeCommit:
        // The output is complete in its temporary file while the record's FIFO waits for a reader.
        ASSERT_EQ(::mkfifo((dir_ / "record.fifo").c_str(), 0600), 0);
        launch.args = With(command.quick, "kept.out", "record.fifo");
        pid = StartTool(launch);
        ASSERT_TRUE(blockedOn(pid, "partner")) << ReadFile(dir_ / "stderr");
        EXPECT_FALSE(TemporaryFiles().empty()) << "the output waits complete for its record";
        break;
    case Moment::BlockedOnPipe: {
        int fds[2];
        ASSERT_EQ(::pipe(fds), 0);
        launch.out = fds[1];
        launch.args = With(command.stream, "-", "run.json");
        pid = StartTool(launch);
        ::close(fds[1]);
        pipeRead = fds[0]; // held open, never read
        ASSERT_TRUE(blockedOn(pid, "pipe")) << ReadFile(dir_ / "stderr");
        break;
    }
    case Moment::OpeningFifo:
        ASSERT_EQ(::mkfifo((dir_ / "out.fifo").c_str(), 0600), 0);
        launch.args = With(command.quick, "out.fifo", "run.json");
        pid = StartTool(launch);
        ASSERT_TRUE(blockedOn(pid, "partner")) << ReadFile(dir_ / "stderr");
        break;
    }
    recordKept = moment != Moment::BeforeCommit;

    const auto signalled = std::chrono::steady_clock::now();
    ::kill(pid, signal);
    if (moment == Moment::SecondSignal)
        ::kill(pid, NextSignal(signal));
    const ToolEnd end = WaitForTool(pid, std::chrono::seconds(30));
    // The work stops at its next check, not when it is done.
    if (moment == Moment::DuringWork) {
        EXPECT_LT(std::chrono::steady_clock::now() - signalled, std::chrono::seconds(2));
    }
    if (pipeRead >= 0)
        ::close(pipeRead);

    const std::string err = ReadFile(dir_ / "stderr");
    ASSERT_FALSE(end.timedOut) << "the tool went on after the signal";
    if (moment == Moment::SecondSignal) {
        // The second signal ends the tool at once, unless the first had already stopped it.
        // (Two signals pending at once are taken lowest number first.)
        const int other = NextSignal(signal);
        EXPECT_TRUE(end.signal == signal || end.signal == other || end.exitCode == 128 + signal ||
                    end.exitCode == 128 + other)
            << end.signal << " " << end.exitCode << " " << err;
    } else {
        EXPECT_EQ(end.exitCode, 128 + signal) << end.signal << " " << err;
        EXPECT_NE(err.find(std::string("interrupted by ") + SignalName(signal)), std::string::npos) << err;
    }
    EXPECT_TRUE(ReadFile(dir_ / "kept.out") == "old output") << "the old output was replaced";
    if (recordKept) {
        EXPECT_TRUE(ReadFile(dir_ / "run.json") == "old record") << "the old record was replaced";
    }
    EXPECT_TRUE(TemporaryFiles().empty()) << TemporaryFiles().front();
    for (const char* fifo : {"record.fifo", "out.fifo"})
        EXPECT_TRUE(!fs::exists(dir_ / fifo) || fs::is_fifo(dir_ / fifo)) << fifo;
}

INSTANTIATE_TEST_SUITE_P(LongCommands, SignalTable,
                         ::testing::Combine(::testing::ValuesIn(kCommands), ::testing::Values(SIGINT, SIGTERM, SIGHUP),
                                            ::testing::Values(Moment::DuringWork, Moment::BeforeCommit,
                                                              Moment::SecondSignal, Moment::BlockedOnPipe,
                                                              Moment::OpeningFifo)),
                         [](const ::testing::TestParamInfo<SignalCase>& param) {
                             return std::string(std::get<0>(param.param).name) + "_" +
                                    SignalName(std::get<1>(param.param)) + "_" + MomentName(std::get<2>(param.param));
                         });

} // namespace
} // namespace tamrisk
