#!/bin/bash
# Submits again only the parts that are missing or damaged, and the join.
set -euo pipefail
source ./sweep.conf
missing=$(tamrisk-cli join --shards "$N" --list-missing parts/)
if [ -z "$missing" ]; then
  echo "No part is missing or damaged; tamrisk-cli join names anything else in parts/." >&2
  exit 1
fi
array=$(sbatch --parsable --array="$missing" sweep.sbatch)
join=$(sbatch --parsable --dependency="afterany:$array" join.sbatch)
echo "run again: parts $missing as job $array, join: job $join"
