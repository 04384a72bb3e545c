// SPDX-License-Identifier: GPL-3.0-or-later
// The command-line tool as scripts run it: a whole process, start included.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace {

// Runs the tool with its output to /dev/null; false when it does not end with 0.
bool RunTool(std::vector<std::string> args)
{
    args.insert(args.begin(), TAMRISK_CLI_PATH);
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    return spawned == 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// A scan of 2^31 extinction values without evaluation times has no point to
// compute: the tool writes the header and ends, as quickly as it starts.
void BM_ToolScanGridWithoutPoints(benchmark::State& state)
{
    const std::string output = (std::filesystem::temp_directory_path() / "tamrisk-bench-empty-scan.txt").string();
    for (auto _ : state) {
        if (!RunTool({"scan", "-o", output, "--ext-steps", "2147483647", "--time-steps", "-1"})) {
            state.SkipWithError("tamrisk-cli failed");
            break;
        }
    }
    std::filesystem::remove(output);
}
BENCHMARK(BM_ToolScanGridWithoutPoints)->UseRealTime()->Unit(benchmark::kMillisecond);

// The floor of the figure above: the tool's start alone.
void BM_ToolVersion(benchmark::State& state)
{
    for (auto _ : state) {
        if (!RunTool({"--version"})) {
            state.SkipWithError("tamrisk-cli failed");
            break;
        }
    }
}
BENCHMARK(BM_ToolVersion)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace
