#!/usr/bin/env python3
"""Remakes Brickvane's sounds, icon, cursor and pictures in this folder.

Standard library only, and deterministic: running it again gives the same bytes.
Usage: python3 make_assets.py [output folder]
"""
import math
import os
import struct
import sys
import wave
import zlib

RATE = 22050


# ---------------------------------------------------------------- sounds

def tone(freq, ms, volume=0.5, shape="sine", attack=5, release=40):
    count = int(RATE * ms / 1000)
    out, phase = [], 0.0
    for i in range(count):
        t = i / RATE
        f = freq(t) if callable(freq) else freq
        phase = (phase + f / RATE) % 1.0
        if shape == "square":
            v = 1.0 if phase < 0.5 else -1.0
        elif shape == "triangle":
            v = 4 * abs(phase - 0.5) - 1
        else:
            v = math.sin(2 * math.pi * phase)
        env = min(1.0, i / (RATE * attack / 1000), (count - i) / (RATE * release / 1000))
        out.append(v * volume * env)
    return out


def noise(ms, volume, seed):
    count = int(RATE * ms / 1000)
    state, out = seed, []
    for i in range(count):
        state = (state * 1103515245 + 12345) & 0x7FFFFFFF
        decay = math.exp(-8.0 * i / count)
        out.append(((state / 0x3FFFFFFF) - 1.0) * volume * decay)
    return out


def mix(a, b):
    n = max(len(a), len(b))
    a = a + [0.0] * (n - len(a))
    b = b + [0.0] * (n - len(b))
    return [x + y for x, y in zip(a, b)]


def write_wave(path, samples):
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        frames = b"".join(
            struct.pack("<h", int(max(-1.0, min(1.0, s)) * 32000)) for s in samples)
        w.writeframes(frames)


def make_sounds(folder):
    # Level up: a bright rising arpeggio.
    notes = [523.25, 659.25, 783.99, 1046.5]
    up = []
    for f in notes:
        up += tone(f, 90, 0.45, "square", release=30)
    write_wave(os.path.join(folder, "upgrade.wav"), up)

    # Landing: a short low thud.
    thud = mix(tone(lambda t: 140 - 200 * t, 160, 0.8, "sine", attack=2, release=120),
               noise(60, 0.25, 7))
    write_wave(os.path.join(folder, "Down.wav"), thud)

    # Rows removed: a quick upward sweep.
    sweep = tone(lambda t: 400 + 4000 * t, 300, 0.4, "triangle", release=80)
    write_wave(os.path.join(folder, "Killline.wav"), sweep)

    # Game over: a falling, wavering tone.
    fall = tone(lambda t: (440 - 300 * t) * (1 + 0.03 * math.sin(2 * math.pi * 7 * t)),
                700, 0.5, "square", release=250)
    write_wave(os.path.join(folder, "Die.wav"), fall)


# ---------------------------------------------------------------- drawing

