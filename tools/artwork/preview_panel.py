#!/usr/bin/python3
"""Composites the panel as the editor shows it, from the PNGs in resources/img/, and checks that
every knob pointer lines up with its printed tick.

    /usr/bin/python3 tools/artwork/preview_panel.py                 # defaults -> build-art/preview.png
    /usr/bin/python3 tools/artwork/preview_panel.py --set RAT=4 --set METER=61 --zoom 2
    /usr/bin/python3 tools/artwork/preview_panel.py --crop 0,170,280,140 --zoom 4 --out build-art/limiter.png
    /usr/bin/python3 tools/artwork/preview_panel.py --sheet         # also overlay/meter/switch sheets
    /usr/bin/python3 tools/artwork/preview_panel.py --check         # measure pointer vs tick angles

Frame numbers given with --set are 0-based steps (knob step, switch value, meter frame 0..120).
"""

import argparse
import math
import os
import sys

import cairo

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import generate_artwork as art  # noqa: E402  (shares the layout and the angle table)

REPO = art.REPO
IMG = os.path.join(REPO, "resources", "img")
BUILD = os.path.join(REPO, "build-art")

# Editor defaults of the thirteen parameters, as steps; the meter at rest.
DEFAULT_STEPS = {"CTHR": 15, "LTHR": 22, "GAIN": 0, "MIX": 22, "RAT": 2, "HIGH": 2, "MID": 2,
                 "HPF": 0, "CREC": 1, "LREC": 1, "BYPASS": 1, "EXT": 0, "GRSW": 0, "METER": 0}

SWITCHES = [art.BYPASS, art.EXT, art.GRSW]


def load(name):
    return cairo.ImageSurface.create_from_png(os.path.join(IMG, name + ".png"))


def controls():
    """(name, x, y, frame width, frame height, frame count) in the editor's attach order."""
    out = [(k.file, k.x, k.y, k.w, k.h, k.frames) for k in art.KNOBS]
    out += [(s["file"], s["x"], s["y"], s["w"], s["h"], 2) for s in SWITCHES]
    out.append(("METER", art.METER_POS[0], art.METER_POS[1], art.METER_W, art.METER_H,
                art.METER_FRAMES))
    return out


def blit_frame(ctx, strip, x, y, w, h, frame, operator=cairo.OPERATOR_OVER):
    ctx.save()
    ctx.rectangle(x, y, w, h)
    ctx.clip()
    ctx.set_operator(operator)
    ctx.set_source_surface(strip, x, y - frame * h)
    ctx.get_source().set_filter(cairo.FILTER_NEAREST)
    ctx.paint()
    ctx.restore()


def compose(steps):
    surface = cairo.ImageSurface(cairo.FORMAT_ARGB32, art.PANEL_W, art.PANEL_H)
    ctx = cairo.Context(surface)
    ctx.set_source_surface(load("BG"), 0, 0)
    ctx.paint()
    for name, x, y, w, h, frames in controls():
        frame = max(0, min(frames - 1, steps.get(name, 0)))
        blit_frame(ctx, load(name), x, y, w, h, frame)
    return surface


def zoomed(surface, zoom):
    if zoom == 1:
        return surface
    out = cairo.ImageSurface(cairo.FORMAT_ARGB32, int(surface.get_width() * zoom),
                             int(surface.get_height() * zoom))
    ctx = cairo.Context(out)
    ctx.scale(zoom, zoom)
    ctx.set_source_surface(surface, 0, 0)
    ctx.get_source().set_filter(cairo.FILTER_NEAREST)
    ctx.paint()
    return out


def overlay_sheet(zoom=3):
    """Each knob's place with the pointers of all its frames lightened together over the scale."""
    tiles = []
    bg = load("BG")
    for knob in art.KNOBS:
        pad = 20
        tile = cairo.ImageSurface(cairo.FORMAT_ARGB32, knob.w + 2 * pad, knob.h + 2 * pad)
        ctx = cairo.Context(tile)
        ctx.set_source_surface(bg, pad - knob.x, pad - knob.y)
        ctx.paint()
        blit_frame(ctx, load(knob.file), pad, pad, knob.w, knob.h, 0)
        strip = load(knob.file)
        for frame in range(1, knob.frames):
            blit_frame(ctx, strip, pad, pad, knob.w, knob.h, frame, cairo.OPERATOR_LIGHTEN)
        tiles.append(zoomed(tile, zoom))
    return row_sheet(tiles, columns=5)


