#!/usr/bin/env bash
# The whole 201 x 201 t-Scan as a process, tamrisk-cli on one and two threads
# beside the numpy script of the same model (bench/scan_numpy.py), measured
# side by side in one run. Each figure is the best of several runs: wall time,
# and the processor time (user + system, all threads) the process used.
# Usage: bench/scan_process_bench.sh [path/to/tamrisk-cli]
set -euo pipefail
cli=${1:-build/release/cli/tamrisk-cli}
here=$(cd "$(dirname "$0")" && pwd)
# Files go to memory (/dev/shm) where there is one: the tool syncs a finished
# file to the disk before it replaces the old one, which numpy's script does
# not, and a disk's sync time says nothing about either program.
out=$(mktemp -d -p "$( [ -d /dev/shm ] && [ -w /dev/shm ] && echo /dev/shm || echo "${TMPDIR:-/tmp}")")
trap 'rm -rf "$out"' EXIT

# Runs the command $1 times; prints the best wall and the best processor time in ms.
best_ms() {
    local runs=$1
    shift
    local best_wall="" best_cpu="" line wall cpu
    TIMEFORMAT='%R %U %S'
    for _ in $(seq "$runs"); do
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

read -r numpy_wall numpy_cpu <<<"$(best_ms 3 /usr/bin/python3 "$here/scan_numpy.py" 200 "$out/numpy.txt")"
read -r one_wall one_cpu <<<"$(best_ms 15 "$cli" scan --ext-steps 200 --time-steps 200 --threads 1 -o "$out/one.txt")"
read -r two_wall two_cpu <<<"$(best_ms 15 "$cli" scan --ext-steps 200 --time-steps 200 --threads 2 -o "$out/two.txt")"
read -r empty_wall empty_cpu <<<"$(best_ms 15 /bin/true)"
start_tool=$(mean_ms 300 "$cli" --version)
start_empty=$(mean_ms 300 /bin/true)
cmp -s "$out/one.txt" "$out/two.txt" || { echo "files of one and two threads differ" >&2; exit 1; }

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%5.1fx", a / (b > 0 ? b : 0.001) }'; }
printf '201 x 201 scan as a process (best of runs; the machine is timed as it is)\n'
printf '                          wall ms   vs numpy    cpu ms   vs numpy\n'
printf '  numpy script          %8s              %8s\n' "$numpy_wall" "$numpy_cpu"
printf '  tamrisk-cli 1 thread  %8s   %s   %8s   %s\n' "$one_wall" "$(ratio "$numpy_wall" "$one_wall")" "$one_cpu" "$(ratio "$numpy_cpu" "$one_cpu")"
printf '  tamrisk-cli 2 threads %8s   %s   %8s   %s\n' "$two_wall" "$(ratio "$numpy_wall" "$two_wall")" "$two_cpu" "$(ratio "$numpy_cpu" "$two_cpu")"
printf '  empty process         %8s              %8s\n' "$empty_wall" "$empty_cpu"
printf '\nStart (mean of 300 runs)    ms   vs empty\n'
printf '  tamrisk-cli --version %6s   %s\n' "$start_tool" "$(ratio "$start_tool" "$start_empty")"
printf '  empty process         %6s\n' "$start_empty"
