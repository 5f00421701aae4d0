#!/usr/bin/python3
"""Draws Velmora's editor artwork: the panel background, the ten knob filmstrips, the three
switch filmstrips and the gain-reduction meter filmstrip, written as 8-bit RGBA PNGs into
resources/img/, and the same set drawn natively at twice the size into resources/img/2x/ (for
displays scaled above 100 %: every image exactly twice as wide and high, the same frames).

Run with Debian's own interpreter (python3-cairo, fonts-dejavu-core):
    /usr/bin/python3 tools/artwork/generate_artwork.py [--scale 2] [output-dir]
    /usr/bin/python3 tools/artwork/generate_artwork.py --compare
Without --scale it draws the 1x set; the output folder defaults to the set's folder. --compare draws
both sets into a scratch folder and fails, naming the files, where the committed ones differ (an
edit of this script whose images were not drawn again, or a set drawn at one scale only).

The output is deterministic: every texture comes from a fixed-seed generator and the fonts are
drawn unhinted, so the same packages give the same bytes on every run.

Knob scales and knob pointers are both drawn from `step_angle`, so a pointer at step s always
points at the tick printed for step s.
"""

import filecmp
import math
import os
import random
import struct
import sys
import tempfile
import zlib

import cairo

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.normpath(os.path.join(HERE, "..", ".."))
DEFAULT_OUT = os.path.join(REPO, "resources", "img")
# The folder of each scale's set, under DEFAULT_OUT.
SCALE_FOLDERS = {1: "", 2: "2x"}

# Pixels per panel unit. Everything is drawn in panel units (the 1x pixel grid); a surface maps
# them to its pixels through cairo's device scale, so text, strokes and textures are drawn at the
# target resolution rather than resampled.
SCALE = 1

PANEL_W, PANEL_H = 404, 634

# ---------------------------------------------------------------------------------------------
# Palette: dark graphite anodising, warm ivory legends, one amber accent (captions and lamps).

def rgb(hex_colour, alpha=1.0):
    h = hex_colour.lstrip("#")
    return (int(h[0:2], 16) / 255.0, int(h[2:4], 16) / 255.0, int(h[4:6], 16) / 255.0, alpha)

PANEL_TOP = rgb("#34373c")
PANEL_BOTTOM = rgb("#26282c")
PLATE = rgb("#1d1f22")
LEGEND = rgb("#ebe4d3")
LEGEND_DIM = rgb("#b9b2a2")
ACCENT = rgb("#f0a03c")
LAMP_LIT = rgb("#ffb84a")
LAMP_HOT = rgb("#fff1c8")
LAMP_DARK = rgb("#3a2a16")
METER_FACE = rgb("#f3e8c6")
METER_INK = rgb("#23201b")
METER_RED = rgb("#b8321f")

FONT_SANS = "DejaVu Sans"
FONT_SERIF = "DejaVu Serif"
# Cairo finds faces through fontconfig and silently substitutes a missing one; refuse instead.
FONT_FILES = ["/usr/share/fonts/truetype/dejavu/" + f for f in
              ("DejaVuSans.ttf", "DejaVuSans-Bold.ttf", "DejaVuSerif-Bold.ttf")]

# ---------------------------------------------------------------------------------------------
# The one angle table. Angles are in radians, measured clockwise from 12 o'clock; a knob sweeps
# 270 degrees, step 0 at 7:30 (-135 degrees) and the last step at 4:30 (+135 degrees).

KNOB_SWEEP_DEG = 270.0

def step_angle(step, frames):
    if frames < 2:
        return 0.0
    start = -KNOB_SWEEP_DEG / 2.0
    return math.radians(start + KNOB_SWEEP_DEG * step / (frames - 1))

def polar(cx, cy, angle, radius):
    """Point at `radius` from (cx, cy) in the direction `angle` (clockwise from up)."""
    return cx + radius * math.sin(angle), cy - radius * math.cos(angle)

# Meter: the needle rests at the right end (no reduction) and swings left in proportion to the
# removed fraction of level (value 0..1, linear in gain); frame k (0-based) shows value k / 120.

METER_W, METER_H, METER_FRAMES = 160, 86, 121
METER_PIVOT = (80.0, 110.0)
METER_SCALE_R = 82.0
METER_HALF_SWEEP = math.radians(44.0)
METER_HOOD_R = 44.0

def meter_angle(value):
    return METER_HALF_SWEEP - 2.0 * METER_HALF_SWEEP * value

def meter_value_for_db(db):
    return 1.0 - 10.0 ** (-db / 20.0)

# ---------------------------------------------------------------------------------------------
# Controls and their places on the panel (x, y = top-left of the control's rectangle).

class Knob:
    """One filmstrip knob: frame n (0-based) shows step n. Labelled steps get a long tick."""

    def __init__(self, file, frames, x, y, w, image_h, big, name, unit, labels):
        self.file, self.frames = file, frames
        self.x, self.y, self.w = x, y, w
        self.image_h = image_h
        self.h = image_h // frames
        self.big = big
        self.name, self.unit = name, unit
        self.labels = labels                     # step -> legend text

    @property
    def radius(self):
        return 23.0 if self.big else 17.0

    def centre_in_frame(self):
        return self.w / 2.0, self.h / 2.0

    def centre_on_panel(self):
        cx, cy = self.centre_in_frame()
        return self.x + cx, self.y + cy


def signed(v):
    text = ("%g" % v) if v != int(v) else "%d" % v
    return ("+" + text) if v > 0 else text.replace("-", "\u2212")


