#!/usr/bin/python3
"""Velmora in a real DAW: Debian's Ardour 7.3, headless (ardour7-lua on the Dummy backend).

Each case gives Ardour a private home (HOME, XDG config, cache and data folders, so the user's own
configuration is never read or written) with the bundle in its ~/.vst3 folder and the factory
presets in ~/.vst3/presets/<vendor>/<plug-in>/, indexes the bundle with Ardour's own VST3 scanner,
and runs Lua scripts in ardour7-lua under a time limit, stopped by its process id when it runs
over, with all output in files of the case's folder.

  ardour_session.py preset  BUNDLE PRESET_DIR WORK
      every factory preset, loaded through Ardour's preset path (plugin:load_preset), finishes in
      time, and Ardour's parameter values then equal the steps stored in the preset file
  ardour_session.py session BUNDLE PRESET_DIR WORK
      a session saved with non-default values and loaded again gives them back
  ardour_session.py render  BUNDLE PRESET_DIR WORK VELMORA_HOST
      a file played through Velmora in a session and exported equals velmora-host's render of the
      same file once the smoothers have settled
"""
import os
import shutil
import signal
import struct
import subprocess
import sys
import time

LUA = "/usr/bin/ardour7-lua"
SCANNER = "/usr/lib/ardour7/ardour-vst3-scanner"
ARDOUR_LIBS = "/usr/lib/ardour7"
VENDOR, PLUGIN = "Corvanta", "Velmora"
PARAMS = 13  # Velmora's effect parameters; Ardour lists the host bypass first, then these
LUA_TIMEOUT = 120  # seconds for one script; the preset hang of Ardour 7.3 never ends

CONFIG = """<?xml version="1.0" encoding="UTF-8"?>
<Ardour>
  <Config>
    <Option name="hide-dummy-backend" value="0"/>
  </Config>
</Ardour>
"""

# Shared by every script: a session on the Dummy backend with one stereo track carrying Velmora.
LUA_PRELUDE = """
io.stdout:setvbuf("no")
function fail(message) print("FAIL " .. message) os.exit(1) end
function start(folder, name, create)
  if not AudioEngine:set_backend("None (Dummy)", "", "") then fail("no Dummy backend") end
  local s
  if create then s = create_session(folder, name, 48000) else s = load_session(folder, name) end
  if not s then fail("no session") end
  return s
end
function add_velmora(s)
  local tracks = s:new_audio_track(2, 2, nil, 1, "Velmora Track", ARDOUR.PresentationInfo.max_order,
                                   ARDOUR.TrackMode.Normal, true)
  local proc = ARDOUR.LuaAPI.new_plugin(s, "Velmora", ARDOUR.PluginType.VST3, "")
  if proc:isnil() then fail("Ardour does not know Velmora") end
  if tracks:front():add_processor_by_index(proc, 0, nil, true) ~= 0 then fail("Velmora not added") end
  velmora_track = tracks:front()
  return proc
end
function find_velmora(s)
  for r in s:get_routes():iter() do
    local proc = r:nth_plugin(0)
    if not proc:isnil() and proc:name() == "Velmora" then return proc end
  end
  fail("no Velmora in the session")
end
function print_values(proc)
  local plug = proc:to_insert():plugin(0)
  for i = 0, plug:parameter_count() - 1 do
    print(string.format("VALUE %d %s %.17g", i, plug:parameter_label(i), ARDOUR.LuaAPI.get_processor_param(proc, i, true)))
  end
end
"""


def fail(message):
    print("ardour: " + message, file=sys.stderr)
    sys.exit(1)


