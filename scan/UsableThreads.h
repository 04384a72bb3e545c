// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace tamrisk {

// How many threads a long job runs on by default: the CPUs this process may
// use (its affinity, as taskset, a cpuset or a batch system's binding sets
// it), and no more than Slurm's SLURM_CPUS_PER_TASK where that is set. On a
// shared node the machine's core count would overload the CPUs of others.
// At least 1, at most 1024.
int UsableThreads();

// The rule for a given affinity (number of CPUs, 0 when unknown) and value of
// SLURM_CPUS_PER_TASK (nullptr when unset; a text that is not a positive
// whole number is ignored); `cores` stands in when the affinity is unknown.
int UsableThreads(int affinityCpus, const char* slurmCpusPerTask, int cores);

} // namespace tamrisk
