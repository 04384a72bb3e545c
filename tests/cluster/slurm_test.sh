#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The README's Slurm scripts (examples/slurm) run as written on a private
# one-node Slurm: a job array of 8 parts of an uneven table, one part
# cancelled, the join's refusal naming it, the missing part run again with
# rerun.sh, and the joined table byte for byte the unsharded sweep.
#
# Usage: slurm_test.sh TAMRISK_CLI SOURCE_DIR (as root; CTest runs it)
set -euo pipefail
cli=$(realpath "$1")
source_dir=$(realpath "$2")
source "$(dirname "$0")/private_slurm.sh"
enter_private_network "$@"
start_private_slurm

fail() {
  echo "FAILED: $*"
  exit 1
}

work="$slurm_root/work"
cp "$source_dir/examples/sweep.conf" "$source_dir"/examples/slurm/* "$work/"
cd "$work"
export PATH="$(dirname "$cli"):$PATH"
source ./sweep.conf
[ "$N" -ge 7 ] || fail "the example should have at least 7 parts, not $N"
points=$(tamrisk-cli sweep "${SWEEP[@]}" --count | sed -n 's/^points //p')
[ $((points % N)) -ne 0 ] || fail "the example's $points points divide evenly into $N parts"

# The array waits on a drained node while one of its tasks is cancelled.
scontrol update nodename=tamrisk-node state=drain reason=tamrisk-test
submitted=$(./submit.sh)
echo "$submitted"
array=$(sed -n 's/^sweep: job \([0-9]*\) .*/\1/p' <<<"$submitted")
join=$(sed -n 's/.*join: job \([0-9]*\)$/\1/p' <<<"$submitted")
[ -n "$array" ] && [ -n "$join" ] || fail "submit.sh did not name its jobs"
scancel "${array}_3"
scontrol update nodename=tamrisk-node state=resume
wait_for_jobs 120 || { show_slurm_logs; fail "the jobs did not end"; }

[ "$(job_state "$join")" = FAILED ] || fail "the join job is $(job_state "$join"), not FAILED"
join_log="logs/tamrisk-join-$join.out"
cat "$join_log"
grep -q "part 3 of $N is missing" "$join_log" || fail "the join's log does not name part 3"
[ ! -e sweep.csv ] || fail "the join wrote sweep.csv from an incomplete set"
[ "$(tamrisk-cli join --shards "$N" --list-missing parts/)" = 3 ] || fail "--list-missing does not print 3"
ls parts

# The missing part alone, and the join again.
resubmitted=$(./rerun.sh)
echo "$resubmitted"
rearray=$(sed -n 's/.* as job \([0-9]*\),.*/\1/p' <<<"$resubmitted")
rejoin=$(sed -n 's/.*join: job \([0-9]*\)$/\1/p' <<<"$resubmitted")
[ -n "$rearray" ] && [ -n "$rejoin" ] || fail "rerun.sh did not name its jobs"
wait_for_jobs 120 || { show_slurm_logs; fail "the jobs did not end"; }
[ "$(job_state "$rejoin")" = COMPLETED ] || { cat "logs/tamrisk-join-$rejoin.out"; fail "the second join did not complete"; }
# Every task but the cancelled one ran, then that one alone.
[ "$(ls logs | grep -c "^tamrisk-sweep-${array}_")" -eq $((N - 1)) ] || fail "the first array did not run $((N - 1)) tasks"
[ "$(ls logs | grep -c "^tamrisk-sweep-${rearray}_3.out")" -eq 1 ] &&
  [ "$(ls logs | grep -c "^tamrisk-sweep-${rearray}_")" -eq 1 ] || fail "more than the missing part ran again"

tamrisk-cli sweep "${SWEEP[@]}" -o whole.csv
cmp whole.csv sweep.csv || fail "the joined table differs from the unsharded sweep"
echo "PASSED: $N parts on Slurm, one cancelled and run again, joined byte for byte"
