#!/usr/bin/python3
"""Draws the eight pictures of the Sparkwell editor.

    resources/draw_artwork.py                 writes resources/*.png: each picture at the
                                              editor's own size (NAME.png) and drawn natively
                                              at twice the size (NAME@2x.png)
    resources/draw_artwork.py --only 1|2      writes just one of the two sets
    resources/draw_artwork.py --preview DIR   also writes both faces with the controls placed
                                              at their rectangles, at several values, into DIR

Everything is drawn at SCALE times the output size with analytic (signed distance) shapes and
per-pixel lighting, then averaged down with premultiplied alpha, so edges are smooth and the
transparent grounds carry no colour fringes. The drawing is deterministic: noise comes from
fixed seeds, so redrawing gives the same files.

Needs Debian's python3-pil, python3-numpy, fonts-dejavu-core, fonts-freefont-ttf and
fonts-league-spartan (scripts/install-deps.sh art).
"""

import math
import os
import sys

import numpy as np
from PIL import Image, ImageDraw, ImageFont

SCALE = 4  # samples per output pixel along each axis
# Output pixels per window pixel: 1 for the pictures the editor shows at its own size, 2 for the
# set drawn natively for twice the size. Everything is laid out in window pixels; RES is the
# sampling grid per window pixel.
DENSITY = 1
RES = SCALE * DENSITY
HERE = os.path.dirname(os.path.abspath(__file__))

FONT_LOGO = "/usr/share/fonts/opentype/league-spartan/LeagueSpartan-Black.otf"
FONT_TITLE = "/usr/share/fonts/opentype/league-spartan/LeagueSpartan-Bold.otf"
FONT_LABEL = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
FONT_SMALL = "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf"
FONT_PLAIN = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
FONT_MUSIC = "/usr/share/fonts/truetype/freefont/FreeSerif.ttf"  # has the G clef glyph

WINDOW = (450, 306)

# Control rectangles in window coordinates (left, top, right, bottom); the pictures and the
# printed labels are laid out around them.
RECT_SET = (192, 154, 256, 218)
RECT_BOOST = (87, 159, 121, 214)
RECT_HPF = (26, 128, 96, 198)
RECT_INPUT = (26, 32, 96, 102)
RECT_GRID = (138, 224, 208, 294)
RECT_TREBLE = (26, 224, 96, 294)
RECT_PICKUP = (231, 76, 311, 156)
RECT_TRANSISTOR = (144, 46, 200, 102)
RECT_STEREO = (144, 133, 200, 189)
RECT_TAB = (357, -4, 457, 26)

# Filmstrips: (file, frame width, frame height, frames).
KNOB_FRAMES = 31
PICKUP_POSITIONS = 5


def knob_angle(frame):
    """Pointer of the back-panel knobs, degrees clockwise from twelve o'clock:
    seven o'clock at frame 0, twelve at frame 15, five o'clock at frame 30."""
    return -150.0 + 300.0 * frame / (KNOB_FRAMES - 1)


def set_knob_angle(frame):
    """Pointer end of the SET knob's bar: half past seven at frame 0, upright at frame 15,
    half past four at frame 30, so the bar runs / then | then \\."""
    return -135.0 + 270.0 * frame / (KNOB_FRAMES - 1)


def pickup_angle(position):
    """Selector pointer: one o'clock (up and right) for "None", three o'clock for
    "Humbucker", five o'clock (down and right) for "Single Coil"."""
    return 30.0 + 30.0 * position


def direction(angle_deg):
    a = math.radians(angle_deg)
    return math.sin(a), -math.cos(a)


# ----------------------------------------------------------------------------------------
# Canvas: premultiplied RGBA in float at SCALE x resolution, coordinates in final pixels.


class Canvas:
    def __init__(self, w, h):
        self.w, self.h = w, h
        self.rgb = np.zeros((h * RES, w * RES, 3), np.float32)
        self.a = np.zeros((h * RES, w * RES), np.float32)
        ys, xs = np.mgrid[0 : h * RES, 0 : w * RES].astype(np.float32)
        self.x = (xs + 0.5) / RES
        self.y = (ys + 0.5) / RES

    def paint(self, colour, alpha):
        """Paints colour (RGB 0..1, a triple or an HxWx3 array) with coverage alpha over
        what is there."""
        alpha = np.clip(alpha, 0.0, 1.0)
        colour = np.asarray(colour, np.float32)
        self.rgb = colour * alpha[..., None] + self.rgb * (1.0 - alpha[..., None])
        self.a = alpha + self.a * (1.0 - alpha)

    def fill(self, colour):
        self.paint(colour, np.ones_like(self.a))

    def image(self):
        """Averages SCALE x SCALE blocks with premultiplied alpha into an 8-bit RGBA image."""
        h, w = self.h * DENSITY, self.w * DENSITY
        a = self.a.reshape(h, SCALE, w, SCALE).mean(axis=(1, 3))
        rgb = self.rgb.reshape(h, SCALE, w, SCALE, 3).mean(axis=(1, 3))
        safe = np.where(a > 1e-6, a, 1.0)
        rgb = np.where(a[..., None] > 1e-6, rgb / safe[..., None], 0.0)
        out = np.dstack([np.clip(rgb, 0, 1) * 255.0, np.clip(a, 0, 1)[..., None] * 255.0])
        out = np.round(out).astype(np.uint8)
        out[a <= 1e-6] = 0
        return Image.fromarray(out, "RGBA")


def rgb(r, g, b):
    return np.array([r, g, b], np.float32) / 255.0


def cover(sdf):
    """Coverage of a shape given its signed distance (positive inside, in final pixels)."""
    return np.clip(sdf * RES + 0.5, 0.0, 1.0)


def sdf_circle(c, cx, cy, r):
    return r - np.hypot(c.x - cx, c.y - cy)


def sdf_round_rect(c, x0, y0, x1, y1, radius):
    cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
    hx, hy = (x1 - x0) / 2.0 - radius, (y1 - y0) / 2.0 - radius
    qx = np.abs(c.x - cx) - hx
    qy = np.abs(c.y - cy) - hy
    outside = np.hypot(np.maximum(qx, 0), np.maximum(qy, 0))
    inside = np.minimum(np.maximum(qx, qy), 0)
    return radius - (outside + inside)


def sdf_segment(c, x0, y0, x1, y1, half_width):
    """A stroke with round caps from (x0, y0) to (x1, y1)."""
    dx, dy = x1 - x0, y1 - y0
    length2 = dx * dx + dy * dy
    t = np.clip(((c.x - x0) * dx + (c.y - y0) * dy) / max(length2, 1e-9), 0, 1)
    return half_width - np.hypot(c.x - (x0 + t * dx), c.y - (y0 + t * dy))


def sdf_polygon(c, points):
    """Signed distance to a convex or concave polygon (even-odd inside test)."""
    n = len(points)
    d = np.full(c.x.shape, 1e9, np.float32)
    inside = np.zeros(c.x.shape, bool)
    for i in range(n):
        ax, ay = points[i]
        bx, by = points[(i + 1) % n]
        ex, ey = bx - ax, by - ay
        t = np.clip(((c.x - ax) * ex + (c.y - ay) * ey) / (ex * ex + ey * ey), 0, 1)
        d = np.minimum(d, np.hypot(c.x - ax - t * ex, c.y - ay - t * ey))
        crosses = ((ay > c.y) != (by > c.y)) & (c.x < (bx - ax) * (c.y - ay) / (by - ay + 1e-12) + ax)
        inside ^= crosses
    return np.where(inside, d, -d)


