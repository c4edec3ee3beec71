#!/usr/bin/env python3
"""Draws the shell's resources and writes them with their resource script.

Usage: make_shell_resources.py OUTPUT_DIR

Writes the eight tray icons, the lamp strip, the splash and About
pictures, and the "PUBLICITY" data (index, descriptions, pictures) stored exactly as the
program reads them: the index scrambled and followed by its checksum, each picture a bitmap
file followed by its checksum. Pure Python, no imaging library: shapes are drawn with 4 x 4
supersampling so edges are smooth.
"""
import os
import struct
import sys

SS = 4  # supersampling factor


# --- drawing ---------------------------------------------------------------------------

class Canvas:
    """RGBA pixels at SS times the final size; Downsample gives the final pixels."""

    def __init__(self, w, h, fill=(0, 0, 0, 0)):
        self.w, self.h = w, h
        self.W, self.H = w * SS, h * SS
        self.px = [list(fill) for _ in range(self.W * self.H)]

    def blend(self, x, y, color, alpha=1.0):
        if 0 <= x < self.W and 0 <= y < self.H:
            p = self.px[y * self.W + x]
            a = (color[3] / 255.0 if len(color) > 3 else 1.0) * alpha
            for i in range(3):
                p[i] = p[i] * (1 - a) + color[i] * a
            p[3] = min(255, p[3] + (255 - p[3]) * a)

    def fill_shape(self, inside, color, box=None):
        """inside(fx, fy) in final-pixel units decides each subpixel."""
        x0, y0, x1, y1 = box if box else (0, 0, self.w, self.h)
        for sy in range(max(0, int(y0 * SS)), min(self.H, int(y1 * SS) + 1)):
            fy = (sy + 0.5) / SS
            for sx in range(max(0, int(x0 * SS)), min(self.W, int(x1 * SS) + 1)):
                fx = (sx + 0.5) / SS
                if inside(fx, fy):
                    self.blend(sx, sy, color)

    def gradient(self, top, bottom, box=None):
        x0, y0, x1, y1 = box if box else (0, 0, self.w, self.h)
        for sy in range(int(y0 * SS), int(y1 * SS)):
            t = (sy - y0 * SS) / max(1, (y1 - y0) * SS - 1)
            c = tuple(int(top[i] + (bottom[i] - top[i]) * t) for i in range(3)) + (255,)
            for sx in range(int(x0 * SS), int(x1 * SS)):
                self.blend(sx, sy, c)

    def rect(self, x0, y0, x1, y1, color):
        self.fill_shape(lambda x, y: x0 <= x < x1 and y0 <= y < y1, color, (x0, y0, x1, y1))

    def round_rect(self, x0, y0, x1, y1, r, color):
        def inside(x, y):
            if not (x0 <= x < x1 and y0 <= y < y1):
                return False
            cx = min(max(x, x0 + r), x1 - r)
            cy = min(max(y, y0 + r), y1 - r)
            return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
        self.fill_shape(inside, color, (x0, y0, x1, y1))

    def circle(self, cx, cy, r, color):
        self.fill_shape(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r, color,
                        (cx - r - 1, cy - r - 1, cx + r + 1, cy + r + 1))

    def polygon(self, pts, color):
        xs = [p[0] for p in pts]
        ys = [p[1] for p in pts]

        def inside(x, y):
            c = False
            j = len(pts) - 1
            for i in range(len(pts)):
                xi, yi = pts[i]
                xj, yj = pts[j]
                if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                    c = not c
                j = i
            return c
        self.fill_shape(inside, color, (min(xs), min(ys), max(xs) + 1, max(ys) + 1))

    def strokes(self, segments, width, color):
        """Thick lines with round ends: one pass so overlaps do not darken."""
        half = width / 2.0
        xs = [v for s in segments for v in (s[0], s[2])]
        ys = [v for s in segments for v in (s[1], s[3])]

        def near(x, y):
            for ax, ay, bx, by in segments:
                dx, dy = bx - ax, by - ay
                ll = dx * dx + dy * dy
                t = 0 if ll == 0 else max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / ll))
                px, py = ax + t * dx - x, ay + t * dy - y
                if px * px + py * py <= half * half:
                    return True
            return False
        self.fill_shape(near, color, (min(xs) - half - 1, min(ys) - half - 1,
                                      max(xs) + half + 1, max(ys) + half + 1))

    def downsample(self):
        out = []
        n = SS * SS
        for y in range(self.h):
            row = []
            for x in range(self.w):
                acc = [0.0, 0.0, 0.0, 0.0]
                for sy in range(y * SS, y * SS + SS):
                    for sx in range(x * SS, x * SS + SS):
                        p = self.px[sy * self.W + sx]
                        a = p[3]
                        acc[0] += p[0] * a
                        acc[1] += p[1] * a
                        acc[2] += p[2] * a
                        acc[3] += a
                if acc[3] > 0:
                    rgb = [int(round(acc[i] / acc[3])) for i in range(3)]
                else:
                    rgb = [0, 0, 0]
                row.append((rgb[0], rgb[1], rgb[2], int(round(acc[3] / n))))
            out.append(row)
        return out


