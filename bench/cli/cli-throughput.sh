#!/bin/sh
# korvex-cli monitor against korvex-sim at a high frame rate, end to end through a
# pseudo-terminal: frames lost (gaps in the sequence numbers the simulated frames carry) and
# the CPU time (user + system) korvex-cli spends per frame.
#   bench/cli/cli-throughput.sh [BUILD_DIR] [FRAMES_PER_SECOND] [SECONDS]   (build 100000 5)
set -eu
build=${1:-build}
rate=${2:-100000}
seconds=${3:-5}

. "$(dirname "$0")/start-sim.sh"
start_sim --rate "$rate"

status=0
/usr/bin/time -f "%U %S" -o "$work/time" "$build/cli/korvex-cli" --port "$pty" --baud 921600 \
  monitor --seconds "$seconds" >"$work/out" 2>"$work/err" || status=$?

# A simulated frame's data is its sequence number and that number's complement:
#   CAN2.0B  Data Frame    길이:8  ID:00000123  데이터:00 00 00 0A FF FF FF F5
LC_ALL=C awk -v cpu="$(tail -n 1 "$work/time")" -v status="$status" -v rate="$rate" -v seconds="$seconds" '
  function hex(s,    i, v) {
    v = 0
    for (i = 1; i <= length(s); i++) v = v * 16 + index("0123456789ABCDEF", substr(s, i, 1)) - 1
    return v
  }
  /\xEB\x8D\xB0\xEC\x9D\xB4\xED\x84\xB0:/ {
    split(substr($0, index($0, "\xEB\x8D\xB0\xEC\x9D\xB4\xED\x84\xB0:") + 10), b, " ")
    seq = hex(b[1] b[2] b[3] b[4])
    if (hex(b[5] b[6] b[7] b[8]) != 4294967295 - seq) { bad++; next }
    if (frames > 0 && seq != last + 1) { gaps++; lost += seq - last - 1 }
    last = seq
    frames++
  }
  END {
    split(cpu, t, " ")
    printf "rate %d/s for %d s: %d frames, %d gaps (%d frames lost), %d malformed, exit %d\n",
           rate, seconds, frames, gaps, lost, bad, status
    if (frames > 0)
      printf "korvex-cli CPU: %.2f s user + %.2f s system = %.3f us per frame\n",
             t[1], t[2], (t[1] + t[2]) * 1e6 / frames
  }' "$work/out"
cat "$work/err" >&2
