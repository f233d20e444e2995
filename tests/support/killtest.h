// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

// Lives of the program, its games kept, killed at chosen moments and started again: each life
// is the random player (soakplayer.h) in a process of its own, writing what it had on screen
// and what the record said was on disk; the test then checks the record against them.

#include "runtime/termination.h"
#include "tests/support/soakplayer.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTextStream>
#include <QThread>

#include <sqlite3.h>

#include <optional>

namespace soak {

// A game's steps as the record keeps them, and how many are in effect.
struct Recorded
{
    std::vector<scoring::Step> steps;
    int inEffect = 0;
    friend bool operator==(const Recorded &, const Recorded &) = default;
};

// "inEffect kind.round.outcome.square.amount ...", one line of text.
inline QString encode(const Recorded &game)
{
    QStringList words{ QString::number(game.inEffect) };
    for (const scoring::Step &step : game.steps)
        words << QStringLiteral("%1.%2.%3.%4.%5")
                         .arg(int(step.kind))
                         .arg(int(step.round))
                         .arg(int(step.outcome))
                         .arg(step.square)
                         .arg(step.amount);
    return words.join(u' ');
}

inline Recorded decode(const QString &line)
{
    const QStringList words = line.split(u' ', Qt::SkipEmptyParts);
    Recorded game{ {}, words.value(0).toInt() };
    for (const QString &word : words.mid(1)) {
        const QStringList f = word.split(u'.');
        game.steps.push_back({ scoring::StepKind(f.value(0).toInt()),
                               scoring::Round(f.value(1).toInt()),
                               scoring::Outcome(f.value(2).toInt()), f.value(3).toInt(),
                               f.value(4).toLongLong() });
    }
    return game;
}

// One life of the program as a kill test runs it: it starts as the program does, with its
// games kept, answering the question that offers back the game the record holds (`recorded`,
// if any), then plays on until the game ends or it is killed. After each action it writes the
// game's steps as the history has them, and whenever the record says a change is on disk, its
// number.
inline int live(Player &player, const std::optional<Recorded> &recorded, Totals &totals)
{
    QTextStream out(stdout);
    gametest::keepGamesIn(qEnvironmentVariable("VANTOREL_SOAK_RECORD"));
    playalong::History &history = gametest::playAlong().history();
    SingleBoard::instance().show();
    player.resuming = recorded.has_value();
    player.expectQuestion(player.resuming);
    player.startModalPoll(totals);
    // The record opens, and offers its game, once the first board has been painted.
    QDeadlineTimer deadline(10000);
    storage::GameStore *store = nullptr;
    bool looked = false;
    const auto look = [&] {
        looked = true;
        out << "LOOKED" << Qt::endl; // the record open, and the locks of lives gone swept
    };
    while (!looked && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        if (!store && (store = gametest::playAlong().journal()->store())) {
            QObject::connect(store, &storage::GameStore::offered, &player, look);
            QObject::connect(store, &storage::GameStore::nothingOffered, &player, look);
            // What is on disk, by the number of the change the life handed over last.
            QObject::connect(
                    store, &storage::GameStore::written, &player,
                    [&out](std::uint64_t sequence) { out << "KEPT " << sequence << Qt::endl; });
        }
    }
    // The question's answer comes after it.
    QCoreApplication::processEvents();
    QString failure;
    if (player.questions() != int(player.resuming))
        failure = "the game kept was not offered back, or one was offered that was not kept";
    if (recorded && player.answeredYes()
        && (history.game().history() != recorded->steps
            || history.game().inEffect() != recorded->inEffect))
        failure = "the game kept was not put back as it was kept";
    player.expectQuestion(false);
    player.resuming = false;
    const bool faults = qEnvironmentVariableIsSet("VANTOREL_SOAK_FAULTS");
    // Terminated, it ends as the program does: what it handed to the record is written.
    bool terminated = false;
    runtime::handleTermination([&terminated] { terminated = true; });
    const auto showState = [&] {
        out << "STATE " << (store ? store->lastHanded() : 0) << ' '
            << encode({ history.game().history(), history.game().inEffect() }) << Qt::endl;
    };
    while (failure.isEmpty() && player.failure().isEmpty() && !player.ended() && !terminated) {
        showState();
        if (Last::instance().isShown())
            break;
        if (faults && player.chance(4))
            player.failDiskAWhile();
        player.playOne();
    }
    if (failure.isEmpty())
        failure = player.failure();
    if (!failure.isEmpty()) {
        out << "FAIL " << failure << " after " << player.actionLog().join(" | ") << Qt::endl;
        return 1;
    }
    if (terminated)
        showState();
    out << (terminated ? "TERMINATED" : "OVER") << Qt::endl;
    return 0;
}

// Lives of the program, each killed (SIGKILL) at a chosen moment and started again, with a
// check of the record after each: no damage, and no result lost or changed. A result on screen
// is one the life wrote out after its action; the action under way when it was killed may or
// may not be kept, but nothing else may differ.
class KillTest
{
public:
    KillTest(QString program, const QString &folder, std::uint32_t seed)
        : m_program(std::move(program)), m_record(folder + "/games.sqlite"), m_seed(seed)
    { }