# --- a stroke alphabet for the names in the pictures (capitals on a 0..1 box) ------------

def _arc(cx, cy, rx, ry, a0, a1, steps=10):
    import math
    pts = []
    for i in range(steps + 1):
        a = math.radians(a0 + (a1 - a0) * i / steps)
        pts.append((cx + rx * math.cos(a), cy + ry * math.sin(a)))
    return pts


def _poly(pts):
    return [(pts[i][0], pts[i][1], pts[i + 1][0], pts[i + 1][1]) for i in range(len(pts) - 1)]


GLYPHS = {
    'A': _poly([(0, 1), (0.5, 0), (1, 1)]) + [(0.22, 0.62, 0.78, 0.62)],
    'B': [(0, 0, 0, 1)] + _poly([(0, 0), (0.55, 0)] + _arc(0.55, 0.25, 0.35, 0.25, -90, 90)
                                + [(0, 0.5)]) +
         _poly([(0, 0.5), (0.6, 0.5)] + _arc(0.6, 0.75, 0.38, 0.25, -90, 90) + [(0, 1)]),
    'C': _poly(_arc(0.55, 0.5, 0.5, 0.5, -50, -310, 16)),
    'E': _poly([(0.9, 0), (0, 0), (0, 1), (0.9, 1)]) + [(0, 0.5, 0.7, 0.5)],
    'H': [(0, 0, 0, 1), (0.9, 0, 0.9, 1), (0, 0.5, 0.9, 0.5)],
    'I': [(0.15, 0, 0.15, 1)],
    'K': [(0, 0, 0, 1), (0.9, 0, 0.05, 0.62), (0.32, 0.42, 0.95, 1)],
    'L': _poly([(0, 0), (0, 1), (0.85, 1)]),
    'M': _poly([(0, 1), (0, 0), (0.5, 0.65), (1, 0), (1, 1)]),
    'N': _poly([(0, 1), (0, 0), (0.9, 1), (0.9, 0)]),
    'O': _poly(_arc(0.5, 0.5, 0.5, 0.5, 0, 360, 24)),
    'P': [(0, 0, 0, 1)] + _poly([(0, 0), (0.5, 0)] + _arc(0.5, 0.27, 0.38, 0.27, -90, 90)
                                + [(0, 0.54)]),
    'R': [(0, 0, 0, 1)] + _poly([(0, 0), (0.5, 0)] + _arc(0.5, 0.27, 0.38, 0.27, -90, 90)
                                + [(0, 0.54)]) + [(0.45, 0.54, 0.9, 1)],
    'S': _poly(_arc(0.45, 0.26, 0.42, 0.26, -20, -270, 12) +
               _arc(0.45, 0.74, 0.45, 0.26, -90, 160, 12)),
    'T': [(0, 0, 0.9, 0), (0.45, 0, 0.45, 1)],
    'U': _poly([(0, 0)] + _arc(0.45, 0.55, 0.45, 0.45, 180, 0, 12) + [(0.9, 0)]),
    'V': _poly([(0, 0), (0.5, 1), (1, 0)]),
}
GLYPH_WIDTH = {'A': 1.0, 'I': 0.3, 'M': 1.0, 'O': 1.0, 'V': 1.0, 'C': 1.0, 'L': 0.85}


def text_segments(text, x, y, size, spacing=0.28):
    """Segments of the text at (x, y) with capitals size pixels high; returns (segs, width)."""
    segs = []
    pen = x
    for ch in text:
        if ch == ' ':
            pen += size * 0.5
            continue
        w = GLYPH_WIDTH.get(ch, 0.9)
        sx = size * 0.72
        for ax, ay, bx, by in GLYPHS[ch]:
            segs.append((pen + ax * sx, y + ay * size, pen + bx * sx, y + by * size))
        pen += (w + spacing) * sx
    return segs, pen - x - spacing * size * 0.72


def draw_text(canvas, text, x, y, size, width, color, centre=False):
    segs, w = text_segments(text, 0, 0, size)
    dx = x - w / 2 if centre else x
    canvas.strokes([(a + dx, b + y, c + dx, d + y) for a, b, c, d in segs], width, color)


# --- file formats ----------------------------------------------------------------------

