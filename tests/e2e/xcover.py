#!/usr/bin/env python3
"""Covers part of the screen with a window of its own, uncovers it, and measures how long the
windows below take to paint that part again.

    xcover.py X Y WIDTH HEIGHT [LIMIT_S]

Shows a magenta window over the rectangle (root coordinates) for half a second, destroys it and
reads the rectangle every 5 ms until every pixel is as before. Prints the milliseconds from the
destruction to then; exit 1 when that takes over LIMIT_S seconds (default 5): a program that
does not paint leaves the magenta.
"""

import ctypes
import ctypes.util
import sys
import time

P, I, U, L = ctypes.c_void_p, ctypes.c_int, ctypes.c_uint, ctypes.c_ulong


class XImage(ctypes.Structure):  # the leading fields of Xlib's XImage
    _fields_ = [("w", I), ("h", I), ("xoffset", I), ("format", I), ("data", P)] + [
        (n, I) for n in ("order", "unit", "bit_order", "pad", "depth", "bytes_per_line")]


def main(argv):
    x0, y0, w, h = (int(a) for a in argv[1:5])
    limit = float(argv[5]) if len(argv) > 5 else 5.0
    x = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
    for name, res, args in [("XOpenDisplay", P, [ctypes.c_char_p]), ("XDefaultRootWindow", L, [P]),
                            ("XSync", I, [P, I]), ("XMapRaised", I, [P, L]),
                            ("XDestroyWindow", I, [P, L]),
                            ("XCreateSimpleWindow", L, [P, L, I, I, U, U, U, L, L]),
                            ("XGetImage", ctypes.POINTER(XImage), [P, L, I, I, U, U, L, I]),
                            ("XDestroyImage", I, [ctypes.POINTER(XImage)])]:
        getattr(x, name).restype, getattr(x, name).argtypes = res, args
    display = x.XOpenDisplay(None)
    if not display:
        sys.exit("xcover: cannot open the display")
    root = x.XDefaultRootWindow(display)

    def pixels():
        image = x.XGetImage(display, root, x0, y0, w, h, 0xFFFFFFFF, 2)  # ZPixmap
        data = ctypes.string_at(image.contents.data, image.contents.bytes_per_line * h)
        x.XDestroyImage(image)
        return data

    before = pixels()
    cover = x.XCreateSimpleWindow(display, root, x0, y0, w, h, 0, 0, 0xFF00FF)
    x.XMapRaised(display, cover)
    x.XSync(display, 0)
    time.sleep(0.5)
    if pixels() == before:
        sys.exit("xcover: the covering window did not change the pixels")
    x.XDestroyWindow(display, cover)
    x.XSync(display, 0)
    uncovered = time.monotonic()
    while pixels() != before:
        if time.monotonic() - uncovered > limit:
            sys.exit(f"xcover: not painted again within {limit} s")
        time.sleep(0.005)
    print(round((time.monotonic() - uncovered) * 1000))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
