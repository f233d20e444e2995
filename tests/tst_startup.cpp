// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

// The program's start as a shell user meets it: its options, and no display to open.

#include <QProcess>
#include <QTest>

class tst_StartUp final : public QObject
{
    Q_OBJECT

private slots:
    void commandLineAndDisplay_data();
    void commandLineAndDisplay();
};

void tst_StartUp::commandLineAndDisplay_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("display"); // "" unset
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("output"); // all it prints, or for the help a line of it

    const QString version = QStringLiteral("Vantorel Scorekeeper 1.01\n");
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
    QTest::newRow("a display that is not there")
            << QStringList{} << "/nonexistent:0" << 1
            << noDesktop + " (cannot open display /nonexistent:0)\n";
}

void tst_StartUp::commandLineAndDisplay()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, display);
    QFETCH(int, exitCode);
    QFETCH(QString, output);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : { "QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "DISPLAY" })
        environment.remove(QString::fromLatin1(name));
    if (!display.isEmpty())
        environment.insert(QStringLiteral("DISPLAY"), display);
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(VANTOREL_EXECUTABLE), arguments);
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit); // no abort, no core
    QCOMPARE(program.exitCode(), exitCode);
    const QString text = QString::fromLocal8Bit(program.readAllStandardOutput()
                                                + program.readAllStandardError());
    if (arguments == QStringList{ "--help" })
        QVERIFY2(text.contains(output), qPrintable(text));
    else
        QCOMPARE(text, output);
}

QTEST_GUILESS_MAIN(tst_StartUp)
#include "tst_startup.moc"
