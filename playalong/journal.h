// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QObject>
#include <QString>

#include <memory>

namespace storage {
class GameStore;
struct GameRecord;
} // namespace storage

namespace playalong {

class History;

// Keeps the game on disk as the history records it, step by step, so that nothing is lost to
// a crash, a kill or a logout; offers a game cut short back at the next start; and tells the
// player when the record cannot be kept, and when it is kept again. Play never waits on it:
// the record is opened once the first board has been painted, and written in the background.
class Journal final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Journal)

public:
    Journal(History &history, QString path, QObject *parent = nullptr);
    ~Journal() override;

    // The record, once open.
    storage::GameStore *store() const { return m_store.get(); }

private:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void open();
    void offerResume(const storage::GameRecord &game);
    void tell(const QString &problem);

    History &m_history;
    QString m_path;
    std::unique_ptr<storage::GameStore> m_store;
};

} // namespace playalong