# In the order the editor attaches them; legends in the physical units of each step.
KNOBS = [
    # "Compressor Threshold": -30..0 dB in 2 dB steps.
    Knob("CTHR", 16, 25, 327, 97, 1520, True, "THRESHOLD", "dB",
         {s: signed(-30 + 2 * s) for s in (0, 3, 6, 9, 12, 15)}),
    # "Limit Level": limiter threshold -30..-8 dB in 1 dB steps.
    Knob("LTHR", 23, 25, 196, 96, 2162, True, "LEVEL", "dB",
         {s: signed(-30 + s) for s in (0, 5, 10, 15, 20, 22)}),
    # "Gain": make-up 0..+20 dB in 2 dB steps.
    Knob("GAIN", 11, 26, 441, 96, 1045, True, "GAIN", "dB",
         {s: signed(2 * s) for s in (0, 2, 4, 6, 8, 10)}),
    # "Mix": wet share step / 22.
    Knob("MIX", 23, 307, 203, 71, 1633, False, "MIX", "%",
         {0: "0", 11: "50", 22: "100"}),
    # "Ratio".
    Knob("RAT", 5, 161, 442, 96, 470, True, "RATIO", "",
         {0: "1.5:1", 1: "2:1", 2: "3:1", 3: "4:1", 4: "6:1"}),
    # "High", "Mid": detector shelf and 1500 Hz peak gains; "High Pass Filter": corner.
    Knob("HIGH", 5, 307, 311, 72, 360, False, "HIGH", "dB",
         {0: signed(-7), 1: signed(-4.5), 2: signed(-1.5), 3: signed(1.5), 4: signed(4.5)}),
    Knob("MID", 5, 307, 408, 72, 360, False, "MID", "dB",
         {0: signed(-8), 1: signed(-5), 2: signed(-2), 3: signed(3), 4: signed(6)}),
    Knob("HPF", 5, 307, 503, 71, 355, False, "HPF", "Hz",
         {0: "20", 1: "50", 2: "80", 3: "160", 4: "360"}),
    # Recovery times: four fixed, then two that follow the programme level.
    Knob("CREC", 6, 164, 328, 93, 552, True, "RECOVERY", "ms",
         {0: "100", 1: "400", 2: "800", 3: "1500", 4: "AUTO 1", 5: "AUTO 2"}),
    Knob("LREC", 6, 163, 197, 94, 558, True, "RECOVERY", "ms",
         {0: "50", 1: "100", 2: "200", 3: "800", 4: "AUTO 1", 5: "AUTO 2"}),
]

# Two-frame switches: frame 1 is value 0, frame 2 is value 1 (lamp lit / limiter selected).
BYPASS = dict(file="BYPASS", x=49, y=565, w=49, h=25, text="IN")
EXT = dict(file="EXT", x=319, y=585, w=47, h=24, text="EXT")
GRSW = dict(file="GRSW", x=96, y=163, w=88, h=10)       # value 0 COMP, value 1 LIM
METER_POS = (58, 15)

# ---------------------------------------------------------------------------------------------
# Drawing helpers.

def new_surface(w, h):
    """A surface w x h panel units in size (w * SCALE x h * SCALE pixels)."""
    surface = cairo.ImageSurface(cairo.FORMAT_ARGB32, w * SCALE, h * SCALE)
    surface.set_device_scale(SCALE, SCALE)
    return surface

def new_context(surface):
    ctx = cairo.Context(surface)
    ctx.set_antialias(cairo.ANTIALIAS_BEST)
    options = cairo.FontOptions()
    options.set_antialias(cairo.ANTIALIAS_GRAY)
    options.set_hint_style(cairo.HINT_STYLE_NONE)
    options.set_hint_metrics(cairo.HINT_METRICS_OFF)
    ctx.set_font_options(options)
    return ctx

def set_font(ctx, size, bold=False, family=FONT_SANS, condense=1.0):
    """`condense` narrows the face horizontally, for scale legends that must sit close."""
    ctx.select_font_face(family, cairo.FONT_SLANT_NORMAL,
                         cairo.FONT_WEIGHT_BOLD if bold else cairo.FONT_WEIGHT_NORMAL)
    ctx.set_font_matrix(cairo.Matrix(size * condense, 0, 0, size, 0, 0))

def text_width(ctx, text, tracking=0.0):
    if not text:
        return 0.0
    width = sum(ctx.text_extents(ch).x_advance for ch in text)
    return width + tracking * (len(text) - 1)

def show_text(ctx, text, x, baseline, tracking=0.0):
    if tracking == 0.0:
        ctx.move_to(x, baseline)
        ctx.show_text(text)
        return
    for ch in text:
        ctx.move_to(x, baseline)
        ctx.show_text(ch)
        x += ctx.text_extents(ch).x_advance + tracking

def draw_text(ctx, text, x, baseline, colour, align="centre", tracking=0.0, shadow=None):
    width = text_width(ctx, text, tracking)
    left = {"left": x, "centre": x - width / 2.0, "right": x - width}[align]
    if shadow:
        ctx.set_source_rgba(*shadow)
        show_text(ctx, text, left, baseline + 1.0, tracking)
    ctx.set_source_rgba(*colour)
    show_text(ctx, text, left, baseline, tracking)
    return left, width

def cap_height(ctx):
    return ctx.font_extents()[0] * 0.78  # DejaVu capitals stand at about 0.73 em; ascent ~0.93 em

def rounded_rect(ctx, x, y, w, h, r):
    ctx.new_sub_path()
    ctx.arc(x + w - r, y + r, r, -math.pi / 2, 0)
    ctx.arc(x + w - r, y + h - r, r, 0, math.pi / 2)
    ctx.arc(x + r, y + h - r, r, math.pi / 2, math.pi)
    ctx.arc(x + r, y + r, r, math.pi, 3 * math.pi / 2)
    ctx.close_path()

