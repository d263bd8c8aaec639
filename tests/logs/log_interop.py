#!/usr/bin/env python3
"""Our ASC and candump logs as other CAN tools read them, and theirs as we read them.

A candump log of every kind of frame (2.0A and 2.0B, data and remote, lengths 0 to 8) is turned
by `korvex-cli convert --to asc`; then
  - our ASC back to candump gives the very same lines;
  - python-can's ASCReader reads our ASC as the frames and times of the candump log;
  - can-utils' asc2log reads our ASC, and we read its candump output, as the same frames with
    the same intervals (asc2log of Debian 12 cannot read any ASC date and starts at the
    current time, so only the intervals are compared);
  - python-can's ASCWriter and can-utils' log2asc write ASC of the candump log that we read as
    the same frames with the same intervals (both date their start by the first frame cut to
    the millisecond or second, so its first time is not kept exactly).

usage: log_interop.py KORVEX_CLI
Exit status 77 (skipped) when python3-can or can-utils is not installed.
"""
import os
import shutil
import subprocess
import sys
import tempfile

try:
    import can
except ImportError:
    print("python3-can is not installed (Debian package python3-can): test skipped")
    sys.exit(77)
if not shutil.which("asc2log") or not shutil.which("log2asc"):
    print("can-utils is not installed (Debian package can-utils): test skipped")
    sys.exit(77)


def candump_log():
    lines, t = [], 1700000000_000042
    for i in range(400):
        ext, remote, length = i % 3 == 0, i % 7 == 0, i % 9
        can_id = (i * 2654435761) & (0x1FFFFFFF if ext else 0x7FF)
        ident = f"{can_id:08X}" if ext else f"{can_id:03X}"
        data = "R" + (str(length) if length else "") if remote else "".join(f"{(i * 31 + b) & 0xFF:02X}" for b in range(length))
        t += (i * 7919) % 2_000_000 + 1
        lines.append(f"({t // 1_000_000}.{t % 1_000_000:06d}) korvex0 {ident}#{data}\n")
    return "".join(lines)


def key(msg):
    data = b"" if msg.is_remote_frame else bytes(msg.data)
    return (msg.arbitration_id, msg.is_extended_id, msg.is_remote_frame, msg.dlc, data)


def convert(cli, path, to="candump"):
    run = subprocess.run([cli, "convert", "--to", to, path], capture_output=True, text=True, timeout=60)
    assert run.returncode == 0, f"convert {path} exited {run.returncode}: {run.stderr}"
    return run.stdout


def read_candump(text, directory, name):
    path = os.path.join(directory, name)
    with open(path, "w") as f:
        f.write(text)
    return list(can.CanutilsLogReader(path))


def same(ours, theirs, what, intervals_only=False):
    assert len(ours) == len(theirs), f"{what}: {len(ours)} frames against {len(theirs)}"
    for n, (a, b) in enumerate(zip(ours, theirs)):
        assert key(a) == key(b), f"{what}, frame {n}: {a} against {b}"
        ta = a.timestamp - ours[0].timestamp if intervals_only else a.timestamp
        tb = b.timestamp - theirs[0].timestamp if intervals_only else b.timestamp
        assert abs(ta - tb) < 1.5e-6, f"{what}, frame {n}: time {ta} against {tb}"


def main(cli):
    os.environ["TZ"] = "UTC"
    with tempfile.TemporaryDirectory() as d:
        original = candump_log()
        log = os.path.join(d, "original.log")
        with open(log, "w") as f:
            f.write(original)
        frames = list(can.CanutilsLogReader(log))
        asc = os.path.join(d, "ours.asc")
        with open(asc, "w") as f:
            f.write(convert(cli, log, "asc"))

        assert convert(cli, asc) == original, "candump -> ASC -> candump changed the lines"
        same(frames, list(can.ASCReader(asc, relative_timestamp=False)), "python-can reading our ASC")

        run = subprocess.run(["asc2log", "-I", asc], capture_output=True, text=True, timeout=60)
        assert run.returncode == 0, run.stderr
        back = convert(cli, write(d, "asc2log.log", run.stdout))
        same(frames, read_candump(back, d, "asc2log-ours.log"), "asc2log reading our ASC", intervals_only=True)

        theirs = os.path.join(d, "python-can.asc")
        writer = can.ASCWriter(theirs)
        for msg in frames:
            writer.on_message_received(msg)
        writer.stop()
        same(frames, read_candump(convert(cli, theirs), d, "python-can-ours.log"), "our reading of python-can's ASC",
             intervals_only=True)

        run = subprocess.run(["log2asc", "-I", log, "korvex0"], capture_output=True, text=True, timeout=60)
        assert run.returncode == 0, run.stderr
        back = convert(cli, write(d, "log2asc.asc", run.stdout))
        same(frames, read_candump(back, d, "log2asc-ours.log"), "our reading of log2asc's ASC", intervals_only=True)
    print(f"{len(frames)} frames equal through python-can and can-utils both ways")


def write(directory, name, text):
    path = os.path.join(directory, name)
    with open(path, "w") as f:
        f.write(text)
    return path


if __name__ == "__main__":
    main(sys.argv[1])
