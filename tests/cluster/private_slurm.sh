# SPDX-License-Identifier: GPL-3.0-or-later
# A private one-node Slurm for the tests, sourced by them: munge and Slurm
# with every file (configuration, key, sockets, state, spool, logs) in one
# temporary folder, talking over the loopback interface of a network
# namespace of their own. start_private_slurm starts it; a trap stops the
# daemons it started, by their PIDs, and removes the folder.
#
# Exit code 77 tells CTest that the test was skipped: said, never passed.

SKIPPED=77
skip() {
  echo "SKIPPED: $*"
  exit "$SKIPPED"
}

# Runs the calling script again in a network namespace of its own that has
# only the loopback interface, unless it runs in one already.
enter_private_network() {
  if [ -n "${TAMRISK_PRIVATE_NETWORK:-}" ]; then
    # Slurm asks for addresses with AI_ADDRCONFIG, which finds none while
    # 127.0.0.1 is the only one: a second loopback address satisfies it.
    ip link set lo up && ip addr add 127.0.0.2/8 dev lo ||
      skip "cannot bring up the loopback interface of the private network"
    return
  fi
  [ "$(id -u)" -eq 0 ] || skip "a private Slurm is started as root (as CI runs the tests)"
  command -v unshare >/dev/null && command -v ip >/dev/null || skip "unshare or ip is missing (scripts/install-deps.sh)"
  unshare --net true 2>/dev/null || skip "cannot make a network namespace here"
  TAMRISK_PRIVATE_NETWORK=1 exec unshare --net "$BASH" "$0" "$@"
}

started_pids=()
slurm_root=

stop_private_slurm() {
  if [ -n "${SLURM_CONF:-}" ] && [ -e "$SLURM_CONF" ]; then
    scancel --full --quiet --partition=test 2>/dev/null || true
  fi
  # The daemons in the reverse order of their start; each by its PID.
  local i
  for ((i = ${#started_pids[@]} - 1; i >= 0; i--)); do
    kill "${started_pids[i]}" 2>/dev/null || true
    local waited=0
    while kill -0 "${started_pids[i]}" 2>/dev/null && [ "$waited" -lt 50 ]; do
      sleep 0.1
      waited=$((waited + 1))
    done
    kill -KILL "${started_pids[i]}" 2>/dev/null || true
  done
  [ -n "$slurm_root" ] && rm -rf "$slurm_root"
  return 0
}

# Shows the daemons' logs, for a failure.
show_slurm_logs() {
  local log
  for log in "$slurm_root"/log/*; do
    echo "--- $log"
    tail -n 30 "$log"
  done
}

# Waits until `condition` (a command) succeeds, for at most $2 seconds.
wait_until() {
  local condition=$1 deadline=$((SECONDS + $2))
  until eval "$condition"; do
    [ "$SECONDS" -ge "$deadline" ] && return 1
    sleep 0.1
  done
}

start_private_slurm() {
  local tool
  for tool in munged mungekey slurmctld slurmd sbatch scontrol squeue scancel sinfo; do
    command -v "$tool" >/dev/null || skip "$tool is not installed (scripts/install-deps.sh installs slurm-wlm and munge)"
  done
  slurm_root=$(mktemp -d /tmp/tamrisk-slurm.XXXXXX)
  trap stop_private_slurm EXIT
  chmod 755 "$slurm_root"
  mkdir -p "$slurm_root"/{munge,run,state,spool,log,work}
  chmod 700 "$slurm_root/munge"
  mungekey --create --keyfile="$slurm_root/munge/munge.key" || skip "mungekey cannot make a key"
  munged --foreground --socket="$slurm_root/run/munge.socket" --key-file="$slurm_root/munge/munge.key" \
    --pid-file="$slurm_root/run/munged.pid" --seed-file="$slurm_root/munge/seed" \
    --log-file="$slurm_root/log/munged.log" 2>>"$slurm_root/log/munged.log" &
  started_pids+=($!)
  wait_until "[ -S '$slurm_root/run/munge.socket' ]" 10 || { show_slurm_logs; skip "munged did not start"; }

  export SLURM_CONF="$slurm_root/slurm.conf"
  cat >"$SLURM_CONF" <<CONF
ClusterName=tamrisk-test
SlurmctldHost=$(hostname -s)(127.0.0.1)
SlurmctldPort=6817
SlurmdPort=6818
SlurmUser=root
SlurmdUser=root
AuthType=auth/munge
AuthInfo=socket=$slurm_root/run/munge.socket
CredType=cred/munge
StateSaveLocation=$slurm_root/state
SlurmdSpoolDir=$slurm_root/spool
SlurmctldPidFile=$slurm_root/run/slurmctld.pid
SlurmdPidFile=$slurm_root/run/slurmd.pid
SlurmctldLogFile=$slurm_root/log/slurmctld.log
SlurmdLogFile=$slurm_root/log/slurmd.log
PlugStackConfig=$slurm_root/plugstack.conf
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
SwitchType=switch/none
MpiDefault=none
SchedulerType=sched/builtin
SelectType=select/cons_tres
SelectTypeParameters=CR_CPU
SlurmdParameters=config_overrides
ReturnToService=2
MinJobAge=600
NodeName=tamrisk-node NodeHostname=$(hostname -s) NodeAddr=127.0.0.1 CPUs=8 RealMemory=1000 State=UNKNOWN
PartitionName=test Nodes=tamrisk-node Default=YES MaxTime=INFINITE State=UP
CONF
  : >"$slurm_root/plugstack.conf"
  slurmctld -D -i -f "$SLURM_CONF" 2>>"$slurm_root/log/slurmctld.err" &
  started_pids+=($!)
  slurmd -D -N tamrisk-node -f "$SLURM_CONF" 2>>"$slurm_root/log/slurmd.err" &
  started_pids+=($!)
  wait_until "sinfo --noheader --states=idle 2>/dev/null | grep -q tamrisk-node" 30 ||
    { show_slurm_logs; skip "Slurm did not start on this machine"; }
}

# The state of a job, as Slurm says it.
job_state() {
  scontrol show job "$1" 2>/dev/null | sed -n 's/.*JobState=\([A-Z_]*\).*/\1/p' | head -n 1
}

# Waits until every job has ended; 1 after $1 seconds.
wait_for_jobs() {
  wait_until "[ -z \"\$(squeue --noheader 2>/dev/null)\" ]" "$1"
}