def blur(a, radius_px):
    """Approximately Gaussian blur (three box passes) of a hi-res array, radius in final px."""
    r = max(1, int(radius_px * RES / 1.7))
    out = a.astype(np.float32)
    for axis in (0, 1):
        for _ in range(3):
            pad = [(0, 0)] * out.ndim
            pad[axis] = (r + 1, r)
            p = np.pad(out, pad, mode="edge")
            cs = np.cumsum(p, axis=axis)
            hi = np.take(cs, np.arange(2 * r + 1, p.shape[axis]), axis=axis)
            lo = np.take(cs, np.arange(0, p.shape[axis] - 2 * r - 1), axis=axis)
            out = (hi - lo) / (2 * r + 1)
    return out


def shift(a, dx, dy):
    """Moves a hi-res array by (dx, dy) final pixels, filling with zeros."""
    sx, sy = int(round(dx * RES)), int(round(dy * RES))
    out = np.zeros_like(a)
    h, w = a.shape[:2]
    ys0, ys1 = max(0, sy), min(h, h + sy)
    xs0, xs1 = max(0, sx), min(w, w + sx)
    out[ys0:ys1, xs0:xs1] = a[ys0 - sy : ys1 - sy, xs0 - sx : xs1 - sx]
    return out


def drop_shadow(c, mask, dx, dy, radius, opacity, colour=(0, 0, 0)):
    c.paint(np.array(colour, np.float32), blur(shift(mask, dx, dy), radius) * opacity)


def noise(c, seed, smooth_px=0.0):
    """Unit-variance-ish noise field, optionally smoothed."""
    rng = np.random.default_rng(seed)
    n = rng.standard_normal(c.a.shape).astype(np.float32)
    if smooth_px > 0:
        n = blur(n, smooth_px)
        n /= max(float(n.std()), 1e-6)
    return n


# ----------------------------------------------------------------------------------------
# Text


def text_mask(c, text, font_path, size, x, y, anchor="la", spacing=0.0):
    """Coverage of a line of text; (x, y) and anchor as in PIL (final pixels). spacing adds
    that many final pixels between letters."""
    font = ImageFont.truetype(font_path, int(round(size * RES)))
    img = Image.new("L", (c.w * RES, c.h * RES), 0)
    d = ImageDraw.Draw(img)
    if spacing == 0.0:
        d.text((x * RES, y * RES), text, font=font, fill=255, anchor=anchor)
    else:
        widths = [font.getlength(ch) for ch in text]
        total = sum(widths) + spacing * RES * (len(text) - 1)
        start = x * RES
        if anchor[0] == "m":
            start -= total / 2
        elif anchor[0] == "r":
            start -= total
        pos = start
        for ch, wd in zip(text, widths):
            d.text((pos, y * RES), ch, font=font, fill=255, anchor="l" + anchor[1])
            pos += wd + spacing * RES
    return np.asarray(img, np.float32) / 255.0


def text_width(text, font_path, size, spacing=0.0):
    font = ImageFont.truetype(font_path, int(round(size * RES)))
    return (font.getlength(text) + spacing * RES * (len(text) - 1)) / RES


def print_text(c, text, font_path, size, x, y, colour, anchor="la", spacing=0.0, relief=None):
    """Printed ink. relief = (light colour, light alpha, dark alpha) adds a faint highlight
    below and shadow above, as ink on a lit surface shows it."""
    m = text_mask(c, text, font_path, size, x, y, anchor, spacing)
    if relief is not None:
        light, light_a, dark_a = relief
        c.paint(np.array(light, np.float32), shift(m, 0, 0.6) * light_a)
        c.paint(np.zeros(3, np.float32), shift(m, 0, -0.4) * dark_a)
    c.paint(np.array(colour, np.float32), m)
    return m


# ----------------------------------------------------------------------------------------
# Shared parts


def lit_rim(c, sdf, width, light=0.35, dark=0.35, light_dir=(-0.6, -0.8)):
    """Rounded-edge lighting along a shape's border: brighter where the outward normal faces
    the light (top left), darker on the far side. Returns (brighten, darken) weights."""
    gy, gx = np.gradient(sdf)
    norm = np.hypot(gx, gy) + 1e-9
    nx, ny = -gx / norm, -gy / norm  # outward normal
    facing = nx * light_dir[0] + ny * light_dir[1]
    band = np.clip(1.0 - sdf / width, 0, 1) * (sdf > -0.5)
    band = band**1.5
    return band * np.clip(facing, 0, 1) * light, band * np.clip(-facing, 0, 1) * dark


def bevel_shade(sdf, width, light=(-0.45, -0.6, 0.66), shininess=60.0):
    """Lighting of a rounded edge: within `width` of the border the surface is a quarter round
    whose normal tilts outwards. Returns a diffuse factor (1 on the flat part) and a specular
    term, for a light from the top left and front and a viewer straight above."""
    gy, gx = np.gradient(sdf)
    norm = np.hypot(gx, gy) + 1e-9
    ox, oy = -gx / norm, -gy / norm  # outward direction in the plane
    t = np.clip(1.0 - sdf / width, 0.0, 1.0)  # 0 on the flat top, 1 at the very edge
    tilt = np.sin(t * math.pi / 2) ** 1.5
    nx, ny, nz = ox * tilt, oy * tilt, np.sqrt(np.clip(1 - tilt * tilt, 0, 1))
    lx, ly, lz = light
    ll = math.sqrt(lx * lx + ly * ly + lz * lz)
    lx, ly, lz = lx / ll, ly / ll, lz / ll
    diffuse = np.clip(nx * lx + ny * ly + nz * lz, 0.05, 1.0) / lz
    hx, hy, hz = lx, ly, lz + 1.0
    hl = math.sqrt(hx * hx + hy * hy + hz * hz)
    specular = np.clip((nx * hx + ny * hy + nz * hz) / hl, 0, 1) ** shininess * (t > 0.05)
    return diffuse.astype(np.float32), specular.astype(np.float32)


def screw(c, cx, cy, r, turn_deg):
    """A chrome pan-head screw with a cross recess, lit from the top left."""
    body = sdf_circle(c, cx, cy, r)
    drop_shadow(c, cover(body), 0.8, 1.4, 1.2, 0.55)
    dx, dy = (c.x - cx) / r, (c.y - cy) / r
    # Dome: normal from the sphere, environment as a sky-to-ground gradient plus a highlight.
    z = np.sqrt(np.clip(1 - dx * dx - dy * dy, 0, 1))
    env = 0.55 - 0.35 * dy + 0.15 * z
    specular = np.clip(1 - np.hypot(dx + 0.35, dy + 0.45) / 0.45, 0, 1) ** 2
    shade = np.clip(env + specular * 0.6, 0, 1)
    col = np.dstack([shade * 0.93, shade * 0.95, shade]) * 0.95
    c.paint(col, cover(body))
    c.paint(rgb(40, 40, 42), cover(r - np.hypot(c.x - cx, c.y - cy)) * cover(np.hypot(c.x - cx, c.y - cy) - r + 0.7) * 0.6)
    # Cross recess.
    for k in (0, 90):
        ux, uy = direction(turn_deg + k)
        slot = sdf_segment(c, cx - ux * r * 0.62, cy - uy * r * 0.62, cx + ux * r * 0.62, cy + uy * r * 0.62, r * 0.13)
        c.paint(rgb(250, 250, 250), cover(shift_sdf(slot, 0.3, 0.4)) * 0.5)
        c.paint(rgb(35, 35, 38), cover(slot))


