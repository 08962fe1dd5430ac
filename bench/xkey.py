#!/usr/bin/env python3
"""Presses one key combination through the XTEST extension, like a real keyboard, and prints the
moment of the press.

    xkey.py KEYS [--linger SECONDS]

KEYS is a key name or modifiers and a key joined by "+" ("F1", "ctrl+F2"), as xdotool names
them. The keys go to whichever window has the keyboard focus. Printed on standard output: the
CLOCK_MONOTONIC time in nanoseconds taken right before the last key's press was sent to the X
server (CLOCK_MONOTONIC_RAW when XKEY_CLOCK=raw: the clock of Windows programs under Wine). Exit 0 when the keys were sent; 1 when the display or a key cannot be found.

With --linger, standard output is closed once the time is printed (a caller reading it goes on
at once) and the process stays for SECONDS before it ends, so that the teardown of an
interpreter does not compete for the processor with what the key press sets off.
"""

import ctypes
import ctypes.util
import os
import sys
import time

MODIFIERS = {
    "ctrl": "Control_L",
    "control": "Control_L",
    "shift": "Shift_L",
    "alt": "Alt_L",
    "super": "Super_L",
}


def load(name):
    path = ctypes.util.find_library(name)
    if not path:
        raise OSError(f"lib{name} not found")
    return ctypes.CDLL(path)


def main(argv):
    linger = 0.0
    if len(argv) == 4 and argv[2] == "--linger":
        try:
            linger = float(argv[3])
        except ValueError:
            linger = -1.0
        argv = argv[:2]
    if len(argv) != 2 or not argv[1] or linger < 0:
        print("usage: xkey.py KEYS [--linger SECONDS]", file=sys.stderr)
        return 2
    try:
        x = load("X11")
        xtst = load("Xtst")
    except OSError as error:
        print(f"xkey: {error}", file=sys.stderr)
        return 1
    x.XOpenDisplay.restype = ctypes.c_void_p
    x.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x.XStringToKeysym.restype = ctypes.c_ulong
    x.XStringToKeysym.argtypes = [ctypes.c_char_p]
    x.XKeysymToKeycode.restype = ctypes.c_ubyte
    x.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
    x.XFlush.argtypes = [ctypes.c_void_p]
    x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
    x.XCloseDisplay.argtypes = [ctypes.c_void_p]
    xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]

    display = x.XOpenDisplay(None)
    if not display:
        print("xkey: cannot open the display (DISPLAY not set?)", file=sys.stderr)
        return 1
    try:
        codes = []
        for name in argv[1].split("+"):
            keysym = x.XStringToKeysym(MODIFIERS.get(name.lower(), name).encode())
            code = x.XKeysymToKeycode(display, keysym) if keysym else 0
            if not code:
                print(f"xkey: no key {name!r} on this display", file=sys.stderr)
                return 1
            codes.append(code)
        for code in codes[:-1]:
            xtst.XTestFakeKeyEvent(display, code, 1, 0)
        x.XSync(display, 0)
        clock = time.CLOCK_MONOTONIC_RAW if os.environ.get("XKEY_CLOCK") == "raw" else time.CLOCK_MONOTONIC
        pressed = time.clock_gettime_ns(clock)
        xtst.XTestFakeKeyEvent(display, codes[-1], 1, 0)
        x.XFlush(display)
        for code in reversed(codes):
            xtst.XTestFakeKeyEvent(display, code, 0, 0)
        x.XSync(display, 0)
        print(pressed, flush=True)
    finally:
        x.XCloseDisplay(display)
    if linger > 0:
        sys.stdout.close()
        time.sleep(linger)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