def meter_sheet(zoom=2):
    meter = load("METER")
    tiles = []
    for frame in (0, 12, 25, 37, 60, 82, 108, 120):
        tile = cairo.ImageSurface(cairo.FORMAT_ARGB32, art.METER_W, art.METER_H)
        blit_frame(cairo.Context(tile), meter, 0, 0, art.METER_W, art.METER_H, frame)
        tiles.append(zoomed(tile, zoom))
    return row_sheet(tiles, columns=4)


def switch_sheet(zoom=4):
    tiles = []
    bg = load("BG")
    for switch in SWITCHES:
        strip = load(switch["file"])
        for frame in (0, 1):
            pad = 14
            tile = cairo.ImageSurface(cairo.FORMAT_ARGB32, switch["w"] + 2 * pad, switch["h"] + 2 * pad)
            ctx = cairo.Context(tile)
            ctx.set_source_surface(bg, pad - switch["x"], pad - switch["y"])
            ctx.paint()
            blit_frame(ctx, strip, pad, pad, switch["w"], switch["h"], frame)
            tiles.append(zoomed(tile, zoom))
    return row_sheet(tiles, columns=2)


def row_sheet(tiles, columns, gap=6):
    rows = [tiles[i:i + columns] for i in range(0, len(tiles), columns)]
    width = max(sum(t.get_width() for t in row) + gap * (len(row) + 1) for row in rows)
    height = sum(max(t.get_height() for t in row) for row in rows) + gap * (len(rows) + 1)
    sheet = cairo.ImageSurface(cairo.FORMAT_ARGB32, width, height)
    ctx = cairo.Context(sheet)
    ctx.set_source_rgb(0.5, 0.5, 0.5)
    ctx.paint()
    y = gap
    for row in rows:
        x = gap
        for t in row:
            ctx.set_source_surface(t, x, y)
            ctx.paint()
            x += t.get_width() + gap
        y += max(t.get_height() for t in row) + gap
    return sheet


# --- alignment measurement -------------------------------------------------------------------

def pixels(surface):
    surface.flush()
    return surface.get_data(), surface.get_stride()


def luminance(data, stride, x, y):
    i = y * stride + x * 4
    b, g, r, a = data[i], data[i + 1], data[i + 2], data[i + 3]
    return (0.3 * r + 0.59 * g + 0.11 * b), a


def bright_centroid_angle(surface, cx, cy, oy, r0, r1, threshold, around=None, window=None):
    """Angle (clockwise from up) of the luminance-weighted centroid of bright pixels in an
    annulus around (cx, cy + oy); optionally only within `window` radians of `around`."""
    data, stride = pixels(surface)
    sx = sy = 0.0
    for y in range(int(cy - r1) - 1, int(cy + r1) + 2):
        for x in range(int(cx - r1) - 1, int(cx + r1) + 2):
            dx, dy = x + 0.5 - cx, y + 0.5 - cy
            d = math.hypot(dx, dy)
            if d < r0 or d > r1:
                continue
            if around is not None:
                diff = math.atan2(dx, -dy) - around
                diff = (diff + math.pi) % (2 * math.pi) - math.pi
                if abs(diff) > window:
                    continue
            lum, alpha = luminance(data, stride, x, int(y + oy))
            if alpha < 250 or lum < threshold:
                continue
            wgt = lum - threshold
            sx += dx * wgt
            sy += dy * wgt
    if sx == 0.0 and sy == 0.0:
        return None
    return math.atan2(sx, -sy)


