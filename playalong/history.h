// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

#include "scoring/step.h"

#include <QObject>
#include <QUndoStack>

#include <memory>
#include <string_view>
#include <vector>

namespace runtime {
class Form;
}

namespace playalong {

// The game's results, one undo step each: a clue answered, a wager scored, a round ended
// early. Steps are seen in the runtime's click dispatch, so the windows know nothing of them.
// Each step records what happened and the game as it stood before: undo puts that back
// exactly, redo plays the step again. The history starts afresh with every game and is gone
// once the Final Score shows. Its signals tell what happened to the game, for keeping it.
class History final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(History)

public:
    explicit History(QObject *parent = nullptr);
    ~History() override;

    QUndoStack &stack() { return m_stack; }
    // At least one result has been recorded in this game.
    bool gameUnderWay() const { return m_stack.count() > 0; }
    // Ends the round of the board in play as one step: its open squares become used, and the
    // game goes on as after the last square.
    void endRound();
    // The player ended the game before its end.
    void endGame();
    // Puts a game back as it stood after the first `inEffect` of its steps, the rest redoable:
    // the board in play, its squares, the score, and the final wager (empty) if its round had
    // begun.
    void resume(const std::vector<scoring::Step> &steps, int inEffect);

    // Where a game stands after the first `inEffect` of its steps.
    struct Position
    {
        scoring::Round round = scoring::Round::First;
        int openSquares = 0; // on the board in play
    };
    static Position positionAfter(const std::vector<scoring::Step> &steps, int inEffect);

Q_SIGNALS:
    // A new game: the first board has loaded.
    void started();
    // A result became step `number` of the history, dropping any redoable ones.
    void recorded(int number, const scoring::Step &step);
    // A step was undone or redone.
    void moved();
    // The final wager, step `number` of the history, was scored: the Final Score shows.
    void finished(int number, const scoring::Step &finalWager);
    // The player ended the game.
    void ended();

private:
    struct Pending;

    void loaded(runtime::Form &form);
    void clickStarting(runtime::Form &form, std::string_view control, int index);
    void clickFinished(runtime::Form &form, std::string_view control, int index);

    void push(const Pending &pending, bool done);

    QUndoStack m_stack;
    std::unique_ptr<Pending> m_pending;
    bool m_quiet = false; // the stack changes without a move of the player's
};

} // namespace playalong
