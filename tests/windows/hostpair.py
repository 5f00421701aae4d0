"""The Linux velmora-host and, under Wine, velmora-host.exe side by side: running both on the
same files, and the audio files they exchange (WAV and AIFF written here, WAV read back).

Used by the tests in this folder; they run inside tools/windows/wine-session.sh, which provides
the Wine prefix and display that tools/windows/wine-run.sh needs."""

import math
import os
import struct
import subprocess


class Hosts:
    """linux_host and windows_host are the two programs; wine_run runs a Windows program."""

    def __init__(self, linux_host, windows_host, wine_run):
        self.linux_host = linux_host
        self.windows_host = windows_host
        self.wine_run = wine_run

    def linux(self, *args, cwd=None):
        return subprocess.run([self.linux_host, *args], capture_output=True, text=True, cwd=cwd)

    def windows(self, *args, cwd=None):
        return subprocess.run([self.wine_run, self.windows_host, *args], capture_output=True, text=True,
                              encoding="utf-8", errors="replace", cwd=cwd)


def windows_path(path):
    """A Linux path as Windows programs under Wine see it: drive Z: is the root, with backslashes."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def write_wav(path, rate, channels, fmt="double"):
    """channels: lists of samples, one per channel. fmt: "double", "float" or "pcm24"."""
    frames = len(channels[0])
    if fmt == "pcm24":
        tag, bits = 1, 24
        data = bytearray()
        for i in range(frames):
            for ch in channels:
                v = max(-8388608, min(8388607, int(round(ch[i] * 8388608.0))))
                data += struct.pack("<i", v)[:3]
    else:
        tag, bits = 3, 64 if fmt == "double" else 32
        code = "<d" if fmt == "double" else "<f"
        data = b"".join(struct.pack(code, ch[i]) for i in range(frames) for ch in channels)
    block = len(channels) * bits // 8
    fmt_chunk = struct.pack("<HHIIHH", tag, len(channels), rate, rate * block, block, bits)
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt_chunk)) + fmt_chunk
    body += b"data" + struct.pack("<I", len(data)) + bytes(data)
    with open(path, "wb") as f:
        f.write(b"RIFF" + struct.pack("<I", len(body)) + body)


def _extended(value):
    """An IEEE 754 80-bit extended number, as AIFF stores its sample rate."""
    exponent = int(math.floor(math.log2(value)))
    mantissa = int(value * 2 ** (63 - exponent))
    return struct.pack(">HQ", exponent + 16383, mantissa)


def write_aiff(path, rate, channels):
    """16-bit big-endian PCM AIFF."""
    frames = len(channels[0])
    samples = b"".join(struct.pack(">h", max(-32768, min(32767, int(round(ch[i] * 32768.0)))))
                       for i in range(frames) for ch in channels)
    comm = struct.pack(">hIh", len(channels), frames, 16) + _extended(rate)
    ssnd = struct.pack(">II", 0, 0) + samples
    body = b"AIFF" + b"COMM" + struct.pack(">I", len(comm)) + comm + b"SSND" + struct.pack(">I", len(ssnd)) + ssnd
    with open(path, "wb") as f:
        f.write(b"FORM" + struct.pack(">I", len(body)) + body)


def read_wav(path):
    """(rate, channel count, interleaved samples as floats) of a PCM or IEEE-float WAV file."""
    with open(path, "rb") as f:
        raw = f.read()
    if raw[:4] != b"RIFF" or raw[8:12] != b"WAVE":
        raise ValueError(path + " is no WAV file")
    pos, fmt, data = 12, None, None
    while pos + 8 <= len(raw):
        cid, size = raw[pos:pos + 4], struct.unpack("<I", raw[pos + 4:pos + 8])[0]
        chunk = raw[pos + 8:pos + 8 + size]
        if cid == b"fmt ":
            fmt = list(struct.unpack("<HHIIHH", chunk[:16]))
            if fmt[0] == 0xFFFE:  # WAVE_FORMAT_EXTENSIBLE: the real tag leads the sub-format GUID
                fmt[0] = struct.unpack("<H", chunk[24:26])[0]
        elif cid == b"data":
            data = chunk
        pos += 8 + size + (size & 1)
    tag, channels, rate, _, _, bits = fmt
    if bits == 64:
        values = struct.unpack("<%dd" % (len(data) // 8), data)
    elif bits == 32 and tag == 3:
        values = struct.unpack("<%df" % (len(data) // 4), data)
    elif bits == 24:
        values = [int.from_bytes(data[i:i + 3], "little", signed=True) / 8388608.0 for i in range(0, len(data), 3)]
    elif bits == 16:
        values = [v / 32768.0 for v in struct.unpack("<%dh" % (len(data) // 2), data)]
    else:
        raise ValueError("%s: %d-bit samples (tag %d) not understood" % (path, bits, tag))
    return rate, channels, values