def shift_sdf(sdf, dx, dy):
    return shift(sdf + 100.0, dx, dy) - 100.0


# ----------------------------------------------------------------------------------------
# Knobs and switches


def knob_frame(angle):
    """Back-panel knob: black plastic with a bevelled top, a fine knurled skirt and a white
    pointer line. 70 x 70, centred."""
    c = Canvas(70, 70)
    cx = cy = 35.0
    skirt_r, top_r = 25.5, 20.0
    skirt = sdf_circle(c, cx, cy, skirt_r)
    drop_shadow(c, cover(skirt), 1.6, 2.8, 3.0, 0.65)
    drop_shadow(c, cover(skirt), 0.4, 0.8, 0.8, 0.45)
    dx, dy = c.x - cx, c.y - cy
    r = np.hypot(dx, dy)
    theta = np.degrees(np.arctan2(dx, -dy))  # clockwise from twelve
    # Skirt: knurling ridges that turn with the knob, lit from the top left.
    ridges = 0.5 + 0.5 * np.cos(np.radians((theta - angle) * 36))
    side_light = 0.5 + 0.5 * np.cos(np.radians(theta + 40))
    base = 0.06 + 0.07 * side_light + 0.035 * ridges * (0.4 + side_light)
    col = np.dstack([base, base, base * 1.05])
    c.paint(col, cover(skirt))
    light, dark = lit_rim(c, skirt, 1.6, 0.25, 0.3)
    c.paint(np.ones(3, np.float32), light)
    # Top: slightly domed, with a soft reflection of the room light.
    top = sdf_circle(c, cx, cy, top_r)
    c.paint(rgb(8, 8, 9), cover(top + 1.2) * 0.8)  # step between skirt and top
    nx, ny = dx / top_r, dy / top_r
    base = 0.10 - 0.045 * (nx * 0.6 + ny * 0.8)
    sheen = np.exp(-((nx + 0.3) ** 2 + (ny + 0.45) ** 2) / 0.16) * 0.24
    cone = 0.025 * np.cos(np.radians(2 * (theta + 35)))  # turned-finish rings catch light
    v = base + sheen + cone
    c.paint(np.dstack([v, v, v * 1.04]), cover(top))
    light, _ = lit_rim(c, top, 1.4, 0.5, 0.0)
    c.paint(np.ones(3, np.float32), light)
    # Pointer: a white line from near the centre to the skirt's edge.
    ux, uy = direction(angle)
    line = sdf_segment(c, cx + ux * 6.5, cy + uy * 6.5, cx + ux * 23.0, cy + uy * 23.0, 1.35)
    c.paint(rgb(20, 20, 20), cover(shift_sdf(line, 0, 0.5)) * 0.6)
    c.paint(rgb(246, 244, 236), cover(line))
    return c.image()


def set_knob_frame(angle):
    """SET knob: the pedal's black knob with a raised bar across its face; the bar's pointer
    end carries a white inlay. 64 x 64, centred."""
    c = Canvas(64, 64)
    cx = cy = 32.0
    body_r = 25.0
    body = sdf_circle(c, cx, cy, body_r)
    drop_shadow(c, cover(body), 1.8, 3.0, 3.2, 0.7)
    drop_shadow(c, cover(body), 0.4, 0.9, 0.9, 0.5)
    dx, dy = c.x - cx, c.y - cy
    theta = np.degrees(np.arctan2(dx, -dy))
    flutes = 0.5 + 0.5 * np.cos(np.radians((theta - angle) * 24))
    side_light = 0.5 + 0.5 * np.cos(np.radians(theta + 40))
    v = 0.05 + 0.08 * side_light + 0.05 * flutes * side_light
    c.paint(np.dstack([v, v, v]), cover(body))
    light, _ = lit_rim(c, body, 1.8, 0.3, 0.0)
    c.paint(np.ones(3, np.float32), light)
    face = sdf_circle(c, cx, cy, body_r - 3.2)
    nx, ny = dx / body_r, dy / body_r
    v = 0.085 - 0.04 * (nx * 0.6 + ny * 0.8) + np.exp(-((nx + 0.35) ** 2 + (ny + 0.4) ** 2) / 0.15) * 0.12
    c.paint(rgb(5, 5, 5), cover(face + 1.0) * 0.7)
    c.paint(np.dstack([v, v, v]), cover(face))
    # The raised bar along the pointer axis, across the whole face.
    ux, uy = direction(angle)
    half = body_r - 4.0
    bar = sdf_segment(c, cx - ux * half, cy - uy * half, cx + ux * half, cy + uy * half, 5.2)
    drop_shadow(c, cover(bar), 1.0, 1.8, 1.6, 0.8)
    # Across the bar: a rounded ridge, lit from the top left.
    px, py = -uy, ux  # unit vector across the bar
    across = np.clip(((c.x - cx) * px + (c.y - cy) * py) / 5.2, -1, 1)
    nz = np.sqrt(np.clip(1 - across**2, 0, 1))
    lam = across * (px * -0.6 + py * -0.8) + nz * 0.55
    v = 0.07 + 0.16 * np.clip(lam, 0, 1) ** 2
    c.paint(np.dstack([v, v, v * 1.03]), cover(bar))
    light, dark = lit_rim(c, bar, 1.0, 0.25, 0.0)
    c.paint(np.ones(3, np.float32), light)
    inlay = sdf_segment(c, cx + ux * 9.0, cy + uy * 9.0, cx + ux * (half - 1.0), cy + uy * (half - 1.0), 1.25)
    c.paint(rgb(248, 246, 238), cover(inlay))
    return c.image()


