# Copyright (C) 2026 Vantorel Scorekeeper developers
# SPDX-License-Identifier: MIT

"""Drives the real vantorel executable on Xvfb: xdotool clicks and keys at the controls'
on-screen places, window titles read back from the X server, label texts read over the
accessibility bus, screenshots of every window. Every wait is bounded."""

import os
import re
import select
import signal
import subprocess
import sys
import tempfile
import time

EXE, OUT = sys.argv[1], sys.argv[2]
os.makedirs(OUT, exist_ok=True)
children = []
# The program keeps its games: never in the user's own record, and each start in a new one, so
# that no game a check left unfinished is offered back to the next.
DATA = tempfile.TemporaryDirectory(prefix="vantorel-e2e-")


def program_environment(**variables):
    return dict(os.environ, XDG_DATA_HOME=tempfile.mkdtemp(dir=DATA.name), **variables)


def fail(message):
    # A wait that timed out because the program (or the X server) died says so.
    ended = [f"{os.path.basename(child.args[0])} ended with {child.returncode}"
             for child in children if child.poll() is not None]
    print("FAIL:", message, f"({'; '.join(ended)})" if ended else "", flush=True)
    sys.exit(1)


def xdo(*args, check=True):
    run = subprocess.run(["xdotool", *map(str, args)], capture_output=True, text=True, timeout=20)
    if check and run.returncode != 0:
        fail(f"xdotool {' '.join(map(str, args))}: {run.stderr.strip()}")
    return run.stdout.strip()


def wait_for(what, probe, seconds=20):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        result = probe()
        if result:
            return result
        time.sleep(0.05)
    fail(f"timed out waiting for {what}")


# How long a check watches for what must not happen. The program answers input within
# milliseconds; two seconds is far beyond that even on a loaded machine, so whatever the input
# was going to do shows within the watch, while a slow program cannot pass by showing it late.
WATCH = 2.0


def never(what, happened, seconds=WATCH):
    """Watches for what must not happen, failing with what as soon as happened() is true."""
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        if happened():
            fail(what)
        time.sleep(0.05)


def visible_window(title):
    """The id of the mapped window with exactly this title, or None."""
    pattern = "^" + re.escape(title) + "$"
    out = xdo("search", "--onlyvisible", "--name", pattern, check=False)
    return out.split()[0] if out else None


def wait_shown(title):
    return wait_for(f"window '{title}'", lambda: visible_window(title))


def wait_hidden(title):
    wait_for(f"window '{title}' to go", lambda: visible_window(title) is None)


def wait_focus(window):
    """Waits until keys go to the window: keys sent earlier go wherever the focus was."""
    wait_for(f"the keyboard focus in window {window}",
             lambda: xdo("getwindowfocus", check=False) == window)


def size_of(window):
    out = xdo("getwindowgeometry", window)
    w, h = re.search(r"Geometry: (\d+)x(\d+)", out).groups()
    return int(w), int(h)


# Twip rectangles of the layouts the clicks aim at: (left, top, width, height) and the
# client size, so a place scales to whatever pixel size the window has on this screen.
BOARD = (9975, 6570)
DAILY_DOUBLE_BUTTON = (480, 360, 1215, 735)
CLUE = (4710, 1815)
CLUE_BUTTONS = {"Correct": (120, 840, 1335, 855), "No Ring In": (1680, 840, 1335, 855),
                "Incorrect": (3240, 840, 1335, 855)}
WAGER_BOX = (1560, 240, 1575, 285)


