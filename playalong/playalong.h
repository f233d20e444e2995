// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

// What the player has beyond the designed game: undo and redo of results, ending a round
// early, a question before a game in progress is closed, keys for the results, and the record
// of games kept on disk. Each stands in its own unit. They follow the player through the form
// runtime's hooks (windows loaded, clicks dispatched, closes asked for) and act on the windows
// through the windows' public vocabulary: the named answer and wager buttons, a board's open
// squares, the board in play, the final wager.

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

namespace storage {
class GameStore;
}

namespace playalong {

class History;
class Journal;

// Every addition, hooked into the form runtime while it lives: main makes one, and each test
// one of its own. Games are kept in the record at recordPath (none without one), which the
// boards' menu opens with openYourGames (the record's window, which stands apart).
class PlayAlong final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PlayAlong)

public:
    using YourGames = std::function<QWidget *(storage::GameStore &)>;

    explicit PlayAlong(const QString &recordPath = {}, YourGames openYourGames = {},
                       QObject *parent = nullptr);
    ~PlayAlong() override;

    History &history() { return *m_history; }
    // The journal that keeps the games, if they are kept.
    Journal *journal() const { return m_journal; }
    // Brings up the Your Games window, opening it if need be, once the games are kept.
    bool canShowYourGames() const;
    void showYourGames();
    // Brings up the results of the game under way, to change any of them, until it is over.
    void showResults();

private:
    YourGames m_openYourGames;
    QPointer<QWidget> m_yourGames;
    QPointer<QWidget> m_results;
    History *m_history = nullptr; // children, gone with it
    Journal *m_journal = nullptr;
};

} // namespace playalong
