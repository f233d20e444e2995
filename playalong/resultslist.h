// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

#include "scoring/game.h"

#include <QWidget>

#include <functional>

QT_BEGIN_NAMESPACE
class QTableView;
QT_END_NAMESPACE

namespace playalong {

// The results of a game in effect, oldest first, through both boards and the final wager:
// each one's round, square, value, answer, Daily Double and wager. The player may give a clue
// another answer, and a Daily Double or the final wager another outcome or amount (double-click,
// F2 or Enter on it); each change goes to `change`, which makes it or refuses it.
class ResultsList final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ResultsList)

public:
    // Changes the result recorded at `index`: false when the score could not hold it.
    using Change = std::function<bool(int index, scoring::Outcome outcome, std::int64_t wager)>;

    ResultsList(const QString &title, const scoring::Game &game, Change change,
                QWidget *parent = nullptr);
    ~ResultsList() override;

    // The game as it now stands, shown once the event under way is handled.
    void setGame(const scoring::Game &game);
    QTableView *table() const { return m_table; }

private:
    class Model;
    class Delegate;

    void fitColumns();

    Model *m_model;
    QTableView *m_table;
};

} // namespace playalong
