// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/UsableThreads.h"

#include <sched.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace tamrisk {

namespace {

constexpr int kMaxThreads = 1024;

// The CPUs in the process's affinity mask, or 0 when the system does not say.
int AffinityCpus()
{
    // The mask grows until it holds every CPU the kernel knows.
    for (int cpus = 1024; cpus <= 1 << 20; cpus *= 2) {
        cpu_set_t* set = CPU_ALLOC(cpus);
        if (set == nullptr)
            return 0;
        const std::size_t size = CPU_ALLOC_SIZE(cpus);
        CPU_ZERO_S(size, set);
        const int result = ::sched_getaffinity(0, size, set);
        const int count = result == 0 ? CPU_COUNT_S(size, set) : 0;
        CPU_FREE(set);
        if (result == 0)
            return count;
        if (errno != EINVAL)
            return 0;
    }
    return 0;
}

} // namespace

int UsableThreads(int affinityCpus, const char* slurmCpusPerTask, int cores)
{
    int threads = affinityCpus > 0 ? affinityCpus : std::max(cores, 1);
    if (slurmCpusPerTask != nullptr) {
        const char* end = slurmCpusPerTask + std::strlen(slurmCpusPerTask);
        int slurm = 0;
        const auto [ptr, error] = std::from_chars(slurmCpusPerTask, end, slurm);
        if (ptr != slurmCpusPerTask && ptr == end && error == std::errc() && slurm > 0)
            threads = std::min(threads, slurm);
    }
    return std::clamp(threads, 1, kMaxThreads);
}

int UsableThreads()
{
    return UsableThreads(AffinityCpus(), std::getenv("SLURM_CPUS_PER_TASK"), int(std::thread::hardware_concurrency()));
}

} // namespace tamrisk
