#!/usr/bin/env python3
"""The Linux side of a looped-back port for the Windows tests under Wine: a pty that sends
back whatever is written to it. Prints the slave's path, then echoes until it is killed.
The slave stays open here, so the line keeps its settings between the tests' opens."""
import os
import pty
import select
import tty

master, slave = pty.openpty()
tty.setraw(slave)
print(os.ttyname(slave), flush=True)
while True:
    select.select([master], [], [])
    data = os.read(master, 4096)
    while data:
        data = data[os.write(master, data):]
