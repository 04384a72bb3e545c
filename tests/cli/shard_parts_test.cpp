// SPDX-License-Identifier: GPL-3.0-or-later
// A sweep's parts: the manifest beside each, written only for a whole part;
// --skip-complete; and the threads a part runs on by default.
#include "ShardedSweep.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tamrisk {
namespace {

namespace fs = std::filesystem;
using testing::ReadFile;
using testing::RunTool;
using testing::ToolOutcome;
using testing::WriteText;

nlohmann::json ManifestOf(const fs::path& part)
{
    return nlohmann::json::parse(ReadFile(part.string() + ".manifest.json"));
}

// What sha256sum says of a file.
std::string Sha256Sum(const fs::path& file)
{
    std::string command = "sha256sum '" + file.string() + "'";
    FILE* pipe = ::popen(command.c_str(), "r");
    char digest[65] = {};
    const bool read = pipe != nullptr && std::fread(digest, 1, 64, pipe) == 64;
    if (pipe != nullptr)
        ::pclose(pipe);
    return read ? digest : "";
}

class ShardManifestTest : public testing::ShardedSweepTest {};

TEST_F(ShardManifestTest, EachPartSaysWhichRowsAndBytesItHolds)
{
    std::int64_t nextRow = 1;
    std::string fingerprint;
    for (int k = 1; k <= testing::kShards; ++k) {
        const fs::path part = Parts() / testing::PartName(k);
        const nlohmann::json manifest = ManifestOf(part);
        EXPECT_EQ(manifest["shard"], k);
        EXPECT_EQ(manifest["shards"], testing::kShards);
        EXPECT_EQ(manifest["points"], 104);
        EXPECT_EQ(manifest["format"], "csv");
        // Contiguous rows, 14 or 15 to a part, counted from 1.
        EXPECT_EQ(manifest["first_row"], nextRow) << k;
        const std::int64_t rows = manifest["rows"];
        EXPECT_TRUE(rows == 14 || rows == 15) << rows;
        EXPECT_EQ(manifest["last_row"], nextRow + rows - 1);
        nextRow += rows;
        EXPECT_EQ(manifest["bytes"], fs::file_size(part));
        EXPECT_EQ(manifest["sha256"], Sha256Sum(part)) << k;
        if (k == 1)
            fingerprint = manifest["fingerprint"];
        EXPECT_EQ(manifest["fingerprint"], fingerprint) << "one sweep, one fingerprint";
    }
    EXPECT_EQ(nextRow, 105);
    EXPECT_EQ(fingerprint.size(), 64u);
    EXPECT_NE(ManifestOf(Master() / "other" / "p1.csv")["fingerprint"], fingerprint);
    EXPECT_NE(ManifestOf(Master() / "eight" / "p1.csv")["shards"], testing::kShards);
}

// The fingerprint follows the table's bytes, not how or where a part was made.
TEST_F(ShardManifestTest, FingerprintNamesTheTableNotTheRun)
{
    const std::string fingerprint = ManifestOf(Parts() / "p1.csv")["fingerprint"];
    struct Run {
        std::vector<std::string> extra;
        bool same;
    };
    const Run runs[] = {
        {{"--threads", "1"}, true},
        {{"--record", "r.json"}, true},
        {{"--format", "tsv"}, false},
        {{"--dose-rate", "0.5"}, false}, // a fixed input
        {{"--columns", "signal_axis_max"}, false},
    };
    for (const Run& run : runs) {
        const ToolOutcome made =
            RunTool(testing::Joined(testing::Joined(testing::Joined({"sweep"}, testing::kSweep), run.extra),
                                    {"--shard", "1/3", "-o", "elsewhere.txt"}),
                    dir_.path().string());
        ASSERT_EQ(made.exitCode, 0) << made.err;
        EXPECT_EQ(ManifestOf(dir_.path() / "elsewhere.txt")["fingerprint"] == fingerprint, run.same) << run.extra[0];
    }
    // Through standard output a part has no manifest, and its bytes are as before.
    const ToolOutcome piped =
        RunTool(testing::Joined(testing::Joined({"sweep"}, testing::kSweep), {"--shard", "1/7"}), dir_.path().string());
    EXPECT_EQ(piped.out, ReadFile(Parts() / "p1.csv"));
    EXPECT_FALSE(fs::exists(dir_.path() / "-.manifest.json"));
}

// --skip-complete over a part in each state: left alone only when whole.
struct PartState {
    const char* name;
    std::function<void(const fs::path& part, const fs::path& master)> make;
    bool skipped;
    const char* note; // on standard error
};

void PrintTo(const PartState& state, std::ostream* os) { *os << state.name; }

class SkipComplete : public testing::ShardedSweepTest, public ::testing::WithParamInterface<PartState> {};

TEST_P(SkipComplete, ComputesWhatIsNotWhole)
{
    const fs::path part = Parts() / "p3.csv";
    const fs::path manifest = part.string() + ".manifest.json";
    GetParam().make(part, Master());
    const auto before = fs::exists(part) ? fs::last_write_time(part) : fs::file_time_type{};
    const ToolOutcome run = RunTool(testing::Joined(testing::Joined({"sweep"}, testing::kSweep),
                                                    {"--shard", "3/7", "-o", "parts/p3.csv", "--skip-complete"}),
                                    dir_.path().string());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.err.find(GetParam().note), std::string::npos) << run.err;
    if (GetParam().skipped) {
        EXPECT_EQ(fs::last_write_time(part), before);
    }
    EXPECT_EQ(ReadFile(part), ReadFile(Master() / "parts" / "p3.csv"));
    EXPECT_EQ(ReadFile(manifest), ReadFile(Master() / "parts" / "p3.csv.manifest.json"));
    const ToolOutcome joined = RunTool({"join", "parts"}, dir_.path().string());
    EXPECT_EQ(joined.exitCode, 0) << joined.err;
    EXPECT_EQ(joined.out, whole_);
}

