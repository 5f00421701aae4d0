#!/usr/bin/python3
"""Velmora's speed as ratios, measured so that a busy machine slows both sides of each alike.

  host / sox      CPU time of `velmora-host render --no-loudness` with the host's bypass on (a
                  pure pass-through: file in, VST3 process calls, file out) over the CPU time of
                  a plain `sox in.wav out.wav` copy of the same 60 s stereo float file; the
                  commands run alternately and the median of the paired ratios is reported. The
                  same render with the summary's loudness and true peak measured (the default)
                  is reported beside it.
  peers           processing cost per frame of Velmora and of other dynamics processors on the same
                  file, each tool's do-nothing run subtracted (Velmora and Calf: their bypass on;
                  ffmpeg: the anull filter; sox: a plain copy), as medians of paired runs:
                  ffmpeg acompressor+alimiter, sox compand, Calf's compressor and limiter (LV2,
                  run by lilv's lv2apply); with --peers, which installs what is missing first.
  loudness wall   wall-clock time of a default `velmora-host render` (through Velmora, loudness and
                  true peak measured on threads beside the rendering) over the same render with
                  --no-loudness, paired runs, median: on two free cores it should stay near 1.
  binding / chain the module's process call over the processing chain alone, from the module
                  benchmark (velmora_bench_module, ratio_to_chain, interleaved inside it).
  chain / floor   the chain over the transcendental work its sound mandates, from the chain
                  benchmark (velmora_bench_chain, ratio_to_floor, interleaved inside it).

Usage: tools/benchmark-ratios.py [--build DIR] [--host PATH] [--module PATH] [--rounds N] [--peers]
                                 [--seconds N] [--skip-google-benchmarks]
Needs a built tree (./test.sh or cmake --build) and sox (tools/install-deps.sh installs it); --peers
installs ffmpeg, calf-plugins and lilv-utils with apt-get when they are missing (benchmarks only:
the test command never needs them).
"""

import argparse
import json
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HOST_BYPASS_ID = 1651532147  # the VST3 host's own bypass parameter ("bpas")


def cpu_seconds(command):
    """Runs command (output discarded) and answers its user + system CPU time."""
    with open(os.devnull, "wb") as null:
        process = subprocess.Popen(command, stdout=null, stderr=subprocess.PIPE)
        _, status, usage = os.wait4(process.pid, 0)
        process.returncode = os.waitstatus_to_exitcode(status)
        error = process.stderr.read().decode(errors="replace")
        process.stderr.close()
    if process.returncode != 0:
        sys.exit(f"benchmark-ratios: {' '.join(command)} failed: {error.strip()}")
    return usage.ru_utime + usage.ru_stime


def host_vs_sox(host, module, rounds, work):
    source = os.path.join(work, "in.wav")
    subprocess.run(["sox", "-n", "-r", "44100", "-c", "2", "-e", "floating-point", "-b", "32", source,
                    "synth", "60", "pinknoise", "vol", "0.5"], check=True)
    metered_cmd = [host, "render", source, os.path.join(work, "host.wav"), "--overwrite", "--set-norm",
                   f"{HOST_BYPASS_ID}=1"]
    if module:
        metered_cmd += ["--module", module]
    host_cmd = metered_cmd + ["--no-loudness"]
    sox_cmd = ["sox", source, os.path.join(work, "sox.wav")]
    cpu_seconds(host_cmd)  # warm the page cache and the dynamic loader
    cpu_seconds(sox_cmd)
    ratios, metered_ratios, host_times, metered_times, sox_times = [], [], [], [], []
    for _ in range(rounds):
        h = cpu_seconds(host_cmd)
        m = cpu_seconds(metered_cmd)
        s = cpu_seconds(sox_cmd)
        host_times.append(h)
        metered_times.append(m)
        sox_times.append(s)
        ratios.append(h / s)
        metered_ratios.append(m / s)
    frames = 60 * 44100
    print(f"host / sox copy (60 s stereo float, host bypass on, {rounds} paired runs):")
    print(f"  ratio {statistics.median(ratios):.2f}   "
          f"(host {statistics.median(host_times) / frames * 1e9:.1f} ns/frame, "
          f"sox {statistics.median(sox_times) / frames * 1e9:.1f} ns/frame, CPU time)")
    print(f"  with loudness and true peak measured in and out: ratio {statistics.median(metered_ratios):.2f}   "
          f"(host {statistics.median(metered_times) / frames * 1e9:.1f} ns/frame)")


