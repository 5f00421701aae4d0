#!/usr/bin/python3
"""velmora-host.exe under Wine does what velmora-host does on Linux: list, render (WAV and AIFF
in, state and preset files out and back in) and demo give the same bytes, with file names that carry a drive letter, backslashes, blanks and non-ASCII characters
(the wide-character API), relative paths, and one-line errors that leave no file behind.

usage: host_under_wine.py LINUX_HOST WINDOWS_HOST WINE_RUN WORK_DIR"""

import math
import os
import shutil
import sys

from hostpair import Hosts, windows_path, write_aiff, write_wav

failures = []


def check(condition, what):
    print(("ok      " if condition else "FAILED  ") + what)
    if not condition:
        failures.append(what)


def same_bytes(a, b):
    with open(a, "rb") as fa, open(b, "rb") as fb:
        return fa.read() == fb.read()


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    return int.from_bytes(head[16:20], "big"), int.from_bytes(head[20:24], "big")


def tone(rate, seconds):
    n = int(rate * seconds)
    left = [0.8 * math.sin(2 * math.pi * 220 * i / rate) * (i % 4410) / 4410 for i in range(n)]
    right = [0.5 * math.sin(2 * math.pi * 330 * i / rate) for i in range(n)]
    return [left, right]


def main():
    linux_host, windows_host, wine_run, work = sys.argv[1:5]
    hosts = Hosts(linux_host, windows_host, wine_run)
    shutil.rmtree(work, ignore_errors=True)
    # Blanks, accents and a non-Latin character in every folder and file name Windows sees.
    folder = os.path.join(work, "hôte Wine ✓")
    os.makedirs(folder)
    mix = os.path.join(folder, "entrée ♫.wav")
    aiff = os.path.join(folder, "entrée.aiff")
    write_wav(mix, 44100, tone(44100, 1.0), "float")
    write_aiff(aiff, 44100, tone(44100, 0.5))
    w = windows_path

    # list: the same description of the module, but for the module's own path.
    linux_list, windows_list = hosts.linux("list"), hosts.windows("list")
    check(windows_list.returncode == 0, "list runs (%s)" % windows_list.stderr.strip())
    check(windows_list.stdout.splitlines()[0].startswith("module   Z:\\"), "list names the bundle by a Windows path")
    check(linux_list.stdout.splitlines()[1:] == windows_list.stdout.splitlines()[1:],
          "list says the same as on Linux")

    # render with settings, saving state and preset; then each platform loads the other's files.
    settings = ["--set", "Compressor Threshold=4", "--set", "Ratio=3", "--set-norm", "Mix=0.5"]
    for side, run, path in (("linux", hosts.linux, lambda p: p), ("windows", hosts.windows, w)):
        result = run("render", path(mix), path(os.path.join(folder, "sortie %s.wav" % side)), *settings,
                     "--format", "pcm24", "--save-state", path(os.path.join(folder, "état %s.bin" % side)),
                     "--save-preset", path(os.path.join(folder, "préréglage %s.vstpreset" % side)))
        check(result.returncode == 0, "render on %s (%s)" % (side, result.stderr.strip()))
    for name in ("sortie %s.wav", "état %s.bin"):
        check(same_bytes(os.path.join(folder, name % "linux"), os.path.join(folder, name % "windows")),
              "render: %s is the same on both platforms" % (name % "*"))
    # A preset file names its class by the SDK's text form of the class id, which on Windows reads
    # the 16 bytes as a COM GUID (the first three fields little-endian): the one difference.
    with open(os.path.join(folder, "préréglage linux.vstpreset"), "rb") as f:
        linux_preset = f.read()
    with open(os.path.join(folder, "préréglage windows.vstpreset"), "rb") as f:
        windows_preset = f.read()
    cid = bytes.fromhex(linux_preset[8:40].decode())
    com = (cid[3::-1] + cid[5:3:-1] + cid[7:5:-1] + cid[8:]).hex().upper().encode()
    check(windows_preset == linux_preset[:8] + com + linux_preset[40:],
          "render: the presets differ only in the class id's text, COM-ordered on Windows")
    crossed = hosts.windows("render", w(mix), w(os.path.join(folder, "via preset.wav")), "--format", "pcm24",
                            "--load-preset", w(os.path.join(folder, "préréglage windows.vstpreset")))
    check(crossed.returncode == 0 and same_bytes(os.path.join(folder, "via preset.wav"),
                                                 os.path.join(folder, "sortie linux.wav")),
          "the preset saved on Windows gives the Linux render back")
    crossed = hosts.linux("render", mix, os.path.join(folder, "via state.wav"), "--format", "pcm24",
                          "--load-state", os.path.join(folder, "état windows.bin"))
    check(crossed.returncode == 0 and same_bytes(os.path.join(folder, "via state.wav"),
                                                 os.path.join(folder, "sortie linux.wav")),
          "a state saved on Windows gives the same render on Linux")

    # AIFF input, a relative output path with forward slashes, the sidechain and 64-bit samples.
    os.makedirs(os.path.join(folder, "rel"))
    for side, run, path in (("linux", hosts.linux, lambda p: p), ("windows", hosts.windows, w)):
        result = run("render", path(aiff), "rel/aiff %s.wav" % side, "--sidechain", path(mix), "--set",
                     "External Sidechain=1", "--precision", "64", "--block-size", "100", cwd=folder)
        check(result.returncode == 0, "render AIFF with sidechain on %s (%s)" % (side, result.stderr.strip()))
    check(same_bytes(os.path.join(folder, "rel", "aiff linux.wav"), os.path.join(folder, "rel", "aiff windows.wav")),
          "render from AIFF with a sidechain: the same output on both platforms")

    # Failures: one line on stderr, a non-zero exit, no output file.
    missing_out = os.path.join(folder, "never.wav")
    for what, args in (("missing input", ["render", w(os.path.join(folder, "absent ♫.wav")), w(missing_out)]),
                       ("unreadable input", ["render", w(os.path.join(folder, "préréglage linux.vstpreset")),
                                             w(missing_out)]),
                       ("missing module", ["list", "--module", w(os.path.join(folder, "Nothing.vst3"))]),
                       ("not a module", ["list", "--module", w(mix)])):
        result = hosts.windows(*args)
        lines = [line for line in result.stderr.splitlines() if line.strip()]
        check(result.returncode == 1 and len(lines) == 1 and lines[0].startswith("velmora-host: ") and
              not os.path.exists(missing_out), "%s: %s" % (what, lines[0] if lines else "(nothing said)"))

    # demo: audio and editor pictures byte for byte as on Linux. The level plots carry text drawn
    # with the platform's fonts, so only their size is compared.
    linux_demo, windows_demo = os.path.join(work, "demo-linux"), os.path.join(folder, "démo")
    result = hosts.linux("demo", "--out", linux_demo)
    check(result.returncode == 0, "demo on Linux (%s)" % result.stderr.strip())
    result = hosts.windows("demo", "--out", w(windows_demo))
    check(result.returncode == 0, "demo on Windows (%s)" % result.stderr.strip())
    names = sorted(os.listdir(linux_demo)) if os.path.isdir(linux_demo) else []
    check(len(names) == 15 and os.path.isdir(windows_demo) and sorted(os.listdir(windows_demo)) == names,
          "demo writes the same 15 files")
    for name in names:
        a, b = os.path.join(linux_demo, name), os.path.join(windows_demo, name)
        if not os.path.exists(b):
            continue
        if name.endswith("-levels.png"):
            check(png_size(a) == png_size(b), "demo: %s is %d x %d on both" % ((name,) + png_size(a)))
        else:
            check(same_bytes(a, b), "demo: %s is the same on both platforms" % name)

    print("\n%d checks failed" % len(failures) if failures else "\nall checks passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
