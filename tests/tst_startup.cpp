// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

// The program's start as a shell user meets it: its options, no display to open, and the
// export of the games kept, which needs none.

#include "scoring/record.h"
#include "storage/gamestore.h"
#include "tests/support/steps.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sqlite3.h>

#include <tuple>

namespace {

// The games kept, newest first as recorded: when each started, its steps and how many of them
// are in effect (the rest undone).
const std::tuple<const char *, const char *, int> keptGames[] = {
    { "2026-12-09T19:30:00+01:00", "D1+1000 1+6 1.20", 2 },
    { "2026-12-08T20:00:00-05:00", "1+3 D1+1500 1.20 E1 D2-2000 2-8 2.14 F+2000", 8 },
};

} // namespace

class tst_StartUp final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void commandLineAndDisplay_data();
    void commandLineAndDisplay();
    void exportAddsUp_data();
    void exportAddsUp();

private:
    bool run(QProcess &program, const QStringList &arguments, const QString &display = {});

    QTemporaryDir m_folder; // the data folder, and the working directory
    QByteArray m_figures; // of the games kept, oldest first: start, score, clue score
};

void tst_StartUp::initTestCase()
{
    QVERIFY(m_folder.isValid());
    const QString path = m_folder.filePath(QStringLiteral("vantorel/games.sqlite"));
    storage::GameStore store(path, nullptr, storage::GameStore::Durability::EachCommit);
    sqlite3 *db = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(path), &db), SQLITE_OK);
    for (const auto &[started, text, inEffect] : keptGames) {
        const std::vector<scoring::Step> steps = testsupport::steps(text);
        for (int n = 0; n < int(steps.size()); ++n)
            store.recordStep(n, steps[n], n + 1, 0);
        store.setStepsInEffect(inEffect, 0);
        store.endGame(storage::Ending::Finished, 0);
        // The store dates a game from its first result: these start when they say.
        const QDateTime start = QDateTime::fromString(started, Qt::ISODate);
        sqlite3_exec(db,
                     QString::asprintf("UPDATE games SET started = %lld, started_offset = %d "
                                       "WHERE id = (SELECT max(id) FROM games)",
                                       start.toMSecsSinceEpoch(), start.offsetFromUtc())
                             .toUtf8(),
                     nullptr, nullptr, nullptr);
        const auto game = scoring::gameFigures(std::span(steps).first(inEffect));
        m_figures.prepend(started + (' ' + QByteArray::number(game.score)) + ' '
                          + QByteArray::number(game.clueScore)
                          + (game.clueScoreComplete() ? "\n" : " incomplete\n"));
    }
    sqlite3_close(db);
}

// Starts the program without a graphical desktop (or on `display`), its games kept in the test's
// folder; true once it has ended by itself, without an abort or a core.
bool tst_StartUp::run(QProcess &program, const QStringList &arguments, const QString &display)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : { "QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "DISPLAY" })
        environment.remove(QString::fromLatin1(name));
    if (!display.isEmpty())
        environment.insert(QStringLiteral("DISPLAY"), display);
    environment.insert(QStringLiteral("XDG_DATA_HOME"), m_folder.path());
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(m_folder.path());
    program.start(QStringLiteral(VANTOREL_EXECUTABLE), arguments);
    return program.waitForFinished(20000) && program.exitStatus() == QProcess::NormalExit;
}

void tst_StartUp::commandLineAndDisplay_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("display"); // "" unset
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("output"); // all it prints, or for the help a line of it

    const QString version = QStringLiteral("Vantorel Scorekeeper " VANTOREL_VERSION "\n");
    const QString noDesktop =
            QStringLiteral("vantorel: needs a graphical desktop to show its windows");
    QTest::newRow("--version") << QStringList{ "--version" } << "" << 0 << version;
    QTest::newRow("-v") << QStringList{ "-v" } << "" << 0 << version;
    QTest::newRow("--help") << QStringList{ "--help" } << "" << 0 << "  -v, --version ";
    QTest::newRow("unknown option") << QStringList{ "--fullscreen" } << "" << 2
                                    << "vantorel: Unknown option 'fullscreen'.\n";
    QTest::newRow("an argument") << QStringList{ "game.txt" } << "" << 2
                                 << "vantorel: unexpected argument 'game.txt'\n";
    QTest::newRow("no display") << QStringList{} << "" << 1
                                << noDesktop + " (DISPLAY is not set)\n";
    QTest::newRow("Your Games alone, no display")
            << QStringList{ "--games" } << "" << 1 << noDesktop + " (DISPLAY is not set)\n";
    QTest::newRow("a display that is not there")
            << QStringList{} << "/nonexistent:0" << 1
            << noDesktop + " (cannot open display /nonexistent:0)\n";
    QTest::newRow("export into a missing folder")
            << QStringList{ "--export-csv", "none/games.csv" } << "" << 1
            << "vantorel: cannot write none/games.csv: No such file or directory\n";
    if (QFile::exists("/dev/full"))
        QTest::newRow("export onto a full disk")
                << QStringList{ "--export-csv", "/dev/full" } << "" << 1
                << "vantorel: cannot write /dev/full: No space left on device\n";
}

void tst_StartUp::commandLineAndDisplay()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, display);
    QFETCH(int, exitCode);
    QFETCH(QString, output);
    QProcess program;
    QVERIFY(run(program, arguments, display));
    QCOMPARE(program.exitCode(), exitCode);
    const QString text = QString::fromLocal8Bit(program.readAllStandardOutput()
                                                + program.readAllStandardError());
    if (arguments == QStringList{ "--help" })
        QVERIFY2(text.contains(output), qPrintable(text));
    else
        QCOMPARE(text, output);
}

void tst_StartUp::exportAddsUp_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("to standard output") << "-";
    QTest::newRow("to a file") << "games.csv";
}

// Without a display, the export reads in Python's csv module, and each game's score and clue
// score worked out from its rows alone are its figures, oldest game first.
void tst_StartUp::exportAddsUp()
{
    QFETCH(QString, file);
    QProcess program, python;
    QVERIFY(run(program, { "--export-csv", file }));
    QCOMPARE(program.exitCode(), 0);
    python.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    python.start("python3",
                 { VANTOREL_CHECK_EXPORT, file == "-" ? "/dev/stdin" : m_folder.filePath(file) });
    python.write(program.readAllStandardOutput());
    python.closeWriteChannel();
    QVERIFY(python.waitForFinished(20000));
    QCOMPARE(python.readAll(), m_figures);
}

QTEST_GUILESS_MAIN(tst_StartUp)
#include "tst_startup.moc"
