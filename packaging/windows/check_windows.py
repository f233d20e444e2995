#!/usr/bin/env python3
# Copyright (C) 2026 Vantorel Scorekeeper developers
# SPDX-License-Identifier: MIT

"""The checks of what a Windows user downloads, run under Wine in a private prefix on a private
Xvfb with a window manager: the program from the unpacked zip (its version, the export of an empty record, every DLL
of the zip loaded and none from elsewhere), then the installer run silently, the installed
program played with real X input (three results, the board closed and the game ended), its
export read back, and the uninstaller run silently. Every wait is bounded.

usage: check_windows.py BUILD_DIR   (the tree of make windows, with its windows-package.txt)"""

import csv
import io
import os
import re
import shutil
import subprocess
import sys
import time
import zipfile

BUILD = os.path.abspath(sys.argv[1])
with open(os.path.join(BUILD, "windows-package.txt"), encoding="utf-8") as facts:
    PACKAGE = dict(line.rstrip("\n").split("=", 1) for line in facts if "=" in line)
VERSION, EXE = PACKAGE["version"], PACKAGE["exe"]

# The Linux checks' X helpers (Xvfb, xdotool, bounded waits, the layouts' places), which take
# the program and a folder for screenshots as their arguments.
sys.argv[1:] = [EXE, BUILD]
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..",
                                "tests", "e2e"))
import e2e  # noqa: E402
WORK = os.path.join(BUILD, "wine-check")
PREFIX = os.path.join(WORK, "prefix")
SCREENSHOT = os.path.join(BUILD, f"vantorel-{VERSION}-windows-first-board.png")
HEADER = b"started,round,row,column,value,result,daily_double,wager\r\n"
PRODUCT = "Vantorel Scorekeeper"
UNINSTALL_KEY = rf"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\{PRODUCT}"

passed = 0


def check(what):
    global passed
    passed += 1
    print(f"PASS: {what}", flush=True)


def fail(message):
    print(f"FAIL: {message}", flush=True)
    print(f"{passed} passed, 1 failed", flush=True)
    e2e.stop_children()
    subprocess.run(["wineserver", "-k"], env=wine_environment(), check=False)
    sys.exit(1)


e2e.fail = fail  # the helpers' failures end these checks the same way


def wine_environment(**variables):
    # No Mono or Gecko to offer: the installer and the program need neither.
    return {**os.environ, "WINEPREFIX": PREFIX, "WINEARCH": "win64", "WINEDEBUG": "-all",
            "WINEDLLOVERRIDES": "mscoree,mshtml=", **variables}


def wine(*args, seconds=120, **variables):
    """Runs a Windows program to its end: its status, standard output and error (bytes)."""
    try:
        run = subprocess.run(["wine", *args], env=wine_environment(**variables),
                             capture_output=True, timeout=seconds)
    except subprocess.TimeoutExpired:
        fail(f"wine {' '.join(args)} did not end within {seconds} s")
    return run.returncode, run.stdout, run.stderr


def settle():
    """Waits until every Windows process of the prefix has ended (an uninstaller runs on as a
    copy of itself after the one started returns)."""
    try:
        subprocess.run(["wineserver", "-w"], env=wine_environment(), timeout=180, check=True)
    except subprocess.TimeoutExpired:
        fail("Windows processes still run after 180 s")


def unix_path(windows_path):
    out = subprocess.run(["winepath", "-u", windows_path], env=wine_environment(),
                         capture_output=True, text=True, timeout=60).stdout.strip()
    return out or fail(f"winepath -u {windows_path} answered nothing")


def folder(variable):
    """A folder of the Windows user, as Windows names it (%LOCALAPPDATA%...), on this disk."""
    _, out, _ = wine("cmd", "/c", "echo", f"%{variable}%")
    value = out.decode().strip()
    if not value or "%" in value:
        fail(f"Wine has no %{variable}%")
    return unix_path(value)


def registry_values(key):
    status, out, _ = wine("reg", "query", key)
    if status != 0:
        return None
    values = {}
    for line in out.decode("utf-8", "replace").splitlines():
        match = re.match(r"\s+(\S+)\s+REG_\w+\s+(.*)$", line)
        if match:
            values[match.group(1)] = match.group(2).strip()
    return values


def files_under(top):
    return sorted(os.path.relpath(os.path.join(path, name), top)
                  for path, _, names in os.walk(top) for name in names)


def export(exe, what):
    """The program's export of its record to standard output, checked to succeed."""
    status, out, err = wine(exe, "--export-csv", "-")
    if status != 0:
        fail(f"{what}: --export-csv - exited with {status}: {err.decode(errors='replace')}")
    return out


