"""korvex-cli decode against an independent DBC decoder (canmatrix) on random frames.

For every message of every database given: random data frames (multiplexed messages get
every multiplexer value their signals name) go into a candump log; korvex-cli decodes it and
canmatrix decodes the same bytes. Every frame must show the same signals, each with the same
physical value (within floating-point rounding: canmatrix computes in decimal) or, where
korvex-cli shows a value-table text, the text canmatrix's table has for the same raw value.
(canmatrix's own text lookup compares the table's keys with the physical value; a DBC table
is keyed by raw values, so only its raw values and tables are used.) Prints the number of
signal values compared. Exits 77 (skipped) without canmatrix.

usage: canmatrix_compare.py KORVEX_CLI DBC_FILE...
"""
import math
import random
import re
import subprocess
import sys
import tempfile

try:
    import canmatrix
    import canmatrix.formats
except ImportError:
    print("python3-canmatrix is not installed")
    sys.exit(77)

FRAMES_PER_MESSAGE = 24
VALUE = re.compile(r' (\w+)=("(?:[^"\\]|\\.)*"|[^ \[]+)(?:\[[^\]]*\])?')


def random_frames(frame, rng):
    """Data for one message: random bytes, the multiplexer set to each value in turn."""
    mux = next((s for s in frame.signals if s.is_multiplexer), None)
    mux_values = sorted({s.mux_val for s in frame.signals if s.mux_val is not None}) if mux else []
    for i in range(FRAMES_PER_MESSAGE):
        data = bytearray(rng.getrandbits(8) for _ in range(frame.size))
        if mux_values and i < 2 * len(mux_values):
            # The multiplexer's bits through canmatrix's own encoder, the rest random.
            encoded = frame.encode({s.name: 0 for s in frame.signals if not s.mux_val} |
                                   {mux.name: mux_values[i % len(mux_values)]})
            mask = frame.encode({s.name: 0 for s in frame.signals if not s.mux_val} |
                                {mux.name: (1 << mux.size) - 1})
            for b in range(frame.size):
                data[b] = (data[b] & ~mask[b]) | encoded[b]
        yield bytes(data)


def same_number(ours, theirs):
    return math.isclose(ours, theirs, rel_tol=1e-12, abs_tol=1e-12)


def compare(cli, path, rng):
    db = canmatrix.formats.loadp_flat(path, dbcImportEncoding="utf-8")
    frames = []
    for frame in db.frames:
        for data in random_frames(frame, rng):
            frames.append((frame, data))
    with tempfile.NamedTemporaryFile("w", suffix=".log") as log:
        for n, (frame, data) in enumerate(frames):
            ident = "%08X" % frame.arbitration_id.id if frame.arbitration_id.extended else "%03X" % frame.arbitration_id.id
            log.write("(%d.%06d) can0 %s#%s\n" % (1700000000 + n // 1000, n % 1000, ident, data.hex().upper()))
        log.flush()
        out = subprocess.run([cli, "decode", "--dbc", path, log.name], capture_output=True, text=True, check=True).stdout
    lines = out.splitlines()
    assert len(lines) == len(frames), f"{path}: {len(lines)} lines for {len(frames)} frames"
    compared = 0
    seen = set()
    mismatches = []
    for line, (frame, data) in zip(lines, frames):
        stamp, name, rest = line.split(" ", 2) if line.count(" ") >= 2 else (*line.split(" ", 1), "")
        assert name == frame.name, f"{line!r}: not {frame.name}"
        ours = {m.group(1): m.group(2) for m in VALUE.finditer(" " + rest)}
        theirs = frame.decode(data)
        if set(ours) != set(theirs):
            mismatches.append(f"{frame.name} {data.hex()}: signals {sorted(ours)} / {sorted(theirs)}")
            continue
        for signal, decoded in theirs.items():
            compared += 1
            seen.add((frame.name, signal))
            value = ours[signal]
            text = decoded.signal.values.get(int(decoded.raw_value)) if not decoded.signal.is_float else None
            if value.startswith('"') or text is not None:
                if re.sub(r'\\(.)', r'\1', value[1:-1]) != text:
                    mismatches.append(f"{frame.name}.{signal} {data.hex()}: {value} / {text!r}")
            elif not same_number(float(value), float(decoded.phys_value)):
                mismatches.append(f"{frame.name}.{signal} {data.hex()}: {value} / {decoded.phys_value}")
    every = {(frame.name, signal.name) for frame in db.frames for signal in frame.signals}
    mismatches += [f"{name}.{signal}: never in a frame" for name, signal in sorted(every - seen)]
    return len(db.frames), len(every), len(frames), compared, mismatches


def main():
    cli, paths = sys.argv[1], sys.argv[2:]
    rng = random.Random(20)
    total = 0
    failed = False
    for path in paths:
        messages, signals, frames, compared, mismatches = compare(cli, path, rng)
        total += compared
        print(f"{path}: {messages} messages, {signals} signals, {frames} frames, {compared} signal values compared, "
              f"{len(mismatches)} mismatches")
        for mismatch in mismatches[:20]:
            print("  " + mismatch)
        failed = failed or bool(mismatches)
    print(f"{total} signal values compared")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