INSTANTIATE_TEST_SUITE_P(
    Sweep, SkipComplete,
    ::testing::Values(
        PartState{"Whole", [](const fs::path&, const fs::path&) {}, true,
                  "part 3 of 7 of this sweep, whole; nothing to do"},
        PartState{"NeitherThere",
                  [](const fs::path& part, const fs::path&) {
                      fs::remove(part);
                      fs::remove(part.string() + ".manifest.json");
                  },
                  false, ""},
        PartState{"OnlyTheManifest", [](const fs::path& part, const fs::path&) { fs::remove(part); }, false,
                  "computed again: only its manifest is there"},
        PartState{"NoManifest",
                  [](const fs::path& part, const fs::path&) { fs::remove(part.string() + ".manifest.json"); }, false,
                  "computed again: it has no manifest"},
        PartState{"CutShort",
                  [](const fs::path& part, const fs::path&) { fs::resize_file(part, fs::file_size(part) / 2); }, false,
                  "(cut short)"},
        PartState{"FlippedByte",
                  [](const fs::path& part, const fs::path&) {
                      std::string text = ReadFile(part);
                      text[5] ^= 4;
                      WriteText(part, text);
                  },
                  false, "does not match its manifest's checksum"},
        PartState{"DamagedManifest",
                  [](const fs::path& part, const fs::path&) { WriteText(part.string() + ".manifest.json", "[]"); },
                  false, "its manifest is damaged"},
        PartState{"AnotherSweep",
                  [](const fs::path& part, const fs::path& master) {
                      fs::copy_file(master / "other" / "p3.csv", part, fs::copy_options::overwrite_existing);
                      fs::copy_file(master / "other" / "p3.csv.manifest.json", part.string() + ".manifest.json",
                                    fs::copy_options::overwrite_existing);
                  },
                  false, "it belongs to another sweep"},
        PartState{"AnotherPart",
                  [](const fs::path& part, const fs::path& master) {
                      fs::copy_file(master / "eight" / "p3.csv", part, fs::copy_options::overwrite_existing);
                      fs::copy_file(master / "eight" / "p3.csv.manifest.json", part.string() + ".manifest.json",
                                    fs::copy_options::overwrite_existing);
                  },
                  false, "it is part 3 of 8"}),
    [](const auto& c) { return c.param.name; });

// A process of the tool, started and not waited for.
pid_t StartTool(const std::vector<std::string>& args, const fs::path& folder,
                const std::vector<std::string>& prefix = {}, const std::vector<std::string>& settings = {})
{
    std::vector<std::string> all = prefix;
    all.push_back(TAMRISK_CLI_PATH);
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : all)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    std::vector<std::string> setting = settings;
    std::vector<char*> env;
    for (char** e = environ; *e != nullptr; ++e)
        if (std::string(*e).rfind("SLURM_CPUS_PER_TASK=", 0) != 0)
            env.push_back(*e);
    for (std::string& s : setting)
        env.push_back(s.data());
    env.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), env.data());
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