class PrivateArdour:
    def __init__(self, bundle, preset_dir, work):
        self.work = os.path.abspath(work)
        shutil.rmtree(self.work, ignore_errors=True)
        home = os.path.join(self.work, "home")
        self.env = {k: v for k, v in os.environ.items() if not k.startswith(("XDG_", "JACK_", "ARDOUR_"))}
        self.env.pop("DISPLAY", None)
        self.env.update(HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"),
                        XDG_CACHE_HOME=os.path.join(home, ".cache"), XDG_DATA_HOME=os.path.join(home, ".local/share"),
                        XDG_RUNTIME_DIR=os.path.join(self.work, "run"))
        os.makedirs(os.path.join(self.env["XDG_CONFIG_HOME"], "ardour7"))
        os.makedirs(self.env["XDG_RUNTIME_DIR"], mode=0o700)
        with open(os.path.join(self.env["XDG_CONFIG_HOME"], "ardour7", "config"), "w") as f:
            f.write(CONFIG)
        vst3 = os.path.join(home, ".vst3")
        os.makedirs(vst3)
        self.bundle = os.path.join(vst3, os.path.basename(os.path.normpath(bundle)))
        shutil.copytree(bundle, self.bundle, symlinks=True)
        self.presets = os.path.join(vst3, "presets", VENDOR, PLUGIN)
        shutil.copytree(preset_dir, self.presets)
        self.runs = 0
        scan_env = dict(self.env, LD_LIBRARY_PATH=ARDOUR_LIBS)
        if self.run([SCANNER, "-q", "-f", self.bundle], "scan", 60, scan_env) != 0:
            fail("Ardour's VST3 scanner did not index the bundle (see %s)" % self.work)

    def run(self, command, name, limit, env=None):
        """Runs a command with its output in files; None when it ran over its time and was stopped."""
        out = os.path.join(self.work, name + ".out")
        err = os.path.join(self.work, name + ".err")
        with open(out, "w") as o, open(err, "w") as e:
            proc = subprocess.Popen(["timeout", "-k", "5", str(limit)] + command, stdout=o, stderr=e,
                                    stdin=subprocess.DEVNULL, env=env or self.env, cwd=self.work,
                                    start_new_session=True)
            try:
                return proc.wait(limit + 15)
            except subprocess.TimeoutExpired:
                os.killpg(proc.pid, signal.SIGKILL)
                proc.wait()
                return None

    def lua(self, name, body, limit=LUA_TIMEOUT, crash_retries=0, before_retry=None):
        """Runs a Lua script; answers its output lines and its wall time. A script that does not end
        in time fails the case. With crash_retries, a run that Ardour ends by a crash (a signal) is
        repeated, after before_retry() has cleared what it left, up to that many times."""
        path = os.path.join(self.work, name + ".lua")
        with open(path, "w") as f:
            f.write(LUA_PRELUDE + body + "\nprint(\"DONE\")\n")
        while True:
            started = time.monotonic()
            status = self.run([LUA, path], name, limit)
            took = time.monotonic() - started
            if status is None or status >= 0 or crash_retries == 0:
                break
            crash_retries -= 1
            print("ardour: %s: Ardour crashed (signal %d); running it again" % (name, -status), file=sys.stderr)
            if before_retry:
                before_retry()
        with open(os.path.join(self.work, name + ".out")) as f:
            lines = f.read().splitlines()
        if status is None or status == 124:
            fail("%s did not finish within %d s (stopped; output in %s)" % (name, limit, self.work))
        failed = [l for l in lines if l.startswith("FAIL ")]
        if status != 0 or failed or "DONE" not in lines:
            fail("%s: status %s, %s (output in %s)" % (name, status, failed or lines[-5:], self.work))
        return lines, took


def values_of(lines):
    """Ardour's parameter values by index: 0 is the host bypass, 1 + i the effect's parameter i."""
    values = {}
    for line in lines:
        if line.startswith("VALUE "):
            index, rest = line[6:].split(" ", 1)
            values[int(index)] = float(rest.rsplit(" ", 1)[1])
    if len(values) != PARAMS + 1:
        fail("Ardour lists %d parameters, expected %d: %s" % (len(values), PARAMS + 1, values))
    return values


