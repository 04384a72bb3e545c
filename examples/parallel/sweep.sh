#!/bin/bash
# The sweep of sweep.conf in N parts with GNU parallel, on this machine (add
# --sshloginfile for several that share this folder), then the join. Run it
# again after a failure or a stop: --resume-failed runs only the parts that
# failed or never ran, and --skip-complete passes over parts that are whole.
set -euo pipefail
source ./sweep.conf
mkdir -p parts
# seq -w pads K to the width of N, so that the names sort in order.
if ! seq -w 1 "$N" | parallel --joblog parts.joblog --resume-failed -j "$(nproc)" \
    tamrisk-cli sweep "${SWEEP[@]}" --threads 1 --shard "{}/$N" --skip-complete -o "parts/part-{}.csv"; then
  echo "Some parts failed (see parts.joblog); run $0 again to run them alone." >&2
fi
tamrisk-cli join --shards "$N" -o sweep.csv parts/
