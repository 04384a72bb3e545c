#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The whole 201 x 201 t-Scan as a process, tamrisk-cli on one and two threads
# beside the numpy script of the same model (bench/scan_numpy.py), measured
# side by side in one run. Each figure is the best of several runs: wall time,
# and the processor time (user + system, all threads) the process used.
#
# The tool's file is written twice over: to a real disk (a folder beside the
# tool, in the build tree) and to memory (/dev/shm). On the disk the tool
# syncs the finished file before it replaces the old one, which numpy's
# script does not do; its wall time there, against memory, is what that
# durability costs. The file systems are synced before each run (untimed), so
# that no run waits for the storing of an earlier run's files.
# Usage: bench/scan_process_bench.sh [path/to/tamrisk-cli]
set -euo pipefail
cli=${1:-build/release/cli/tamrisk-cli}
here=$(cd "$(dirname "$0")" && pwd)
disk=$(mktemp -d -p "$(cd "$(dirname "$cli")" && pwd)")
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
    memory=$(mktemp -d -p /dev/shm)
else
    memory=$(mktemp -d -p "${TMPDIR:-/tmp}")
fi
trap 'rm -rf "$disk" "$memory"' EXIT

# Runs the command $1 times; prints the best wall and the best processor time in ms.
best_ms() {
    local runs=$1
    shift
    local best_wall="" best_cpu="" line wall cpu
    TIMEFORMAT='%R %U %S'
    for _ in $(seq "$runs"); do
        sync
        line=$({ time "$@" >/dev/null; } 2>&1 | tail -1)
        wall=$(awk '{ printf "%d", $1 * 1000000 }' <<<"$line")
        cpu=$(awk '{ printf "%d", ($2 + $3) * 1000000 }' <<<"$line")
        if [ -z "$best_wall" ] || [ "$wall" -lt "$best_wall" ]; then best_wall=$wall; fi
        if [ -z "$best_cpu" ] || [ "$cpu" -lt "$best_cpu" ]; then best_cpu=$cpu; fi
    done
    awk -v w="$best_wall" -v c="$best_cpu" 'BEGIN { printf "%.1f %.1f", w / 1000, c / 1000 }'
}

# Mean wall time of $1 runs in a row, in ms: what a script that starts the tool
# over and over pays per start.
mean_ms() {
    local runs=$1
    shift
    local start end
    start=$(date +%s%N)
    for _ in $(seq "$runs"); do "$@" >/dev/null; done
    end=$(date +%s%N)
    awk -v t="$((end - start))" -v n="$runs" 'BEGIN { printf "%.2f", t / n / 1e6 }'
}

scan() { "$cli" scan --ext-steps 200 --time-steps 200 --threads "$1" -q -o "$2"; }

read -r numpy_wall numpy_cpu <<<"$(best_ms 3 /usr/bin/python3 "$here/scan_numpy.py" 200 "$memory/numpy.txt")"
declare -A wall cpu
for threads in 1 2; do
    for place in memory disk; do
        folder=$memory
        [ "$place" = disk ] && folder=$disk
        read -r "wall[$place$threads]" "cpu[$place$threads]" <<<"$(best_ms 15 scan "$threads" "$folder/t$threads.txt")"
    done
done
read -r empty_wall empty_cpu <<<"$(best_ms 15 /bin/true)"
start_tool=$(mean_ms 300 "$cli" --version)
start_empty=$(mean_ms 300 /bin/true)
for file in "$memory/t2.txt" "$disk/t1.txt" "$disk/t2.txt"; do
    cmp -s "$memory/t1.txt" "$file" || { echo "the scan files differ: $file" >&2; exit 1; }
done

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%5.2fx", a / (b > 0 ? b : 0.001) }'; }
fs() { stat -f -c %T "$1"; }
printf '201 x 201 scan as a process (best of runs; the machine is timed as it is)\n'
printf '  memory: %s (%s); disk: %s (%s)\n\n' "$memory" "$(fs "$memory")" "$disk" "$(fs "$disk")"
printf '                                   wall ms  numpy / this   cpu ms  numpy / this   disk / memory (wall)\n'
printf '  numpy script, memory            %8s                %8s\n' "$numpy_wall" "$numpy_cpu"
for threads in 1 2; do
    label="$threads thread"
    [ "$threads" = 2 ] && label="2 threads"
    for place in memory disk; do
        w=${wall[$place$threads]}
        c=${cpu[$place$threads]}
        against=""
        [ "$place" = disk ] && against=$(ratio "$w" "${wall[memory$threads]}")
        printf '  tamrisk-cli %-9s %-6s     %8s   %s     %8s   %s     %s\n' "$label," "$place" "$w" \
            "$(ratio "$numpy_wall" "$w")" "$c" "$(ratio "$numpy_cpu" "$c")" "$against"
    done
done
printf '  empty process                   %8s                %8s\n' "$empty_wall" "$empty_cpu"
printf '\nStart (mean of 300 runs)    ms   vs empty\n'
printf '  tamrisk-cli --version %6s   %s\n' "$start_tool" "$(ratio "$start_tool" "$start_empty")"
printf '  empty process         %6s\n' "$start_empty"