def pickup_frame(angle):
    """Rotary selector: a black pointer knob (round hub, tapering nose) with a white line,
    on a chrome washer. 80 x 80, centred."""
    c = Canvas(80, 80)
    cx = cy = 40.0
    ux, uy = direction(angle)
    px, py = -uy, ux
    washer = sdf_circle(c, cx, cy, 24.0)
    drop_shadow(c, cover(washer), 0.6, 1.2, 1.2, 0.5)
    dx, dy = c.x - cx, c.y - cy
    theta = np.degrees(np.arctan2(dx, -dy))
    brushed = 0.56 + 0.24 * np.cos(np.radians(2 * (theta + 40))) + 0.03 * np.cos(np.radians(theta * 90))
    c.paint(np.dstack([brushed * 0.96, brushed * 0.97, brushed]), cover(washer))
    light, dark = lit_rim(c, washer, 1.0, 0.3, 0.35)
    c.paint(np.zeros(3, np.float32), dark)
    c.paint(np.ones(3, np.float32) * 0.85, light * 0.6)
    # Knob outline: a round hub with a long nose that narrows to the pointer's tip and a
    # short blunt tail opposite it.
    hub = sdf_circle(c, cx, cy, 14.5)
    tip_r, tip_d = 3.4, 31.0
    nose = sdf_polygon(
        c,
        [
            (cx + px * 11.0, cy + py * 11.0),
            (cx + ux * tip_d + px * tip_r, cy + uy * tip_d + py * tip_r),
            (cx + ux * tip_d - px * tip_r, cy + uy * tip_d - py * tip_r),
            (cx - px * 11.0, cy - py * 11.0),
        ],
    )
    tip = sdf_circle(c, cx + ux * tip_d, cy + uy * tip_d, tip_r)
    tail = sdf_circle(c, cx - ux * 9.0, cy - uy * 9.0, 10.0)
    shape = np.maximum.reduce([hub, nose, tip, tail])
    drop_shadow(c, cover(shape), 2.0, 3.2, 3.0, 0.7)
    drop_shadow(c, cover(shape), 0.5, 1.0, 0.9, 0.5)
    # Body: a rounded top with its highlight fixed to the light, not to the pointer.
    inner = np.clip(shape / 6.0, 0, 1)
    side_light = np.clip(-(dx * 0.6 + dy * 0.8) / 30.0, -1, 1)
    v = 0.06 + 0.06 * inner + 0.05 * side_light * (1 - inner)
    v = v + np.exp(-(((dx + 6) / 9.0) ** 2 + ((dy + 8) / 7.0) ** 2)) * 0.15 * inner
    c.paint(np.dstack([v, v, v * 1.04]), cover(shape))
    light, _ = lit_rim(c, shape, 1.6, 0.3, 0.0)
    c.paint(np.ones(3, np.float32), light)
    line = sdf_segment(c, cx + ux * 3.0, cy + uy * 3.0, cx + ux * 31.0, cy + uy * 31.0, 1.3)
    c.paint(rgb(10, 10, 10), cover(shift_sdf(line, 0, 0.5)) * 0.5)
    c.paint(rgb(246, 244, 236), cover(line))
    return c.image()


def chrome(v):
    """Chrome colour ramp for a shade value in 0..1: dark blue-grey to bright white."""
    v = np.clip(v, 0, 1)
    return np.dstack([0.05 + 0.92 * v, 0.06 + 0.92 * v, 0.08 + 0.92 * v])


def toggle_frame(lever_up):
    """Chrome bat toggle seen from above: hex nut and bushing in the middle, the lever
    leaning up or down. The top and bottom 12 rows stay clear for the printed labels.
    56 x 56."""
    c = Canvas(56, 56)
    cx = cy = 28.0
    dx, dy = c.x - cx, c.y - cy
    # Hex nut.
    hex_pts = [(cx + 12.5 * math.cos(math.radians(30 + 60 * k)), cy + 12.5 * math.sin(math.radians(30 + 60 * k))) for k in range(6)]
    nut = sdf_polygon(c, hex_pts)
    # Black lock washer under the nut, so the chrome stands off the aluminium.
    washer = sdf_circle(c, cx, cy, 13.9)
    drop_shadow(c, cover(washer), 0.5, 1.0, 1.0, 0.5)
    c.paint(np.dstack([0.1 - 0.05 * dy / 13.9] * 3), cover(washer))
    teeth = 0.5 + 0.5 * np.cos(np.arctan2(dy, dx) * 18)
    c.paint(np.ones(3, np.float32) * 0.35, cover(washer) * (np.hypot(dx, dy) > 12.6) * teeth * 0.35)
    drop_shadow(c, cover(nut), 1.0, 1.8, 1.6, 0.6)
    facet = np.round(np.degrees(np.arctan2(dy, dx)) / 60.0) * 60.0
    fl = 0.55 + 0.35 * np.cos(np.radians(facet + 120))  # faces towards the top left are bright
    c.paint(chrome(fl), cover(nut))
    light, dark = lit_rim(c, nut, 0.9, 0.35, 0.35)
    c.paint(np.ones(3, np.float32), light)
    c.paint(np.zeros(3, np.float32), dark)
    # Threaded bushing.
    bush = sdf_circle(c, cx, cy, 7.8)
    c.paint(rgb(20, 20, 24), cover(bush + 0.8) * 0.8)
    rr = np.hypot(dx, dy)
    threads = 0.5 + 0.5 * np.cos(rr * 2 * math.pi / 1.1)
    v = 0.45 - 0.25 * (dx * 0.6 + dy * 0.8) / 7.8 + 0.12 * threads
    c.paint(chrome(v), cover(bush))
    c.paint(rgb(12, 12, 14), cover(sdf_circle(c, cx, cy, 3.6)))
    # Lever: a tapering rod from the pivot to a ball tip, foreshortened.
    sign = -1.0 if lever_up else 1.0
    tip_y = cy + sign * 12.0
    base_w, tip_w = 3.3, 2.5
    rod_pts = [(cx - base_w, cy), (cx - tip_w, tip_y), (cx + tip_w, tip_y), (cx + base_w, cy)]
    rod = np.maximum(sdf_polygon(c, rod_pts), sdf_circle(c, cx, cy, base_w))
    ball = sdf_circle(c, cx, tip_y, 3.4)
    lever = np.maximum(rod, ball)
    drop_shadow(c, cover(lever), 1.6 if lever_up else 1.2, 2.4 if lever_up else 1.4, 1.3, 0.6)
    across = np.clip(dx / 3.6, -1, 1)
    v = 0.55 + 0.4 * np.cos(np.radians(across * 90 + 35)) - 0.25 * np.abs(across) ** 3
    band = np.exp(-((dx + 1.0) ** 2) / 0.5) * 0.35
    c.paint(chrome(v + band), cover(lever))
    bx, by = dx / 3.6, (c.y - tip_y) / 3.6
    specular = np.exp(-((bx + 0.35) ** 2 + (by + 0.4) ** 2) / 0.08)
    v = 0.45 - 0.3 * (bx * 0.6 + by * 0.8) + specular * 0.6
    c.paint(chrome(v), cover(ball))
    light, dark = lit_rim(c, lever, 0.8, 0.0, 0.4)
    c.paint(np.zeros(3, np.float32), dark)
    return c.image()


def boost_frame(on):
    """Slide switch: a chrome bezel with a black slot and a knurled actuator, up ("OFF") or
    down ("ON"). 34 x 55."""
    c = Canvas(34, 55)
    bezel = sdf_round_rect(c, 6.0, 2.5, 28.0, 52.5, 3.0)
    drop_shadow(c, cover(bezel), 1.0, 1.8, 1.8, 0.6)
    v = 0.62 + 0.2 * np.clip(-(c.y - 27.5) / 25.0, -1, 1) + 0.05 * np.cos((c.x - 6) * 0.9)
    c.paint(chrome(v), cover(bezel))
    light, dark = lit_rim(c, bezel, 1.2, 0.35, 0.4)
    c.paint(np.ones(3, np.float32), light)
    c.paint(np.zeros(3, np.float32), dark)
    for sy in (5.5, 49.5):  # rivets holding the bezel
        rv = sdf_circle(c, 17.0, sy, 1.5)
        c.paint(rgb(60, 60, 64), cover(rv + 0.5))
        c.paint(chrome(0.85 - 0.3 * (c.y - sy + 0.6)), cover(rv))
    slot = sdf_round_rect(c, 12.0, 9.0, 22.0, 46.0, 1.5)
    c.paint(rgb(6, 6, 7), cover(slot))
    inner_shadow = np.clip(1 - (c.y - 9.0) / 4.0, 0, 1) * cover(slot)
    c.paint(rgb(0, 0, 0), inner_shadow * 0.5)
    top = 11.0 if not on else 28.0
    act = sdf_round_rect(c, 10.5, top, 23.5, top + 16.0, 2.0)
    drop_shadow(c, cover(act), 0.6, 1.8, 1.2, 0.8)
    ridge = 0.5 + 0.5 * np.cos((c.y - top) * 2 * math.pi / 2.0)
    v = 0.7 + 0.15 * np.clip(-(c.x - 17.0) / 6.5, -1, 1) - 0.22 * ridge
    c.paint(chrome(v), cover(act))
    light, dark = lit_rim(c, act, 1.0, 0.3, 0.45)
    c.paint(np.ones(3, np.float32), light)
    c.paint(np.zeros(3, np.float32), dark)
    return c.image()


