// SPDX-License-Identifier: GPL-3.0-or-later
// The default thread count: the CPUs the process may use, and Slurm's share.
#include "scan/UsableThreads.h"

#include <gtest/gtest.h>

#include <sched.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace tamrisk {
namespace {

struct ThreadRule {
    const char* name;
    int affinity;
    const char* slurm;
    int cores;
    int expected;
};

void PrintTo(const ThreadRule& rule, std::ostream* os) { *os << rule.name; }

class UsableThreadsRule : public ::testing::TestWithParam<ThreadRule> {};

TEST_P(UsableThreadsRule, Threads)
{
    const ThreadRule& rule = GetParam();
    EXPECT_EQ(UsableThreads(rule.affinity, rule.slurm, rule.cores), rule.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Scan, UsableThreadsRule,
    ::testing::Values(ThreadRule{"AffinityNotCores", 2, nullptr, 64, 2},
                      ThreadRule{"CoresWhenAffinityUnknown", 0, nullptr, 8, 8},
                      ThreadRule{"OneWhenNothingIsKnown", 0, nullptr, 0, 1}, ThreadRule{"SlurmSmaller", 16, "4", 64, 4},
                      ThreadRule{"SlurmLargerIgnored", 2, "8", 64, 2},
                      ThreadRule{"SlurmWithoutAffinity", 0, "3", 64, 3}, ThreadRule{"SlurmEmpty", 16, "", 64, 16},
                      ThreadRule{"SlurmNotANumber", 16, "abc", 64, 16}, ThreadRule{"SlurmZero", 16, "0", 64, 16},
                      ThreadRule{"SlurmNegative", 16, "-2", 64, 16}, ThreadRule{"SlurmTrailingText", 16, "4x", 64, 16},
                      ThreadRule{"SlurmOverflow", 16, "99999999999999999999", 64, 16},
                      ThreadRule{"AtMost1024", 4096, nullptr, 4096, 1024}),
    [](const auto& c) { return c.param.name; });

// Sets or clears an environment variable for one test.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name)
    {
        if (const char* old = std::getenv(name))
            old_ = old;
        if (value != nullptr)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~ScopedEnv()
    {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

// The calling thread pinned to fewer CPUs, as taskset does it to a process.
TEST(UsableThreads, FollowsTheAffinityOfTheCaller)
{
    const ScopedEnv noSlurm("SLURM_CPUS_PER_TASK", nullptr);
    cpu_set_t all;
    ASSERT_EQ(::sched_getaffinity(0, sizeof all, &all), 0);
    EXPECT_EQ(UsableThreads(), CPU_COUNT(&all));
    int first = 0;
    while (!CPU_ISSET(first, &all))
        ++first;
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(first, &one);
    ASSERT_EQ(::sched_setaffinity(0, sizeof one, &one), 0);
    const int pinned = UsableThreads();
    ASSERT_EQ(::sched_setaffinity(0, sizeof all, &all), 0);
    EXPECT_EQ(pinned, 1);
    const ScopedEnv slurm("SLURM_CPUS_PER_TASK", "1");
    EXPECT_EQ(UsableThreads(), 1);
}

} // namespace
} // namespace tamrisk
