#!/bin/sh
# How evenly the frames of one cyclic message are stamped: korvex-cli monitor --format candump
# against korvex-sim --bus through a pseudo-terminal, and for the 10 ms message (ID 0C1) the
# share of its frames stamped with the same time as the frame received just before (whichever
# message that was), and the mean and standard deviation of its cycle times.
#   bench/cli/cycle-spread.sh [BUILD_DIR] [SECONDS] [BAUD]   (build 20 921600)
set -eu
build=${1:-build}
seconds=${2:-20}
baud=${3:-921600}

. "$(dirname "$0")/start-sim.sh"
start_sim --bus

"$build/cli/korvex-cli" --port "$pty" --baud "$baud" monitor --format candump --seconds "$seconds" \
  >"$work/out" 2>/dev/null

#   (1700000000.000042) korvex0 0C1#0011223344556677
LC_ALL=C awk '
  $3 ~ /^0C1#/ && $1 == previous { same++ }
  { previous = $1 }
  $3 ~ /^0C1#/ {
    split(substr($1, 2, length($1) - 2), s, ".")
    if (n == 0) first = s[1]
    t = (s[1] - first) * 1000 + s[2] / 1000  # ms since the first frame, without losing the microseconds
    if (n > 0) {
      d = t - last
      cycles++; sum += d; sumsq += d * d
    }
    last = t; n++
  }
  END {
    if (cycles < 2) { print "too few frames of 0C1"; exit 1 }
    mean = sum / cycles
    printf "0C1: %d frames, %.1f %% stamped as the frame before, cycle mean %.3f ms, sigma %.3f ms\n",
           n, 100 * same / n, mean, sqrt(sumsq / cycles - mean * mean)
  }' "$work/out"
