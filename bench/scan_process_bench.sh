#!/usr/bin/env bash
# The whole 201 x 201 t-Scan as a process, tamrisk-cli on one and two threads
# beside the numpy script of the same model (bench/scan_numpy.py), measured
# side by side in one run; each time is the best of several runs.
# Usage: bench/scan_process_bench.sh [path/to/tamrisk-cli]
set -euo pipefail
cli=${1:-build/release/cli/tamrisk-cli}
here=$(cd "$(dirname "$0")" && pwd)
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

best_ms() {  # runs the command $1 times, prints the best wall time in ms
    local runs=$1 best=""
    shift
    for _ in $(seq "$runs"); do
        local start end ms
        start=$(date +%s%N)
        "$@" >/dev/null
        end=$(date +%s%N)
        ms=$(( (end - start) / 1000 ))
        if [ -z "$best" ] || [ "$ms" -lt "$best" ]; then best=$ms; fi
    done
    awk -v us="$best" 'BEGIN { printf "%.2f", us / 1000 }'
}

numpy=$(best_ms 5 /usr/bin/python3 "$here/scan_numpy.py" 200 "$out/numpy.txt")
one=$(best_ms 20 "$cli" scan --ext-steps 200 --time-steps 200 --threads 1 -o "$out/one.txt")
two=$(best_ms 20 "$cli" scan --ext-steps 200 --time-steps 200 --threads 2 -o "$out/two.txt")
empty=$(best_ms 20 /bin/true)
cmp -s "$out/one.txt" "$out/two.txt" || { echo "files of one and two threads differ" >&2; exit 1; }

printf '201 x 201 scan as a process (best of runs)\n'
printf '  numpy script        %8s ms\n' "$numpy"
printf '  tamrisk-cli 1 thread %7s ms   %5.1fx numpy\n' "$one" "$(awk -v a="$numpy" -v b="$one" 'BEGIN { print a / b }')"
printf '  tamrisk-cli 2 threads %6s ms   %5.1fx numpy\n' "$two" "$(awk -v a="$numpy" -v b="$two" 'BEGIN { print a / b }')"
printf '  empty process       %8s ms\n' "$empty"
