#!/bin/bash
# Submits the sweep of sweep.conf as a job array of N tasks, and the join
# that waits for all of them. Run it in the folder that holds sweep.conf.
set -euo pipefail
source ./sweep.conf
# Slurm opens a task's log before the task runs: without logs/ the task
# fails at once, with no log to say why.
mkdir -p logs parts
array=$(sbatch --parsable --array="1-$N" sweep.sbatch)
join=$(sbatch --parsable --dependency="afterany:$array" join.sbatch)
echo "sweep: job $array ($N tasks), join: job $join"