def preset_steps(path):
    """The steps and the bypass word stored in a .vstpreset file's component state."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:4] != b"VST3":
        fail(path + " is not a VST3 preset")
    (list_offset,) = struct.unpack_from("<q", data, 40)
    if data[list_offset:list_offset + 4] != b"List":
        fail(path + ": no chunk list")
    (count,) = struct.unpack_from("<i", data, list_offset + 4)
    for i in range(count):
        chunk_id = data[list_offset + 8 + 20 * i:list_offset + 12 + 20 * i]
        offset, size = struct.unpack_from("<qq", data, list_offset + 12 + 20 * i)
        if chunk_id == b"Comp":
            if size != PARAMS * 8 + 4:
                fail("%s: component state of %d bytes" % (path, size))
            steps = struct.unpack_from("<%dd" % PARAMS, data, offset)
            (bypass,) = struct.unpack_from("<i", data, offset + PARAMS * 8)
            return list(steps), bypass
    fail(path + ": no component state")


def case_preset(ardour):
    names = sorted(n[:-len(".vstpreset")] for n in os.listdir(ardour.presets) if n.endswith(".vstpreset"))
    if not names:
        fail("no factory presets in " + ardour.presets)
    body = """
local s = start("%s", "presets", true)
local proc = add_velmora(s)
local plug = proc:to_insert():plugin(0)
""" % os.path.join(ardour.work, "presets")
    for name in names:
        body += """
do
  local preset = plug:preset_by_label("%s")
  if not preset or not preset.valid then fail("Ardour has no preset %s") end
  print("LOADING %s")
  if not plug:load_preset(preset) then fail("load_preset %s") end
  print("PRESET %s")
  print_values(proc)
end
""" % (name, name, name, name, name)
    body += "close_session()\n"
    lines, took = ardour.lua("presets", body)
    checked = 0
    current = None
    by_preset = {}
    for line in lines:
        if line.startswith("PRESET "):
            current = line[7:]
            by_preset[current] = []
        elif line.startswith("VALUE ") and current:
            by_preset[current].append(line)
    for name in names:
        values = values_of(by_preset.get(name, []))
        steps, bypass = preset_steps(os.path.join(ardour.presets, name + ".vstpreset"))
        expected = [float(bool(bypass))] + steps
        got = [values[i] for i in range(PARAMS + 1)]
        if got != expected:
            fail("after \"%s\" Ardour shows %s, the preset holds %s" % (name, got, expected))
        checked += 1
    print("ardour: %d factory presets loaded through Ardour's preset path in %.1f s, values as stored" %
          (checked, took))


# Non-default steps for a session (effect parameter index, step), and the host bypass on.
SESSION_STEPS = [(0, 3), (1, 14), (2, 4), (3, 11), (4, 3), (5, 1), (6, 0), (7, 2), (8, 5), (9, 2), (10, 0), (11, 1),
                 (12, 1)]


def case_session(ardour):
    folder = os.path.join(ardour.work, "kept")
    sets = "\n".join("if not ARDOUR.LuaAPI.set_processor_param(proc, %d, %d) then fail('set %d') end" % (1 + i, step, i)
                     for i, step in SESSION_STEPS)
    ardour.lua("save", """
local s = start("%s", "kept", true)
local proc = add_velmora(s)
if not ARDOUR.LuaAPI.set_processor_param(proc, 0, 1) then fail("set the host bypass") end
%s
-- The values reach the processor through the engine's next cycles, as they would while a user works.
ARDOUR.LuaAPI.usleep(300000)
print("ENGINE", AudioEngine:running())
print_values(proc)
s:save_state("", false, false, false, false, false)
close_session()
""" % (folder, sets))
    lines, _ = ardour.lua("load", """