def check_alignment():
    bg = load("BG")
    worst = 0.0
    failed = False
    for knob in art.KNOBS:
        strip = load(knob.file)
        fcx, fcy = knob.centre_in_frame()
        pcx, pcy = knob.centre_on_panel()
        r = knob.radius
        spacing = art.step_angle(1, knob.frames) - art.step_angle(0, knob.frames)
        knob_worst = 0.0
        for step in range(knob.frames):
            want = art.step_angle(step, knob.frames)
            pointer = bright_centroid_angle(strip, fcx, fcy, step * knob.h, r * 0.3, r * 0.7, 150)
            tick = bright_centroid_angle(bg, pcx, pcy, 0, r + 4.0, r + 7.5, 75, want, spacing / 2)
            if pointer is None or tick is None:
                print("%-5s step %2d: pointer or tick not found" % (knob.file, step))
                failed = True
                continue
            err = max(abs(math.degrees(pointer - want)), abs(math.degrees(tick - want)),
                      abs(math.degrees(pointer - tick)))
            knob_worst = max(knob_worst, err)
        worst = max(worst, knob_worst)
        print("%-5s %2d steps, worst pointer/tick disagreement %.2f deg (step spacing %.1f deg)"
              % (knob.file, knob.frames, knob_worst, math.degrees(spacing)))
    print("worst over all knobs: %.2f deg" % worst)
    return not failed and worst < 1.5 and check_meter()


def dark_centroid_angle(surface, cx, cy, oy, r0, r1, threshold):
    """Angle of the darkness-weighted centroid of dark pixels in an annulus (the meter needle)."""
    data, stride = pixels(surface)
    sx = sy = 0.0
    for y in range(int(cy - r1) - 1, int(cy) + 1):
        for x in range(int(cx - r1) - 1, int(cx + r1) + 2):
            dx, dy = x + 0.5 - cx, y + 0.5 - cy
            if not r0 <= math.hypot(dx, dy) <= r1 or not 0 <= y < art.METER_H:
                continue
            lum, _ = luminance(data, stride, x, int(y + oy))
            if lum < threshold:
                sx += dx * (threshold - lum)
                sy += dy * (threshold - lum)
    return math.atan2(sx, -sy)


def check_meter():
    """The needle of the frame the editor picks for a given reduction points at that dB mark."""
    meter = load("METER")
    px, py = art.METER_PIVOT
    ok = True
    for db in (0, 3, 6, 10, 20):
        value = art.meter_value_for_db(db)
        frame = int((art.METER_FRAMES - 1) * value + 0.5)        # 0-based frame for the value
        needle = dark_centroid_angle(meter, px, py, frame * art.METER_H, art.METER_HOOD_R + 18,
                                     art.METER_SCALE_R - 6, 120)
        err = math.degrees(needle - art.meter_angle(value))
        print("meter %2d dB -> frame %3d, needle %.2f deg from the mark" % (db, frame + 1, err))
        ok = ok and abs(err) < 1.5
    return ok


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--set", action="append", default=[], metavar="NAME=STEP")
    parser.add_argument("--zoom", type=float, default=1)
    parser.add_argument("--crop", metavar="X,Y,W,H", help="only this part of the panel")
    parser.add_argument("--out", default=os.path.join(BUILD, "preview.png"))
    parser.add_argument("--sheet", action="store_true", help="also write overlay, meter and switch sheets")
    parser.add_argument("--check", action="store_true", help="measure pointer and tick angles")
    args = parser.parse_args(argv[1:])

    steps = dict(DEFAULT_STEPS)
    for item in args.set:
        name, _, value = item.partition("=")
        steps[name.upper()] = int(value)
    os.makedirs(os.path.dirname(os.path.abspath(args.out)), exist_ok=True)
    panel = compose(steps)
    if args.crop:
        x, y, w, h = (int(v) for v in args.crop.split(","))
        part = cairo.ImageSurface(cairo.FORMAT_ARGB32, w, h)
        ctx = cairo.Context(part)
        ctx.set_source_surface(panel, -x, -y)
        ctx.paint()
        panel = part
    zoomed(panel, args.zoom).write_to_png(args.out)
    print("wrote", args.out)
    if args.sheet:
        out_dir = os.path.dirname(os.path.abspath(args.out))
        for name, sheet in (("overlay", overlay_sheet()), ("meter", meter_sheet()),
                            ("switches", switch_sheet())):
            path = os.path.join(out_dir, name + ".png")
            sheet.write_to_png(path)
            print("wrote", path)
    if args.check:
        return 0 if check_alignment() else 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
