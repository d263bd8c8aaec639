# Sourced by the benchmarks here: starts korvex-sim with the arguments given, in the background,
# and sets $sim (its process) and $pty (the terminal it serves). Needs $build and $work; the
# caller's EXIT trap kills "$sim" and removes "$work".
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