# The tab hangs from the window's top edge near its right corner. Its rectangle reaches 4
# pixels above the window and 7 beyond its right edge, so only x 0..92, y 4..29 of each frame
# is ever seen; everything is drawn inside that part.
TAB_BODY = (5.0, -2.0, 89.0, 27.0)  # the top edge lies above the window: only the sides show
TAB_RADIUS = 5.0
TAB_MARK_CENTRE = (18.0, 15.0)
TAB_WORD_X = 30.0
TAB_INK = rgb(246, 240, 224)


def sdf_arc(c, cx, cy, r, a0, a1, half_width):
    """A stroke along the circle of radius r from a0 to a1 (degrees clockwise from twelve,
    a0 < a1), with round caps."""
    dx, dy = c.x - cx, c.y - cy
    theta = np.degrees(np.arctan2(dx, -dy))
    mid = (a0 + a1) / 2.0
    rel = (theta - mid + 180.0) % 360.0 - 180.0  # angle from the arc's middle, -180..180
    on_arc = np.abs(rel) <= (a1 - a0) / 2.0
    ring = half_width - np.abs(np.hypot(dx, dy) - r)
    caps = []
    for a in (a0, a1):
        ux, uy = direction(a)
        caps.append(half_width - np.hypot(c.x - (cx + ux * r), c.y - (cy + uy * r)))
    return np.where(on_arc, ring, np.maximum(caps[0], caps[1]))


def flip_mark(c, cx, cy):
    """A curved arrow going round clockwise, open at the top: the tab turns the panel over."""
    r, a0, a1 = 4.6, 40.0, 295.0
    arc = sdf_arc(c, cx, cy, r, a0, a1, 0.9)
    # The head sits on the arc's end and points on round, over the gap.
    ex, ey = direction(a1)
    px, py = cx + ex * r, cy + ey * r
    tx, ty = direction(a1 + 90.0)  # clockwise tangent
    base = 3.0
    head = sdf_polygon(c, [(px + ex * base, py + ey * base), (px + tx * 4.2, py + ty * 4.2), (px - ex * base, py - ey * base)])
    return np.maximum(arc, head)


def tab_frame(pressed):
    """The panel tab: a dark plate hanging from the window's top edge, with a rounded lower
    edge, a fine rim, the flip mark and the word "tweak" in light ink. Raised, it is lit from
    the top left and throws a shadow; pressed, it sits deeper and darker, lit from the other
    side, and its face has moved down and to the right by a pixel."""
    c = Canvas(100, 30)
    x0, y0, x1, y1 = TAB_BODY
    push = 1.0 if pressed else 0.0
    body = sdf_round_rect(c, x0, y0, x1, y1, TAB_RADIUS)
    if pressed:
        drop_shadow(c, cover(body), 0.3, 0.5, 0.6, 0.45)
    else:
        drop_shadow(c, cover(body), 1.0, 1.8, 1.6, 0.55)
        drop_shadow(c, cover(body), 0.3, 0.6, 0.5, 0.45)
    # The plate: dark anodised metal, a little lighter at the top, with a bevelled edge.
    t = np.clip((c.y - 4.0) / (y1 - 4.0), 0, 1)
    if pressed:
        v = 0.085 - 0.015 * t
        diffuse, specular = bevel_shade(body, 2.2, light=(0.45, 0.6, 0.66))
    else:
        v = 0.23 - 0.07 * t
        diffuse, specular = bevel_shade(body, 2.2)
    v = v * diffuse + specular * 0.35
    c.paint(np.dstack([v, v * 1.01, v * 1.06]), cover(body))
    # Outline, and a fine rim inset along the edge: the tab's frame.
    c.paint(rgb(8, 8, 10), cover(body) * cover(0.9 - body))
    rim = sdf_round_rect(c, x0 + 2.0, y0, x1 - 2.0, y1 - 2.0, TAB_RADIUS - 2.0)
    rim_line = cover(0.45 - np.abs(rim))
    c.paint(rgb(160, 162, 168) if not pressed else rgb(88, 90, 96), rim_line * 0.8)
    if pressed:
        # Sunken: the edge it slid under shades the plate's top and left.
        inner = np.clip(1.0 - (c.y - 4.0) / 3.5, 0, 1) + np.clip(1.0 - (c.x - x0) / 3.5, 0, 1)
        c.paint(rgb(0, 0, 0), np.clip(inner, 0, 1) ** 1.5 * cover(body) * 0.7)
    # The mark and the word, printed light on the plate.
    ink = TAB_INK if not pressed else TAB_INK * 0.93
    mx, my = TAB_MARK_CENTRE
    c.paint(ink, cover(flip_mark(c, mx + push, my + push)))
    m = text_mask(c, "tweak", FONT_TITLE, 15, TAB_WORD_X + push, my + push, anchor="lm", spacing=0.5)
    c.paint(ink, m)
    # Nothing outside the part the window shows: the plate runs on above the window's edge
    # only in the picture's geometry, not in its pixels.
    px = np.asarray(c.image()).copy()
    px[: 4 * DENSITY] = 0
    px[:, 93 * DENSITY :] = 0
    return Image.fromarray(px, "RGBA")


def filmstrip(frames):
    w, h = frames[0].size
    strip = Image.new("RGBA", (w, h * len(frames)), (0, 0, 0, 0))
    for i, f in enumerate(frames):
        strip.paste(f, (0, i * h))
    return strip


# ----------------------------------------------------------------------------------------
# Front face: the pedal


PAINT = rgb(118, 22, 30)  # deep oxblood enamel
INK = rgb(243, 234, 212)  # cream silkscreen


def rect_centre(r):
    return (r[0] + r[2]) / 2.0, (r[1] + r[3]) / 2.0


