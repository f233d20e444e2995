#!/bin/sh
# Copyright (C) 2026 Vantorel Scorekeeper developers
# SPDX-License-Identifier: MIT

# Plays a short game on the real program under Xvfb with real X input.
# Usage: run_e2e.sh <vantorel executable> <folder for screenshots>
# Exits 77 (skipped) when the X tools are not installed.
for tool in Xvfb xdotool xdpyinfo import dbus-run-session /usr/libexec/at-spi-bus-launcher; do
    command -v "$tool" >/dev/null 2>&1 || [ -x "$tool" ] || { echo "missing $tool: skipped"; exit 77; }
done
/usr/bin/python3 -c 'import pyatspi, Xlib' 2>/dev/null || { echo "missing pyatspi or Xlib: skipped"; exit 77; }
exec timeout -k 10 300 dbus-run-session -- /usr/bin/python3 "$(dirname "$0")/e2e.py" "$@"