def linear(x0, y0, x1, y1, stops):
    pattern = cairo.LinearGradient(x0, y0, x1, y1)
    for offset, colour in stops:
        pattern.add_color_stop_rgba(offset, *colour)
    return pattern

def radial(cx0, cy0, r0, cx1, cy1, r1, stops):
    pattern = cairo.RadialGradient(cx0, cy0, r0, cx1, cy1, r1)
    for offset, colour in stops:
        pattern.add_color_stop_rgba(offset, *colour)
    return pattern

def with_alpha(colour, alpha):
    return colour[0], colour[1], colour[2], alpha

def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(4))

# ---------------------------------------------------------------------------------------------
# Background panel.

def brushed_texture(ctx, x, y, w, h, seed, strength):
    """Fine horizontal graining, as on brushed and anodised aluminium."""
    rng = random.Random(seed)
    ctx.save()
    ctx.rectangle(x, y, w, h)
    ctx.clip()
    ctx.set_line_width(1.0)
    for row in range(int(h)):
        yy = y + row + 0.5
        px = x - rng.uniform(0, 40)
        while px < x + w:
            length = rng.uniform(20, 140)
            alpha = rng.uniform(0.2, 1.0) * strength
            if rng.random() < 0.5:
                ctx.set_source_rgba(1, 1, 1, alpha)
            else:
                ctx.set_source_rgba(0, 0, 0, alpha * 1.4)
            ctx.move_to(px, yy)
            ctx.line_to(px + length, yy)
            ctx.stroke()
            px += length + rng.uniform(0, 10)
    ctx.restore()

def rounded_polygon(ctx, points, r):
    """Closed path through `points` (axis-aligned corners) with every corner rounded by r."""
    n = len(points)
    ctx.new_sub_path()
    for i in range(n):
        px, py = points[i]
        ax, ay = points[i - 1]
        bx, by = points[(i + 1) % n]
        la, lb = math.hypot(px - ax, py - ay), math.hypot(bx - px, by - py)
        p0 = (px + (ax - px) * r / la, py + (ay - py) * r / la)
        p1 = (px + (bx - px) * r / lb, py + (by - py) * r / lb)
        (ctx.move_to if i == 0 else ctx.line_to)(*p0)
        k = 0.45   # control points at 0.45 r approximate a quarter circle
        ctx.curve_to(px + (p0[0] - px) * k, py + (p0[1] - py) * k,
                     px + (p1[0] - px) * k, py + (p1[1] - py) * k, *p1)
    ctx.close_path()

def pocket(ctx, points, seed, r=5.0):
    """A shallow milled pocket: darker floor, shadowed upper edge, light catch on the lower lip."""
    top = min(p[1] for p in points)
    bottom = max(p[1] for p in points)
    ctx.save()
    rounded_polygon(ctx, points, r)
    ctx.set_source(linear(0, top, 0, bottom, [(0, mix(PLATE, PANEL_BOTTOM, 0.15)),
                                              (1, mix(PLATE, PANEL_TOP, 0.25))]))
    ctx.fill_preserve()
    ctx.clip()
    brushed_texture(ctx, 0, top, PANEL_W, bottom - top, seed=seed, strength=0.012)
    # Inner shadow: the outline nudged down and stroked wide, seen only inside the pocket.
    ctx.translate(0, 1.2)
    rounded_polygon(ctx, points, r)
    ctx.set_line_width(2.6)
    ctx.set_source_rgba(0, 0, 0, 0.5)
    ctx.stroke()
    ctx.restore()
    # Light catching the lower lip.
    ctx.save()
    ctx.translate(0, 0.8)
    rounded_polygon(ctx, points, r)
    ctx.set_line_width(1.0)
    ctx.set_source(linear(0, top, 0, bottom, [(0, (1, 1, 1, 0.0)), (0.8, (1, 1, 1, 0.03)),
                                              (1, (1, 1, 1, 0.13))]))
    ctx.stroke()
    ctx.restore()

def box(x, y, w, h):
    return [(x, y), (x + w, y), (x + w, y + h), (x, y + h)]

def plate_caption(ctx, text, cx, baseline, rule_half=0.0):
    set_font(ctx, 8.6, bold=True)
    left, width = draw_text(ctx, text, cx, baseline, ACCENT, tracking=1.6, shadow=(0, 0, 0, 0.5))
    if rule_half > 0:
        ctx.set_line_width(1.0)
        ctx.set_source_rgba(*with_alpha(ACCENT, 0.45))
        y = baseline - 3.0 + 0.5
        for x0, x1 in ((cx - rule_half, left - 6), (left + width + 6, cx + rule_half)):
            if x1 - x0 > 4:
                ctx.move_to(x0, y)
                ctx.line_to(x1, y)
                ctx.stroke()

def screw(ctx, cx, cy, angle, size=4.6):
    k = size / 4.6
    ctx.arc(cx, cy + 0.8, 5.2 * k, 0, 2 * math.pi)
    ctx.set_source_rgba(0, 0, 0, 0.45)
    ctx.fill()
    ctx.arc(cx, cy, 4.6 * k, 0, 2 * math.pi)
    ctx.set_source(linear(cx - 4, cy - 4, cx + 4, cy + 4, [(0, rgb("#c9ccd0")), (1, rgb("#5d6166"))]))
    ctx.fill()
    ctx.arc(cx, cy, 3.6 * k, 0, 2 * math.pi)
    ctx.set_source(linear(cx - 3, cy - 3, cx + 3, cy + 3, [(0, rgb("#9a9ea3")), (1, rgb("#d5d8db"))]))
    ctx.fill()
    ctx.save()
    ctx.translate(cx, cy)
    ctx.rotate(angle)
    ctx.scale(k, k)
    for rot in (0.0, math.pi / 2):
        ctx.save()
        ctx.rotate(rot)
        ctx.rectangle(-3.3, -0.7, 6.6, 1.4)
        ctx.set_source_rgba(0.12, 0.12, 0.13, 0.95)
        ctx.fill()
        ctx.restore()
    ctx.restore()

