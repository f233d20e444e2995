// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

// The benchmarks measure what they name: the plain board is the program's first board, and the
// played game does what its inputs are counted as.

#include "tests/support/plainboard.h"
#include "tests/support/gamescript.h"
#include "runtime/loader.h"
#include "tests/support/gametest.h"

#include <QMenu>

#include <map>

using gamescript::Action;

namespace {

// Every widget under the window, front to back as Qt keeps them, with what it shows.
QStringList widgetTree(const QWidget *window)
{
    QStringList tree;
    for (const QWidget *widget : window->findChildren<QWidget *>()) {
        QString line = QStringLiteral("%1 in %2 at %3,%4 %5x%6")
                               .arg(widget->metaObject()->className(),
                                    widget->parentWidget()->metaObject()->className())
                               .arg(widget->x())
                               .arg(widget->y())
                               .arg(widget->width())
                               .arg(widget->height());
        if (const auto *button = qobject_cast<const QPushButton *>(widget))
            line += " " + button->text() + (button->autoDefault() ? " auto-default" : "");
        else if (const auto *label = qobject_cast<const QLabel *>(widget))
            line += QStringLiteral(" %1 format %2 aligned %3")
                            .arg(label->text())
                            .arg(label->textFormat())
                            .arg(label->alignment());
        else if (const auto *frame = qobject_cast<const QGroupBox *>(widget))
            line += " " + frame->title();
        if (widget == window->focusWidget())
            line += " focused";
        tree << line;
    }
    return tree;
}

// The score and the squares of the first board.
QStringList firstBoard()
{
    QStringList picture{ QString::number(SingleBoard::instance().Score) };
    for (int square = 0; square < 30; ++square)
        picture << SingleBoard::instance().Command1(square)->text();
    return picture;
}

} // namespace

class tst_Bench final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { gametest::quietPlatformNotices(); }
    void cleanup() { gametest::resetRuntime(); }

    void plainBoardIsTheFirstBoard();
    void playedGameDoesWhatItCounts();
};

void tst_Bench::plainBoardIsTheFirstBoard()
{
    QWidget plain;
    plainboard::buildPlainBoard(plain, runtime::pixelsPerTwip(), runtime::scale().fontFactor);
    SingleBoard::instance().show();
    const QWidget *ours = SingleBoard::instance().window();
    QCOMPARE(plain.windowTitle(), ours->windowTitle());
    QCOMPARE(plain.size(), ours->size());
    QCOMPARE(plain.minimumSize(), ours->minimumSize());
    QCOMPARE(plain.maximumSize(), ours->maximumSize());
    QCOMPARE(plain.font(), ours->font());
    QCOMPARE(widgetTree(&plain), widgetTree(ours));
}

void tst_Bench::playedGameDoesWhatItCounts()
{
    gametest::startGame();
    int questions = 0;
    const gamescript::QuestionAnswerer answerer([&questions] { ++questions; });
    std::map<Action, int> inputs;
    QList<QStringList> pictures{ firstBoard() };
    gamescript::playWholeGame([&](Action action, auto &&input) {
        input();
        gamescript::settle();
        ++inputs[action];
        pictures << (SingleBoard::instance().isLoaded() ? firstBoard() : QStringList());
        const auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QCOMPARE(menu != nullptr, action == Action::MenuOpen);
        if (action == Action::Undo) { // back to before the answer, the menu opened in between
            QCOMPARE(pictures.last(), pictures.at(pictures.size() - 4));
            QVERIFY(pictures.last() != pictures.at(pictures.size() - 2));
        }
        if (action == Action::Redo)
            QCOMPARE(pictures.last(), pictures.at(pictures.size() - 5));
        if (action == Action::RoundChange)
            QVERIFY(DoubleBoard::instance().visible() && !SingleBoard::instance().visible());
        if (action == Action::EndRoundAsk) {
            QCOMPARE(questions, 1);
            QCOMPARE(DailyDouble::instance().caption(), "Final Vantorel");
            QVERIFY(DailyDouble::instance().visible());
        }
    });
    const std::map<Action, int> expected = {
        { Action::Designed, 131 },   { Action::FirstResult, 1 }, { Action::RoundChange, 1 },
        { Action::FinalHandOff, 1 }, { Action::MenuOpen, 4 },    { Action::MenuClose, 1 },
        { Action::Undo, 1 },         { Action::Redo, 1 },        { Action::EndRoundAsk, 1 },
    };
    QCOMPARE(inputs, expected);
    QVERIFY(Last::instance().visible());
    QCOMPARE(Last::instance().Label2()->text(), "$ 3500");
}

QTEST_MAIN(tst_Bench)
#include "tst_bench.moc"
