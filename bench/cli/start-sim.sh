# Sourced by the benchmarks here: a scratch folder $work, removed at the exit with the simulator
# still running, and start_sim, which starts korvex-sim ($build/sim) with the arguments given in
# the background and sets $sim (its process) and $pty (the terminal it serves).
work=$(mktemp -d)
sim=
trap '[ -n "$sim" ] && kill "$sim" 2>/dev/null; rm -rf "$work"' EXIT

start_sim() {
  "$build/sim/korvex-sim" "$@" >"$work/sim.out" &
  sim=$!
  pty=
  for _ in $(seq 100); do  # the simulator prints its terminal's path first
    pty=$(head -n 1 "$work/sim.out")
    [ -n "$pty" ] && break
    sleep 0.05
  done
  [ -n "$pty" ] || { echo "korvex-sim did not start" >&2; exit 1; }
}
