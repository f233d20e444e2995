// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QObject>
#include <QUndoStack>

#include <memory>
#include <string_view>

namespace runtime {
class Form;
}

namespace playalong {

// The game's results, one undo step each: a clue answered, a wager scored, a round ended
// early. Steps are seen in the runtime's click dispatch, so the windows know nothing of them.
// Each step records what happened and the game as it stood before: undo puts that back
// exactly, redo plays the step again. The history starts afresh with every game and is gone
// once the Final Score shows.
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

private:
    struct Pending;

    void loaded(runtime::Form &form);
    void clickStarting(runtime::Form &form, std::string_view control, int index);
    void clickFinished(runtime::Form &form, std::string_view control, int index);

    QUndoStack m_stack;
    std::unique_ptr<Pending> m_pending;
};

} // namespace playalong