local s = start("%s", "kept", false)
print_values(find_velmora(s))
close_session()
""" % folder)
    values = values_of(lines)
    expected = {0: 1.0}
    expected.update({1 + i: float(step) for i, step in SESSION_STEPS})
    if values != expected:
        fail("the session gave back %s, it was saved with %s" % (values, expected))
    print("ardour: a session saved with %d non-default values gives them back" % len(expected))


def main():
    case, bundle, preset_dir, work = sys.argv[1:5]
    for tool in (LUA, SCANNER):
        if not os.path.exists(tool):
            fail(tool + " is missing: install Debian's ardour package (tools/install-deps.sh)")
    ardour = PrivateArdour(bundle, preset_dir, work)
    if case == "preset":
        case_preset(ardour)
    elif case == "session":
        case_session(ardour)
    elif case == "render":
        case_render(ardour, sys.argv[5])
    else:
        fail("unknown case " + case)


# The render: Velmora's steps for it (effect parameter index, step), as Ardour and velmora-host set them.
RENDER_STEPS = [(0, 3, "Compressor Threshold"), (4, 4, "Ratio"), (2, 3, "Gain")]
RENDER_SETTLED = 0.5  # seconds: the smoothers and envelopes have forgotten what came before
FADE_OUT = 64  # samples Ardour fades out at a region's end
TOLERANCE = 1e-7  # Ardour's unity-gain panner and fader may move a float sample by a last bit
EXPORT_PRESET = """<?xml version="1.0" encoding="UTF-8"?>
<ExportPreset id="5e1d7a0c-2b1f-4c3e-9a6d-76656c6d6f72" name="Velmora float">
  <ExportFormat id="20b4ab09-6452-4cb3-bd66-b921cdbd2942"/>
  <ExportFilename>
    <Folder relative="1" path="export"/>
    <Field name="label" enabled="1"/>
  </ExportFilename>