def front_panel():
    w, h = WINDOW
    c = Canvas(w, h)
    # Studio backdrop: light grey seamless paper, a little brighter at the top, fine grain.
    vign = np.hypot((c.x - 215) / 330.0, (c.y - 120) / 260.0)
    v = 0.88 - 0.10 * (c.y / h) - 0.10 * vign**2 + noise(c, 1) * 0.006
    c.fill(np.dstack([v, v, v * 1.01]))

    x0, y0, x1, y1, rad = 20.0, 30.0, 410.0, 280.0, 16.0
    side = 11.0  # the enclosure's front wall seen below the top face
    whole = sdf_round_rect(c, x0, y0, x1, y1 + side, rad)
    # Shadow on the paper: a wide soft one and a tight contact one.
    drop_shadow(c, cover(whole), 6.0, 10.0, 12.0, 0.45)
    drop_shadow(c, cover(whole), 1.0, 2.5, 2.5, 0.5)
    # Rubber feet peeking out below the front wall.
    for fx in (x0 + 26, x1 - 26):
        foot = sdf_round_rect(c, fx - 11, y1 + side - 4, fx + 11, y1 + side + 3.2, 3.0)
        c.paint(rgb(28, 28, 30), cover(foot))
        c.paint(rgb(80, 80, 84), cover(foot) * np.clip(1 - (c.y - (y1 + side - 4)) / 5, 0, 1) * 0.4)

    flake = noise(c, 2) * 0.018 + noise(c, 3, 6.0) * 0.012
    # Front wall: the same paint, turned away from the light.
    wall = whole
    t = np.clip((c.y - y1) / side, 0, 1)
    v = 0.55 - 0.25 * t + flake
    c.paint(PAINT * np.dstack([v, v, v]) + 0.0, cover(wall))
    c.paint(rgb(0, 0, 0), cover(wall) * np.clip(1 - np.minimum(c.x - x0, x1 - c.x) / 10.0, 0, 1) * 0.35)

    topf = sdf_round_rect(c, x0, y0, x1, y1, rad)
    # Enamel on the top face: light falls from the top left; a broad soft reflection of a
    # window runs diagonally; metal flake gives the finish its depth.
    u = (c.x - x0) / (x1 - x0)
    vv = (c.y - y0) / (y1 - y0)
    light = 0.92 + 0.16 * (1 - u) * 0.5 + 0.14 * (1 - vv) * 0.5
    diag = (u * 0.8 + vv * 0.6)
    sheen = np.exp(-((diag - 0.42) / 0.16) ** 2) * 0.10
    v = light + flake
    # The cast box's top turns into its walls over a rounded edge: shade it as a quarter
    # round lit from the top left and front, with the clear coat's highlight running along it.
    diffuse, specular = bevel_shade(topf, 9.0)
    v = v * diffuse
    col = PAINT * np.dstack([v, v, v]) + sheen[..., None] * np.array([1.0, 0.85, 0.85], np.float32)
    col = col + specular[..., None] * np.array([1.0, 0.93, 0.9], np.float32) * 0.55
    c.paint(col, cover(topf))
    # A softbox seen in the gloss, towards the top left.
    box = cover(sdf_round_rect(c, 48.0, 38.0, 250.0, 58.0, 10.0))
    c.paint(np.array([1.0, 0.96, 0.95], np.float32), blur(box, 9.0) * cover(topf - 6.0) * 0.07)

    relief = ((1.0, 0.85, 0.85), 0.0, 0.35)
    cx = (x0 + x1) / 2.0
    # Name and kind.
    print_text(c, "SPARKWELL", FONT_LOGO, 44, cx, 64, INK, anchor="mm", spacing=3.0, relief=relief)
    sub_y = 102.0
    print_text(c, "TREBLE BOOSTER", FONT_TITLE, 14, cx, sub_y, INK, anchor="mm", spacing=4.0, relief=relief)
    tw = text_width("TREBLE BOOSTER", FONT_TITLE, 14, 4.0)
    for sgn in (-1, 1):
        a = cx + sgn * (tw / 2 + 10)
        b = cx + sgn * (tw / 2 + 70)
        c.paint(INK, cover(sdf_segment(c, min(a, b), sub_y - 0.5, max(a, b), sub_y - 0.5, 0.75)))
    star_y = sub_y - 0.5
    for sgn in (-1, 1):
        sx = cx + sgn * (tw / 2 + 78)
        c.paint(INK, cover(sdf_polygon(c, [(sx, star_y - 3.5), (sx + 3.5, star_y), (sx, star_y + 3.5), (sx - 3.5, star_y)])))

    # BOOST switch: its states to the left, its name to the right.
    bx0, by0, bx1, by1 = RECT_BOOST
    lab = 11.5
    print_text(c, "OFF", FONT_LABEL, lab, bx0 - 2, by0 + 18, INK, anchor="rm", relief=relief)
    print_text(c, "ON", FONT_LABEL, lab, bx0 - 2, by0 + 36, INK, anchor="rm", relief=relief)
    print_text(c, "BOOST", FONT_LABEL, 13, bx1 + 5, (by0 + by1) / 2.0, INK, anchor="lm", spacing=0.8, relief=relief)
    # SET knob: a printed ring of dots over its travel, the name to the right.
    kx, ky = rect_centre(RECT_SET)
    for i in range(11):
        ux, uy = direction(-135 + 27 * i)
        d = sdf_circle(c, kx + ux * 30.0, ky + uy * 30.0, 1.1 if i not in (0, 10) else 1.5)
        c.paint(INK, cover(d))
    print_text(c, "SET", FONT_LABEL, 13, RECT_SET[2] + 8, ky, INK, anchor="lm", spacing=0.8, relief=relief)

    # Input jack mounted in the top face, labelled below.
    jx, jy = 358.0, 186.0
    jack_nut(c, jx, jy)
    print_text(c, "GUITAR", FONT_LABEL, 11, jx, jy + 24, INK, anchor="mm", spacing=1.0, relief=relief)
    c.paint(INK, cover(sdf_polygon(c, [(jx - 4, jy - 20), (jx + 4, jy - 20), (jx, jy - 15.5)])))

    # Treble clef on a staff with notes climbing to the right.
    staff(c, 58.0, 372.0, 236.0, 6.5)

    for sx, sy in ((x0 + 15, y0 + 15), (x1 - 15, y0 + 15), (x0 + 15, y1 - 15), (x1 - 15, y1 - 15)):
        screw(c, sx, sy, 5.2, (sx * 7 + sy * 3) % 90)
    return c.image()


def jack_nut(c, jx, jy):
    """A quarter-inch socket seen from above: knurled hex nut, washer and the dark hole."""
    washer = sdf_circle(c, jx, jy, 13.0)
    drop_shadow(c, cover(washer), 0.8, 1.5, 1.4, 0.55)
    dx, dy = c.x - jx, c.y - jy
    theta = np.degrees(np.arctan2(dy, dx))
    v = 0.62 + 0.22 * np.cos(np.radians(2 * (theta + 45))) - 0.1 * (dy / 13.0)
    c.paint(chrome(v), cover(washer))
    hex_pts = [(jx + 10.5 * math.cos(math.radians(60 * k + 15)), jy + 10.5 * math.sin(math.radians(60 * k + 15))) for k in range(6)]
    nut = sdf_polygon(c, hex_pts)
    drop_shadow(c, cover(nut), 0.5, 0.9, 0.8, 0.5)
    facet = np.round((theta - 15 - 30) / 60.0) * 60.0 + 45
    fl = 0.58 + 0.34 * np.cos(np.radians(facet + 125))
    c.paint(chrome(fl), cover(nut))
    li, da = lit_rim(c, nut, 0.9, 0.4, 0.4)
    c.paint(np.ones(3, np.float32), li)
    c.paint(np.zeros(3, np.float32), da)
    sleeve = sdf_circle(c, jx, jy, 6.6)
    c.paint(chrome(0.5 - 0.35 * (dx * 0.6 + dy * 0.8) / 6.6), cover(sleeve))
    hole = sdf_circle(c, jx, jy, 4.4)
    c.paint(rgb(8, 8, 9), cover(hole))
    ring = cover(hole) * cover(1.2 - np.abs(np.hypot(dx, dy) - 2.6)) * 0.35
    c.paint(rgb(150, 120, 60), ring)


