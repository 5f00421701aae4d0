#!/usr/bin/python3
"""Cross-platform audio parity: the same renders through the Linux module (velmora-host) and,
under Wine, through the Windows module (velmora-host.exe), compared sample by sample. Several
signals, settings, sample rates, block sizes, 32- and 64-bit processing and the sidechain.

Both builds use the same IEEE double arithmetic without contraction and the same maths kernel
(no C library function reaches the audio), so every render must be identical to the last bit:
any difference fails.

usage: audio_parity.py LINUX_HOST WINDOWS_HOST WINE_RUN WORK_DIR"""

import math
import os
import random
import shutil
import sys

from hostpair import Hosts, read_wav, windows_path, write_wav

TOLERANCE = 0.0
SECONDS = 1.5


def programme(rate):
    """Two detuned saw-ish tones with a slow swell on one side, chords on the other."""
    n = int(rate * SECONDS)
    left, right = [], []
    for i in range(n):
        t = i / rate
        swell = 0.25 + 0.7 * (0.5 - 0.5 * math.cos(2 * math.pi * 0.7 * t))
        left.append(swell * (0.6 * math.sin(2 * math.pi * 110 * t) + 0.3 * math.sin(2 * math.pi * 331 * t)))
        right.append(swell * sum(0.25 * math.sin(2 * math.pi * f * t) for f in (196.0, 246.9, 293.7)))
    return [left, right]


def bursts(rate, seed=7):
    """Decaying noise hits four times a second, like a drum loop."""
    rng = random.Random(seed)
    n = int(rate * SECONDS)
    out = [[], []]
    for i in range(n):
        age = (i % int(rate / 4)) / rate
        env = math.exp(-age * 30.0)
        for ch in out:
            ch.append(0.95 * env * (rng.random() * 2.0 - 1.0))
    return out


def step(rate):
    """Silence, a full-scale tone, then silence again: attack, limiting and recovery."""
    n = int(rate * SECONDS)
    tone = [math.sin(2 * math.pi * 1000 * i / rate) if n // 4 <= i < n // 2 else 0.0 for i in range(n)]
    return [tone, [-v for v in tone]]


def quiet_with_offset(rate, seed=11):
    """Low-level noise riding on a DC offset: the DC blocker and the saturation's small-signal side."""
    rng = random.Random(seed)
    n = int(rate * SECONDS)
    return [[0.2 + 0.001 * (rng.random() - 0.5) for _ in range(n)] for _ in range(2)]


def kicks(rate):
    """A low thump every half second, for the sidechain."""
    n = int(rate * SECONDS)
    sig = []
    for i in range(n):
        age = (i % int(rate / 2)) / rate
        sig.append(0.9 * math.exp(-age * 12.0) * math.sin(2 * math.pi * 55 * age * (1.0 + 2.0 * math.exp(-age * 40.0))))
    return [sig, sig]


HEAVY = ["Compressor Threshold=3", "Ratio=4", "Compressor Recovery Time=0", "Gain=3"]
LIMITER = ["Limit Level=10", "Level Recovery Time=1", "Gain=4", "GR Select=1"]
DUCKING = ["External Sidechain=1", "Compressor Threshold=0", "Ratio=3", "Compressor Recovery Time=1"]
COLOUR = ["Mix=11", "High=4", "Mid=0", "High Pass Filter=4", "Compressor Threshold=8"]

# name, signal, rate, block size, precision, settings, sidechain signal
CASES = [
    ("defaults-44k-512-p32", programme, 44100, 512, 32, [], None),
    ("defaults-44k-512-p64", programme, 44100, 512, 64, [], None),
    ("heavy-48k-64-p64", bursts, 48000, 64, 64, HEAVY, None),
    ("heavy-48k-4096-p32", bursts, 48000, 4096, 32, HEAVY, None),
    ("limiter-96k-333-p32", step, 96000, 333, 32, LIMITER, None),
    ("limiter-96k-1000-p64", step, 96000, 1000, 64, LIMITER, None),
    ("ducking-44k-256-p64", programme, 44100, 256, 64, DUCKING, kicks),
    ("ducking-44k-1-p32", programme, 44100, 1, 32, DUCKING, kicks),
    ("aux-unused-22k-17-p64", bursts, 22050, 17, 64, HEAVY, kicks),
    ("colour-48k-128-p64", quiet_with_offset, 48000, 128, 64, COLOUR, None),
    ("colour-192k-512-p32", programme, 192000, 512, 32, COLOUR, None),
    ("bypass-44k-512-p64", bursts, 44100, 512, 64, HEAVY + ["10=1"], None),
]


def main():
    linux_host, windows_host, wine_run, work = sys.argv[1:5]
    hosts = Hosts(linux_host, windows_host, wine_run)
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)

    inputs = {}

    def input_file(signal, rate):
        key = (signal.__name__, rate)
        if key not in inputs:
            path = os.path.join(work, "in-%s-%d.wav" % key)
            write_wav(path, rate, signal(rate), "double")
            inputs[key] = path
        return inputs[key]

    failures = []
    largest = (0.0, None)
    samples = differing = identical_files = 0
    for name, signal, rate, block, precision, settings, sidechain in CASES:
        source = input_file(signal, rate)
        key = input_file(sidechain, rate) if sidechain else None
        outputs = {}
        for side in ("linux", "windows"):
            out = os.path.join(work, "%s-%s.wav" % (name, side))
            to_host = windows_path if side == "windows" else (lambda p: p)
            args = ["render", to_host(source), to_host(out), "--block-size", str(block), "--precision",
                    str(precision), "--format", "double"]
            if key:
                args += ["--sidechain", to_host(key)]
            for setting in settings:
                args += ["--set", setting]
            result = (hosts.windows if side == "windows" else hosts.linux)(*args)
            if result.returncode != 0:
                failures.append("%s: the %s host failed: %s" % (name, side, result.stderr.strip()))
                break
            outputs[side] = out
        if len(outputs) < 2:
            continue

        with open(outputs["linux"], "rb") as a, open(outputs["windows"], "rb") as b:
            same_bytes = a.read() == b.read()
        identical_files += same_bytes
        _, channels_a, a = read_wav(outputs["linux"])
        _, channels_b, b = read_wav(outputs["windows"])
        if channels_a != channels_b or len(a) != len(b):
            failures.append("%s: %d x %d samples on Linux, %d x %d on Windows" %
                            (name, channels_a, len(a), channels_b, len(b)))
            continue
        worst = max((abs(x - y) for x, y in zip(a, b)), default=0.0)
        samples += len(a)
        differing += sum(1 for x, y in zip(a, b) if x != y)
        if worst > largest[0]:
            largest = (worst, name)
        print("%-24s %8d samples  largest difference %.3g%s" %
              (name, len(a), worst, "  (identical files)" if same_bytes else ""))
        if worst > TOLERANCE:
            failures.append("%s: differs by up to %.3g" % (name, worst))

    print("\n%d renders, %d samples compared, %d differ; %d of %d output files byte-identical" %
          (len(CASES), samples, differing, identical_files, len(CASES)))
    print("largest difference between Linux and Windows: %.3g%s" %
          (largest[0], " (%s)" % largest[1] if largest[1] else ""))
    for failure in failures:
        print("FAILED " + failure, file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
