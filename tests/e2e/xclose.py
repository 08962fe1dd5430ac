#!/usr/bin/env python3
"""Asks an X window to close, as a window manager does when the user clicks the close box.

    xclose.py WINDOW_ID

The end-to-end tests run on a bare Xvfb without a window manager, where neither Alt+F4 nor
_NET_CLOSE_WINDOW (wmctrl -c) has anyone to act on it, and `xdotool windowkill` cuts the client's
connection instead of closing the window. This sends the client a WM_PROTOCOLS message with
WM_DELETE_WINDOW, so that the program runs its own close handling. Exit 0 when the message was
sent; 1 when the display or the window cannot be reached, or the window does not take part in
WM_DELETE_WINDOW.
"""

import ctypes
import ctypes.util
import sys


class XClientMessageEvent(ctypes.Structure):
    _fields_ = [
        ("type", ctypes.c_int),
        ("serial", ctypes.c_ulong),
        ("send_event", ctypes.c_int),
        ("display", ctypes.c_void_p),
        ("window", ctypes.c_ulong),
        ("message_type", ctypes.c_ulong),
        ("format", ctypes.c_int),
        ("data", ctypes.c_long * 5),
    ]


class XEvent(ctypes.Union):
    _fields_ = [("xclient", XClientMessageEvent), ("pad", ctypes.c_long * 24)]


CLIENT_MESSAGE = 33


def main(argv):
    if len(argv) != 2:
        print("usage: xclose.py WINDOW_ID", file=sys.stderr)
        return 2
    try:
        window = int(argv[1], 0)
    except ValueError:
        print(f"xclose: not a window id: {argv[1]}", file=sys.stderr)
        return 2

    name = ctypes.util.find_library("X11")
    if not name:
        print("xclose: libX11 not found", file=sys.stderr)
        return 1
    x = ctypes.CDLL(name)
    x.XOpenDisplay.restype = ctypes.c_void_p
    x.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x.XInternAtom.restype = ctypes.c_ulong
    x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x.XGetWMProtocols.argtypes = [ctypes.c_void_p, ctypes.c_ulong,
                                  ctypes.POINTER(ctypes.POINTER(ctypes.c_ulong)),
                                  ctypes.POINTER(ctypes.c_int)]
    x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                             ctypes.POINTER(XEvent)]
    x.XFlush.argtypes = [ctypes.c_void_p]
    x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
    x.XFree.argtypes = [ctypes.c_void_p]
    x.XCloseDisplay.argtypes = [ctypes.c_void_p]

    # A window that is gone raises BadWindow; without a handler Xlib would print its own report
    # and end the process.
    errors = []
    handler_type = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)
    handler = handler_type(lambda _display, _event: errors.append(1) or 0)
    x.XSetErrorHandler.argtypes = [handler_type]
    x.XSetErrorHandler(handler)

    display = x.XOpenDisplay(None)
    if not display:
        print("xclose: cannot open the display (DISPLAY not set?)", file=sys.stderr)
        return 1
    try:
        protocols = x.XInternAtom(display, b"WM_PROTOCOLS", 0)
        delete = x.XInternAtom(display, b"WM_DELETE_WINDOW", 0)

        atoms = ctypes.POINTER(ctypes.c_ulong)()
        count = ctypes.c_int(0)
        found = x.XGetWMProtocols(display, window, ctypes.byref(atoms), ctypes.byref(count))
        x.XSync(display, 0)
        if errors or not found:
            print(f"xclose: window {window:#x} has no WM_PROTOCOLS (or does not exist)",
                  file=sys.stderr)
            return 1
        offered = [atoms[i] for i in range(count.value)]
        x.XFree(atoms)
        if delete not in offered:
            print(f"xclose: window {window:#x} does not take WM_DELETE_WINDOW", file=sys.stderr)
            return 1

        event = XEvent()
        event.xclient.type = CLIENT_MESSAGE
        event.xclient.window = window
        event.xclient.message_type = protocols
        event.xclient.format = 32
        event.xclient.data[0] = delete
        event.xclient.data[1] = 0  # CurrentTime
        if not x.XSendEvent(display, window, 0, 0, ctypes.byref(event)):
            print(f"xclose: sending to window {window:#x} failed", file=sys.stderr)
            return 1
        x.XSync(display, 0)
        if errors:
            print(f"xclose: window {window:#x} is gone", file=sys.stderr)
            return 1
        return 0
    finally:
        x.XCloseDisplay(display)


if __name__ == "__main__":
    sys.exit(main(sys.argv))