def staff(c, xa, xb, top, gap):
    ink = INK
    for k in range(5):
        y = top + k * gap
        c.paint(ink, cover(sdf_segment(c, xa, y, xb, y, 0.55)))
    for x in (xa, xb):
        c.paint(ink, cover(sdf_segment(c, x, top, x, top + 4 * gap, 0.6)))
    c.paint(ink, cover(sdf_segment(c, xb - 4.0, top, xb - 4.0, top + 4 * gap, 1.6)))
    # Treble clef: it reaches from about a line and a half above the staff to a line below,
    # which puts its curl round the G line.
    bottom = top + 4 * gap
    glyph_mask(c, "\U0001D11E", FONT_MUSIC, xa + 4.0, top - 1.7 * gap, bottom + 1.45 * gap, ink)
    # A run of eighth notes climbing from E on the bottom line, beamed in fours, stems up for
    # the low group and down for the high one, ending on a held high G.
    x_first, step = xa + 46.0, 27.0
    groups = ((0, 1, 2, 3), (4, 5, 6, 7))
    heads = []
    i = 0
    for g, group in enumerate(groups):
        up = g == 0
        pts = []
        for n in group:
            hx = x_first + i * step + g * 12.0
            hy = bottom - n * gap / 2.0
            heads.append((hx, hy, False))
            sx = hx + 3.2 if up else hx - 3.2
            pts.append((sx, hy))
            i += 1
        # Beam parallel to the line of the heads, a stem's length away.
        stem = 3.3 * gap
        (fx, fy), (lx, ly) = pts[0], pts[-1]
        off = -stem if up else stem
        slope = (ly - fy) / (lx - fx) * 0.5
        for sx, sy in pts:
            by = fy + off + slope * (sx - fx)
            c.paint(ink, cover(sdf_segment(c, sx, sy, sx, by, 0.55)))
        ya, yb = fy + off, fy + off + slope * (lx - fx)
        bw = 2.9 if up else -2.9
        beam = sdf_polygon(c, [(fx - 0.55, ya), (lx + 0.55, yb), (lx + 0.55, yb + bw), (fx - 0.55, ya + bw)])
        c.paint(ink, cover(beam))
    hx = x_first + i * step + 26.0
    hy = bottom - 9 * gap / 2.0
    heads.append((hx, hy, True))
    c.paint(ink, cover(sdf_segment(c, hx - 3.2, hy, hx - 3.2, hy + 3.3 * gap, 0.55)))
    for hx, hy, hollow in heads:
        # Note head: a tilted ellipse; the held note is open.
        a = math.radians(-22)
        ex = (c.x - hx) * math.cos(a) - (c.y - hy) * math.sin(a)
        ey = (c.x - hx) * math.sin(a) + (c.y - hy) * math.cos(a)
        d = 1.0 - np.hypot(ex / 3.7, ey / 2.55)
        under = c.rgb.copy()
        c.paint(ink, cover(d * 2.6))
        if hollow:  # let the enamel show through the open head
            hole = cover((1.0 - np.hypot(ex / 2.7, ey / 1.25)) * 1.3)[..., None]
            c.rgb = under * hole + c.rgb * (1.0 - hole)


def glyph_mask(c, ch, font_path, x_left, y_top, y_bottom, colour):
    """Paints one glyph scaled so that its ink spans y_top..y_bottom, left edge at x_left."""
    probe = ImageFont.truetype(font_path, 200)
    l, t, r, b = probe.getbbox(ch, anchor="ls")
    size = (y_bottom - y_top) * 200.0 / (b - t)
    k = size / 200.0
    m = text_mask(c, ch, font_path, size, x_left - l * k, y_top - t * k, anchor="ls")
    c.paint(np.asarray(colour, np.float32), m)


# ----------------------------------------------------------------------------------------
# Back face: brushed aluminium


LABEL_INK = rgb(34, 36, 40)
ACCENT_INK = rgb(150, 28, 36)


def brushed_metal(c):
    """Horizontal brushing: noise smeared along x, row by row, with a soft anisotropic sheen."""
    rng = np.random.default_rng(5)
    h, w = c.a.shape
    n = rng.standard_normal((h, w)).astype(np.float32)
    # Long box blur along x only, twice, so the streaks fade in and out.
    for length in (48 * DENSITY, 24 * DENSITY):
        cs = np.cumsum(np.pad(n, ((0, 0), (length, 0)), mode="wrap"), axis=1)
        n = (cs[:, length:] - cs[:, :-length]) / math.sqrt(length)
    n /= max(float(n.std()), 1e-6)
    rows = rng.standard_normal(h).astype(np.float32)
    rows = np.convolve(rows, np.ones(3 * DENSITY) / (3 * DENSITY), mode="same")
    fine = n * 0.028 + rows[:, None] * 0.012
    u, v = c.x / c.w, c.y / c.h
    sheen = 0.06 * np.exp(-((u * 0.9 - v * 0.5 - 0.25) / 0.22) ** 2) - 0.05 * v
    base = 0.70 + sheen + fine
    return np.dstack([base * 0.985, base * 0.99, base * 1.01])


def back_panel():
    w, h = WINDOW
    c = Canvas(w, h)
    c.fill(brushed_metal(c))
    panel = sdf_round_rect(c, 0.0, 0.0, float(w), float(h), 0.01)
    li, da = lit_rim(c, panel, 3.0, 0.35, 0.35)
    c.paint(np.ones(3, np.float32), li)
    c.paint(np.zeros(3, np.float32), da)

    label = 11.0
    relief = ((1.0, 1.0, 1.0), 0.55, 0.0)

    def above(rect, text):
        x = (rect[0] + rect[2]) / 2.0
        print_text(c, text, FONT_LABEL, label, x, rect[1] - 3.0, LABEL_INK, anchor="ms", relief=relief)

    for rect, text in ((RECT_INPUT, "Input Level"), (RECT_HPF, "Input Filtering"), (RECT_TREBLE, "Treble"), (RECT_GRID, "Grid Current")):
        above(rect, text)
        knob_scale(c, rect)

    # Toggles: the state names printed inside the top and bottom edges of each rectangle,
    # where the toggle picture is transparent.
    above(RECT_TRANSISTOR, "Transistor")
    for rect, top_text, bottom_text in ((RECT_TRANSISTOR, "2SB175", "AC128"), (RECT_STEREO, "Stereo", "Mono")):
        x = (rect[0] + rect[2]) / 2.0
        print_text(c, top_text, FONT_SMALL, 9.5, x, rect[1] + 5.5, LABEL_INK, anchor="mm", relief=relief)
        print_text(c, bottom_text, FONT_SMALL, 9.5, x, rect[3] - 5.5, LABEL_INK, anchor="mm", relief=relief)
        mount_plate(c, rect)

    pickup_legend(c)

    # Name plate and credit line in the free lower right area.
    print_text(c, "SPARKWELL", FONT_LOGO, 30, 336, 233, rgb(60, 62, 66), anchor="mm", spacing=2.0, relief=((1, 1, 1), 0.6, 0.25))
    print_text(c, "TREBLE BOOSTER", FONT_TITLE, 10.5, 336, 255, LABEL_INK, anchor="mm", spacing=3.0, relief=relief)
    print_text(c, "Quillane  \u00b7  Sparkwell v1.0.1", FONT_PLAIN, 9.0, 336, 278, rgb(70, 72, 78), anchor="mm", relief=relief)

    for sx, sy in ((10, 10), (w - 10, 10), (10, h - 10), (w - 10, h - 10)):
        screw(c, sx, sy, 4.6, (sx * 5 + sy * 11) % 90)
    return c.image()


