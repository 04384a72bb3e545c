// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Runs the built tamrisk-cli as another program would, in a folder of its own.
#include "support/TestSupport.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

extern char** environ;

namespace tamrisk::testing {

struct ToolOutcome {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs the tool with `args` in `folder`, standard input from `input` (a file).
inline ToolOutcome RunTool(const std::vector<std::string>& args, const std::string& folder,
                           const std::string& input = "/dev/null")
{
    std::vector<std::string> all = {TAMRISK_CLI_PATH};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : all)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    const std::string out = folder + "/.stdout", err = folder + "/.stderr";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    posix_spawn_file_actions_addopen(&actions, 0, input.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    ToolOutcome outcome;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    outcome.out = ReadFile(out);
    outcome.err = ReadFile(err);
    ::unlink(out.c_str());
    ::unlink(err.c_str());
    return outcome;
}

} // namespace tamrisk::testing