def knob_scale(ctx, knob):
    """Ticks for every step and legends for the labelled ones, around the knob's place."""
    cx, cy = knob.centre_on_panel()
    r = knob.radius
    tick_in = r + 3.5
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    for step in range(knob.frames):
        a = step_angle(step, knob.frames)
        major = step in knob.labels
        tick_out = tick_in + (6.5 if major else 3.5)
        ctx.set_line_width(1.4 if major else 1.0)
        ctx.set_source_rgba(*with_alpha(LEGEND, 0.95 if major else 0.6))
        ctx.move_to(*polar(cx, cy, a, tick_in))
        ctx.line_to(*polar(cx, cy, a, tick_out))
        ctx.stroke()
    label_r = tick_in + 8.5
    set_font(ctx, 8.2 if knob.big else 7.6, condense=0.92)
    ch = cap_height(ctx)
    for step, text in sorted(knob.labels.items()):
        a = step_angle(step, knob.frames)
        dx, dy = math.sin(a), -math.cos(a)
        w = text_width(ctx, text)
        # Push the legend out until its box just clears the legend radius in that direction.
        reach = label_r + abs(dx) * w / 2.0 + abs(dy) * ch / 2.0
        px, py = cx + dx * reach, cy + dy * reach
        draw_text(ctx, text, px, py + ch / 2.0, LEGEND, shadow=(0, 0, 0, 0.35))
    # Unit in the gap below the knob, name under it.
    if knob.unit:
        set_font(ctx, 7.4, condense=0.95)
        draw_text(ctx, knob.unit, cx, cy + r + 9.5, LEGEND_DIM)
    set_font(ctx, 8.4 if knob.big else 7.9, bold=True)
    name_y = cy + r + (23.0 if knob.big else 18.5)
    draw_text(ctx, knob.name, cx, name_y, LEGEND, tracking=0.9, shadow=(0, 0, 0, 0.45))

METER_BEZEL = (50, 7, 176, 118)     # x, y, w, h on the panel: the window plus a legend strip

def meter_bezel(ctx):
    x, y = METER_POS
    bx, by, bw, bh = METER_BEZEL
    rounded_rect(ctx, bx, by + 1.5, bw, bh, 8)
    ctx.set_source_rgba(0, 0, 0, 0.5)
    ctx.fill()
    rounded_rect(ctx, bx, by, bw, bh, 8)
    ctx.set_source(linear(0, by, 0, by + bh, [(0, rgb("#55595f")), (0.35, rgb("#2b2d31")),
                                               (1, rgb("#17181b"))]))
    ctx.fill()
    rounded_rect(ctx, bx + 0.5, by + 0.5, bw - 1, bh - 1, 7.5)
    ctx.set_line_width(1.0)
    ctx.set_source(linear(0, by, 0, by + bh, [(0, (1, 1, 1, 0.35)), (0.4, (1, 1, 1, 0.05)),
                                               (1, (1, 1, 1, 0.10))]))
    ctx.stroke()
    # Dark reveal around the window glass.
    rounded_rect(ctx, x - 3, y - 3, METER_W + 6, METER_H + 6, 4)
    ctx.set_source_rgba(0.03, 0.03, 0.035, 1)
    ctx.fill()
    set_font(ctx, 7.6, bold=True)
    draw_text(ctx, "GAIN REDUCTION", x + METER_W / 2.0, by + bh - 6.5, LEGEND, tracking=1.8,
              shadow=(0, 0, 0, 0.6))

def brand(ctx):
    cx = 316.0
    set_font(ctx, 31, bold=True, family=FONT_SERIF)
    draw_text(ctx, "Velmora", cx, 62, LEGEND, tracking=0.5, shadow=(0, 0, 0, 0.55))
    ctx.set_source_rgba(*with_alpha(ACCENT, 0.85))
    ctx.rectangle(cx - 62, 73, 124, 1.2)
    ctx.fill()
    set_font(ctx, 7.4, bold=True)
    draw_text(ctx, "STEREO COMPRESSOR \u00b7 LIMITER", cx, 88, LEGEND_DIM, tracking=1.0)

def maker_badge(ctx):
    """A small engraved nameplate with the maker's name, held by two screws."""
    x, y, w, h = 150, 578, 118, 32
    rounded_rect(ctx, x, y + 1.5, w, h, 4)
    ctx.set_source_rgba(0, 0, 0, 0.5)
    ctx.fill()
    rounded_rect(ctx, x, y, w, h, 4)
    ctx.set_source(linear(x, y, x + w * 0.4, y + h * 1.6, [(0, rgb("#c2c5c9")), (0.5, rgb("#9ca0a5")),
                                                           (1, rgb("#74787d"))]))
    ctx.fill()
    brushed_texture(ctx, x, y, w, h, seed=11, strength=0.05)
    rounded_rect(ctx, x + 0.5, y + 0.5, w - 1, h - 1, 3.5)
    ctx.set_line_width(1.0)
    ctx.set_source(linear(0, y, 0, y + h, [(0, (1, 1, 1, 0.55)), (1, (0, 0, 0, 0.35))]))
    ctx.stroke()
    set_font(ctx, 10.0, bold=True, family=FONT_SERIF)
    ch = cap_height(ctx)
    draw_text(ctx, "CORVANTA", x + w / 2.0, y + h / 2.0 + ch / 2.0, rgb("#1f2124"),
              tracking=1.7, shadow=(1, 1, 1, 0.35))
    for sx in (x + 8, x + w - 8):
        screw(ctx, sx, y + h / 2.0, 0.4 + sx * 0.01, 3.2)

