#!/usr/bin/env python3
"""korvex-cli's candump lines as another CAN tool reads them.

Runs korvex-sim with its bus traffic and `korvex-cli monitor --format candump`, and reads the
output with python-can's CanutilsLogReader: every line must come back as a frame on korvex0, in
time order, each message with one kind, length and identifier width throughout. (What the bus
sends is checked in the simulator's own tests, the line format and convert in the candump unit
tests, that monitor loses no frame in the end-to-end tests.)

usage: candump_interop.py KORVEX_CLI KORVEX_SIM
Exit status 77 (skipped) when python3-can is not installed.
"""
import subprocess
import sys
import tempfile

try:
    import can
except ImportError:
    print("python3-can is not installed (Debian package python3-can): test skipped")
    sys.exit(77)

SECONDS = 1
TIMEOUT = 60


def main(cli, sim_program):
    sim = subprocess.Popen([sim_program, "--bus", "--seconds", str(TIMEOUT)], stdout=subprocess.PIPE, text=True)
    try:
        pty = sim.stdout.readline().strip()
        assert pty.startswith("/dev/pts/"), pty
        run = subprocess.run([cli, "--port", pty, "--baud", "921600", "monitor", "--format", "candump",
                              "--seconds", str(SECONDS)], capture_output=True, timeout=TIMEOUT)
    finally:
        sim.terminate()
        sim.wait(TIMEOUT)
    err = run.stderr.decode()
    assert run.returncode == 0, f"monitor exited {run.returncode}: {err}"
    assert "CAN 데이터 수신 동작 중" in err, "the events go to standard error: " + err

    with tempfile.TemporaryFile("w+", encoding="ascii") as f:
        f.write(run.stdout.decode("ascii"))
        f.seek(0)
        lines = sum(1 for _ in f)
        f.seek(0)
        received = list(can.CanutilsLogReader(f))
    assert len(received) == lines, f"{lines} lines but {len(received)} frames read"
    assert len(received) > 100 * SECONDS // 2, f"only {len(received)} frames"
    kinds, last_stamp = {}, 0.0
    for n, msg in enumerate(received):
        key = (msg.arbitration_id, msg.is_extended_id)
        kind = (msg.is_remote_frame, msg.dlc)
        assert kinds.setdefault(key, kind) == kind and msg.channel == "korvex0", f"frame {n}: {msg}"
        assert msg.is_remote_frame or len(msg.data) == msg.dlc, f"frame {n}: {msg}"
        assert msg.timestamp >= last_stamp, f"frame {n}: time went back"
        last_stamp = msg.timestamp
    assert len(kinds) >= 6, f"only {len(kinds)} of the bus's messages were seen"
    print(f"{len(received)} frames of {len(kinds)} messages read back")


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(*sys.argv[1:])
