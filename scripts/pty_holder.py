#!/usr/bin/env python3
"""Holds a raw pseudo-terminal open, prints the path of its device side, and swallows what
the program writes to it until stdin closes or the time (seconds, argument 1) runs out."""
import os
import pty
import select
import sys
import time
import tty

master, device = pty.openpty()
tty.setraw(device)
print(os.ttyname(device), flush=True)
end = time.monotonic() + float(sys.argv[1] if len(sys.argv) > 1 else 120)
while time.monotonic() < end:
    ready, _, _ = select.select([master, sys.stdin], [], [], 0.5)
    if master in ready:
        os.read(master, 4096)
    if sys.stdin in ready and not sys.stdin.read(1):
        break