def build_background():
    surface = new_surface(PANEL_W, PANEL_H)
    ctx = new_context(surface)
    ctx.rectangle(0, 0, PANEL_W, PANEL_H)
    ctx.set_source(linear(0, 0, 0, PANEL_H, [(0, PANEL_TOP), (1, PANEL_BOTTOM)]))
    ctx.fill()
    brushed_texture(ctx, 0, 0, PANEL_W, PANEL_H, seed=7, strength=0.018)
    # Soft light from above.
    ctx.rectangle(0, 0, PANEL_W, PANEL_H)
    ctx.set_source(radial(150, -120, 20, 150, -120, 520, [(0, (1, 1, 1, 0.10)), (1, (1, 1, 1, 0))]))
    ctx.fill()
    ctx.set_line_width(1.0)
    ctx.rectangle(0.5, 0.5, PANEL_W - 1, PANEL_H - 1)
    ctx.set_source(linear(0, 0, 0, PANEL_H, [(0, (1, 1, 1, 0.22)), (1, (0, 0, 0, 0.6))]))
    ctx.stroke()

    # Section pockets: on the left the limiter over the compressor (its ratio knob below the
    # recovery knob) with the output in the corner; on the right the mix over the detector EQ.
    pocket(ctx, box(10, 180, 266, 120), seed=1)
    pocket(ctx, [(10, 306), (276, 306), (276, 560), (146, 560), (146, 428), (10, 428)], seed=2)
    pocket(ctx, box(10, 434, 130, 190), seed=3)
    pocket(ctx, box(284, 180, 110, 110), seed=4)
    pocket(ctx, box(284, 296, 110, 328), seed=5)

    plate_caption(ctx, "LIMITER", 143, 192, rule_half=44)
    plate_caption(ctx, "COMPRESSOR", 143, 318, rule_half=64)
    plate_caption(ctx, "OUTPUT", 75, 444.5, rule_half=50)
    plate_caption(ctx, "PARALLEL", 339, 192, rule_half=46)
    plate_caption(ctx, "DETECTOR EQ", 339, 306.5, rule_half=48)

    for knob in KNOBS:
        knob_scale(ctx, knob)

    set_font(ctx, 7.4, bold=True)
    draw_text(ctx, "SIDECHAIN", EXT["x"] + EXT["w"] / 2.0, EXT["y"] + EXT["h"] + 10.5, LEGEND,
              tracking=1.0, shadow=(0, 0, 0, 0.45))
    draw_text(ctx, "METER", GRSW["x"] + GRSW["w"] / 2.0, GRSW["y"] - 6.0, LEGEND_DIM,
              tracking=1.6)

    meter_bezel(ctx)
    brand(ctx)
    maker_badge(ctx)
    for (sx, sy, a) in ((12, 12, 0.3), (392, 12, 1.1)):
        screw(ctx, sx, sy, a)
    return surface

# ---------------------------------------------------------------------------------------------
# Knobs: a machined aluminium skirt with a black cap and an ivory pointer line. Lighting stays
# put while the pointer turns, as it does on a real panel.

def draw_knob(ctx, cx, cy, radius, angle):
    cap_r = radius * 0.76
    # Contact shadow, offset down (light from above).
    ctx.arc(cx, cy + 2.5, radius + 4.0, 0, 2 * math.pi)
    ctx.set_source(radial(cx, cy + 2.5, radius - 3, cx, cy + 2.5, radius + 4.0,
                          [(0, (0, 0, 0, 0.55)), (1, (0, 0, 0, 0))]))
    ctx.fill()
    # Skirt.
    ctx.arc(cx, cy, radius, 0, 2 * math.pi)
    ctx.set_source(linear(cx - radius, cy - radius, cx + radius * 0.6, cy + radius,
                          [(0, rgb("#e3e5e7")), (0.5, rgb("#a8acb1")), (1, rgb("#55595e"))]))
    ctx.fill()
    # Fine knurling around the skirt's edge.
    ctx.set_line_width(0.7)
    for i in range(72):
        a = 2 * math.pi * i / 72
        ctx.move_to(*polar(cx, cy, a, radius - 2.6))
        ctx.line_to(*polar(cx, cy, a, radius - 0.2))
    ctx.set_source_rgba(0, 0, 0, 0.22)
    ctx.stroke()
    ctx.arc(cx, cy, radius - 0.5, 0, 2 * math.pi)
    ctx.set_line_width(1.0)
    ctx.set_source_rgba(0, 0, 0, 0.55)
    ctx.stroke()
    # Cap.
    ctx.arc(cx, cy + 0.8, cap_r + 0.6, 0, 2 * math.pi)
    ctx.set_source_rgba(0, 0, 0, 0.45)
    ctx.fill()
    ctx.arc(cx, cy, cap_r, 0, 2 * math.pi)
    ctx.set_source(linear(0, cy - cap_r, 0, cy + cap_r, [(0, rgb("#3a3c41")), (1, rgb("#121315"))]))
    ctx.fill()
    ctx.arc(cx, cy, cap_r, 0, 2 * math.pi)
    ctx.set_source(radial(cx - cap_r * 0.35, cy - cap_r * 0.55, 0, cx, cy, cap_r * 1.1,
                          [(0, (1, 1, 1, 0.16)), (0.6, (1, 1, 1, 0.03)), (1, (1, 1, 1, 0))]))
    ctx.fill()
    ctx.arc(cx, cy, cap_r - 0.5, 0, 2 * math.pi)
    ctx.set_line_width(1.0)
    ctx.set_source(linear(0, cy - cap_r, 0, cy + cap_r, [(0, (1, 1, 1, 0.35)), (0.5, (1, 1, 1, 0.05)),
                                                         (1, (1, 1, 1, 0.0))]))
    ctx.stroke()
    # Pointer: ivory on the cap, a dark engraved notch across the skirt.
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    ctx.set_line_width(max(1.6, radius * 0.09))
    ctx.set_source_rgba(*LEGEND)
    ctx.move_to(*polar(cx, cy, angle, radius * 0.22))
    ctx.line_to(*polar(cx, cy, angle, cap_r - 1.8))
    ctx.stroke()
    ctx.set_line_cap(cairo.LINE_CAP_BUTT)
    ctx.set_line_width(1.8)
    ctx.set_source_rgba(0.08, 0.08, 0.09, 0.9)
    ctx.move_to(*polar(cx, cy, angle, cap_r + 0.6))
    ctx.line_to(*polar(cx, cy, angle, radius - 0.3))
    ctx.stroke()

