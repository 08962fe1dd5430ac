#!/usr/bin/env python3
"""Fingerprints of three areas of a screenshot of the main window, for end-to-end tests.

Usage: window_regions.py SHOT.ppm [CLIENT_TOP]

SHOT is a binary PPM (P6, 8 bits) of the main window alone, as
`import -window ID -depth 8 ppm:SHOT` makes it. Prints the first row of the client area and one
line per area, "name<TAB>sha256 of its pixels":

  top         the first row of the client area in the screenshot (CLIENT_TOP when given)

  banner      the top of the banner picture (client x 0-779, y 0-99)
  background  the part of the background picture that no control covers (client x 330-779,
              y 150-499)
  notice      the first 600 pixels of the notice line (client x 112-711, y 112-131)

The client area starts below the menu bar, whose height depends on the fonts. Unless it is
given, it is found from the notice line: a black strip 20 pixels high from client x 112 to the
window's right edge, mostly black even where text is written on it, with rows of the window's
light background above and below it.
"""

import hashlib
import sys


def read_ppm(path):
    with open(path, "rb") as f:
        data = f.read()
    fields = []
    pos = 0
    while len(fields) < 4:
        while data[pos : pos + 1].isspace():
            pos += 1
        if data[pos : pos + 1] == b"#":
            pos = data.index(b"\n", pos) + 1
            continue
        end = pos
        while not data[end : end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    pos += 1
    if fields[0] != b"P6" or fields[3] != b"255":
        raise SystemExit("not an 8-bit binary PPM: %s" % path)
    width, height = int(fields[1]), int(fields[2])
    return width, height, data[pos : pos + width * height * 3]


def main():
    width, height, pixels = read_ppm(sys.argv[1])

    def dark_fraction(y, x0, x1):
        row = pixels[(y * width + x0) * 3 : (y * width + x1) * 3]
        dark = sum(1 for i in range(0, len(row), 3) if max(row[i], row[i + 1], row[i + 2]) < 48)
        return dark / (x1 - x0)

    if len(sys.argv) > 2:
        top = int(sys.argv[2])
    else:
        # The notice strip: rows mostly black from client x 112 to the right edge.
        dark_rows = [y for y in range(height) if dark_fraction(y, 112, width) >= 0.5]
        runs = []
        for y in dark_rows:
            if runs and runs[-1][1] == y - 1:
                runs[-1][1] = y
            else:
                runs.append([y, y])
        strips = [r for r in runs if 18 <= r[1] - r[0] + 1 <= 22]
        if not strips:
            raise SystemExit("no notice line in %s (dark runs: %s)" % (sys.argv[1], runs[:10]))
        top = strips[0][0] - 112
    print("top\t%d" % top)

    areas = {
        "banner": (0, 0, 780, 100),
        "background": (330, 150, 450, 350),
        "notice": (112, 112, 600, 20),
    }
    for name, (x, y, w, h) in areas.items():
        if top + y + h > height or x + w > width:
            raise SystemExit("the window is too small for the %s area" % name)
        digest = hashlib.sha256()
        for row in range(top + y, top + y + h):
            start = (row * width + x) * 3
            digest.update(pixels[start : start + w * 3])
        print("%s\t%s" % (name, digest.hexdigest()))


if __name__ == "__main__":
    main()
