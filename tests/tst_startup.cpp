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

QByteArray contentsOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

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
    void exportReadsOnly_data();
    void exportReadsOnly();

private:
    bool run(QProcess &program, const QStringList &arguments, const QString &display = {},
             const QString &dataHome = {});

    QTemporaryDir m_folder; // the data folder, and the working directory
    QByteArray m_figures; // of the games kept, oldest first: start, score, clue score
};

void tst_StartUp::initTestCase()
{
    QVERIFY(m_folder.isValid());
    const QString path = m_folder.filePath(QStringLiteral("vantorel/games.sqlite"));
    storage::GameStore store(path);
    sqlite3 *db = nullptr;
    for (const auto &[started, text, inEffect] : keptGames) {
        const std::vector<scoring::Step> steps = testsupport::steps(text);
        for (int n = 0; n < int(steps.size()); ++n)
            store.keep(std::vector(steps.begin(), steps.begin() + n + 1), n + 1);
        store.keep(steps, inEffect);
        store.endGame(storage::Ending::Finished);
        QVERIFY(store.waitForWritten());
        if (!db)
            QCOMPARE(sqlite3_open(QFile::encodeName(path), &db), SQLITE_OK);
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
bool tst_StartUp::run(QProcess &program, const QStringList &arguments, const QString &display,
                      const QString &dataHome)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : { "QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "DISPLAY" })
        environment.remove(QString::fromLatin1(name));
    if (!display.isEmpty())
        environment.insert(QStringLiteral("DISPLAY"), display);
    environment.insert(QStringLiteral("XDG_DATA_HOME"),
                       dataHome.isEmpty() ? m_folder.path() : dataHome);
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
    QTest::newRow("export onto the record itself, by any name")
            << QStringList{ "--export-csv", "record-link.csv" } << "" << 1
            << "vantorel: cannot write record-link.csv: it is the record of your games itself\n";
}

void tst_StartUp::commandLineAndDisplay()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, display);
    QFETCH(int, exitCode);
    QFETCH(QString, output);
    QFile::link(m_folder.filePath("vantorel/games.sqlite"), m_folder.filePath("record-link.csv"));
    const QByteArray record = contentsOf(m_folder.filePath("vantorel/games.sqlite"));
    QProcess program;
    QVERIFY(run(program, arguments, display));
    QCOMPARE(program.exitCode(), exitCode);
    const QString text = QString::fromLocal8Bit(program.readAllStandardOutput()
                                                + program.readAllStandardError());
    if (arguments == QStringList{ "--help" })
        QVERIFY2(text.contains(output), qPrintable(text));
    else
        QCOMPARE(text, output);
    QCOMPARE(contentsOf(m_folder.filePath("vantorel/games.sqlite")), record);
}

void tst_StartUp::exportReadsOnly_data()
{
    QTest::addColumn<QByteArray>("record"); // the file's bytes, or none
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("output");
    QTest::newRow("no record yet: the header alone")
            << QByteArray() << 0 << "started,round,row,column,value,result,daily_double,wager\r\n";
    QByteArray damaged = contentsOf(m_folder.filePath("vantorel/games.sqlite"));
    damaged.replace(4096, damaged.size() - 4096, QByteArray(damaged.size() - 4096, '\xa5'));
    QTest::newRow("a damaged record, left as it is")
            << damaged << 1
            << "vantorel: Your games cannot be read from %1: the file is damaged.\n";
}

// The export reads the record and never makes, locks or changes anything beside it.
void tst_StartUp::exportReadsOnly()
{
    QFETCH(QByteArray, record);
    QFETCH(int, exitCode);
    QFETCH(QString, output);
    QTemporaryDir home;
    const QString path = home.filePath("vantorel/games.sqlite");
    if (!record.isEmpty()) {
        QVERIFY(QDir(home.path()).mkdir("vantorel"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(record) == record.size());
    }
    QProcess program;
    QVERIFY(run(program, { "--export-csv", "-" }, {}, home.path()));
    QCOMPARE(program.exitCode(), exitCode);
    QCOMPARE(QString::fromUtf8(program.readAllStandardOutput() + program.readAllStandardError()),
             QString(output).replace(QLatin1String("%1"), path));
    QCOMPARE(QDir(home.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             record.isEmpty() ? QStringList() : QStringList{ "vantorel" });
    if (!record.isEmpty())
        QCOMPARE(QDir(home.filePath("vantorel")).entryList(QDir::Files),
                 QStringList{ "games.sqlite" });
    QCOMPARE(contentsOf(path), record);
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