class Canvas:
    def __init__(self, w, h, fill=(0, 0, 0, 0)):
        self.w, self.h = w, h
        self.px = [fill] * (w * h)

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y * self.w + x] = c

    def rect(self, x, y, w, h, c):
        for yy in range(y, y + h):
            for xx in range(x, x + w):
                self.set(xx, yy, c)

    def brick(self, x, y, size, rgb):
        """A block with a light upper-left and dark lower-right edge."""
        r, g, b = rgb
        light = (min(255, r + 90), min(255, g + 90), min(255, b + 90), 255)
        dark = (r * 5 // 10, g * 5 // 10, b * 5 // 10, 255)
        self.rect(x, y, size, size, (r, g, b, 255))
        self.rect(x, y, size, 1, light)
        self.rect(x, y, 1, size, light)
        self.rect(x, y + size - 1, size, 1, dark)
        self.rect(x + size - 1, y, 1, size, dark)


RED, GREEN, BLUE = (220, 30, 30), (30, 190, 60), (40, 70, 220)
YELLOW, CYAN, MAGENTA = (230, 210, 20), (20, 200, 210), (200, 40, 200)


def draw_blocks(c, cell, ox, oy, cells):
    for (col, row, rgb) in cells:
        c.brick(ox + col * cell, oy + row * cell, cell, rgb)


ICON_CELLS = [
    (1, 0, MAGENTA), (0, 1, MAGENTA), (1, 1, MAGENTA), (2, 1, MAGENTA),
    (0, 2, CYAN), (1, 2, YELLOW), (2, 2, YELLOW), (3, 2, RED),
    (0, 3, CYAN), (1, 3, BLUE), (2, 3, YELLOW), (3, 3, RED),
]


def icon_canvas(size):
    c = Canvas(size, size)
    cell = size // 4
    draw_blocks(c, cell, 0, 0, ICON_CELLS)
    return c


HAND = [
    "      ##          ",
    "     #WW#         ",
    "     #WW#         ",
    "     #WW#         ",
    "     #WW###       ",
    "     #WW#WW###    ",
    "     #WW#WW#WW##  ",
    "  ## #WW#WW#WW#W# ",
    " #WW##WWWWWWWW#W# ",
    " #WWW#WWWWWWWWWW# ",
    "  #WW#WWWWWWWWWW# ",
    "  #WWWWWWWWWWWWW# ",
    "   #WWWWWWWWWWWW# ",
    "   #WWWWWWWWWWW#  ",
    "    #WWWWWWWWWW#  ",
    "    #WWWWWWWWW#   ",
    "     #WWWWWWWW#   ",
    "     #WWWWWWWW#   ",
    "     ##########   ",
]
HAND_HOTSPOT = (6, 0)


def hand_canvas():
    c = Canvas(32, 32)
    colours = {"#": (0, 0, 0, 255), "W": (255, 255, 255, 255)}
    for y, line in enumerate(HAND):
        for x, ch in enumerate(line):
            if ch in colours:
                c.set(x, y, colours[ch])
    return c


def picture_canvas():
    """The welcome picture beside the board: a small well of landed blocks."""
    w, h = 121, 93
    c = Canvas(w, h)
    for y in range(h):
        shade = 40 + (y * 60) // h
        c.rect(0, y, w, 1, (shade // 3, shade // 2, shade + 40, 255))
    c.rect(8, 8, 60, 80, (10, 10, 30, 255))
    cell = 10
    well = [
        (0, 7, BLUE), (1, 7, BLUE), (2, 7, RED), (3, 7, RED), (4, 7, GREEN),
        (0, 6, CYAN), (2, 6, RED), (4, 6, GREEN), (5, 7, GREEN),
        (0, 5, CYAN), (1, 5, YELLOW), (5, 6, MAGENTA), (5, 5, MAGENTA), (4, 5, MAGENTA),
        (2, 1, YELLOW), (3, 1, YELLOW), (2, 2, YELLOW), (3, 2, YELLOW),
    ]
    draw_blocks(c, cell, 8, 8, well)
    # The next piece, floating to the right.
    draw_blocks(c, 9, 78, 16, [(1, 0, RED), (0, 1, RED), (1, 1, RED), (2, 1, RED)])
    draw_blocks(c, 9, 82, 52, [(0, 0, CYAN), (0, 1, CYAN), (0, 2, CYAN), (0, 3, CYAN)])
    return c


# ---------------------------------------------------------------- file formats

def bmp_for_icon(c):
    """The DIB of an ICO/CUR entry: 32-bit BGRA bottom-up, then the AND mask."""
    header = struct.pack("<IiiHHIIiiII", 40, c.w, c.h * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = bytearray()
    for y in range(c.h - 1, -1, -1):
        for x in range(c.w):
            r, g, b, a = c.px[y * c.w + x]
            xor += bytes((b, g, r, a))
    row_bytes = ((c.w + 31) // 32) * 4
    mask = bytearray()
    for y in range(c.h - 1, -1, -1):
        row = bytearray(row_bytes)
        for x in range(c.w):
            if c.px[y * c.w + x][3] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    return header + bytes(xor) + bytes(mask)


def icon_file(canvases, kind=1, hotspots=None):
    """ICO (kind 1) or CUR (kind 2); a cursor keeps its hot spot where an
    icon keeps planes and bit count."""
    images = [bmp_for_icon(c) for c in canvases]
    out = struct.pack("<HHH", 0, kind, len(images))
    offset = 6 + 16 * len(images)
    for i, (c, data) in enumerate(zip(canvases, images)):
        if kind == 2:
            a, b = hotspots[i]
        else:
            a, b = 1, 32
        out += struct.pack("<BBBBHHII", c.w % 256, c.h % 256, 0, 0, a, b, len(data), offset)
        offset += len(data)
    return out + b"".join(images)


def png_file(c):
    raw = b"".join(b"\x00" + b"".join(bytes(p) for p in c.px[y * c.w:(y + 1) * c.w])
                   for y in range(c.h))

    def chunk(tag, data):
        body = tag + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", c.w, c.h, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def gif_file(c):
    """An 8-bit GIF. The LZW stream sends only literal codes and clears the
    table before it would widen past 9 bits: larger, but trivially right."""
    palette = sorted(set(p[:3] for p in c.px))
    if len(palette) > 256:
        raise ValueError("too many colours for a GIF")
    index = {rgb: i for i, rgb in enumerate(palette)}
    table = b"".join(bytes(rgb) for rgb in palette) + b"\x00" * 3 * (256 - len(palette))

    clear, end = 256, 257
    codes, since_clear = [clear], 0
    for p in c.px:
        if since_clear == 250:
            codes.append(clear)
            since_clear = 0
        codes.append(index[p[:3]])
        since_clear += 1
    codes.append(end)
    bits, nbits, stream = 0, 0, bytearray()
    for code in codes:
        bits |= code << nbits
        nbits += 9
        while nbits >= 8:
            stream.append(bits & 0xFF)
            bits >>= 8
            nbits -= 8
    if nbits:
        stream.append(bits & 0xFF)
    blocks = b"".join(bytes((len(stream[i:i + 255]),)) + bytes(stream[i:i + 255])
                      for i in range(0, len(stream), 255))

    return (b"GIF89a" + struct.pack("<HHBBB", c.w, c.h, 0xF7, 0, 0) + table
            + b"," + struct.pack("<HHHHB", 0, 0, c.w, c.h, 0) + b"\x08" + blocks + b"\x00;")


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    make_sounds(folder)
    with open(os.path.join(folder, "Me.ico"), "wb") as f:
        f.write(icon_file([icon_canvas(32), icon_canvas(16)]))
    with open(os.path.join(folder, "point.cur"), "wb") as f:
        f.write(icon_file([hand_canvas()], kind=2, hotspots=[HAND_HOTSPOT]))
    with open(os.path.join(folder, "Picture3.gif"), "wb") as f:
        f.write(gif_file(picture_canvas()))
    with open(os.path.join(folder, "Brickvane.png"), "wb") as f:
        f.write(png_file(icon_canvas(64)))


if __name__ == "__main__":
    main()
