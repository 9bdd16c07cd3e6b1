"""Checks the files written by tools/gen_images.py and tools/gen_sound.py:
their formats as the program loads them, the transparency key of the
magenta-keyed bitmaps, and that every run writes the same bytes.

Run: python3 -m unittest discover -s tests/tools
"""

import os
import struct
import subprocess
import sys
import tempfile
import unittest
import wave
import zlib

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
GEN_IMAGES = os.path.join(ROOT, "tools", "gen_images.py")
GEN_SOUND = os.path.join(ROOT, "tools", "gen_sound.py")

IMAGE_FILES = {"toolbar_normal.bmp", "toolbar_hot.bmp", "status_images.bmp",
               "halvorsight.ico", "blink.ico", "about.ico",
               "background.bmp", "empty_background.bmp",
               "status_images_24.bmp", "status_images_32.bmp",
               "toolbar_normal_150.bmp", "toolbar_hot_150.bmp",
               "toolbar_normal_200.bmp", "toolbar_hot_200.bmp"}
MAGENTA = (255, 0, 255)


def run(script, target):
    return subprocess.run([sys.executable, script, target],
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=60)


class Bitmap:
    """A minimal reader of the bitmap files, as strict as the program's loaders."""

    def __init__(self, data):
        self.data = data
        magic, self.file_size, _, _, self.offset = struct.unpack_from("<2sIHHI", data, 0)
        assert magic == b"BM"
        (self.info_size, self.width, self.height, self.planes, self.bpp, self.compression,
         _, _, _, self.colours_used, _) = struct.unpack_from("<IiiHHIIiiII", data, 14)
        self.stride = ((self.width * self.bpp + 31) // 32) * 4
        count = self.colours_used or (1 << self.bpp if self.bpp <= 8 else 0)
        self.palette = [struct.unpack_from("<BBB", data, 54 + 4 * i)[::-1] for i in range(count)]

    def row(self, y):
        """Top-down row y as raw bytes."""
        start = self.offset + (self.height - 1 - y) * self.stride
        return self.data[start:start + self.stride]

    def rgb(self, x, y):
        row = self.row(y)
        if self.bpp == 24:
            b, g, r = row[3 * x:3 * x + 3]
            return (r, g, b)
        if self.bpp == 16:
            v = row[2 * x] | (row[2 * x + 1] << 8)
            return tuple(((v >> s) & 31) * 255 // 31 for s in (10, 5, 0))
        if self.bpp == 4:
            byte = row[x >> 1]
            return self.palette[byte >> 4 if x % 2 == 0 else byte & 15]
        raise AssertionError("unexpected depth %d" % self.bpp)


def read_ico(data):
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    assert (reserved, kind) == (0, 1)
    entries = []
    for i in range(count):
        w, h, colours, _, planes, bpp, size, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        entries.append(dict(w=w or 256, h=h or 256, colours=colours, bpp=bpp,
                            blob=data[offset:offset + size], size=size, offset=offset))
    return entries


def read_png(data):
    """Rows of (r, g, b, a) of an 8-bit RGBA PNG without filtering, the
    only kind the generator writes; checks every chunk's CRC."""
    assert data[:8] == b"\x89PNG\r\n\x1a\n"
    pos, idat, header = 8, b"", None
    while pos < len(data):
        length, kind = struct.unpack_from(">I4s", data, pos)
        body = data[pos + 8:pos + 8 + length]
        crc, = struct.unpack_from(">I", data, pos + 8 + length)
        assert crc == zlib.crc32(kind + body) & 0xFFFFFFFF, kind
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    w, h, depth, colour_type, _, _, interlace = header
    assert (depth, colour_type, interlace) == (8, 6, 0), header
    raw = zlib.decompress(idat)
    assert len(raw) == h * (1 + 4 * w)
    rows = []
    for y in range(h):
        line = raw[y * (1 + 4 * w):(y + 1) * (1 + 4 * w)]
        assert line[0] == 0
        rows.append([tuple(line[1 + 4 * x:5 + 4 * x]) for x in range(w)])
    return rows


class GeneratedImages(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.out = os.path.join(cls.tmp.name, "images")
        result = run(GEN_IMAGES, cls.out)
        assert result.returncode == 0, result.stderr.decode()

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def read(self, name):
        with open(os.path.join(self.out, name), "rb") as f:
            return f.read()

    def bitmap(self, name, width, height, bpp, palette_entries=0):
        data = self.read(name)
        bmp = Bitmap(data)
        self.assertEqual((bmp.width, bmp.height, bmp.bpp, bmp.planes), (width, height, bpp, 1), name)
        self.assertEqual(bmp.info_size, 40, name)
        self.assertEqual(bmp.compression, 0, name)
        self.assertEqual(bmp.file_size, len(data), name)
        # The program's file loader ignores the offset field and finds the
        # bits right behind the colour table: both must agree.
        self.assertEqual(bmp.offset, 54 + 4 * palette_entries, name)
        self.assertEqual(len(data) - bmp.offset, bmp.stride * height, name)
        return bmp

    def test_writes_exactly_the_image_files(self):
        self.assertEqual(set(os.listdir(self.out)), IMAGE_FILES)

    def test_same_bytes_on_every_run(self):
        with tempfile.TemporaryDirectory() as other:
            self.assertEqual(run(GEN_IMAGES, other).returncode, 0)
            for name in sorted(IMAGE_FILES):
                with open(os.path.join(other, name), "rb") as f:
                    self.assertEqual(f.read(), self.read(name), name)

    def test_larger_pictures_hold_their_cells_of_the_scaled_size(self):
        # The program cuts these strips into cells of the scaled size.
        for name, cell_w, cell_h in (("toolbar_normal_150.bmp", 68, 81), ("toolbar_hot_200.bmp", 90, 108),
                                     ("status_images_24.bmp", 24, 24), ("status_images_32.bmp", 32, 32)):
            bmp = Bitmap(self.read(name))
            self.assertGreaterEqual(bmp.width, 4 * cell_w, name)  # the toolbar's hold five
            self.assertEqual(bmp.height, cell_h, name)
            # Every cell holds a picture, not only the key colour.
            for i in range(4):
                self.assertTrue(any(bmp.rgb(i * cell_w + x, cell_h // 2) != MAGENTA for x in range(cell_w)),
                                (name, i))

    def test_toolbar_strips_key_only_the_empty_area(self):
        normal = self.bitmap("toolbar_normal.bmp", 687, 60, 24)
        hot = self.bitmap("toolbar_hot.bmp", 687, 60, 24)
        for bmp in (normal, hot):
            for y in range(60):
                for x in range(687):
                    c = bmp.rgb(x, y)
                    if x >= 5 * 45 or y >= 54:
                        # Unused cells and the rows below the 54-pixel images.
                        self.assertEqual(c, MAGENTA, (x, y))
                    elif c != MAGENTA:
                        # Anti-aliased edges must not blend towards the key:
                        # such pink pixels would show as a fringe.
                        r, g, b = c
                        self.assertFalse(r > g + 60 and b > g + 60, (x, y, c))
        # The hot images cover exactly the same pixels.
        for y in range(54):
            for x in range(5 * 45):
                self.assertEqual(normal.rgb(x, y) == MAGENTA, hot.rgb(x, y) == MAGENTA, (x, y))

    def test_toolbar_pictures_are_centred_in_their_cells(self):
        normal = self.bitmap("toolbar_normal.bmp", 687, 60, 24)
        hot = self.bitmap("toolbar_hot.bmp", 687, 60, 24)
        for i in range(5):
            xs, ys, total, brighter = [], [], 0, 0
            for y in range(54):
                for x in range(45 * i, 45 * i + 45):
                    c = normal.rgb(x, y)
                    if c != MAGENTA:
                        xs.append(x - 45 * i)
                        ys.append(y)
                        total += 1
                        brighter += sum(hot.rgb(x, y)) >= sum(c)
            self.assertGreater(total, 500, i)
            w, h = max(xs) - min(xs) + 1, max(ys) - min(ys) + 1
            self.assertTrue(28 <= w <= 42 and 28 <= h <= 42, (i, w, h))
            self.assertLessEqual(abs((min(xs) + max(xs)) / 2 - 22), 3, i)
            self.assertLessEqual(abs((min(ys) + max(ys)) / 2 - 26.5), 4, i)
            self.assertGreater(brighter, 0.9 * total, i)

    def test_status_pages(self):
        bmp = self.bitmap("status_images.bmp", 65, 16, 24)
        for y in range(16):
            self.assertEqual(bmp.rgb(64, y), MAGENTA)
        fills = []
        for i in range(4):
            cell = [[bmp.rgb(16 * i + x, y) for x in range(16)] for y in range(16)]
            self.assertEqual(cell[0][0], MAGENTA)
            self.assertEqual(cell[0][15], MAGENTA)      # the folded corner is cut away
            self.assertEqual(cell[15][2], (0, 0, 0))    # outline
            self.assertEqual(cell[15][13], (0, 0, 0))
            fills.append(cell[7][7])
        white, yellow, red, green = fills
        self.assertTrue(min(white) > 230)
        self.assertTrue(yellow[0] > 200 and yellow[1] > 180 and yellow[2] < 120)
        self.assertTrue(red[0] > 180 and red[1] < 110 and red[2] < 110)
        self.assertTrue(green[1] > 150 and green[0] < 120 and green[2] < 130)

    def check_icon(self, name, flat_sizes, smooth_sizes):
        """4-bit images of flat_sizes and 32-bit images of smooth_sizes; the
        256-pixel one PNG-compressed. Returns the opaque colours of each
        32-bit image by size."""
        entries = read_ico(self.read(name))
        self.assertEqual(sorted((e["w"], e["bpp"]) for e in entries),
                         sorted([(s, 4) for s in flat_sizes] + [(s, 32) for s in smooth_sizes]), name)
        images = {}
        for e in entries:
            w, h, bpp, blob = e["w"], e["h"], e["bpp"], e["blob"]
            self.assertEqual(len(blob), e["size"])
            if w == 256:
                pixels = read_png(blob)
                transparent = lambda x, y: pixels[y][x][3] < 128
                colours = [p[:3] for row in pixels for p in row if p[3] >= 128]
            else:
                transparent, colours = self.check_bitmap_image(name, e)
            opaque = sum(not transparent(x, y) for y in range(h) for x in range(w))
            self.assertGreater(opaque, w * h // 3, (name, w, bpp))
            self.assertTrue(transparent(w - 1, 0), (name, w, bpp))   # corner next to the fold
            if bpp == 32:
                images[w] = colours
        return images

    def check_bitmap_image(self, name, e):
        w, h, bpp, blob = e["w"], e["h"], e["bpp"], e["blob"]
        info = struct.unpack_from("<IiiHHI", blob, 0)
        self.assertEqual(info, (40, w, 2 * h, 1, bpp, 0), name)
        palette = 16 * 4 if bpp == 4 else 0
        xor_stride = ((w * bpp + 31) // 32) * 4
        and_stride = ((w + 31) // 32) * 4
        self.assertEqual(len(blob), 40 + palette + h * (xor_stride + and_stride), name)
        self.assertEqual(e["colours"], 16 if bpp == 4 else 0)
        xor = blob[40 + palette:40 + palette + h * xor_stride]
        mask = blob[40 + palette + h * xor_stride:]
        transparent = lambda x, y: bool(mask[(h - 1 - y) * and_stride + (x >> 3)] & (0x80 >> (x & 7)))
        colours = []
        if bpp == 32:
            for y in range(h):
                for x in range(w):
                    b, g, r, a = xor[(h - 1 - y) * xor_stride + 4 * x:][:4]
                    # The mask and the alpha channel tell the same story.
                    self.assertEqual(transparent(x, y), a < 128, (name, w, x, y))
                    if a >= 128:
                        colours.append((r, g, b))
        return transparent, colours

    def test_icons(self):
        program = self.check_icon("halvorsight.ico", (32, 16), (256, 48, 32, 24, 20, 16))
        blink = self.check_icon("blink.ico", (32, 16), (32, 24, 20, 16))
        self.check_icon("about.ico", (32,), (32,))

        def warmth(colours):   # yellow/orange against blue/white
            return sum(r + g - 2 * b for r, g, b in colours) / len(colours)
        # The blink image must stand out from the plain one at tray size.
        for size in (32, 24, 20, 16):
            self.assertGreater(warmth(blink[size]) - warmth(program[size]), 60, size)

    def test_background_is_light_and_tiles_smoothly(self):
        bmp = self.bitmap("background.bmp", 1500, 1000, 16)
        self.assertEqual(bmp.colours_used, 0)
        darkest = 255
        for y in range(0, 1000, 3):
            for x in range(0, 1500, 3):
                r, g, b = bmp.rgb(x, y)
                darkest = min(darkest, 0.299 * r + 0.587 * g + 0.114 * b)
        self.assertGreater(darkest, 200)   # black text stays readable on it

        def lum(c):
            return sum(c) / 3.0
        # Tiles meet without a visible step: opposite edges match.
        for y in range(0, 1000, 7):
            self.assertLess(abs(lum(bmp.rgb(0, y)) - lum(bmp.rgb(1499, y))), 12, y)
        for x in range(0, 1500, 7):
            self.assertLess(abs(lum(bmp.rgb(x, 0)) - lum(bmp.rgb(x, 999))), 12, x)

    def test_empty_background_is_all_white(self):
        bmp = self.bitmap("empty_background.bmp", 48, 48, 4, palette_entries=16)
        self.assertEqual(len(bmp.palette), 16)
        for y in range(48):
            for x in range(48):
                self.assertEqual(bmp.rgb(x, y), (255, 255, 255), (x, y))


class GeneratedSound(unittest.TestCase):
    def test_chime(self):
        with tempfile.TemporaryDirectory() as tmp:
            path = os.path.join(tmp, "Halvorsight.sound")
            self.assertEqual(run(GEN_SOUND, path).returncode, 0)
            self.assertEqual(os.listdir(tmp), ["Halvorsight.sound"])
            with open(path, "rb") as f:
                first = f.read()
            self.assertEqual(run(GEN_SOUND, path).returncode, 0)
            with open(path, "rb") as f:
                self.assertEqual(f.read(), first)
            with wave.open(path, "rb") as w:
                self.assertEqual((w.getnchannels(), w.getsampwidth(), w.getcomptype()), (1, 2, "NONE"))
                self.assertIn(w.getframerate(), (22050, 44100))
                n = w.getnframes()
                duration = n / w.getframerate()
                samples = struct.unpack("<%dh" % n, w.readframes(n))
        self.assertTrue(0.6 <= duration <= 1.0, duration)
        peak = max(abs(s) for s in samples)
        self.assertLess(peak, 32000)          # headroom: never clips
        self.assertGreater(peak, 12000)       # but clearly audible
        # Starts and ends in silence, so playback does not click.
        self.assertLess(abs(samples[0]), 200)
        self.assertLess(max(abs(s) for s in samples[-50:]), 200)
        self.assertLess(abs(sum(samples) / n), 200)   # no DC offset


class CommandLine(unittest.TestCase):
    def test_missing_argument_is_refused_without_writing(self):
        with tempfile.TemporaryDirectory() as tmp:
            for script in (GEN_IMAGES, GEN_SOUND):
                result = subprocess.run([sys.executable, script], cwd=tmp,
                                        stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=60)
                self.assertEqual(result.returncode, 2)
                self.assertIn(b"usage", result.stderr)
            self.assertEqual(os.listdir(tmp), [])


if __name__ == "__main__":
    unittest.main()
