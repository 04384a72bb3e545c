// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The built tamrisk-cli as a child process that a test watches while it
// runs: its standard output is any descriptor (a pipe nobody reads, a file
// opened for appending), it may run as another user, and the test can see
// where it waits and how it ended.
#include "support/TestSupport.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tamrisk::testing {

struct ToolLaunch {
    std::vector<std::string> args;
    std::string folder;            // the working folder
    int out = -1;                  // standard output; -1: /dev/null
    std::string err = "/dev/null"; // file for standard error
    std::optional<uid_t> user;     // run as this user and its group (the test must be root)
    std::optional<gid_t> group;
};

// The user "nobody" when the test runs as root and may start the tool as
// another user; nothing otherwise.
inline std::optional<std::pair<uid_t, gid_t>> OtherUser()
{
    if (::geteuid() != 0)
        return std::nullopt;
    const passwd* entry = ::getpwnam("nobody");
    if (entry == nullptr)
        return std::nullopt;
    return std::pair(entry->pw_uid, entry->pw_gid);
}

// Returns once the child runs the tool: until then it is a copy of the test
// process, whose memory and signal handlers are not the tool's.
inline pid_t StartTool(const ToolLaunch& launch)
{
    std::vector<std::string> all = {TAMRISK_CLI_PATH};
    all.insert(all.end(), launch.args.begin(), launch.args.end());
    std::vector<char*> argv;
    for (std::string& arg : all)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    int started[2];
    if (::pipe2(started, O_CLOEXEC) != 0)
        return -1;
    const pid_t pid = ::fork();
    if (pid != 0) {
        // The exec closes the child's end: the read then ends.
        ::close(started[1]);
        char ignored;
        while (::read(started[0], &ignored, 1) < 0 && errno == EINTR) {
        }
        ::close(started[0]);
        return pid;
    }
    // The child: only calls that are safe after fork in a threaded program.
    const int out = launch.out >= 0 ? launch.out : ::open("/dev/null", O_WRONLY);
    const int err = ::open(launch.err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int in = ::open("/dev/null", O_RDONLY);
    if (out < 0 || err < 0 || in < 0 || ::dup2(in, 0) < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0)
        ::_exit(126);
    if (launch.group && (::setgroups(0, nullptr) != 0 || ::setgid(*launch.group) != 0))
        ::_exit(126);
    if (launch.user && ::setuid(*launch.user) != 0)
        ::_exit(126);
    if (::chdir(launch.folder.c_str()) != 0)
        ::_exit(126);
    ::execv(argv[0], argv.data());
    ::_exit(127);
}

struct ToolEnd {
    int exitCode = -1; // when it exited
    int signal = 0;    // when a signal ended it
    bool timedOut = false;
};

// Waits for the tool; one still running after `limit` is killed and reported as timed out.
inline ToolEnd WaitForTool(pid_t pid, std::chrono::milliseconds limit = std::chrono::seconds(60))
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    ToolEnd end;
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            end.timedOut = true;
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return end;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (WIFEXITED(status))
        end.exitCode = WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        end.signal = WTERMSIG(status);
    return end;
}

// Waits until `ready` holds for the running tool; false when it ended or
// `limit` passed first.
template <class Ready>
bool WaitUntil(pid_t pid, Ready ready, std::chrono::milliseconds limit = std::chrono::seconds(20))
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        if (ready())
            return true;
        siginfo_t info{};
        if (::waitid(P_PID, id_t(pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0 || info.si_pid == pid)
            return false; // it ended; WaitForTool collects it
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
}

// Where the kernel has the process wait ("wait_for_partner": opening a FIFO
// without reader; "pipe_write" or "anon_pipe_write": a full pipe).
inline std::string WaitChannel(pid_t pid) { return ReadFile("/proc/" + std::to_string(pid) + "/wchan"); }

// The process's resident memory in kB.
inline long ResidentKilobytes(pid_t pid)
{
    const std::string status = ReadFile("/proc/" + std::to_string(pid) + "/status");
    const std::size_t at = status.find("VmRSS:");
    return at == std::string::npos ? 0 : std::stol(status.substr(at + 6));
}

} // namespace tamrisk::testing
