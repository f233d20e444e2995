# Copyright (C) 2026 Vantorel Scorekeeper developers
# SPDX-License-Identifier: MIT

"""The program on a real desktop: Xvfb with the openbox window manager, real X input from xdotool.
Each check is a fault a player met there. Exits 77 (skipped) when the X tools are missing.
Usage: desktop.py <vantorel executable> <folder for screenshots>"""

import os
import re
import shutil
import signal
import subprocess
import sys
import time

try:
    import Xlib  # noqa: F401
except ImportError:
    Xlib = None
if Xlib is None or any(shutil.which(tool) is None
                       for tool in ("Xvfb", "xdotool", "xprop", "xwininfo", "openbox")):
    print("missing X tools or python3-xlib: skipped")
    sys.exit(77)

sys.dont_write_bytecode = True  # no compiled copy of e2e.py in the source tree
import e2e  # noqa: E402  (takes the same two arguments)
from e2e import (BOARD, CLUE, CLUE_BUTTONS, DAILY_DOUBLE_BUTTON, WAGER_BOX, click, fail,  # noqa
                 square, visible_window, wait_for, wait_hidden, wait_shown, xdo)

SETTLE = 0.6  # longer than the double-click interval
CANCEL = (1680, 960, 1335, 615)


def xprop(*args):
    return subprocess.run(["xprop", *map(str, args)], capture_output=True, text=True,
                          timeout=20).stdout


def owned_by(window, board):
    return f"window id # {hex(int(board))}" in xprop("-id", window, "WM_TRANSIENT_FOR")


def above(upper, lower):
    order = re.findall(r"0x[0-9a-f]+", xprop("-root", "_NET_CLIENT_LIST_STACKING"))
    return order.index(hex(int(upper))) > order.index(hex(int(lower)))


def frame(window):
    """x, y, width, height of the window's frame on the screen."""
    info = subprocess.run(["xwininfo", "-id", str(window)], capture_output=True, text=True,
                          timeout=20).stdout
    x, y, w, h = map(int, re.findall(r"(?:Absolute upper-left [XY]|Width|Height):\s+(-?\d+)",
                                     info))
    extents = xprop("-id", window, "_NET_FRAME_EXTENTS")
    left, right, top, bottom = map(int, re.findall(r"\d+", extents))
    return x - left, y - top, w + left + right, h + top + bottom


def at(window, twips, client, *action):
    width, height = e2e.size_of(window)
    xdo("mousemove", "--window", window, round(twips[0] * width / client[0]),
        round(twips[1] * height / client[1]))
    time.sleep(SETTLE)
    xdo(*action)
    time.sleep(SETTLE)


def quick_input_acts_only_where_it_began(board):
    # Space held on three squares: the window system's repeats must not answer the clue.
    xdo("windowactivate", "--sync", board)
    for index in range(3):
        if index:
            xdo("key", "Tab")
        time.sleep(SETTLE)
        xdo("keydown", "space")
        time.sleep(1.5)
        xdo("keyup", "space")
        time.sleep(SETTLE)
        if not visible_window("$ 200 Question"):
            fail(f"holding Space on square {index} answered the clue window it opened")
        click(visible_window("$ 200 Question"), CLUE_BUTTONS["No Ring In"], CLUE)
        wait_hidden("$ 200 Question")
    at(board, (4207, 3847), BOARD, "click", "--repeat", "2", "--delay", "100", "1")  # square 14
    if not visible_window("$ 600 Question"):
        fail("a double click on a square answered the clue window it opened")
    # The left of Incorrect lies over square 15.
    at(visible_window("$ 600 Question"), (3500, 1400), CLUE, "click", "--repeat", "2", "--delay",
       "100", "1")
    if visible_window("$ 600 Question"):
        fail("a double click on Incorrect opened a clue for the square under it")