int WaitFor(pid_t pid)
{
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// 2 × 10^7 points: a hundredth takes long enough to be stopped while it is written.
const std::vector<std::string> kLongSweep = {"--vary", "extinction=0.1:1000:99:log", "--vary", "dose-rate=0:2:199",
                                             "--vary", "eval-time=1:10000:999:log"};

bool HasTemporaryFile(const fs::path& folder)
{
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().extension() == ".tmp")
            return true;
    return false;
}

class KilledShard : public ::testing::TestWithParam<int> {};

TEST_P(KilledShard, LeavesNoManifest)
{
    const int signal = GetParam();
    testing::TempDir dir;
    const fs::path parts = dir.path() / "parts";
    fs::create_directory(parts);
    ASSERT_EQ(WaitFor(StartTool(
                  testing::Joined(testing::Joined({"sweep"}, kLongSweep), {"--shard", "2/100", "-o", "parts/b.csv"}),
                  dir.path())),
              0);
    // Part 1 is stopped while it is being written.
    const pid_t pid = StartTool(
        testing::Joined({"sweep"},
                        testing::Joined(kLongSweep, {"--shard", "1/100", "-o", "parts/a.csv", "--threads", "1"})),
        dir.path());
    ASSERT_GT(pid, 0);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!HasTemporaryFile(parts) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    ::kill(pid, signal);
    EXPECT_EQ(WaitFor(pid), 128 + signal);
    EXPECT_FALSE(fs::exists(parts / "a.csv"));
    EXPECT_FALSE(fs::exists(parts / "a.csv.manifest.json"));
    if (signal != SIGKILL) {
        EXPECT_FALSE(HasTemporaryFile(parts)) << "an interrupt removes its temporary file";
    }
    // What the kill left is no part: the join names part 1 as missing.
    const ToolOutcome listed = RunTool({"join", "--list-missing", "parts"}, dir.path().string());
    EXPECT_EQ(listed.out, "1,3-100\n") << listed.err;
    const ToolOutcome joined = RunTool({"join", "parts", "-o", "whole.csv"}, dir.path().string());
    EXPECT_EQ(joined.exitCode, 1);
    EXPECT_NE(joined.err.find("parts 1,3-100 of 100 are missing"), std::string::npos) << joined.err;
    EXPECT_EQ(joined.err.find(".tmp"), std::string::npos) << "a killed write's temporary file is no stray file";
    EXPECT_FALSE(fs::exists(dir.path() / "whole.csv"));
}

INSTANTIATE_TEST_SUITE_P(Sweep, KilledShard, ::testing::Values(SIGKILL, SIGTERM, SIGINT),
                         [](const auto& c) { return std::string(sigabbrev_np(c.param)); });

// The most threads the process had at once while it ran.
int MostThreads(pid_t pid)
{
    int most = 0;
    const fs::path tasks = "/proc/" + std::to_string(pid) + "/task";
    for (;;) {
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid)
            return most;
        std::error_code error;
        int count = 0;
        for (fs::directory_iterator it(tasks, error), end; !error && it != end; it.increment(error))
            ++count;
        most = std::max(most, count);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

TEST(DefaultThreads, FollowTheCpusTheProcessMayUse)
{
    if (std::system("taskset -c 0 true 2>/dev/null") != 0)
        GTEST_SKIP() << "taskset is not available";
    const int cpus = int(std::thread::hardware_concurrency());
    testing::TempDir dir;
    struct Case {
        const char* name;
        std::vector<std::string> prefix;
        std::vector<std::string> settings;
        std::vector<std::string> extra;
        int expected;
    };
    const std::vector<Case> cases = {
        {"taskset one CPU", {"taskset", "-c", "0"}, {}, {}, 1},
        {"taskset two CPUs", {"taskset", "-c", "0,1"}, {}, {}, std::min(cpus, 2)},
        {"Slurm's one CPU", {}, {"SLURM_CPUS_PER_TASK=1"}, {}, 1},
        {"Slurm's share larger than the affinity", {"taskset", "-c", "0"}, {"SLURM_CPUS_PER_TASK=8"}, {}, 1},
        {"--threads says otherwise", {"taskset", "-c", "0"}, {}, {"--threads", "2"}, 2},
    };
    for (const Case& c : cases) {
        if (c.expected > cpus)
            continue;
        const pid_t pid = StartTool(testing::Joined(testing::Joined({"sweep"}, kLongSweep),
                                                    testing::Joined({"--shard", "1/40", "-o", "part.csv"}, c.extra)),
                                    dir.path(), c.prefix, c.settings);
        ASSERT_GT(pid, 0);
        EXPECT_EQ(MostThreads(pid), c.expected) << c.name;
    }
}

} // namespace
} // namespace tamrisk