def build_knob(knob):
    surface = new_surface(knob.w, knob.image_h)
    ctx = new_context(surface)
    cx, cy = knob.centre_in_frame()
    for frame in range(knob.frames):
        ctx.save()
        ctx.rectangle(0, frame * knob.h, knob.w, knob.h)
        ctx.clip()
        draw_knob(ctx, cx, cy + frame * knob.h, knob.radius, step_angle(frame, knob.frames))
        ctx.restore()
    return surface

# ---------------------------------------------------------------------------------------------
# Switches.

def draw_lamp_button(ctx, x0, y0, w, h, text, lit):
    """Square illuminated push-button: an amber lens with the legend in it."""
    x, y, bw, bh = x0 + 1.0, y0 + 1.0, w - 2.0, h - 2.5
    rounded_rect(ctx, x, y + 1.2, bw, bh, 4)
    ctx.set_source_rgba(0, 0, 0, 0.6)
    ctx.fill()
    rounded_rect(ctx, x, y, bw, bh, 4)
    ctx.set_source(linear(0, y, 0, y + bh, [(0, rgb("#55585e")), (1, rgb("#16171a"))]))
    ctx.fill()
    lx, ly, lw, lh = x + 2.5, y + 2.5, bw - 5.0, bh - 5.0
    rounded_rect(ctx, lx, ly, lw, lh, 2.5)
    if lit:
        ctx.set_source(radial(lx + lw / 2, ly + lh * 0.45, 1, lx + lw / 2, ly + lh / 2, lw * 0.6,
                              [(0, LAMP_HOT), (0.45, LAMP_LIT), (1, rgb("#d9731c"))]))
    else:
        ctx.set_source(linear(0, ly, 0, ly + lh, [(0, rgb("#4a3820")), (1, LAMP_DARK)]))
    ctx.fill()
    # Lens gloss.
    rounded_rect(ctx, lx + 1, ly + 0.8, lw - 2, lh * 0.42, 2)
    ctx.set_source(linear(0, ly, 0, ly + lh * 0.45, [(0, (1, 1, 1, 0.35 if lit else 0.14)),
                                                      (1, (1, 1, 1, 0.0))]))
    ctx.fill()
    set_font(ctx, 8.6, bold=True)
    ch = cap_height(ctx)
    ink = rgb("#4a2606", 0.92) if lit else rgb("#9a7a52", 0.75)
    draw_text(ctx, text, lx + lw / 2.0, ly + lh / 2.0 + ch / 2.0, ink, tracking=0.8)
    rounded_rect(ctx, lx - 0.5, ly - 0.5, lw + 1, lh + 1, 3)
    ctx.set_line_width(1.0)
    ctx.set_source_rgba(0, 0, 0, 0.7)
    ctx.stroke()

def build_lamp_switch(switch):
    surface = new_surface(switch["w"], switch["h"] * 2)
    ctx = new_context(surface)
    for frame, lit in enumerate((False, True)):
        draw_lamp_button(ctx, 0, frame * switch["h"], switch["w"], switch["h"], switch["text"], lit)
    return surface

def build_gr_switch():
    w, h = GRSW["w"], GRSW["h"]
    surface = new_surface(w, h * 2)
    ctx = new_context(surface)
    for frame in range(2):
        y = frame * h
        rounded_rect(ctx, 0.5, y + 0.5, w - 1, h - 1, 3)
        ctx.set_source(linear(0, y, 0, y + h, [(0, rgb("#0c0d0e")), (1, rgb("#202226"))]))
        ctx.fill()
        half = (w - 3) / 2.0
        for side, text in enumerate(("COMP", "LIM")):
            sx = 1.5 + side * (half + 0.0)
            on = side == frame
            rounded_rect(ctx, sx + 0.5, y + 1.5, half - 1, h - 3, 2)
            if on:
                ctx.set_source(linear(0, y + 1, 0, y + h - 1, [(0, LAMP_HOT), (0.5, LAMP_LIT),
                                                               (1, rgb("#d9731c"))]))
            else:
                ctx.set_source(linear(0, y + 1, 0, y + h - 1, [(0, rgb("#3b3e44")),
                                                               (1, rgb("#24262a"))]))
            ctx.fill()
            set_font(ctx, 6.9, bold=True)
            ch = cap_height(ctx)
            ink = rgb("#3d1f05") if on else rgb("#8d8778")
            draw_text(ctx, text, sx + half / 2.0, y + h / 2.0 + ch / 2.0, ink, tracking=0.7)
        rounded_rect(ctx, 0.5, y + 0.5, w - 1, h - 1, 3)
        ctx.set_line_width(1.0)
        ctx.set_source_rgba(0, 0, 0, 0.8)
        ctx.stroke()
    return surface