    // Starts a life, kills it once it has written `actions` states and `delayMs` more have
    // passed (or lets it end), and checks the record. With `faults`, the life's disk fails now
    // and then for a moment. Terminated instead of killed, it must have kept every result.
    // Returns what went wrong, if anything.
    QString live(int actions, int delayMs, bool faults = false, bool terminate = false)
    {
        QProcess life;
        QStringList arguments{ "--life", QString::number(m_seed++) };
        if (m_kept) {
            arguments << encode(*m_kept);
            ++resumed;
        }
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("VANTOREL_SOAK_RECORD", m_record);
        if (faults)
            environment.insert("VANTOREL_SOAK_FAULTS", "1");
        life.setProcessEnvironment(environment);
        life.start(m_program, arguments);
        QByteArray output;
        while (output.count("STATE ") < actions && life.waitForReadyRead(20000))
            output += life.readAllStandardOutput();
        // A life that ended on its own went as the program ends, game over or not.
        if (life.state() == QProcess::NotRunning && life.exitStatus() == QProcess::CrashExit)
            return QStringLiteral("the life crashed as it ended");
        QThread::msleep(delayMs);
        if (terminate)
            life.terminate();
        else
            life.kill();
        life.waitForFinished(20000);
        output += life.readAllStandardOutput();
        ++kills;
        return check(output);
    }

    // Checks the record against what a life wrote out: its states on screen, each with the
    // number of the last change it handed over, and the changes the record said were on disk.
    QString check(const QByteArray &output)
    {
        if (output.contains("FAIL "))
            return QString::fromUtf8(output.mid(output.indexOf("FAIL ")));
        m_unswept = output.contains("LOOKED") ? 1 : m_unswept + 1;
        // What the life had on screen, state by state, each with the number of the last change
        // it handed to the record; and the last change the record said was on disk.
        std::vector<std::pair<std::uint64_t, Recorded>> shown{ { 0, m_kept.value_or(Recorded{}) } };
        std::uint64_t kept = 0;
        for (const QByteArray &line : output.split('\n')) {
            const QList<QByteArray> words = line.split(' ');
            if (line.startsWith("STATE "))
                shown.emplace_back(words.value(1).toULongLong(),
                                   decode(QString::fromUtf8(line.mid(7 + words.value(1).size()))));
            else if (line.startsWith("KEPT "))
                kept = std::max<std::uint64_t>(kept, words.value(1).toULongLong());
        }
        // The record may hold any state since the last one it said was on disk, but no older:
        // how far behind the screen it may be is the writer's queue at the moment of the kill.
        auto first = std::find_if(shown.begin(), shown.end(),
                                  [kept](const auto &state) { return state.first >= kept; });
        if (first != shown.begin())
            --first;
        if (output.contains("TERMINATED"))
            first = shown.end() - 1;
        std::vector<Recorded> possible;
        for (auto state = first; state != shown.end(); ++state)
            possible.push_back(state->second);
        return checkRecord(possible);
    }

