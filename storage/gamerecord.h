// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

// A game as the record of games keeps it.

#include "scoring/record.h"
#include "scoring/step.h"

#include <QDateTime>

#include <cstdint>
#include <vector>

namespace storage {

enum class Ending {
    InProgress,
    Finished, // the Final Score was shown
    EndedByPlayer, // the player answered Yes to ending it
    NotFinished, // left open, and declined at the next start
};

// Who is playing a game, as the record is read: a game in progress may be this copy's, another
// running copy's, or nobody's (cut short, and offered at the next start).
enum class PlayedBy { Nobody, ThisCopy, AnotherCopy };

struct GameRecord
{
    std::int64_t id = 0;
    QDateTime started; // at its first result, in the local time of then (with its offset)
    QDateTime ended; // null while in progress; for a game not finished, its last change
    Ending ending = Ending::InProgress;
    std::int64_t score = 0; // at its end, or now
    // Its whole history. Those past stepsInEffect were undone (and can be redone while open).
    std::vector<scoring::Step> steps;
    int stepsInEffect = 0;
    PlayedBy playedBy = PlayedBy::Nobody;

    friend bool operator==(const GameRecord &, const GameRecord &) = default;
};

// A game as a list of games shows it: its figures without its steps, as the record keeps them
// beside the steps they come from.
struct GameRow
{
    std::int64_t id = 0;
    std::int64_t startedMs = 0; // at its first result, milliseconds since 1970 UTC
    int startedOffset = 0; // seconds from UTC of the local time then
    Ending ending = Ending::InProgress;
    PlayedBy playedBy = PlayedBy::Nobody;
    scoring::GameFigures figures;

    QDateTime started() const;
    friend bool operator==(const GameRow &, const GameRow &) = default;
};

} // namespace storage