# ---------------------------------------------------------------------------------------------
# Gain-reduction meter: a backlit needle meter. Scale marks sit where the needle points for
# that many dB of reduction, so the linear-in-gain value reads correctly in dB.

METER_MAJOR = (0, 1, 2, 3, 4, 6, 8, 10, 15, 20)
METER_MINOR = (0.5, 1.5, 2.5, 5, 7, 12, 30)

def meter_face(ctx):
    px, py = METER_PIVOT
    # Lit from a lamp behind the top edge. The shading runs only vertically (and in narrow
    # side bands), which keeps the 121 frames small: rows of one colour compress to nothing.
    ctx.rectangle(0, 0, METER_W, METER_H)
    ctx.set_source(linear(0, 0, 0, METER_H, [(0, rgb("#fcf5dd")), (0.55, METER_FACE),
                                             (1, rgb("#d9c99c"))]))
    ctx.fill()
    # Scale arc: ink up to 10 dB, red beyond.
    r = METER_SCALE_R
    v10 = meter_value_for_db(10)

    def arc(v0, v1, radius, width, colour):
        a0, a1 = meter_angle(v0), meter_angle(v1)
        ctx.set_line_width(width)
        ctx.set_source_rgba(*colour)
        ctx.arc(px, py, radius, -math.pi / 2 + a1, -math.pi / 2 + a0)
        ctx.stroke()

    arc(0.0, v10, r, 1.2, METER_INK)
    arc(v10, 1.0, r, 1.2, METER_RED)
    arc(v10, 1.0, r + 2.4, 3.6, with_alpha(METER_RED, 0.85))
    ctx.set_line_cap(cairo.LINE_CAP_BUTT)
    for db in METER_MAJOR + METER_MINOR + ("inf",):
        v = 1.0 if db == "inf" else meter_value_for_db(db)
        a = meter_angle(v)
        major = db in METER_MAJOR or db == "inf"
        ctx.set_line_width(1.3 if major else 0.9)
        ctx.set_source_rgba(*(METER_RED if v > v10 + 1e-9 else METER_INK))
        ctx.move_to(*polar(px, py, a, r - 0.5))
        ctx.line_to(*polar(px, py, a, r + (7.0 if major else 4.0)))
        ctx.stroke()
    set_font(ctx, 8.4, condense=0.9)
    ch = cap_height(ctx)
    for db in METER_MAJOR:
        v = meter_value_for_db(db)
        a = meter_angle(v)
        lx, ly = polar(px, py, a, r + 13.0)
        colour = METER_RED if v > v10 + 1e-9 else METER_INK
        draw_text(ctx, "%d" % db, lx, ly + ch / 2.0, colour)
    lx, ly = polar(px, py, meter_angle(1.0), r + 13.0)
    set_font(ctx, 10.0)
    draw_text(ctx, "\u221e", lx, ly + cap_height(ctx) / 2.0, METER_RED)
    set_font(ctx, 9.0, bold=True)
    draw_text(ctx, "dB", METER_W / 2, 55, with_alpha(METER_INK, 0.85), tracking=0.6)

def meter_needle(ctx, value):
    px, py = METER_PIVOT
    a = meter_angle(value)
    tip = polar(px, py, a, METER_SCALE_R + 6.0)
    base = polar(px, py, a, METER_HOOD_R - 4.0)
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    ctx.set_line_width(1.6)
    ctx.set_source_rgba(0.25, 0.18, 0.05, 0.22)
    ctx.move_to(base[0] + 1.6, base[1] + 1.8)
    ctx.line_to(tip[0] + 1.6, tip[1] + 1.8)
    ctx.stroke()
    ctx.set_line_width(1.25)
    ctx.set_source_rgba(0.08, 0.07, 0.06, 1.0)
    ctx.move_to(*base)
    ctx.line_to(*tip)
    ctx.stroke()

def meter_hood_and_glass(ctx):
    px, py = METER_PIVOT
    # The hood hiding the needle's pivot.
    ctx.arc(px, py, METER_HOOD_R, 0, 2 * math.pi)
    ctx.set_source(linear(0, py - METER_HOOD_R, 0, METER_H, [(0, rgb("#2c2e33")), (1, rgb("#111214"))]))
    ctx.fill()
    ctx.arc(px, py, METER_HOOD_R - 0.5, math.radians(-160), math.radians(-20))
    ctx.set_line_width(1.0)
    ctx.set_source_rgba(1, 1, 1, 0.18)
    ctx.stroke()
    # Inner shadow from the bezel and a soft reflection on the glass.
    ctx.rectangle(0, 0, METER_W, METER_H)
    ctx.set_source(linear(0, 0, 0, 10, [(0, (0, 0, 0, 0.45)), (1, (0, 0, 0, 0))]))
    ctx.fill()
    for x0, x1 in ((0, 8), (METER_W, METER_W - 8)):
        ctx.rectangle(min(x0, x1), 0, 8, METER_H)
        ctx.set_source(linear(x0, 0, x1, 0, [(0, (0, 0, 0, 0.3)), (1, (0, 0, 0, 0))]))
        ctx.fill()
    ctx.move_to(0, 0)
    ctx.line_to(METER_W * 0.56, 0)
    ctx.line_to(METER_W * 0.30, METER_H)
    ctx.line_to(0, METER_H)
    ctx.close_path()
    ctx.set_source_rgba(1, 1, 1, 0.06)
    ctx.fill()

def build_meter():
    face = new_surface(METER_W, METER_H)
    meter_face(new_context(face))
    surface = new_surface(METER_W, METER_H * METER_FRAMES)
    ctx = new_context(surface)
    for frame in range(METER_FRAMES):
        ctx.save()
        ctx.translate(0, frame * METER_H)
        ctx.rectangle(0, 0, METER_W, METER_H)
        ctx.clip()
        ctx.set_source_surface(face, 0, 0)
        ctx.paint()
        meter_needle(ctx, frame / (METER_FRAMES - 1.0))
        meter_hood_and_glass(ctx)
        ctx.restore()
    return surface

