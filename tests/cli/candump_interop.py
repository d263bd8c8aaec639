#!/usr/bin/env python3
"""korvex-cli's candump lines as another CAN tool reads them.

Runs korvex-sim with its bus traffic, `korvex-cli monitor --format candump --rdata-log`, reads
the output with python-can's CanutilsLogReader and checks every frame against the traffic the
simulated module sends (its message table is read from sim/CSimBusTraffic.cpp); then checks
that `korvex-cli convert` of the receive-data log gives the same frames, each stamped with the
whole second of the candump line.

usage: candump_interop.py KORVEX_CLI KORVEX_SIM SIM_TRAFFIC_SOURCE
Exit status 77 (skipped) when python3-can is not installed.
"""
import os
import re
import subprocess
import sys
import tempfile

try:
    import can
except ImportError:
    print("python3-can is not installed (Debian package python3-can): test skipped")
    sys.exit(77)

SECONDS = 2
TIMEOUT = 60


def bus_messages(source):
    """(id, extended) -> (remote, length) from the table of the simulated bus."""
    with open(source, encoding="utf-8") as f:
        rows = re.findall(r"\{(0x[0-9A-Fa-f]+), (true|false), (true|false), (\d), \d+\}", f.read())
    assert len(rows) >= 5, f"the message table was not found in {source}"
    return {(int(i, 16), e == "true"): (r == "true", int(n)) for i, e, r, n in rows}


def read_log(path):
    with open(path, encoding="ascii") as f:
        return list(can.CanutilsLogReader(f))


def frame(msg):
    return (msg.arbitration_id, msg.is_extended_id, msg.is_remote_frame, msg.dlc, bytes(msg.data or b""))


def main(cli, sim_program, source):
    messages = bus_messages(source)
    with tempfile.TemporaryDirectory() as tmp:
        sim = subprocess.Popen([sim_program, "--bus", "--seconds", str(TIMEOUT)], stdout=subprocess.PIPE, text=True)
        try:
            pty = sim.stdout.readline().strip()
            assert pty.startswith("/dev/pts/"), pty
            candump, rdata = os.path.join(tmp, "candump.log"), os.path.join(tmp, "RDataLog.txt")
            with open(candump, "wb") as out:
                run = subprocess.run([cli, "--port", pty, "--baud", "921600", "--rdata-log", rdata, "monitor",
                                      "--format", "candump", "--seconds", str(SECONDS)],
                                     stdout=out, stderr=subprocess.PIPE, timeout=TIMEOUT)
        finally:
            sim.terminate()
            sim.wait(TIMEOUT)
        err = run.stderr.decode()
        assert run.returncode == 0, f"monitor exited {run.returncode}: {err}"
        assert "CAN 데이터 수신 동작 중" in err, "the events go to standard error: " + err

        received = read_log(candump)
        assert len(received) > 100 * SECONDS // 2, f"only {len(received)} frames"
        counters, seen, last_stamp = {}, set(), 0.0
        for n, msg in enumerate(received):
            key = (msg.arbitration_id, msg.is_extended_id)
            assert key in messages, f"frame {n}: {msg} is none of the bus's messages"
            remote, length = messages[key]
            assert (msg.is_remote_frame, msg.dlc, msg.channel) == (remote, length, "korvex0"), f"frame {n}: {msg}"
            assert msg.timestamp >= last_stamp, f"frame {n}: time went back"
            last_stamp = msg.timestamp
            seen.add(key)
            if remote:
                continue
            data = bytes(msg.data)
            assert len(data) == length, f"frame {n}: {msg}"
            pattern = bytes([0x5A, 0xA5, 0x0F, msg.arbitration_id & 0xFF, msg.arbitration_id >> 8 & 0xFF])
            assert data[3:] == pattern[:max(length - 3, 0)], f"frame {n}: {msg}"
            if length > 0:  # byte 0 counts this message's frames: none lost, none reordered
                if key in counters:
                    assert data[0] == (counters[key] + 1) % 256, f"frame {n}: {msg} after counter {counters[key]}"
                counters[key] = data[0]
        assert len(seen) >= 6, f"only {len(seen)} of the bus's messages were seen"

        conv = subprocess.run([cli, "convert", rdata], capture_output=True, timeout=TIMEOUT)
        assert conv.returncode == 0 and conv.stderr == b"", f"convert exited {conv.returncode}: {conv.stderr}"
        converted_path = os.path.join(tmp, "converted.log")
        with open(converted_path, "wb") as f:
            f.write(conv.stdout)
        converted = read_log(converted_path)
        assert [frame(m) for m in converted] == [frame(m) for m in received], "convert gives other frames"
        for a, b in zip(received, converted):
            assert b.timestamp == int(a.timestamp), f"{b.timestamp} is not the second of {a.timestamp}"
    print(f"{len(received)} frames of {len(seen)} messages read back; convert agrees")


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    main(*sys.argv[1:])
