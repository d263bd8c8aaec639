#!/bin/sh
# Ten rows sent every 10 ms by the channel's sending thread to korvex-sim, which stamps each
# frame command it takes on the monotonic clock (--record); the interval between consecutive
# sends of one row, p50 / p99 / worst, with the module idle and while it sends 3,000 frames/s
# that the channel receives.
#   bench/cli/cyclic-send.sh [BUILD_DIR] [SECONDS]   (build 60)
set -eu
build=${1:-build}
seconds=${2:-60}

. "$(dirname "$0")/start-sim.sh"

run() {  # $1: frames per second the module sends, $2: "receive" or ""
  start_sim --rate "$1" --record "$work/taken" --seconds $((seconds + 10))
  "$build/bench/protocol/cyclic_send_bench" "$pty" "$seconds" $2 >&2
  kill "$sim" 2>/dev/null || true
  wait "$sim" 2>/dev/null || true
  sim=
  python3 - "$work/taken" <<'PY'
import sys
last, gaps = {}, []
for line in open(sys.argv[1]):
    t, text = line.split()
    t = float(t) * 1000
    if text in last:
        gaps.append(t - last[text])
    last[text] = t
gaps.sort()
pick = lambda q: gaps[min(len(gaps) - 1, int(q * len(gaps)))]
worst = max(gaps, key=lambda g: abs(g - 10))
print("  %d intervals  p50 %.3f ms  p99 %.3f ms  p1 %.3f ms  worst %.3f ms" % (len(gaps), pick(0.5), pick(0.99), pick(0.01), worst))
PY
}

echo "idle:"
run 0 ""
echo "receiving 3000 frames/s:"
run 3000 receive