# ---------------------------------------------------------------------------------------------

# PNG output. Cairo's own writer drops the alpha channel of opaque images; the editor's loader
# expects every image as 8-bit RGBA with straight alpha, so the files are written here.

def straight_rgba(surface):
    """Rows of straight-alpha R, G, B, A bytes from a premultiplied native-endian ARGB32 surface."""
    surface.flush()
    w, h, stride = surface.get_width(), surface.get_height(), surface.get_stride()
    data = bytes(surface.get_data())
    packed = b"".join(data[y * stride:y * stride + w * 4] for y in range(h))
    little = sys.byteorder == "little"
    rgba = bytearray(len(packed))
    order = (2, 1, 0, 3) if little else (1, 2, 3, 0)   # memory positions of R, G, B, A
    for dst, src in enumerate(order):
        rgba[dst::4] = packed[src::4]
    alpha = rgba[3::4]
    if alpha.count(255) != len(alpha):
        for p, a in enumerate(alpha):
            if 0 < a < 255:
                i = p * 4
                for c in range(i, i + 3):
                    rgba[c] = min(255, (rgba[c] * 255 + a // 2) // a)
    return [bytes(rgba[y * w * 4:(y + 1) * w * 4]) for y in range(h)]

def _bytewise_sub(x, y, high, full):
    return (((x | high) - (y & ~high & full)) ^ ((x ^ ~y) & high)) & full

ABS_COST = bytes(min(i, 256 - i) for i in range(256))

def filtered_rows(rows):
    """Per row, the cheapest of the None, Sub, Up and Average filters (by absolute residue).
    Byte-wise arithmetic runs on whole rows as big integers, so this stays quick in Python."""
    n = len(rows[0])
    high = int.from_bytes(b"\x80" * n, "big")
    low7 = int.from_bytes(b"\x7f" * n, "big")
    full = (1 << (8 * n)) - 1
    previous = 0
    out = []
    for row in rows:
        x = int.from_bytes(row, "big")
        left = x >> 32
        candidates = (
            (0, row),
            (1, _bytewise_sub(x, left, high, full).to_bytes(n, "big")),
            (2, _bytewise_sub(x, previous, high, full).to_bytes(n, "big")),
            (3, _bytewise_sub(x, (left & previous) + (((left ^ previous) >> 1) & low7),
                              high, full).to_bytes(n, "big")),
        )
        kind, body = min(candidates, key=lambda c: sum(c[1].translate(ABS_COST)))
        out.append(bytes((kind,)) + body)
        previous = x
    return b"".join(out)

def png_chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

def write_png(surface, out_dir, name, expected_w, expected_h):
    """Writes the surface as <name>.png; expected_w x expected_h is its size in panel units."""
    w, h = surface.get_width(), surface.get_height()
    assert (w, h) == (expected_w * SCALE, expected_h * SCALE), name
    header = struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0)   # 8-bit RGBA, not interlaced
    body = zlib.compress(filtered_rows(straight_rgba(surface)), 6)
    with open(os.path.join(out_dir, name + ".png"), "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header) + png_chunk(b"IDAT", body)
                + png_chunk(b"IEND", b""))

def draw_set(out_dir):
    os.makedirs(out_dir, exist_ok=True)
    write_png(build_background(), out_dir, "BG", PANEL_W, PANEL_H)
    for knob in KNOBS:
        write_png(build_knob(knob), out_dir, knob.file, knob.w, knob.image_h)
    write_png(build_lamp_switch(BYPASS), out_dir, "BYPASS", 49, 50)
    write_png(build_lamp_switch(EXT), out_dir, "EXT", 47, 48)
    write_png(build_gr_switch(), out_dir, "GRSW", 88, 20)
    write_png(build_meter(), out_dir, "METER", METER_W, METER_H * METER_FRAMES)

def compare_with_committed():
    global SCALE
    differing = []
    with tempfile.TemporaryDirectory() as scratch:
        for scale, folder in sorted(SCALE_FOLDERS.items()):
            SCALE = scale
            drawn = os.path.join(scratch, str(scale))
            draw_set(drawn)
            committed = os.path.join(DEFAULT_OUT, folder)
            names = sorted(n for n in os.listdir(drawn) if n.endswith(".png"))
            _, mismatch, errors = filecmp.cmpfiles(committed, drawn, names, shallow=False)
            differing += [os.path.join(committed, n) for n in mismatch + errors]
    for path in differing:
        sys.stderr.write("generate_artwork: %s is not what the script draws\n"
                         % os.path.relpath(path, REPO))
    return 1 if differing else 0

def main(argv):
    global SCALE
    missing = [f for f in FONT_FILES if not os.path.exists(f)]
    if missing:
        sys.stderr.write("generate_artwork: missing %s (install fonts-dejavu-core, see "
                         "tools/install-deps.sh)\n" % ", ".join(missing))
        return 1
    args = argv[1:]
    if args == ["--compare"]:
        return compare_with_committed()
    if args[:1] == ["--scale"]:
        if len(args) < 2 or args[1] not in ("1", "2"):
            sys.stderr.write("generate_artwork: --scale takes 1 or 2\n")
            return 2
        SCALE = int(args[1])
        args = args[2:]
    draw_set(args[0] if args else os.path.join(DEFAULT_OUT, SCALE_FOLDERS[SCALE]))
    return 0

if __name__ == "__main__":
    sys.exit(main(sys.argv))