def square(index):
    return (480 + 1560 * (index % 6), 1320 + 1080 * (index // 6), 1215, 735)


# The program takes no click that comes within the double-click interval (400 ms here) of a
# click that changed its windows: a person needs that long to see the change anyway. So a click
# of its own comes at least this long after the last one.
PAST_DOUBLE_CLICK = 0.5
last_click = 0.0


def click_apart(*action):
    """Runs an xdotool click action no sooner than PAST_DOUBLE_CLICK after the last one."""
    global last_click
    time.sleep(max(0.0, last_click + PAST_DOUBLE_CLICK - time.monotonic()))
    xdo(*action)
    last_click = time.monotonic()


def click(window, rect, client):
    width, height = size_of(window)
    x = round((rect[0] + rect[2] / 2) * width / client[0])
    y = round((rect[1] + rect[3] / 2) * height / client[1])
    xdo("mousemove", "--window", window, x, y)
    click_apart("click", "1")


def screenshot(window, name):
    subprocess.run(["import", "-window", window, os.path.join(OUT, f"e2e-{name}.png")],
                   timeout=30, check=True)


def label_texts(title):
    """The texts of the labels in the window with this title, over the accessibility bus."""
    import pyatspi
    for app in pyatspi.Registry.getDesktop(0):
        if app is None:
            continue
        for window in app:
            if window is not None and window.name == title:
                texts = []
                pending = [window]
                while pending:
                    node = pending.pop()
                    if node.getRoleName() == "label":
                        try:  # the shown text, not an accessible name given to it
                            texts.append(node.queryText().getText(0, -1))
                        except NotImplementedError:
                            texts.append(node.name)
                    pending.extend(node.getChildAtIndex(i) for i in range(node.childCount))
                return texts
    return None



def wait_label(title, text):
    # A label's accessible name may put words before what it shows ("Current score: $ 600").
    def shows():
        return any(t == text or t.endswith((" " + text, "$" + text))
                   for t in label_texts(title) or [])
    wait_for(f"'{text}' in '{title}'", shows)


def answer_clue(board, index, button, title):
    click(board, square(index), BOARD)
    clue = wait_shown(title)
    click(clue, CLUE_BUTTONS[button], CLUE)
    wait_hidden(title)


def close_box(window):
    from Xlib import X, display, protocol
    d = display.Display()
    w = d.create_resource_object("window", int(window))
    protocols = d.intern_atom("WM_PROTOCOLS")
    delete = d.intern_atom("WM_DELETE_WINDOW")
    event = protocol.event.ClientMessage(window=w, client_type=protocols,
                                         data=(32, [delete, X.CurrentTime, 0, 0, 0]))
    w.send_event(event, event_mask=X.NoEventMask)
    d.flush()


def read_display_number(read_fd, seconds=10):
    """What Xvfb writes to its -displayfd: the number, then a newline, in separate writes.
    Reads up to the newline (or end of file, when Xvfb gave up) before the pipe is closed:
    closing it early makes Xvfb's second write fail and the server exit."""
    data = b""
    end = time.monotonic() + seconds
    while b"\n" not in data:
        remaining = end - time.monotonic()
        if remaining <= 0 or not select.select([read_fd], [], [], remaining)[0]:
            break
        chunk = os.read(read_fd, 16)
        if not chunk:
            break
        data += chunk
    return data.decode().strip()


def stop(child, seconds=5):
    """Ends a child and waits for it: SIGTERM first, so Xvfb removes its socket and lock file,
    SIGKILL only if it does not go. A child that leads its own session goes with its group."""
    if child.poll() is not None:
        return
    group = os.getpgid(child.pid) == child.pid
    for sig in (signal.SIGTERM, signal.SIGKILL):
        try:
            os.killpg(child.pid, sig) if group else child.send_signal(sig)
        except ProcessLookupError:
            pass
        try:
            child.wait(timeout=seconds)
            return
        except subprocess.TimeoutExpired:
            pass
    child.wait()


def start_xvfb(size="1280x1024"):
    """Starts Xvfb on a free display and returns its name once a client can connect."""
    for _ in range(3):
        read_fd, write_fd = os.pipe()
        # -noreset: a server that resets whenever its last client leaves turns the next away.
        xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_fd), "-screen", "0",
                                 f"{size}x24", "-nolisten", "tcp", "-noreset"],
                                pass_fds=[write_fd])
        children.append(xvfb)
        os.close(write_fd)
        number = read_display_number(read_fd)
        os.close(read_fd)
        name = ":" + number
        # A display left behind by another server can be reported and still not answer.
        end = time.monotonic() + 10
        while number and xvfb.poll() is None and time.monotonic() < end:
            if subprocess.run(["xdpyinfo", "-display", name], capture_output=True).returncode == 0:
                return name
            time.sleep(0.05)
        stop(xvfb)
        children.remove(xvfb)
    fail("Xvfb did not start")


def main():
    os.environ["DISPLAY"] = start_xvfb()
    children.append(subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"],
                                     start_new_session=True))
    # The accessibility bus must answer before the program looks for it.
    wait_for("the accessibility bus", lambda: subprocess.run(
        ["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus", "/org/a11y/bus",
         "org.a11y.Bus.GetAddress"], capture_output=True, timeout=10).returncode == 0)
    env = program_environment(QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    program = subprocess.Popen([EXE], env=env)
    children.append(program)

    board = wait_shown("Single Vantorel")
    wait_label("Single Vantorel", "0")
    screenshot(board, "single-board")

    # $ 600 answered right.
    click(board, square(12), BOARD)
    clue = wait_shown("$ 600 Question")
    screenshot(clue, "question")
    click(clue, CLUE_BUTTONS["Correct"], CLUE)
    wait_hidden("$ 600 Question")
    wait_label("Single Vantorel", "600")

    # A Daily Double of 1000, typed with real keys.
    click(board, DAILY_DOUBLE_BUTTON, BOARD)
    wager = wait_shown("Daily Double")
    click(wager, WAGER_BOX, CLUE)
    wait_focus(wager)
    xdo("type", "--delay", "30", "1000")
    screenshot(wager, "daily-double")
    click(wager, CLUE_BUTTONS["Correct"], CLUE)
    wait_hidden("Daily Double")
    wait_label("Single Vantorel", "1600")

    for index in range(30):
        if index != 12:
            answer_clue(board, index, "No Ring In", f"$ {(index // 6 + 1) * 200} Question")

    board = wait_shown("Double Vantorel")
    wait_label("Double Vantorel", "1600")
    screenshot(board, "double-board")
    answer_clue(board, 0, "Correct", "$ 400 Question")
    wait_label("Double Vantorel", "2000")
    for index in range(1, 30):
        answer_clue(board, index, "No Ring In", f"$ {(index // 6 + 1) * 400} Question")

    final = wait_shown("Final Vantorel")
    click(final, WAGER_BOX, CLUE)
    wait_focus(final)
    xdo("type", "--delay", "30", "500")
    screenshot(final, "final-wager")
    click(final, CLUE_BUTTONS["Incorrect"], CLUE)
    last = wait_shown("Final Score")
    wait_label("Final Score", "$ 1500")
    screenshot(last, "final-score")
    for title in ("Single Vantorel", "Double Vantorel", "Final Vantorel", "Daily Double"):
        wait_for(f"'{title}' to go from beside the Final Score", lambda: not visible_window(title))

    close_box(last)
    try:
        code = program.wait(timeout=20)
    except subprocess.TimeoutExpired:
        fail("the program still runs after its Final Score window was closed")
    if code != 0:
        fail(f"the program exited with {code}")
    print("PASS: game played to the Final Score of $ 1500; closing it ended the program")


def stop_children():
    for child in reversed(children):
        stop(child)


def run(scenario):
    """Runs a scenario, then stops every process it started."""
    try:
        scenario()
    finally:
        stop_children()


if __name__ == "__main__":
    run(main)
