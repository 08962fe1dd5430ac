#!/usr/bin/env python3
"""Covers part of the screen with a window of its own, uncovers it, and measures how long the
windows below take to paint that part again.

    xcover.py X Y WIDTH HEIGHT [LIMIT_S]

Takes the pixels of the rectangle (root coordinates), shows a magenta window over it for half a
second, destroys that window and reads the rectangle every 5 ms until every pixel is as before.
Prints the milliseconds from the destruction to then. Exit 1 when the part is not painted again
within LIMIT_S seconds (default 5): a window whose program does not paint keeps the magenta.
"""

import ctypes
import ctypes.util
import sys
import time


class XImage(ctypes.Structure):  # the leading fields of Xlib's XImage
    _fields_ = [(n, ctypes.c_int) for n in ("width", "height", "xoffset", "format")] + [
        ("data", ctypes.c_void_p)] + [(n, ctypes.c_int) for n in (
            "byte_order", "bitmap_unit", "bitmap_bit_order", "bitmap_pad", "depth",
            "bytes_per_line")]


def main(argv):
    x0, y0, w, h = (int(a) for a in argv[1:5])
    limit = float(argv[5]) if len(argv) > 5 else 5.0
    x = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
    x.XOpenDisplay.restype = ctypes.c_void_p
    x.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x.XDefaultRootWindow.argtypes = x.XCloseDisplay.argtypes = [ctypes.c_void_p]
    x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
    x.XMapRaised.argtypes = x.XDestroyWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
    x.XDefaultRootWindow.restype = ctypes.c_ulong
    x.XCreateSimpleWindow.restype = ctypes.c_ulong
    x.XCreateSimpleWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong] + [ctypes.c_int] * 2 + [
        ctypes.c_uint] * 3 + [ctypes.c_ulong] * 2
    x.XGetImage.restype = ctypes.POINTER(XImage)
    x.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong] + [ctypes.c_int] * 2 + [
        ctypes.c_uint] * 2 + [ctypes.c_ulong, ctypes.c_int]
    x.XDestroyImage.argtypes = [ctypes.POINTER(XImage)]

    display = x.XOpenDisplay(None)
    if not display:
        print("xcover: cannot open the display", file=sys.stderr)
        return 1
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
        print("xcover: the covering window did not change the pixels", file=sys.stderr)
        return 1
    x.XDestroyWindow(display, cover)
    x.XSync(display, 0)
    uncovered = time.monotonic()
    while pixels() != before:
        if time.monotonic() - uncovered > limit:
            print(f"xcover: not painted again within {limit} s", file=sys.stderr)
            return 1
        time.sleep(0.005)
    print(round((time.monotonic() - uncovered) * 1000))
    x.XCloseDisplay(display)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
