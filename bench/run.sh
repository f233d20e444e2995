#!/bin/sh
# Copyright (C) 2026 Vantorel Scorekeeper developers
# SPDX-License-Identifier: MIT

# Runs every benchmark of a built tree and prints the figures: start-up and peak memory
# against the bare Qt window and the plain board, the same start-up counted (X requests, system
# calls, page faults, dynamic linking, instructions: bench/counts.py), and what follows the first
# paint (the record of games opened, a game left open offered back), on xcb (under a private
# Xvfb, when installed) and on offscreen; every input of a whole game, its result committed;
# Your Games over records of 3,650 and 36,500 games (made once, and kept in <build-dir>/records
# for timing by hand: see bench/README.md); the record of games on disk; and a leak check over
# whole games. Figures only: nothing here passes or fails on a timing. Everything that touches
# the disk does so in the build tree, never a memory file system.
#
#   bench/run.sh <build-dir> [runs] [leak-runs]
set -eu
bin=$1/bench
runs=${2:-40}
leak_runs=${3:-10}
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
work=$(mktemp -d)
# Ten years of nightly play: the record the start-up figures open, made by bench_storage.
games=3650
records=$bin/records
xvfb=
cleanup() {
    if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null || true; fi
    rm -rf "$work" "$records" "$bin/yourgames-work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

# A desktop session has its bus. Without one, Qt's screen-reader bridge has libdbus fork a
# dbus-launch at each start (every program alike, the floors too), which players never pay.
bus=
if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ] && command -v dbus-run-session >/dev/null; then
    bus="dbus-run-session --"
fi

startup() {
    $bus "$bin/bench_driver" "$bin/bench_vantorel" "$bin/bench_plain" "$bin/bench_bare" \
        "$records" "$games" "$runs"
    # The same start-up in counts, which a busy machine does not blur.
    if command -v python3 >/dev/null; then
        echo
        $bus python3 "$(dirname "$0")/counts.py" "$1"
    fi
}

# Xvfb picks a free display itself (other servers may run beside it) and writes its number,
# then a newline, once it takes clients; -noreset keeps it from turning clients away whenever
# the last one has left.
start_xvfb() {
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" \
        >/dev/null 2>&1 &
    xvfb=$!
    for _ in $(seq 100); do
        [ "$(wc -l <"$work/display")" -ge 1 ] && break
        kill -0 "$xvfb" 2>/dev/null || return 1
        sleep 0.1
    done
    display=:$(head -n 1 "$work/display")
    [ "$display" != : ]
}

# Its figures are printed in their place, below.
"$bin/bench_storage" "$games" "$records" >"$work/storage"

if command -v Xvfb >/dev/null; then
    echo
    if start_xvfb; then
        DISPLAY=$display QT_QPA_PLATFORM=xcb startup "$1"
    else
        echo "Xvfb did not start: no figures on xcb"
    fi
fi

echo
QT_QPA_PLATFORM=offscreen startup "$1"

echo
QT_QPA_PLATFORM=offscreen "$bin/bench_actions" 20

echo
QT_QPA_PLATFORM=offscreen "$bin/bench_chart"

# Ten and a hundred years of nightly games, and ten games, made once and left in the build tree:
# XDG_DATA_HOME=<build-dir>/records/games-36500 <build-dir>/app/vantorel --games
kept=$1/records
echo
echo "Records of nightly games for Your Games, kept in $kept"
"$bin/bench_records" "$kept" 10 3650 36500
for size in 3650 36500; do
    echo
    QT_QPA_PLATFORM=offscreen "$bin/bench_yourgames" "$kept/games-$size/vantorel/games.sqlite"
done
echo
mkdir -p "$bin/yourgames-work"
QT_QPA_PLATFORM=offscreen $bus "$bin/bench_driver" --your-games "$bin/bench_vantorel" \
    "$1/app/vantorel" "$bin/yourgames-work" 10 "$kept/games-10" "$kept/games-3650" \
    "$kept/games-36500"

echo
cat "$work/storage"

# A run that loses memory keeps its log beside the build, where the stacks show who lost it.
# Qt's own race at exit (qt-exit.supp) is counted apart, as suppressed.
leak() {
    bytes=$(sed -n "s/^==[0-9]*== *$1: \([0-9,]*\) bytes.*/\1/p" "$work/memcheck")
    echo "${bytes:-0}"
}
if command -v valgrind >/dev/null; then
    echo
    echo "Leaks over a whole game (valgrind memcheck, offscreen): bytes lost in each of $leak_runs runs"
    size=$(QT_QPA_PLATFORM=offscreen "$bin/bench_vantorel" --size 2>/dev/null | cut -d ' ' -f 1,2)
    for program in "bench_vantorel --play --record $records/leaks.sqlite" "bench_bare $size"; do
        name=${program%% *}
        definite= indirect= suppressed=
        for run in $(seq "$leak_runs"); do
            QT_QPA_PLATFORM=offscreen valgrind --leak-check=full --num-callers=40 \
                --suppressions="$(dirname "$0")/qt-exit.supp" --log-file="$work/memcheck" \
                "$bin"/$program >/dev/null 2>&1
            definite="$definite $(leak 'definitely lost')"
            indirect="$indirect $(leak 'indirectly lost')"
            suppressed="$suppressed $(leak suppressed)"
            if [ "$(leak 'definitely lost')$(leak 'indirectly lost')" != 00 ]; then
                cp "$work/memcheck" "$1/memcheck-$name-$run.log"
            fi
        done
        echo "  $name: definitely lost:$definite"
        echo "  $name: indirectly lost:$indirect"
        echo "  $name: suppressed (qt-exit.supp):$suppressed"
    done
fi