</ExportPreset>
"""


def read_float_wav(path):
    """Channel count and interleaved samples of a 32-bit float WAV file."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:4] != b"RIFF" or data[8:12] != b"WAVE":
        fail(path + " is not a WAV file")
    pos, channels, samples = 12, None, None
    while pos + 8 <= len(data):
        chunk, size = data[pos:pos + 4], struct.unpack_from("<I", data, pos + 4)[0]
        if chunk == b"fmt ":
            tag, channels = struct.unpack_from("<HH", data, pos + 8)
            bits = struct.unpack_from("<H", data, pos + 22)[0]
            if bits != 32 or tag not in (3, 0xFFFE):
                fail("%s: not 32-bit float samples" % path)
        elif chunk == b"data":
            samples = struct.unpack_from("<%df" % (size // 4), data, pos + 8)
        pos += 8 + size + (size & 1)
    if not channels or samples is None:
        fail(path + ": no format or no samples")
    return channels, samples


def write_stereo_float_wav(path, left, right, rate):
    frames = len(left)
    body = struct.pack("<%df" % (2 * frames), *[v for pair in zip(left, right) for v in pair])
    header = struct.pack("<4sI4s4sIHHIIHH4sI", b"RIFF", 36 + len(body), b"WAVE", b"fmt ", 16, 3, 2, rate,
                         rate * 8, 8, 32, b"data", len(body))
    with open(path, "wb") as f:
        f.write(header + body)


def case_render(ardour, host):
    """Ardour records its Dummy backend's sine sweep on a track through Velmora, then exports the
    session; velmora-host renders the recorded file with the same steps."""
    folder = os.path.join(ardour.work, "render")
    export_dir = os.path.join(ardour.work, "exported")
    os.makedirs(export_dir)
    presets = os.path.join(ardour.env["XDG_CONFIG_HOME"], "ardour7", "export")
    os.makedirs(presets)
    with open(os.path.join(presets, "velmora-float.preset"), "w") as f:
        f.write(EXPORT_PRESET)
    sets = "\n".join("if not ARDOUR.LuaAPI.set_processor_param(proc, %d, %d) then fail('set %s') end" % (1 + i, step, name)
                     for i, step, name in RENDER_STEPS)
    def clear_render():
        shutil.rmtree(folder, ignore_errors=True)
        for name in os.listdir(export_dir):
            os.remove(os.path.join(export_dir, name))

    # Ardour 7.3's headless session crashes in its export path or while closing the session in
    # about one run of four (heap corruption inside libardour, the same with no plug-in on the
    # track), so a crashed run is repeated; a crash that came with Velmora every time still fails.
    lines, took = ardour.lua("render", """
if not AudioEngine:set_backend("None (Dummy)", "", "") then fail("no Dummy backend") end
if AudioEngine:set_device_name("Sine Sweep") ~= 0 then fail("no sine sweep input") end
local s = create_session("%s", "render", 48000)
local proc = add_velmora(s)
%s
local track = velmora_track
track:rec_enable_control():set_value(1, PBD.GroupControlDisposition.NoGroup)
s:maybe_enable_record(false)
s:request_roll(ARDOUR.TransportRequestSource.TRS_UI)
ARDOUR.LuaAPI.usleep(3000000)
s:request_stop(false, false, ARDOUR.TransportRequestSource.TRS_UI)
ARDOUR.LuaAPI.usleep(500000)
track:rec_enable_control():set_value(0, PBD.GroupControlDisposition.NoGroup)
local length = 0
for r in track:playlist():region_list():iter() do length = r:position():samples() + r:length():samples() end
if length == 0 then fail("nothing recorded") end
print("LENGTH " .. length)
local e = s:simple_export()
e:set_name("velmora")
e:set_folder("%s")
e:set_range(0, length)
if not e:set_preset("5e1d7a0c-2b1f-4c3e-9a6d-76656c6d6f72") then fail("no float export preset") end
if not e:run_export() then fail("export") end
s:save_state("", false, false, false, false, false)
close_session()
""" % (folder, sets, export_dir), crash_retries=4, before_retry=clear_render)
    takes = sorted(os.listdir(os.path.join(folder, "interchange", "render", "audiofiles")))
    if len(takes) != 2:
        fail("the recording is %s, expected a left and a right file" % takes)
    _, left = read_float_wav(os.path.join(folder, "interchange", "render", "audiofiles", takes[0]))
    _, right = read_float_wav(os.path.join(folder, "interchange", "render", "audiofiles", takes[1]))
    recorded = os.path.join(ardour.work, "recorded.wav")
    write_stereo_float_wav(recorded, left, right, 48000)
    exported = [n for n in os.listdir(export_dir) if n.endswith(".wav")]
    if len(exported) != 1:
        fail("Ardour exported %s" % exported)
    channels, through_ardour = read_float_wav(os.path.join(export_dir, exported[0]))

    rendered = os.path.join(ardour.work, "velmora-host.wav")
    command = [host, "render", recorded, rendered, "--module", ardour.bundle, "--precision", "32", "--no-loudness"]
    for _, step, name in RENDER_STEPS:
        command += ["--set", "%s=%d" % (name, step)]
    if ardour.run(command, "velmora-host", 120) != 0:
        fail("velmora-host render failed (see %s)" % ardour.work)
    _, through_host = read_float_wav(rendered)
    frames = len(left)
    if channels != 2 or len(through_ardour) != 2 * frames or len(through_host) != 2 * frames:
        fail("lengths: recorded %d frames, Ardour %d samples in %d channels, velmora-host %d samples" %
             (frames, len(through_ardour), channels, len(through_host)))
    start, end = int(RENDER_SETTLED * 48000), frames - FADE_OUT
    if end - start < 24000:
        fail("only %d frames recorded" % frames)
    worst = max(range(2 * start, 2 * end), key=lambda i: abs(through_ardour[i] - through_host[i]))
    difference = abs(through_ardour[worst] - through_host[worst])
    changed = max(abs(through_ardour[i] - (left, right)[i % 2][i // 2]) for i in range(2 * start, 2 * end))
    if difference > TOLERANCE:
        fail("Ardour's render and velmora-host's differ by %.3g at frame %d" % (difference, worst // 2))
    if changed < 0.1:
        fail("Velmora changed the recording by at most %.3g: nothing was processed" % changed)
    print("ardour: %d frames through a session equal velmora-host's render of the recording after %.1f s "
          "(largest difference %.2g); Ardour took %.1f s" % (end - start, RENDER_SETTLED, difference, took))


main()
