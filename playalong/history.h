// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

#include "scoring/game.h"

#include <QObject>
#include <QUndoStack>

namespace runtime {
class Form;
}

namespace playalong {

// The game under way, as scoring::Game keeps it, and its undo history: each step recorded is
// one undo step, a clue answered or a wager scored (as the windows announce them), a round
// ended early or an earlier result changed. Undo and redo move the game's position in its
// steps, and the windows are put back from the game as it then stands: its score, its boards'
// squares, its round. The history starts afresh with every game and is gone once the Final
// Score shows. Its signals tell what happened to the game, for keeping it.
class History final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(History)

public:
    explicit History(QObject *parent = nullptr);
    ~History() override;

    QUndoStack &stack() { return m_stack; }
    const scoring::Game &game() const { return m_game; }
    // At least one step has been recorded in this game.
    bool gameUnderWay() const { return !m_game.empty(); }
    // Ends the round of the board in play as one step: its open squares become used, and the
    // game goes on as after the last square.
    void endRound();
    // The player ended the game before its end.
    void endGame();
    // Gives the result recorded at `index` another outcome (and a wager another amount), as one
    // step. Refused, with nothing changed, when the score could not hold the game then.
    bool change(int index, scoring::Outcome outcome, std::int64_t wager);
    // Puts a game back as it stood, its undone steps redoable: the board in play, its squares,
    // the score, and the final wager (empty) if its round had begun.
    void resume(const scoring::Game &game);

Q_SIGNALS:
    // A new game: the first board has loaded.
    void started();
    // The game changed: a step recorded, undone or redone.
    void changed();
    // The final wager was scored: the Final Score shows, and the game is over.
    void finished();
    // The player ended the game.
    void ended();

private:
    class Move;
    // The wager window as a step found it, for undo to put back across the start of the final
    // round: it is no part of the game.
    struct Wager
    {
        bool shown = false;
        QString digits;
    };

    void loaded(runtime::Form &form);
    void recordResult(const scoring::Step &result);
    void push(const scoring::Step &step, bool done);
    void moveTo(int inEffect, const Wager *before);
    void show(const Wager *before);

    scoring::Game m_game;
    QUndoStack m_stack;
    bool m_layingOut = false; // a resumed game's steps are laid out: the windows stay as they are
    bool m_showing = false; // the windows are being put back: what they do is no new game
};

} // namespace playalong