def bmp24(pixels):
    """A bottom-up 24-bit bitmap file."""
    h = len(pixels)
    w = len(pixels[0])
    stride = (w * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(pixels):
        line = bytearray()
        for r, g, b, _ in row:
            line += bytes((b, g, r))
        line += b'\0' * (stride - len(line))
        data += line
    header = struct.pack('<2sIHHI', b'BM', 14 + 40 + len(data), 0, 0, 54)
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return header + info + bytes(data)


def ico(images):
    """An icon file of 32-bit images (each a list of rows of RGBA) with their AND masks."""
    entries = bytearray()
    blobs = bytearray()
    offset = 6 + 16 * len(images)
    for pixels in images:
        n = len(pixels)
        xor = bytearray()
        for row in reversed(pixels):
            for r, g, b, a in row:
                xor += bytes((b, g, r, a))
        mask_stride = ((n + 31) // 32) * 4
        mask = bytearray()
        for row in reversed(pixels):
            bits = bytearray(mask_stride)
            for x, (_, _, _, a) in enumerate(row):
                if a == 0:
                    bits[x // 8] |= 0x80 >> (x % 8)
            mask += bits
        info = struct.pack('<IiiHHIIiiII', 40, n, n * 2, 1, 32, 0, len(xor) + len(mask), 0, 0,
                           0, 0)
        blob = info + xor + mask
        entries += struct.pack('<BBBBHHII', n, n, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
        blobs += blob
    return struct.pack('<HHH', 0, 1, len(images)) + bytes(entries) + bytes(blobs)


def checksum(data):
    """The sum of (byte XOR (position mod 256)), wrapping at 32 bits."""
    total = 0
    for p, b in enumerate(data):
        total = (total + (b ^ (p & 0xFF))) & 0xFFFFFFFF
    return total


def with_checksum(data):
    return bytes(data) + struct.pack('<I', checksum(data))


def scramble(data):
    return bytes(b ^ (p & 0xFF) for p, b in enumerate(data))


# --- the pictures ----------------------------------------------------------------------

NAVY = (24, 44, 92, 255)
IN_GREEN = (70, 220, 90, 255)
OUT_RED = (255, 96, 64, 255)
TRANS_GOLD = (255, 212, 40, 255)
DIM = (120, 140, 180, 255)


def tray_icon(size, incoming, outgoing, translating):
    c = Canvas(size, size)
    s = size / 16.0
    c.round_rect(0.5 * s, 0.5 * s, 15.5 * s, 15.5 * s, 3 * s, NAVY)
    # Incoming: an arrow into the left side; outgoing: an arrow out of the right side.
    c.polygon([(1.5 * s, 5 * s), (5.5 * s, 8 * s), (1.5 * s, 11 * s)],
              IN_GREEN if incoming else DIM)
    c.polygon([(10.5 * s, 5 * s), (14.5 * s, 8 * s), (10.5 * s, 11 * s)],
              OUT_RED if outgoing else DIM)
    c.circle(8 * s, 8 * s, 2.1 * s, TRANS_GOLD if translating else DIM)
    return c.downsample()


def lamp_strip():
    """Five 9 x 9 frames: dark, then bright fading through orange."""
    colours = [(70, 60, 45), (255, 240, 80), (255, 180, 30), (220, 120, 10), (150, 75, 10)]
    c = Canvas(45, 9, (212, 208, 200, 255))
    for i, col in enumerate(colours):
        c.circle(i * 9 + 4.5, 4.5, 4.1, (40, 40, 40, 255))
        c.circle(i * 9 + 4.5, 4.5, 3.3, col + (255,))
        if i:
            c.circle(i * 9 + 3.6, 3.5, 1.1, (255, 255, 230, 200))
    return c.downsample()


def keyboard(c, x0, y0, x1, y1):
    keys = 21
    kw = (x1 - x0) / keys
    c.rect(x0, y0, x1, y1, (250, 250, 250, 255))
    for k in range(1, keys):
        c.rect(x0 + k * kw - 0.5, y0, x0 + k * kw + 0.5, y1, (90, 90, 90, 255))
    for k in range(keys - 1):
        if k % 7 in (0, 1, 3, 4, 5):
            c.rect(x0 + (k + 1) * kw - kw * 0.3, y0, x0 + (k + 1) * kw + kw * 0.3,
                   y0 + (y1 - y0) * 0.6, (25, 25, 30, 255))


def splash_picture(about):
    w, h = 425, 197
    c = Canvas(w, h)
    top, bottom = ((18, 32, 74), (52, 86, 160)) if not about else ((30, 24, 70), (70, 60, 150))
    c.gradient(top, bottom)
    # Waves of events passing through.
    import math
    for k, col in enumerate([(90, 150, 255, 90), (120, 200, 255, 70), (255, 212, 40, 80)]):
        segs = []
        prev = None
        for x in range(0, w + 8, 8):
            y = 120 + 18 * math.sin(x / 40.0 + k * 1.3) + k * 6
            if prev:
                segs.append((prev[0], prev[1], x, y))
            prev = (x, y)
        c.strokes(segs, 3, col)
    keyboard(c, 20, 150, 190, 186)
    draw_text(c, "KORVANTA", 22, 28, 34, 5.0, (255, 255, 255, 255))
    return c.downsample()


def publicity_picture(name, accent):
    w, h = 300, 50
    c = Canvas(w, h)
    c.gradient((245, 247, 252), (210, 220, 238))
    c.round_rect(6, 6, 44, 44, 6, accent + (255,))
    c.circle(25, 25, 9, (255, 255, 255, 230))
    c.circle(25, 25, 4.5, accent + (255,))
    draw_text(c, name, 58, 14, 22, 3.2, (30, 44, 90, 255))
    c.rect(58, 43, 290, 44, accent + (255,))
    return c.downsample()


# --- the other programs ----------------------------------------------------------------

PROGRAM_TITLE = "Zarn's Korvanta Pro"

ENTRIES = [
    # name, link, description number, picture number, picture name, accent, description
    # (the window wraps each description line as a paragraph)
    (PROGRAM_TITLE, "https://www.zarn.example/korvanta", 1, 1, "KORVANTA", (40, 80, 170),
     ["The program you are using.", "-",
      "Translates MIDI, keystrokes and timers into actions in real time."]),
    ("hubsetup", "https://www.zarn.example/korvanta/hubsetup", 2, 2, "HUBSETUP",
     (30, 130, 80),
     ["hubsetup", "-",
      "hubsetup installs the virtual MIDI bus driver on this machine, or removes it. "
      "Run it once from an administrator's command prompt before you create virtual "
      "MIDI ports in Korvanta."]),
    ("certprep", "https://www.zarn.example/korvanta/certprep", 3, 3, "CERTPREP",
     (170, 90, 20),
     ["certprep", "-",
      "certprep adds the publisher certificate of the bus driver to the machine's "
      "trusted publishers, so the driver installs without questions."]),
    ("vmplib", "https://www.zarn.example/korvanta/vmplib", 4, 4, "VMPLIB", (130, 40, 150),
     ["vmplib", "-",
      "vmplib is the small library that creates, lists, connects and removes virtual "
      "MIDI ports, and passes short and SysEx messages through them.",
      "Other programs can link it to offer virtual ports of their own."]),
]


def index_text():
    lines = ["// Other programs: name, link, description number, picture number", ""]
    for name, link, descr, pic, *_ in ENTRIES:
        lines += [name, link, str(descr), str(pic), ""]
    return "\r\n".join(lines).encode("ascii")


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)

    def write(name, data):
        path = os.path.join(out, name)
        try:
            with open(path, "rb") as f:
                if f.read() == data:
                    return
        except OSError:
            pass
        with open(path, "wb") as f:
            f.write(data)

    rc = ["// Generated by scripts/make_shell_resources.py; do not edit.", ""]
    # The program's icon is drawn by make_icon.py.
    rc.append('1 ICON "korvanta.ico"')
    names = ["TRAY_NONE", "TRAY_IN", "TRAY_OUT", "TRAY_IN_OUT", "TRAY_NONE_TRANS",
             "TRAY_IN_TRANS", "TRAY_OUT_TRANS", "TRAY_IN_OUT_TRANS"]
    for i, name in enumerate(names):
        fn = name.lower() + ".ico"
        write(fn, ico([tray_icon(16, i & 1, i & 2, i & 4), tray_icon(32, i & 1, i & 2, i & 4)]))
        rc.append('%s ICON "%s"' % (name, fn))
    write("lamps.bmp", bmp24(lamp_strip()))
    rc.append('LAMPS BITMAP "lamps.bmp"')
    write("splash.bmp", bmp24(splash_picture(False)))
    rc.append('SPLASH BITMAP "splash.bmp"')
    write("about.bmp", bmp24(splash_picture(True)))
    rc.append('ABOUT BITMAP "about.bmp"')

    write("index.bin", with_checksum(scramble(index_text())))
    rc.append('INDEX PUBLICITY "index.bin"')
    for name, link, descr, pic, picname, accent, text in ENTRIES:
        write("descr%d.txt" % descr, ("\r\n".join(text) + "\r\n").encode("ascii"))
        rc.append('DESCR%d PUBLICITY "descr%d.txt"' % (descr, descr))
        write("picture%d.bin" % pic, with_checksum(bmp24(publicity_picture(picname, accent))))
        rc.append('%d PUBLICITY "picture%d.bin"' % (pic, pic))
    write("shell_resources.rc", ("\n".join(rc) + "\n").encode("ascii"))


if __name__ == "__main__":
    main()
