#!/bin/sh
# Copyright (C) 2026 Vantorel Scorekeeper developers
# SPDX-License-Identifier: MIT

# Runs every benchmark of a built tree and prints the figures: start-up and peak memory
# against a bare Qt window on xcb (under a private Xvfb, when installed) and on offscreen,
# every action of a whole game, and a leak check over a whole game. Figures only: nothing
# here passes or fails on a timing.
#
#   bench/run.sh <build-dir> [runs]
set -eu
bin=$1/bench
runs=${2:-40}
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"

xvfb=
if command -v Xvfb >/dev/null; then
    display=99
    while [ -e /tmp/.X$display-lock ] || [ -e /tmp/.X11-unix/X$display ]; do
        display=$((display + 1))
    done
    Xvfb :$display -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    trap 'kill $xvfb 2>/dev/null' EXIT INT TERM
    for _ in $(seq 50); do
        [ -e /tmp/.X11-unix/X$display ] && break
        sleep 0.1
    done
    echo
    DISPLAY=:$display QT_QPA_PLATFORM=xcb "$bin/bench_driver" "$bin/bench_vantorel" "$bin/bench_bare" "$runs"
fi

echo
QT_QPA_PLATFORM=offscreen "$bin/bench_driver" "$bin/bench_vantorel" "$bin/bench_bare" "$runs"

echo
QT_QPA_PLATFORM=offscreen "$bin/bench_actions" 20

if command -v valgrind >/dev/null; then
    echo
    echo "Leaks over a whole game (valgrind memcheck, offscreen; the bare window for the floor)"
    size=$(QT_QPA_PLATFORM=offscreen "$bin/bench_vantorel" --size 2>/dev/null)
    for program in "bench_vantorel --play" "bench_bare $size"; do
        QT_QPA_PLATFORM=offscreen valgrind --leak-check=full --errors-for-leak-kinds=definite \
            "$bin"/$program 2>&1 >/dev/null |
            sed -n "s/^==[0-9]*==    \(definitely lost\|indirectly lost\):/  ${program%% *}: \1:/p"
    done
fi