def start(exe, **variables):
    program = subprocess.Popen(["wine", exe], env=wine_environment(**variables),
                               stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    e2e.children.append(program)
    return program


def wait_ended(program, what, seconds=30):
    try:
        status = program.wait(timeout=seconds)
    except subprocess.TimeoutExpired:
        fail(f"{what}: the program still runs {seconds} s later")
    if status != 0:
        fail(f"{what}: the program exited with {status}")


def close_board(board):
    """Closes the board as its close box does, before any result: nothing to ask."""
    e2e.close_box(board)


def first_board():
    board = e2e.wait_shown("Single Vantorel")
    # Shown is not yet painted: the board's squares are there once the screen has settled.
    time.sleep(2)
    return board


def check_zip(version_line):
    unpacked = os.path.join(PREFIX, "drive_c", "unpacked")
    with zipfile.ZipFile(os.path.join(BUILD, PACKAGE["zip"])) as archive:
        archive.extractall(unpacked)
        names = archive.namelist()
    top = os.path.join(unpacked, PACKAGE["zip"][: -len(".zip")])
    exe = os.path.join(top, EXE)
    if not os.path.isfile(exe):
        fail(f"the zip holds no {EXE} in its folder: {names}")

    status, out, err = wine(exe, "--version")
    text = out.decode(errors="replace").replace("\r\n", "\n")
    if status != 0 or text != version_line + "\n":
        fail(f"{EXE} --version printed {text!r} (status {status}, errors {err!r}), "
             f"not {version_line!r}")
    check(f"{EXE} --version prints '{version_line}' and exits 0")

    out = export(exe, "the empty record")
    if out != HEADER:
        fail(f"--export-csv - on an empty record wrote {out!r}, not the header alone")
    if os.path.exists(os.path.join(folder("LOCALAPPDATA"), PRODUCT)):
        fail("the export of an empty record made the record's folder")
    check("--export-csv - on an empty record writes the header (CRLF), makes nothing and exits 0")

    # Started from the zip with the loader's log: every DLL of the zip is loaded, and no
    # DLL that is not Windows' own comes from anywhere else.
    program = start(exe, WINEDEBUG="+loaddll")
    close_board(first_board())
    wait_ended(program, "started from the zip")
    log = program.stderr.read().decode("utf-8", "replace")
    loaded = {}
    for path, kind in re.findall(r'Loaded L"([^"]+)" at [0-9A-Fa-f]+: (native|builtin)', log):
        loaded[path.replace("\\\\", "\\").lower()] = kind
    zip_dlls = sorted(name for name in files_under(top) if name.lower().endswith(".dll"))
    zip_root = "c:\\unpacked\\" + os.path.basename(top).lower() + "\\"
    missing = [dll for dll in zip_dlls
               if loaded.get(zip_root + dll.replace("/", "\\").lower()) != "native"]
    if missing:
        fail(f"DLLs of the zip the program never loaded: {missing}")
    foreign = [path for path, kind in loaded.items()
               if kind == "native" and not path.startswith(zip_root)]
    if foreign:
        fail(f"DLLs loaded from outside the zip's folder: {foreign}")
    check(f"started from the unpacked zip alone, the program loads every one of its "
          f"{len(zip_dlls)} DLLs ({', '.join(zip_dlls)}) and no other but Windows' own")


def check_installer():
    installer = os.path.join(BUILD, PACKAGE["installer"])
    # Windows asks for administrator rights when the manifest does; this one must not.
    with open(installer, "rb") as executable:
        manifest = re.search(rb"<requestedExecutionLevel [^>]*>", executable.read())
    if not manifest or b'level="asInvoker"' not in manifest.group(0):
        fail(f"the installer's manifest asks for more than the user's rights: {manifest}")
    status, _, err = wine(installer, "/S")
    settle()
    if status != 0:
        fail(f"the installer exited with {status}: {err!r}")
    installed = os.path.join(folder("LOCALAPPDATA"), "Programs", PRODUCT)
    stage = PACKAGE["stage"]
    expected = files_under(stage) + ["Uninstall.exe"]
    if files_under(installed) != sorted(expected):
        fail(f"installed {files_under(installed)}, expected {sorted(expected)}")
    values = registry_values(UNINSTALL_KEY) or fail(f"no {UNINSTALL_KEY}")
    for name, value in (("DisplayName", PRODUCT), ("DisplayVersion", VERSION),
                        ("Publisher", PACKAGE["publisher"])):
        if values.get(name) != value:
            fail(f"Apps & features: {name} is {values.get(name)!r}, not {value!r}")
    if "Uninstall.exe" not in values.get("UninstallString", ""):
        fail(f"Apps & features names no uninstaller: {values}")
    shortcut = os.path.join(folder("APPDATA"), "Microsoft", "Windows", "Start Menu", "Programs",
                            f"{PRODUCT}.lnk")
    if not os.path.isfile(shortcut):
        fail(f"no Start menu entry: {shortcut}")
    with open(shortcut, "rb") as link:
        target = link.read()
    if EXE.encode("utf-16-le") not in target and EXE.encode() not in target:
        fail(f"the Start menu entry does not start {EXE}")
    check(f"the installer runs silently (/S) without administrator rights: {len(expected)} files "
          f"in %LOCALAPPDATA%\\Programs\\{PRODUCT}, a Start menu entry, and in Apps & features "
          f"version {VERSION}, publisher '{PACKAGE['publisher']}' and an uninstaller")
    return installed, shortcut


def play(exe):
    program = start(exe)
    board = first_board()
    subprocess.run(["import", "-window", "root", SCREENSHOT], timeout=60, check=True)
    check(f"the installed program shows the first board (screenshot: {SCREENSHOT})")

    results = [(0, "$ 200 Question", "Correct"), (6, "$ 400 Question", "Incorrect"),
               (12, "$ 600 Question", "No Ring In")]
    for index, title, button in results:
        e2e.answer_clue(board, index, button, title)
    e2e.close_box(board)
    question = e2e.wait_shown("Vantorel")
    e2e.wait_focus(question)
    e2e.xdo("key", "y")
    e2e.wait_hidden("Single Vantorel")
    wait_ended(program, "after the board was closed")
    check("real X input plays $ 200 Correct, $ 400 Incorrect and $ 600 No Ring In, closes the "
          "board and answers Yes to ending the game; the program exits 0")

    out = export(exe, "after the game")
    rows = list(csv.reader(io.StringIO(out.decode("utf-8"), newline="")))
    expected = [["first", "1", "1", "200", "correct", "no", ""],
                ["first", "2", "1", "400", "incorrect", "no", ""],
                ["first", "3", "1", "600", "no ring in", "no", ""]]
    if not out.startswith(HEADER) or [row[1:] for row in rows[1:]] != expected:
        fail(f"the export after the game is {out!r}")
    started = {row[0] for row in rows[1:]}
    if len(started) != 1 or not re.fullmatch(r"\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d",
                                              started.pop()):
        fail(f"the results' game start is not one time of day with its offset: {rows}")
    record = os.path.join(folder("LOCALAPPDATA"), PRODUCT, "games.sqlite")
    if not os.path.isfile(record):
        fail(f"the record is not where it belongs: {record}")
    check("--export-csv - shows the three results, kept in %LOCALAPPDATA%\\Vantorel Scorekeeper: " +
          "; ".join(",".join(row[1:]) for row in rows[1:]))


def check_uninstaller(installed, shortcut):
    record = os.path.join(folder("LOCALAPPDATA"), PRODUCT, "games.sqlite")
    status, _, err = wine(os.path.join(installed, "Uninstall.exe"), "/S")
    settle()
    if status != 0:
        fail(f"the uninstaller exited with {status}: {err!r}")
    if os.path.exists(installed):
        fail(f"left after uninstalling: {installed}: {files_under(installed)}")
    if os.path.exists(shortcut):
        fail(f"the Start menu entry is left: {shortcut}")
    if registry_values(UNINSTALL_KEY) is not None:
        fail(f"the Apps & features entry is left: {UNINSTALL_KEY}")
    if not os.path.isfile(record) or os.path.getsize(record) == 0:
        fail(f"the uninstaller took the player's record: {record}")
    check("the uninstaller runs silently and leaves no installed file, Start menu entry or "
          "Apps & features entry; the player's record stays")


def main():
    shutil.rmtree(WORK, ignore_errors=True)
    os.makedirs(WORK)
    os.environ["DISPLAY"] = e2e.start_xvfb()
    # A window manager, as on any desktop: without one, Wine 10 leaves a hidden window mapped.
    e2e.children.append(subprocess.Popen(["openbox"], stderr=subprocess.DEVNULL))
    e2e.wait_for("the window manager", lambda: "window id" in subprocess.run(
        ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], capture_output=True, text=True).stdout)
    status, _, err = wine("wineboot", "--init", seconds=300)
    settle()
    if status != 0:
        fail(f"wineboot --init exited with {status}: {err!r}")

    check_zip(f"{PRODUCT} {VERSION}")
    installed, shortcut = check_installer()
    play(os.path.join(installed, EXE))
    check_uninstaller(installed, shortcut)
    print(f"{passed} passed, 0 failed", flush=True)


if __name__ == "__main__":
    try:
        main()
    finally:
        e2e.stop_children()
        subprocess.run(["wineserver", "-k"], env=wine_environment(), check=False,
                       capture_output=True)
