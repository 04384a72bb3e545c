#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The README's GNU parallel script (examples/parallel/sweep.sh) run as
# written: 8 parts of an uneven table, one of them killed, the join's refusal
# naming it, the script run again (only the killed part runs), and the joined
# table byte for byte the unsharded sweep.
#
# Usage: parallel_test.sh TAMRISK_CLI SOURCE_DIR
set -euo pipefail
cli=$(realpath "$1")
source_dir=$(realpath "$2")
command -v parallel >/dev/null || { echo "SKIPPED: GNU parallel is not installed"; exit 77; }

fail() {
  echo "FAILED: $*"
  exit 1
}

work=$(mktemp -d /tmp/tamrisk-parallel.XXXXXX)
trap 'rm -rf "$work"' EXIT
cp "$source_dir/examples/sweep.conf" "$source_dir/examples/parallel/sweep.sh" "$work/"
cd "$work"
source ./sweep.conf

# The tool as the scripts find it, except that part 3 is killed (as by the
# kernel for want of memory) while a file says so.
mkdir bin
cat >bin/tamrisk-cli <<SHIM
#!/bin/bash
if [ -e "$work/kill-part-3" ] && [[ " \$* " == *" --shard 3/"* ]]; then
  kill -KILL \$\$
fi
exec "$cli" "\$@"
SHIM
chmod +x bin/tamrisk-cli
export PATH="$work/bin:$PATH"

touch kill-part-3
if ./sweep.sh >first.out 2>&1; then
  cat first.out
  fail "the script succeeded with part 3 killed"
fi
cat first.out
grep -q "part 3 of $N is missing" first.out || fail "the join does not name part 3"
[ ! -e sweep.csv ] || fail "the join wrote sweep.csv from an incomplete set"

rm kill-part-3
./sweep.sh || fail "the second run failed"
# The joblog: a header, the first run's N jobs and the one run again.
[ "$(wc -l <parts.joblog)" -eq $((N + 2)) ] || { cat parts.joblog; fail "more than the killed part ran again"; }

"$cli" sweep "${SWEEP[@]}" -o whole.csv
cmp whole.csv sweep.csv || fail "the joined table differs from the unsharded sweep"
# The Slurm script refuses to run outside a job array, under set -u.
if env -u SLURM_ARRAY_TASK_ID bash "$source_dir/examples/slurm/sweep.sbatch" 2>err.txt; then
  fail "sweep.sbatch ran outside a job array"
fi
grep -q "submit with sbatch --array" err.txt || { cat err.txt; fail "sweep.sbatch does not say how to submit it"; }
echo "PASSED: $N parts with GNU parallel, one killed and run again, joined byte for byte"
