#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Drives the X display for the screenshots: `xinput.py click X Y`, `xinput.py key NAME` (with
modifiers joined by "+": `key Control_L+e`).

Uses the XTest extension through ctypes, so no extra package is needed."""
import ctypes
import sys
import time

x11 = ctypes.CDLL("libX11.so.6")
xtst = ctypes.CDLL("libXtst.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XStringToKeysym.restype = ctypes.c_ulong
display = ctypes.c_void_p(x11.XOpenDisplay(None))
if not display:
    sys.exit("no display")


def flush():
    x11.XFlush(display)
    time.sleep(0.15)


def click(px, py, button=1):
    xtst.XTestFakeMotionEvent(display, -1, px, py, 0)
    flush()
    xtst.XTestFakeButtonEvent(display, button, True, 0)
    flush()
    xtst.XTestFakeButtonEvent(display, button, False, 0)
    flush()


def keycode(name):
    return x11.XKeysymToKeycode(display, ctypes.c_ulong(x11.XStringToKeysym(name.encode())))


def key(names):
    codes = [keycode(n) for n in names.split("+")]
    for code in codes:
        xtst.XTestFakeKeyEvent(display, code, True, 0)
        flush()
    for code in reversed(codes):
        xtst.XTestFakeKeyEvent(display, code, False, 0)
        flush()


args = sys.argv[1:]
while args:
    cmd = args.pop(0)
    if cmd == "click":
        click(int(args.pop(0)), int(args.pop(0)))
    elif cmd == "rclick":
        click(int(args.pop(0)), int(args.pop(0)), 3)
    elif cmd == "key":
        key(args.pop(0))
    elif cmd == "sleep":
        time.sleep(float(args.pop(0)))
    else:
        sys.exit("unknown command " + cmd)
