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
import tempfile
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
from e2e import (BOARD, CLUE, CLUE_BUTTONS, DAILY_DOUBLE_BUTTON, WAGER_BOX, click, never,  # noqa
                 square, visible_window, wait_focus, wait_for, wait_hidden, wait_shown, xdo)

# Held down this long, a key repeats: longer than the X server's auto-repeat delay (660 ms).
HOLD_TO_REPEAT = 1.5
CANCEL = (1680, 960, 1335, 615)


def xprop(*args):
    return subprocess.run(["xprop", *map(str, args)], capture_output=True, text=True,
                          timeout=20).stdout


def owned_by(window, board):
    return f"window id # {hex(int(board))}" in xprop("-id", window, "WM_TRANSIENT_FOR")


def above(upper, lower):
    """Whether the window manager stacks upper above lower (False until it manages both)."""
    order = re.findall(r"0x[0-9a-f]+", xprop("-root", "_NET_CLIENT_LIST_STACKING"))
    upper, lower = hex(int(upper)), hex(int(lower))
    return upper in order and lower in order and order.index(upper) > order.index(lower)


def frame(window):
    """x, y, width, height of the window's frame on the screen; None until it is framed."""
    extents = re.findall(r"\d+", xprop("-id", window, "_NET_FRAME_EXTENTS"))
    if len(extents) != 4:
        return None
    left, right, top, bottom = map(int, extents)
    info = subprocess.run(["xwininfo", "-id", str(window)], capture_output=True, text=True,
                          timeout=20).stdout
    x, y, w, h = map(int, re.findall(r"(?:Absolute upper-left [XY]|Width|Height):\s+(-?\d+)",
                                     info))
    return x - left, y - top, w + left + right, h + top + bottom


def on_screen(window, screen):
    placed = frame(window)
    if placed is None:
        return False
    x, y, w, h = placed
    return x >= 0 and y >= 0 and x + w <= screen[0] and y + h <= screen[1]


def at(window, twips, client, *action):
    width, height = e2e.size_of(window)
    xdo("mousemove", "--window", window, round(twips[0] * width / client[0]),
        round(twips[1] * height / client[1]))
    e2e.click_apart(*action)


def activate(window):
    xdo("windowactivate", "--sync", window)
    wait_focus(window)


def quick_input_acts_only_where_it_began(board):
    # Space held on three squares: the window system's repeats must not answer the clue.
    activate(board)
    for index in range(3):
        if index:
            xdo("key", "Tab")
        xdo("keydown", "space")
        time.sleep(HOLD_TO_REPEAT)
        xdo("keyup", "space")
        clue = wait_for(f"holding Space on square {index} to leave a clue window open",
                        lambda: visible_window("$ 200 Question"))
        never(f"holding Space on square {index} answered the clue window it opened",
              lambda: not visible_window("$ 200 Question"))
        click(clue, CLUE_BUTTONS["No Ring In"], CLUE)
        wait_hidden("$ 200 Question")
        wait_focus(board)  # the next keys are for the board
    at(board, (4207, 3847), BOARD, "click", "--repeat", "2", "--delay", "100", "1")  # square 14
    clue = wait_for("a double click on a square to leave its clue window open",
                    lambda: visible_window("$ 600 Question"))
    never("a double click on a square answered the clue window it opened",
          lambda: not visible_window("$ 600 Question"))
    # The left of Incorrect lies over square 15, whose clue has the same title.
    at(clue, (3500, 1400), CLUE, "click", "--repeat", "2", "--delay", "100", "1")
    wait_for("a double click on Incorrect to close the clue window and open none",
             lambda: not visible_window("$ 600 Question"))
    never("a double click on Incorrect opened a clue for the square under it",
          lambda: visible_window("$ 600 Question"))


def clue_and_wager_stay_with_the_board(board):
    click(board, square(3), BOARD)
    clue = wait_shown("$ 200 Question")
    click(board, DAILY_DOUBLE_BUTTON, BOARD)
    wager = wait_shown("Daily Double")
    at(board, (6000, 600), BOARD, "click", "1")  # the score line raises the board
    # openbox focuses and raises a clicked window in one go: the focus tells the click was taken.
    wait_focus(board)
    never("the clue and wager windows do not stay above the board they belong to",
          lambda: not all(owned_by(w, board) and above(w, board) for w in (clue, wager)))
    click(wager, CANCEL, CLUE)
    wait_hidden("Daily Double")
    click(clue, CLUE_BUTTONS["No Ring In"], CLUE)
    wait_hidden("$ 200 Question")
    # Through the round change with a wager typed: above the second board.
    for index in range(29):
        if index != 3:
            e2e.answer_clue(board, index, "No Ring In", f"$ {(index // 6 + 1) * 200} Question")
    click(board, DAILY_DOUBLE_BUTTON, BOARD)
    wait_shown("Daily Double")
    click(wager, WAGER_BOX, CLUE)
    wait_focus(wager)
    xdo("type", "--delay", "30", "25")
    e2e.answer_clue(board, 29, "No Ring In", "$ 1000 Question")
    second = wait_shown("Double Vantorel")

    def above_second():
        return visible_window("Daily Double") and owned_by(wager, second) and above(wager, second)
    # The wager window is mapped again for its new owner, so it takes a moment to get there.
    wait_for("the wager window above the second board", above_second)
    never("the wager window did not stay above the second board", lambda: not above_second())
    e2e.screenshot("root", "desktop-round-change")