PEER_PACKAGES = {"ffmpeg": "ffmpeg", "sox": "sox", "lv2apply": "lilv-utils"}
CALF = "http://calf.sourceforge.net/plugins/"


def install_peers():
    """apt-get install what the peer comparison runs, if missing (the benchmark's own set-up)."""
    missing = [pkg for tool, pkg in PEER_PACKAGES.items() if not shutil.which(tool)]
    if not os.path.exists("/usr/lib/lv2/calf.lv2"):
        missing.append("calf-plugins")
    if missing:
        sudo = [] if os.geteuid() == 0 else ["sudo"]
        print(f"benchmark-ratios: installing {' '.join(missing)}", file=sys.stderr)
        subprocess.run(sudo + ["apt-get", "install", "-y", "-qq", "--no-install-recommends"] + missing, check=True,
                       env=dict(os.environ, DEBIAN_FRONTEND="noninteractive"), stdout=subprocess.DEVNULL)


def peers(host, module, rounds, seconds, work):
    """Processing cost per frame (CPU time of the run less that of the tool's do-nothing run)."""
    source = os.path.join(work, "peers.wav")
    out = os.path.join(work, "out.wav")
    subprocess.run(["sox", "-n", "-r", "44100", "-c", "2", "-e", "floating-point", "-b", "32", source,
                    "synth", str(seconds), "pinknoise", "vol", "0.5"], check=True)
    velmora = [host, "render", source, out, "--overwrite", "--no-loudness"] + (["--module", module] if module else [])
    tools = [
        ("Velmora (velmora-host)", velmora, velmora + ["--set-norm", f"{HOST_BYPASS_ID}=1"]),
        ("ffmpeg acompressor+alimiter",
         ["ffmpeg", "-v", "error", "-y", "-i", source, "-af", "acompressor,alimiter", "-c:a", "pcm_f32le", out],
         ["ffmpeg", "-v", "error", "-y", "-i", source, "-af", "anull", "-c:a", "pcm_f32le", out]),
        ("sox compand", ["sox", source, out, "compand", "0.005,0.1", "-60,-60,-30,-20,0,-12", "0", "-90", "0"],
         ["sox", source, out]),
        ("Calf compressor (lv2apply)", ["lv2apply", "-i", source, "-o", out, CALF + "Compressor"],
         ["lv2apply", "-i", source, "-o", out, "-c", "bypass", "1", CALF + "Compressor"]),
        ("Calf limiter (lv2apply)", ["lv2apply", "-i", source, "-o", out, CALF + "Limiter"],
         ["lv2apply", "-i", source, "-o", out, "-c", "bypass", "1", CALF + "Limiter"]),
    ]
    frames = seconds * 44100
    costs = {}
    for name, run, idle in tools:
        cpu_seconds(run)  # warm up
        samples = []
        for _ in range(rounds):
            samples.append((cpu_seconds(run) - cpu_seconds(idle)) / frames * 1e9)
        costs[name] = (statistics.median(samples), min(samples), max(samples))
    print(f"processing cost per frame, do-nothing run subtracted ({seconds} s stereo float, {rounds} paired runs, "
          "median [min, max] ns):")
    own = costs["Velmora (velmora-host)"][0]
    for name, (median, low, high) in costs.items():
        ratio = "" if name.startswith("Velmora") else f"   Velmora / this = {own / median:.2f}"
        print(f"  {name:<30} {median:6.1f}  [{low:.1f}, {high:.1f}]{ratio}")
    cheapest = min(m for n, (m, _, _) in costs.items() if not n.startswith("Velmora") and "limiter (" not in n)
    print(f"  Velmora / cheapest of ffmpeg, sox compand and Calf's compressor: {own / cheapest:.2f}")


