#!/usr/bin/python3
"""velmora-host's memory stays flat however long the audio: peak memory of renders of a short and
a long generated file, compared.

Both files are the same kind of material (a stereo sine sweep, stored as FLAC to keep the long one
small on disk), rendered through Velmora at its defaults into 16-bit WAV with the closing summary's
loudness measured, then compared with `velmora-host compare` (which streams too). The long render's
peak resident memory must stay within 10 % (and 4 MiB) of the short one's, or the script fails: a
render that held the audio, or anything growing with its length, would need hundreds of MiB more.
Also rendered: a batch of the long and the short file on two workers, whose peak may be about twice
one render's (two instances at work) but must not grow with the length either.

Usage: tools/benchmark-memory.py [--build DIR] [--minutes N] [--short-minutes N]
Needs a built tree and sox (tools/install-deps.sh installs it). The default hour needs about 1.5 GB
of free disk in the temporary folder for the duration of the run.
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time


def peak_memory(command):
    """Runs command (stdout discarded) and answers its peak resident memory in KiB and its wall time."""
    start = time.monotonic()
    with open(os.devnull, "wb") as null:
        process = subprocess.Popen(command, stdout=null, stderr=subprocess.PIPE)
        _, status, usage = os.wait4(process.pid, 0)
        error = process.stderr.read().decode(errors="replace")
        process.stderr.close()
    code = os.waitstatus_to_exitcode(status)
    if code not in (0, 1) or (code == 1 and command[1] != "compare"):
        sys.exit(f"benchmark-memory: {' '.join(command)} failed: {error.strip()}")
    return usage.ru_maxrss, time.monotonic() - start


def sweep(path, minutes):
    subprocess.run(["sox", "-n", "-r", "44100", "-c", "2", "-b", "16", path, "synth", str(minutes * 60),
                    "sine", "40:8000", "vol", "0.7"], check=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--build", default=os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "build"))
    parser.add_argument("--minutes", type=float, default=60.0)
    parser.add_argument("--short-minutes", type=float, default=1.0)
    args = parser.parse_args()
    if not shutil.which("sox"):
        sys.exit("benchmark-memory: sox is missing (tools/install-deps.sh installs it)")
    host = os.path.join(args.build, "tools", "velmora-host", "velmora-host")

    work = tempfile.mkdtemp(prefix="velmora-memory-")
    try:
        results = {}
        for label, minutes in (("short", args.short_minutes), ("long", args.minutes)):
            source = os.path.join(work, f"{label}.flac")
            sweep(source, minutes)
            out = os.path.join(work, f"{label}.wav")
            render = peak_memory([host, "render", source, out, "--format", "pcm16"])
            compare = peak_memory([host, "compare", source, out])
            os.remove(out)
            results[label] = (minutes, render, compare)
        batch = peak_memory([host, "render", os.path.join(work, "long.flac"), os.path.join(work, "short.flac"),
                             "--out-dir", os.path.join(work, "batch"), "--jobs", "2", "--format", "pcm16"])
    finally:
        shutil.rmtree(work, ignore_errors=True)

    print("peak resident memory of velmora-host (KiB), render through Velmora into 16-bit WAV with loudness:")
    for label, (minutes, (render_kib, render_s), (compare_kib, _)) in results.items():
        print(f"  {minutes:6.1f} min   render {render_kib:7d} KiB ({render_s:5.1f} s)   compare {compare_kib:7d} KiB")
    print(f"  batch of the {args.minutes:.1f} and {args.short_minutes:.1f} min files on 2 workers: {batch[0]} KiB")
    short, long = results["short"][1][0], results["long"][1][0]
    ratio = long / short
    print(f"long / short render: {ratio:.3f}")
    allowed = max(short * 1.10, short + 4096)
    if long > allowed or results["long"][2][0] > max(results["short"][2][0] * 1.10, results["short"][2][0] + 4096):
        sys.exit(f"benchmark-memory: memory grows with the length of the audio ({long} KiB against {short} KiB)")
    print("flat: the long render needs no more memory than the short one")


if __name__ == "__main__":
    main()