def undo_keys_work_on_a_desktop(board):
    # The first round ended from the board's menu, then taken back and put back by keys.
    activate(board)
    # The menu takes the keys that come while it opens: the program takes input in order.
    xdo("key", "shift+F10", "Down", "Return")  # End This Round...
    wait_focus(wait_shown("Vantorel"))
    xdo("key", "alt+y")  # Yes
    second = wait_shown("Double Vantorel")
    boards = {"Single Vantorel": board, "Double Vantorel": second}
    for key, shown, gone in (("ctrl+z", "Single Vantorel", "Double Vantorel"),
                             ("ctrl+y", "Double Vantorel", "Single Vantorel"),
                             ("ctrl+z", "Single Vantorel", "Double Vantorel"),
                             ("ctrl+shift+z", "Double Vantorel", "Single Vantorel")):
        activate(boards[gone])
        xdo("key", key)
        wait_shown(shown)
        wait_hidden(gone)


def your_games_opens_on_the_screen(board):
    # A window of the program's that the window manager would place as it likes, beside a board
    # that leaves no room for it, taller for a Daily Double never cleared (its footnote).
    click(board, DAILY_DOUBLE_BUTTON, BOARD)
    wager = wait_shown("Daily Double")
    click(wager, WAGER_BOX, CLUE)
    wait_focus(wager)
    xdo("type", "--delay", "30", "500")
    click(wager, CLUE_BUTTONS["Correct"], CLUE)
    wait_hidden("Daily Double")
    activate(board)
    xdo("key", "shift+F10", "Up", "Up", "Return")  # Your Games..., above About
    games = wait_shown("Your Games")
    screen = tuple(map(int, xdo("getdisplaygeometry").split()))
    wait_for("Your Games wholly on the screen", lambda: on_screen(games, screen))
    never("Your Games grew or moved off the screen", lambda: not on_screen(games, screen))
    e2e.screenshot("root", "desktop-your-games")


def drawn(window):
    """Whether the program has drawn the window: unmapped and undrawn, it shows the black root."""
    corner = subprocess.run(["import", "-window", str(window), "-crop", "1x1+4+4", "txt:-"],
                            capture_output=True, text=True, timeout=20).stdout
    return "#" in corner and "#000000" not in corner


def windows_lie_on_a_scaled_screen():
    # A small screen at a large scale, on a server of its own. First the window manager comes
    # after the board has opened and been drawn, so that the board's frame, and its size, come
    # later than its first exposure; then a board opens under the running window manager.
    size = "1366x768"
    os.environ["DISPLAY"] = e2e.start_xvfb(size)
    screen = tuple(map(int, size.split("x")))
    program = launch(QT_SCALE_FACTOR="1.5")
    board = wait_shown("Single Vantorel")
    wait_for("the board drawn before any window manager runs", lambda: drawn(board))
    start_openbox()
    wait_for(f"the board framed wholly on the {size} screen", lambda: on_screen(board, screen))
    never(f"the board moved off the {size} screen", lambda: not on_screen(board, screen))
    end(program)
    program, board = start(screen, QT_SCALE_FACTOR="1.5")
    click(board, DAILY_DOUBLE_BUTTON, BOARD)
    wager = wait_shown("Daily Double")
    wait_for(f"the wager window on the {size} screen", lambda: on_screen(wager, screen))
    e2e.screenshot("root", "desktop-scale-1.5")
    never(f"a window moved off the {size} screen",
          lambda: not (on_screen(board, screen) and on_screen(wager, screen)))
    end(program)


def end(program):
    """Kills the program and waits until its windows are gone, so that the next program's
    windows are the only ones with their titles."""
    program.kill()
    program.wait()
    e2e.children.remove(program)
    wait_for("the ended program's windows to go",
             lambda: not xdo("search", "--onlyvisible", "--pid", program.pid, check=False))


def launch(**environment):
    program = subprocess.Popen([e2e.EXE],
                               env=e2e.program_environment(QT_QPA_PLATFORM="xcb", **environment))
    e2e.children.append(program)
    return program


def start(screen, **environment):
    """Starts the program; returns it and its board once the board has its place."""
    program = launch(**environment)
    board = wait_shown("Single Vantorel")
    # The program moves a window onto the screen once the window manager has framed it: a
    # click aimed at the board before then can land beside what it aims at.
    wait_for(f"the board on the {screen[0]}x{screen[1]} screen", lambda: on_screen(board, screen))
    return program, board


def held_connection():
    """A connection to the display, held for the whole run: it tells the screen's size."""
    from Xlib import display, error

    def connect():
        try:
            return display.Display()
        except error.DisplayError:
            return None
    return wait_for("the display to take clients", connect)


def start_openbox():
    """Starts openbox on the display with its default configuration, whatever the user's own."""
    environment = dict(os.environ, XDG_CONFIG_HOME=tempfile.mkdtemp(dir=e2e.DATA.name))
    e2e.children.append(subprocess.Popen(["openbox"], env=environment, stderr=subprocess.DEVNULL))
    wait_for("the window manager",
             lambda: "window id" in xprop("-root", "_NET_SUPPORTING_WM_CHECK"))


def main():
    os.environ["DISPLAY"] = e2e.start_xvfb()
    connection = held_connection()
    start_openbox()
    screen = (connection.screen().width_in_pixels, connection.screen().height_in_pixels)
    for check in (quick_input_acts_only_where_it_began, clue_and_wager_stay_with_the_board,
                  undo_keys_work_on_a_desktop, your_games_opens_on_the_screen):
        if len(sys.argv) < 4 or check.__name__ in sys.argv[3:]:  # names to run alone
            program, board = start(screen)
            check(board)
            end(program)
    if len(sys.argv) < 4 or "windows_lie_on_a_scaled_screen" in sys.argv[3:]:
        windows_lie_on_a_scaled_screen()  # last: it moves to a display of its own
    print("PASS: quick input acted only where it began; the windows stayed with the board and on "
          "the screen; the desktop's undo and redo keys worked; Your Games opened on the screen")


signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))  # a timeout still stops what was started
e2e.run(main)
