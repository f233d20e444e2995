// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

// What the random player checks after each of its actions: that the windows show the game the
// history holds, by a few invariants of their own rather than a second account of the game.
// The score on the board is the sum of the steps' changes, the blank squares are exactly the
// used ones, the round in view is the game's, the wager and clue windows agree with it, and the
// undo history's place is the game's.

#include "playalong/history.h"
#include "runtime/formruntime.h"
#include "scoring/game.h"
#include "windows/dailydouble.h"
#include "windows/doubleboard.h"
#include "windows/last.h"
#include "windows/question.h"
#include "windows/singleboard.h"
#include "windows/texts.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace soak {

enum Win { Single, Double, Clue, Wager, Final, windowCount };

inline const char *windowName(int w)
{
    static const char *const names[] = { "first board", "second board", "clue window",
                                         "wager window", "Final Score" };
    return names[w];
}

inline runtime::Form &form(int w)
{
    switch (w) {
    case Single:
        return SingleBoard::instance();
    case Double:
        return DoubleBoard::instance();
    case Clue:
        return Question::instance();
    case Wager:
        return DailyDouble::instance();
    default:
        return Last::instance();
    }
}

inline Board &board(int w)
{
    if (w == Single)
        return SingleBoard::instance();
    return DoubleBoard::instance();
}

// The board in view, if any.
inline int boardShown()
{
    return SingleBoard::instance().isShown()    ? Single
            : DoubleBoard::instance().isShown() ? Double
                                                : -1;
}

// What is wrong with the windows, if anything, for the game the history holds.
inline QString checkWindows(playalong::History &history)
{
    const scoring::Game &game = history.game();
    if (runtime::FormRuntime::instance().loadedForms().empty())
        return {};
    int shown = 0;
    for (int w = 0; w < windowCount; ++w) {
        shown += form(w).isShown();
        if (form(w).isLoaded() && form(w).window()->isVisible() != form(w).isShown())
            return QStringLiteral("%1: the widget's visibility differs").arg(windowName(w));
    }
    if (shown == 0)
        return "running with no window in view";
    if (SingleBoard::instance().isShown() && DoubleBoard::instance().isShown())
        return "both boards in view";
    if (SingleBoard::instance().Score != game.score())
        return QStringLiteral("score %1, the game's steps make %2")
                .arg(SingleBoard::instance().Score)
                .arg(game.score());
    if (Last::instance().isShown())
        return Last::instance().Label2()->text() == texts::moneyText(double(game.score()))
                        && game.finished()
                ? QString()
                : "the Final Score shows " + Last::instance().Label2()->text();
    if (history.stack().index() != game.inEffect()
        || history.stack().count() != int(game.history().size()))
        return QStringLiteral("the undo history stands at %1 of %2, the game at %3 of %4")
                .arg(history.stack().index())
                .arg(history.stack().count())
                .arg(game.inEffect())
                .arg(game.history().size());
    const int inView = boardShown();
    if (inView < 0)
        return {};
    const scoring::Round round = inView == Single ? scoring::Round::First : scoring::Round::Second;
    if (game.round() != round
        && !(round == scoring::Round::Second && game.round() == scoring::Round::Final))
        return QStringLiteral("the %1 in view in round %2")
                .arg(windowName(inView))
                .arg(int(game.round()));
    Board &shownBoard = board(inView);
    if (shownBoard.ScoreLabel()->text() != texts::scoreText(std::int32_t(game.score())))
        return "the board in view shows " + shownBoard.ScoreLabel()->text();
    const scoring::Squares used = game.used(round);
    for (int i = 0; i < scoring::squareCount; ++i) {
        const QString expected =
                used[std::size_t(i)] ? QString() : texts::moneyText(shownBoard.squareValue(i));
        if (shownBoard.Command1(i)->text() != expected)
            return QStringLiteral("square %1 reads '%2'")
                    .arg(i)
                    .arg(shownBoard.Command1(i)->text());
    }
    if (Question::instance().isShown()) {
        Question &clue = Question::instance();
        const std::optional<int> square = clue.square();
        if (!square || used[std::size_t(*square)])
            return "the clue window names no open square: " + clue.caption();
        const double value = shownBoard.squareValue(*square);
        if (clue.caption() != texts::clueTitle(value)
            || clue.Label1()->text() != texts::moneyText(value))
            return "the clue window names the wrong value: " + clue.caption();
    }
    if (DailyDouble::instance().isShown()) {
        DailyDouble &wager = DailyDouble::instance();
        const bool final = game.round() == scoring::Round::Final;
        if ((wager.caption() == "Final Vantorel") != final || wager.isFinalWager() != final
            || wager.Command1(DailyDouble::Cancel)->isVisible() == final)
            return "the wager window in the wrong round: " + wager.caption();
        const QString typed = wager.Wager()->text();
        if (typed.size() > 10
            || !std::all_of(typed.begin(), typed.end(), [](QChar c) { return c.isDigit(); }))
            return "the wager box holds " + typed;
    }
    return {};
}

} // namespace soak