def wall_seconds(command):
    """Runs command (output discarded) and answers its wall-clock time."""
    start = time.monotonic()
    result = subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    if result.returncode != 0:
        sys.exit(f"benchmark-ratios: {' '.join(command)} failed: {result.stderr.decode(errors='replace').strip()}")
    return time.monotonic() - start


def loudness_wall_ratio(host, module, rounds, work):
    source = os.path.join(work, "in.wav")
    measured_cmd = [host, "render", source, os.path.join(work, "measured.wav"), "--overwrite"]
    plain_cmd = [host, "render", source, os.path.join(work, "plain.wav"), "--overwrite", "--no-loudness"]
    if module:
        measured_cmd += ["--module", module]
        plain_cmd += ["--module", module]
    wall_seconds(measured_cmd)
    ratios, measured_times, plain_times = [], [], []
    for _ in range(rounds):
        m = wall_seconds(measured_cmd)
        p = wall_seconds(plain_cmd)
        measured_times.append(m)
        plain_times.append(p)
        ratios.append(m / p)
    print(f"loudness wall (60 s stereo float through Velmora, {rounds} paired runs, {os.cpu_count()} cores):")
    print(f"  ratio {statistics.median(ratios):.2f}   (default {statistics.median(measured_times):.3f} s, "
          f"--no-loudness {statistics.median(plain_times):.3f} s, wall clock)")


def google_benchmark(program, pattern, counters, repetitions):
    """Per benchmark name, the median of each counter over repeated runs."""
    result = subprocess.run([program, f"--benchmark_filter={pattern}", f"--benchmark_repetitions={repetitions}",
                             "--benchmark_format=json"], check=True, capture_output=True, text=True)
    values = {}
    for entry in json.loads(result.stdout)["benchmarks"]:
        if entry.get("run_type") != "iteration":
            continue
        label = entry["run_name"].split("/", 1)[1].replace("/manual_time", "")
        for counter in counters:
            values.setdefault(label, {}).setdefault(counter, []).append(entry.get(counter, float("nan")))
    return {label: {c: statistics.median(v) for c, v in found.items()} for label, found in values.items()}


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--build", default=os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "build"))
    parser.add_argument("--host", help="the velmora-host to time (default: the one in the build)")
    parser.add_argument("--module", help="the Velmora.vst3 bundle the host renders through (default: its own)")
    parser.add_argument("--rounds", type=int, default=9)
    parser.add_argument("--peers", action="store_true", help="also time ffmpeg, sox compand and Calf")
    parser.add_argument("--seconds", type=int, default=60,
                        help="length of the peers' file (longer files dilute lv2apply's start-up, which varies)")
    parser.add_argument("--skip-google-benchmarks", action="store_true")
    args = parser.parse_args()
    if not shutil.which("sox"):
        sys.exit("benchmark-ratios: sox is missing (tools/install-deps.sh installs it)")

    if args.peers:
        install_peers()
    work = tempfile.mkdtemp(prefix="velmora-bench-")
    host = args.host or os.path.join(args.build, "tools", "velmora-host", "velmora-host")
    try:
        host_vs_sox(host, args.module, args.rounds, work)
        loudness_wall_ratio(host, args.module, args.rounds, work)
        if args.peers:
            peers(host, args.module, args.rounds, args.seconds, work)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    if args.skip_google_benchmarks:
        return

    module = os.path.join(args.build, "tests", "vst3", "velmora_bench_module")
    print("binding / chain (the process call over the chain alone, medians of 5 runs):")
    for label, found in google_benchmark(module, "ModuleProcess", ["ratio_to_chain"], 5).items():
        print(f"  {label:<22} {found['ratio_to_chain']:.3f}")
    chain = os.path.join(args.build, "tests", "plugin", "velmora_bench_chain")
    print("chain / floor (medians of 3 runs), and the chain's real-time factor on one core:")
    for label, found in google_benchmark(chain, "ChainVsFloor", ["ratio_to_floor", "realtime_factor"], 3).items():
        print(f"  {label:<36} {found['ratio_to_floor']:.3f}   {found['realtime_factor']:.0f}x real time")


if __name__ == "__main__":
    main()