    long kills = 0;
    long resumed = 0; // lives that were offered their game back and took it
    long integrityChecks = 0;
    long resultsCompared = 0;
    long behind = 0; // kills that found the record a change or more behind the screen

private:
    // A stored game follows from what was on screen if it is that, or that and one more move:
    // a result, an undo, a redo.
    static bool follows(const Recorded &shown, const Recorded &stored)
    {
        if (stored == shown)
            return true;
        // The record lists no game with nothing in effect: the screen had none, or its one
        // result was being undone.
        if (stored.steps.empty())
            return shown.inEffect <= 1;
        if (stored.steps == shown.steps && std::abs(stored.inEffect - shown.inEffect) == 1)
            return true;
        return stored.inEffect == shown.inEffect + 1 && int(stored.steps.size()) == stored.inEffect
                && std::equal(shown.steps.begin(), shown.steps.begin() + shown.inEffect,
                              stored.steps.begin());
    }

    // `possible`: the states the record may hold, the last one the last on screen.
    QString checkRecord(const std::vector<Recorded> &possible)
    {
        const Recorded &shown = possible.back();
        sqlite3 *db = nullptr;
        QString integrity;
        if (sqlite3_open(m_record.toUtf8().constData(), &db) == SQLITE_OK) {
            sqlite3_stmt *check = nullptr;
            sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &check, nullptr);
            if (sqlite3_step(check) == SQLITE_ROW)
                integrity = QString::fromUtf8(
                        reinterpret_cast<const char *>(sqlite3_column_text(check, 0)));
            sqlite3_finalize(check);
        }
        sqlite3_close(db);
        const bool fresh = !QFile::exists(m_record);
        if (!fresh && integrity != "ok")
            return "the record is damaged: " + integrity;
        integrityChecks += fresh ? 0 : 1;
        const QDir folder = QFileInfo(m_record).dir();
        if (!folder.entryList({ "*.damaged-*" }).isEmpty())
            return "the record was set aside as damaged";
        // The life just killed left its lock; the last one to open the record swept the older
        // ones.
        if (const qsizetype locks = folder.entryList({ "*.copy-*.lock" }, QDir::Files).size();
            locks > m_unswept)
            return QStringLiteral("%1 locks of killed lives left behind").arg(locks);
        const storage::Record::Games read = storage::Record(m_record).games();
        if (!read.problem.isEmpty())
            return read.problem;
        const std::vector<storage::GameRecord> &games = read.games;
        const auto open = std::find_if(games.begin(), games.end(), [](const auto &game) {
            return game.ending == storage::Ending::InProgress;
        });
        // With no game under way, the record holds either none yet (the life's first result
        // not on disk) or the life's game ended at the Final Score: the newest one (first).
        std::vector<Recorded> held;
        if (open != games.end()) {
            held.push_back({ open->steps, open->stepsInEffect });
        } else {
            held.push_back({});
            if (!games.empty())
                held.push_back({ games.front().steps, games.front().stepsInEffect });
        }
        resultsCompared += long(shown.steps.size());
        const auto found = std::find_if(held.begin(), held.end(), [&](const Recorded &game) {
            return std::any_of(possible.begin(), possible.end(),
                               [&](const Recorded &state) { return follows(state, game); });
        });
        const Recorded &stored = found != held.end() ? *found : held.back();
        if (found == held.end() && (shown.inEffect > 0 || open != games.end()))
            return QStringLiteral("results lost or changed: on screen %1, kept %2")
                    .arg(encode(shown), encode(stored));
        behind += !follows(shown, stored) && shown.inEffect > 0;
        m_kept = open != games.end() ? std::optional(stored) : std::nullopt;
        return {};
    }

    QString m_program;
    QString m_record;
    std::uint32_t m_seed;
    std::optional<Recorded> m_kept; // the game in progress in the record
    int m_unswept = 0; // lives since the last one that opened the record, it included
};

} // namespace soak
