# Copyright (C) 2026 Vantorel Scorekeeper developers
# SPDX-License-Identifier: MIT
# Reads an export of the games and prints each game's start, and its score and clue score
# worked out from its rows alone: "incomplete" when a right Daily Double has no square.
import csv
import sys

games = {}
with open(sys.argv[1], newline="", encoding="utf-8") as export:
    for row in csv.DictReader(export, strict=True):
        assert None not in row and None not in row.values(), f"fields missing or extra: {row}"
        sign = {"correct": 1, "incorrect": -1, "no ring in": 0}[row["result"]]
        game = games.setdefault(row["started"], [0, 0, ""])
        game[0] += sign * int(row["wager"] or row["value"])
        if not row["wager"]:
            game[1] += sign * int(row["value"])
        elif row["daily_double"] == "yes" and sign > 0:  # its square's value, if it took one
            game[1] += int(row["value"] or 0)
            game[2] = game[2] if row["value"] else " incomplete"
for started, (score, clue_score, mark) in games.items():
    print(f"{started} {score} {clue_score}{mark}")