def clue_and_wager_stay_with_the_board(board):
    click(board, square(3), BOARD)
    clue = wait_shown("$ 200 Question")
    click(board, DAILY_DOUBLE_BUTTON, BOARD)
    wager = wait_shown("Daily Double")
    at(board, (6000, 600), BOARD, "click", "1")  # the score line raises the board
    if not all(owned_by(w, board) and above(w, board) for w in (clue, wager)):
        fail("the clue and wager windows do not stay above the board they belong to")
    click(wager, CANCEL, CLUE)
    click(clue, CLUE_BUTTONS["No Ring In"], CLUE)
    wait_hidden("$ 200 Question")
    # Through the round change with a wager typed: above the second board.
    for index in range(29):
        if index != 3:
            e2e.answer_clue(board, index, "No Ring In", f"$ {(index // 6 + 1) * 200} Question")
    click(board, DAILY_DOUBLE_BUTTON, BOARD)
    wait_shown("Daily Double")
    click(wager, WAGER_BOX, CLUE)
    xdo("type", "--delay", "30", "25")
    e2e.answer_clue(board, 29, "No Ring In", "$ 1000 Question")
    second = wait_shown("Double Vantorel")
    time.sleep(SETTLE)
    if not (visible_window("Daily Double") and owned_by(wager, second) and above(wager, second)):
        fail("the wager window did not stay above the second board")
    e2e.screenshot("root", "desktop-round-change")


def undo_keys_work_on_a_desktop(board):
    # The first round ended from the board's menu, then taken back and put back by keys.
    xdo("windowactivate", "--sync", board)
    time.sleep(SETTLE)
    for key in ("shift+F10", "Down", "Return", "alt+y"):  # End This Round..., Yes
        xdo("key", key)
        time.sleep(SETTLE)
    second = wait_shown("Double Vantorel")
    boards = {"Single Vantorel": board, "Double Vantorel": second}
    for key, shown, gone in (("ctrl+z", "Single Vantorel", "Double Vantorel"),
                             ("ctrl+y", "Double Vantorel", "Single Vantorel"),
                             ("ctrl+z", "Single Vantorel", "Double Vantorel"),
                             ("ctrl+shift+z", "Double Vantorel", "Single Vantorel")):
        xdo("windowactivate", "--sync", boards[gone])
        time.sleep(SETTLE)
        xdo("key", key)
        wait_shown(shown)
        wait_hidden(gone)


def windows_lie_on_a_scaled_screen(screen):
    program = start(QT_SCALE_FACTOR="1.5")
    board = wait_shown("Single Vantorel")
    click(board, DAILY_DOUBLE_BUTTON, BOARD)
    wager = wait_shown("Daily Double")
    time.sleep(SETTLE)
    e2e.screenshot("root", "desktop-scale-1.5")
    for window in (board, wager):
        x, y, w, h = frame(window)
        if x < 0 or y < 0 or x + w > screen[0] or y + h > screen[1]:
            fail(f"a window stands at {x},{y} {w}x{h}, off the {screen[0]}x{screen[1]} screen")
    program.kill()


def start(**environment):
    program = subprocess.Popen([e2e.EXE],
                               env=dict(os.environ, QT_QPA_PLATFORM="xcb", **environment))
    e2e.children.append(program)
    return program


def held_connection():
    """A connection to the display, held for the whole run: it tells the screen's size."""
    from Xlib import display, error

    def connect():
        try:
            return display.Display()
        except error.DisplayError:
            return None
    return wait_for("the display to take clients", connect)


def main():
    os.environ["DISPLAY"] = e2e.start_xvfb()
    connection = held_connection()
    e2e.children.append(subprocess.Popen(["openbox"], stderr=subprocess.DEVNULL))
    wait_for("the window manager",
             lambda: "window id" in xprop("-root", "_NET_SUPPORTING_WM_CHECK"))
    screen = (connection.screen().width_in_pixels, connection.screen().height_in_pixels)
    for check in (quick_input_acts_only_where_it_began, clue_and_wager_stay_with_the_board,
                  undo_keys_work_on_a_desktop):
        if len(sys.argv) < 4 or check.__name__ in sys.argv[3:]:  # names to run alone
            program = start()
            check(wait_shown("Single Vantorel"))
            program.kill()
            program.wait()
    if len(sys.argv) < 4 or "windows_lie_on_a_scaled_screen" in sys.argv[3:]:
        windows_lie_on_a_scaled_screen(screen)
    print("PASS: quick input acted only where it began; the windows stayed with the board and on "
          "the screen; the desktop's undo and redo keys worked")


signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))  # a timeout still stops what was started
e2e.run(main)