def knob_scale(c, rect):
    """Printed dial around a back-panel knob: eleven ticks over its travel, longer at the
    ends and in the middle."""
    kx, ky = rect_centre(rect)
    for i in range(11):
        a = knob_angle(i * 3)
        ux, uy = direction(a)
        major = i in (0, 5, 10)
        r0, r1 = (29.0, 34.0) if major else (29.5, 32.5)
        c.paint(LABEL_INK, cover(sdf_segment(c, kx + ux * r0, ky + uy * r0, kx + ux * r1, ky + uy * r1, 0.75 if major else 0.55)))


def mount_plate(c, rect):
    """A faint machined ring where the toggle's nut sits on the panel."""
    x, y = rect_centre(rect)
    ring = sdf_circle(c, x, y, 15.5)
    c.paint(rgb(0, 0, 0), cover(ring) * cover(1.0 - np.abs(ring - 0.5)) * 0.25)


PICKUP_LABELS = ("None", "Hot Humbucker", "Humbucker", "P-90", "Single Coil")


def pickup_legend(c):
    """"Pickup" at the selector's top left; the five positions to its right, each joined
    by a printed line that starts in the pointer's direction."""
    px, py = rect_centre(RECT_PICKUP)
    print_text(c, "Pickup", FONT_LABEL, 11.0, RECT_PICKUP[0] - 2.0, RECT_PICKUP[1] + 2.0, LABEL_INK, anchor="ls", relief=((1, 1, 1), 0.55, 0.0))
    text_x, spacing = 340.0, 20.0
    for k, name in enumerate(PICKUP_LABELS):
        ux, uy = direction(pickup_angle(k))
        r0, r1 = 27.5, 42.0
        ax, ay = px + ux * r0, py + uy * r0
        bx, by = px + ux * r1, py + uy * r1
        ly = py + (k - 2) * spacing
        ink = cover(sdf_segment(c, ax, ay, bx, by, 0.75))
        ink = np.maximum(ink, cover(sdf_segment(c, bx, by, text_x - 16.0, ly, 0.55)))
        ink = np.maximum(ink, cover(sdf_segment(c, text_x - 16.0, ly, text_x - 5.0, ly, 0.55)))
        ink = np.maximum(ink, cover(sdf_circle(c, text_x - 5.0, ly, 1.4)))
        c.paint(np.ones(3, np.float32), shift(ink, 0, 0.6) * 0.5)
        c.paint(LABEL_INK, ink)
        print_text(c, name, FONT_LABEL, 10.0, text_x, ly, LABEL_INK, anchor="lm", relief=((1, 1, 1), 0.55, 0.0))


# ----------------------------------------------------------------------------------------
# Output


def draw_all():
    return {
        "front.png": front_panel(),
        "knob.png": filmstrip([knob_frame(knob_angle(i)) for i in range(KNOB_FRAMES)]),
        "pickup.png": filmstrip([pickup_frame(pickup_angle(k)) for k in range(PICKUP_POSITIONS)]),
        "toggle.png": filmstrip([toggle_frame(True), toggle_frame(False)]),
        "back.png": back_panel(),
        "tab.png": filmstrip([tab_frame(False), tab_frame(True)]),
        "boost.png": filmstrip([boost_frame(False), boost_frame(True)]),
        "setknob.png": filmstrip([set_knob_frame(set_knob_angle(i)) for i in range(KNOB_FRAMES)]),
    }


def frame_of(strip, frame_h, index):
    return strip.crop((0, index * frame_h, strip.width, (index + 1) * frame_h))


def place(face, picture, rect):
    """Draws a control picture at its rectangle, clipped by the window, as the editor does."""
    layer = Image.new("RGBA", face.size, (0, 0, 0, 0))
    layer.paste(picture, (rect[0], rect[1]))
    face.alpha_composite(layer)


def preview(pictures, out_dir):
    """Both faces with every control at its rectangle, at the values 0, 0.5 and 1 (knob and
    switch frames chosen the way the toolkit chooses them), side by side, doubled in size."""
    os.makedirs(out_dir, exist_ok=True)
    n = KNOB_FRAMES
    written = []
    for value in (0.0, 0.3, 0.5, 1.0):
        knob = int(math.floor(value * (n - 1)))
        switch = int(value * (PICKUP_POSITIONS - 1) + 0.5)
        onoff = 1 if value == 1.0 else 0
        front = pictures["front.png"].copy()
        place(front, frame_of(pictures["setknob.png"], 64, knob), RECT_SET)
        place(front, frame_of(pictures["boost.png"], 55, onoff), RECT_BOOST)
        place(front, frame_of(pictures["tab.png"], 30, 0), RECT_TAB)
        back = pictures["back.png"].copy()
        for rect in (RECT_INPUT, RECT_HPF, RECT_TREBLE, RECT_GRID):
            place(back, frame_of(pictures["knob.png"], 70, knob), rect)
        place(back, frame_of(pictures["pickup.png"], 80, switch), RECT_PICKUP)
        place(back, frame_of(pictures["toggle.png"], 56, onoff), RECT_TRANSISTOR)
        place(back, frame_of(pictures["toggle.png"], 56, onoff), RECT_STEREO)
        place(back, frame_of(pictures["tab.png"], 30, 1), RECT_TAB)
        tag = "%03d" % int(value * 100)
        for name, face in (("front", front), ("back", back)):
            path = os.path.join(out_dir, "%s_%s.png" % (name, tag))
            face.save(path)
            written.append(path)
    sheet = Image.new("RGBA", (WINDOW[0] * 2 + 10, WINDOW[1]), (255, 255, 255, 255))
    sheet.paste(Image.open(os.path.join(out_dir, "front_050.png")), (0, 0))
    sheet.paste(Image.open(os.path.join(out_dir, "back_050.png")), (WINDOW[0] + 10, 0))
    sheet = sheet.resize((sheet.width * 2, sheet.height * 2), Image.NEAREST)
    sheet.save(os.path.join(out_dir, "both_x2.png"))
    written.append(os.path.join(out_dir, "both_x2.png"))
    return written


DENSITIES = (1, 2)  # the sets the plug-in carries: NAME.png, and NAME@2x.png at twice the size


def file_name(name, density):
    return name if density == 1 else name.replace(".png", "@%dx.png" % density)


def draw_set(density):
    """All eight pictures with `density` output pixels per window pixel."""
    global DENSITY, RES
    DENSITY, RES = density, SCALE * density
    try:
        return draw_all()
    finally:
        DENSITY, RES = 1, SCALE


def main(argv):
    args = argv[1:]
    densities = DENSITIES
    if len(args) >= 2 and args[0] == "--only":
        densities = (int(args[1]),)
        args = args[2:]
    if len(args) not in (0, 2) or (args and args[0] != "--preview") or not set(densities) <= set(DENSITIES):
        sys.stderr.write(__doc__)
        return 2
    for density in densities:
        pictures = draw_set(density)
        for name, img in pictures.items():
            img.save(os.path.join(HERE, file_name(name, density)), optimize=True)
        if args and density == 1:
            for path in preview(pictures, args[1]):
                print(path)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
