"""canmatrix decoding random frames of every message of the real DBC files, as signal_bench
decodes them; prints "FRAMES_PER_SECOND SIGNALS_PER_SECOND".

usage: canmatrix_rate.py DBC_DIRECTORY
"""
import random
import sys
import time

import canmatrix.formats

FRAMES_PER_MESSAGE = 64
FILES = ["tesla_can.dbc", "toyota_prius_2010_pt.dbc", "vw_mqb.dbc"]

rng = random.Random(20)
frames = []
for name in FILES:
    db = canmatrix.formats.loadp_flat(f"{sys.argv[1]}/{name}", dbcImportEncoding="utf-8")
    for frame in db.frames:
        for _ in range(FRAMES_PER_MESSAGE):
            frames.append((db, frame.arbitration_id, bytes(rng.getrandbits(8) for _ in range(frame.size))))
rng.shuffle(frames)
signals = 0
start = time.perf_counter()
for db, arbitration_id, data in frames:
    decoded = db.frame_by_id(arbitration_id).decode(data)
    signals += len(decoded)
elapsed = time.perf_counter() - start
print(f"{len(frames) / elapsed:.0f} {signals / elapsed:.0f}")
