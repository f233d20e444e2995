// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "layouts/identity.h"
#include "layouts/tables.h"
#include "runtime/application.h"
#include "runtime/loader.h"
#include "tests/support/gametest.h"

#include <QGroupBox>
#include <QScreen>
#include <QStyleOptionButton>
#include <QWindow>

using namespace gametest;

namespace {

QRect twipsRect(int left, int top, int width, int height)
{
    using runtime::toPixels;
    return { toPixels(left), toPixels(top), toPixels(width), toPixels(height) };
}

// The room a push button needs for its caption, as the style computes it.
int buttonWidthNeeded(const QPushButton *button)
{
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const QFontMetrics metrics = button->fontMetrics();
    return button->style()
            ->sizeFromContents(QStyle::CT_PushButton, &option,
                               QSize(metrics.horizontalAdvance(button->text()), metrics.height()),
                               button)
            .width();
}

} // namespace

class tst_Layouts final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup() { resetRuntime(); }

    void windowsAsDesigned_data();
    void windowsAsDesigned();
    void tabIndexesAreComplete();
    void boardGrid_data();
    void boardGrid();
    void frameContents();
    void keyboardOrderAndFirstFocus_data();
    void keyboardOrderAndFirstFocus();
    void everyCaptionFits_data();
    void everyCaptionFits();
    void scoreFollowsItsCaption();
    void labelAlignment_data();
    void labelAlignment();
    void windowsOpenOnTheScreenBesideTheBoard();
    void everyWindowFitsTheScreenReadably();
    void finalScoreHasACloseBoxAndTheSystemsPlace();
    void reloadStartsFromTheLayout();
    void identity();
};

void tst_Layouts::initTestCase()
{
    quietPlatformNotices();
    // A larger interface font stands for a denser screen: 9 pt at 144 dpi is 13.5 pt at 96.
    const double scale = qEnvironmentVariable("VANTOREL_TEST_FONT_SCALE", "1").toDouble();
    QFont font = QApplication::font();
    font.setPointSizeF(font.pointSizeF() * scale);
    QApplication::setFont(font);
}

void tst_Layouts::windowsAsDesigned_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QSize>("clientTwips");
    QTest::addColumn<int>("controlCount");
    QTest::newRow("first board") << "SingleBoard"
                                 << "Single Vantorel"
                                 << "" << QSize(9975, 6570) << 35;
    QTest::newRow("second board") << "DoubleBoard"
                                  << "Double Vantorel"
                                  << "" << QSize(9975, 6570) << 35;
    QTest::newRow("clue window") << "Question"
                                 << "Question"
                                 << "" << QSize(4710, 1815) << 4;
    QTest::newRow("wager window starts out of the final round") << "DailyDouble"
                                                                << "Daily Double"
                                                                << "0" << QSize(4710, 1815) << 5;
    QTest::newRow("final score") << "Last"
                                 << "Final Score"
                                 << "" << QSize(4575, 3015) << 3;
}

void tst_Layouts::windowsAsDesigned()
{
    QFETCH(QString, window);
    QFETCH(QString, caption);
    QFETCH(QString, tag);
    QFETCH(QSize, clientTwips);
    QFETCH(int, controlCount);
    runtime::Form &form = formNamed(window);
    QCOMPARE(form.caption(), caption);
    QCOMPARE(form.tag(), tag);
    QCOMPARE(
            form.window()->size(),
            QSize(runtime::toPixels(clientTwips.width()), runtime::toPixels(clientTwips.height())));
    QCOMPARE(form.window()->findChildren<QWidget *>(Qt::FindChildrenRecursively).size(),
             controlCount);
    for (QWidget *control : form.window()->findChildren<QWidget *>())
        QVERIFY(control->isVisibleTo(form.window()));
}

void tst_Layouts::tabIndexesAreComplete()
{
    for (const layouts::WindowLayout *layout : layouts::allWindows) {
        QList<int> indexes;
        for (const layouts::ControlLayout &control : layout->controls)
            indexes.append(control.tabIndex);
        std::sort(indexes.begin(), indexes.end());
        for (int i = 0; i < indexes.size(); ++i)
            QCOMPARE(indexes[i], i);
    }
}

void tst_Layouts::boardGrid_data()
{
    QTest::addColumn<int>("square");
    QTest::addColumn<QRect>("twips");
    QTest::newRow("top left") << 0 << QRect(480, 1320, 1215, 735);
    QTest::newRow("top right") << 5 << QRect(8280, 1320, 1215, 735);
    QTest::newRow("middle") << 14 << QRect(3600, 3480, 1215, 735);
    QTest::newRow("bottom left") << 24 << QRect(480, 5640, 1215, 735);
    QTest::newRow("bottom right") << 29 << QRect(8280, 5640, 1215, 735);
}

void tst_Layouts::boardGrid()
{
    QFETCH(int, square);
    QFETCH(QRect, twips);
    const QRect expected = twipsRect(twips.x(), twips.y(), twips.width(), twips.height());
    QCOMPARE(SingleBoard::instance().Command1(square)->geometry(), expected);
    QCOMPARE(DoubleBoard::instance().Command1(square)->geometry(), expected);
    QCOMPARE(SingleBoard::instance().Command2()->geometry(), twipsRect(480, 360, 1215, 735));
}

void tst_Layouts::frameContents()
{
    SingleBoard &board = SingleBoard::instance();
    QCOMPARE(board.Frame1()->geometry(), twipsRect(2040, 240, 7455, 855));
    QCOMPARE(board.ScoreLabel()->parentWidget(), board.Frame1());
    QCOMPARE(board.Label2()->parentWidget(), board.Frame1());
    QCOMPARE(board.ScoreLabel()->geometry(), twipsRect(1320, 360, 1695, 255));
    // Listed first, drawn in front of the caption that reaches under it.
    const QObjectList stack = board.Frame1()->children();
    QVERIFY(stack.indexOf(board.ScoreLabel()) > stack.indexOf(board.Label2()));
    QCOMPARE(Last::instance().Label2()->parentWidget(), Last::instance().Frame1());
    QCOMPARE(Last::instance().Label2()->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    QCOMPARE(DailyDouble::instance().Label1()->alignment() & Qt::AlignHorizontal_Mask,
             Qt::AlignRight);
}

void tst_Layouts::keyboardOrderAndFirstFocus_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QStringList>("order");
    QStringList single;
    for (int i = 0; i < 30; ++i)
        single << QStringLiteral("Command1_%1").arg(i);
    single << "Command2";
    QStringList doubled{ "Command2" };
    for (int i = 29; i >= 0; --i)
        doubled << QStringLiteral("Command1_%1").arg(i);
    QTest::newRow("first board: squares then Daily Double") << "SingleBoard" << single;
    QTest::newRow("second board: Daily Double then squares backwards") << "DoubleBoard" << doubled;
    QTest::newRow("clue window") << "Question"
                                 << QStringList{ "Command1_0", "Command1_1", "Command1_2" };
    QTest::newRow("wager window: wager first")
            << "DailyDouble" << QStringList{ "Wager", "Command1_0", "Command1_1", "Command1_2" };
}

void tst_Layouts::keyboardOrderAndFirstFocus()
{
    QFETCH(QString, window);
    QFETCH(QStringList, order);
    runtime::Form &form = formNamed(window);
    form.show();
    QTRY_COMPARE(QApplication::activeWindow(), form.window());
    QCOMPARE(QApplication::focusWidget()->objectName(), order.first());
    QStringList visited{ QApplication::focusWidget()->objectName() };
    for (int i = 1; i < order.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(visited, order);
}

void tst_Layouts::everyCaptionFits_data()
{
    QTest::addColumn<QString>("window");
    for (const layouts::WindowLayout *layout : layouts::allWindows) {
        const QString name = QString::fromUtf8(layout->name.data(), layout->name.size());
        QTest::newRow(qPrintable(name)) << name;
    }
}

void tst_Layouts::everyCaptionFits()
{
    QFETCH(QString, window);
    QWidget *top = formNamed(window).window();
    for (const QLabel *label : top->findChildren<QLabel *>()) {
        QVERIFY2(label->sizeHint().width() <= label->width(), qPrintable(label->objectName()));
        QVERIFY2(label->sizeHint().height() <= label->height(), qPrintable(label->objectName()));
    }
    for (const QPushButton *button : top->findChildren<QPushButton *>()) {
        QVERIFY2(buttonWidthNeeded(button) <= button->width(), qPrintable(button->objectName()));
        QVERIFY2(button->fontMetrics().height() < button->height(),
                 qPrintable(button->objectName()));
    }
    for (const QLineEdit *box : top->findChildren<QLineEdit *>())
        QVERIFY2(box->minimumSizeHint().height() <= box->height(), qPrintable(box->objectName()));
}

void tst_Layouts::scoreFollowsItsCaption()
{
    for (QLabel *caption : { SingleBoard::instance().Label2(), DoubleBoard::instance().Label2() }) {
        const QLabel *score = caption->parentWidget()->findChild<QLabel *>("ScoreLabel");
        QVERIFY(caption->x() + caption->fontMetrics().horizontalAdvance(caption->text())
                < score->x());
        QCOMPARE(caption->y(), score->y());
    }
}

void tst_Layouts::labelAlignment_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("label");
    QTest::addColumn<int>("alignment");
    for (const char *board : { "SingleBoard", "DoubleBoard" }) {
        for (const char *label : { "Label1", "Label2", "ScoreLabel" })
            QTest::addRow("%s %s left", board, label) << board << label << int(Qt::AlignLeft);
    }
    QTest::newRow("clue value centred") << "Question"
                                        << "Label1" << int(Qt::AlignHCenter);
    QTest::newRow("wager caption right against the box") << "DailyDouble"
                                                         << "Label1" << int(Qt::AlignRight);
    QTest::newRow("final score caption centred") << "Last"
                                                 << "Label1" << int(Qt::AlignHCenter);
    QTest::newRow("final score centred") << "Last"
                                         << "Label2" << int(Qt::AlignHCenter);
}

void tst_Layouts::labelAlignment()
{
    QFETCH(QString, window);
    QFETCH(QString, label);
    QFETCH(int, alignment);
    const auto *widget = formNamed(window).window()->findChild<QLabel *>(label);
    QVERIFY(widget);
    QCOMPARE(int(widget->alignment() & Qt::AlignHorizontal_Mask), alignment);
}

// Run on screens of several sizes and scales (tests/CMakeLists.txt).
void tst_Layouts::windowsOpenOnTheScreenBesideTheBoard()
{
    using runtime::toPixels;
    startGame();
    QWidget *board = SingleBoard::instance().window();
    const QRect available = board->screen()->availableGeometry();
    const QMargins frame = board->windowHandle()->frameMargins();
    // The stored place, moved in as little as needed; a frame larger than the screen keeps its
    // top-left corner on it.
    auto onScreen = [&](QPoint client, QSize size) {
        QRect kept = QRect(client, size) + frame;
        kept.moveTo(std::max(available.left(),
                             std::min(kept.left(), available.right() + 1 - kept.width())),
                    std::max(available.top(),
                             std::min(kept.top(), available.bottom() + 1 - kept.height())));
        return kept - frame;
    };
    QCOMPARE(board->geometry(), onScreen({ toPixels(1035), toPixels(2175) }, board->size()));

    // Wherever the board stands, the clue and wager windows open at their designed offset.
    board->move(available.topLeft());
    const QPoint offset(toPixels(3555) - toPixels(1035), toPixels(4485) - toPixels(2175));
    click(SingleBoard::instance().Command1(29));
    click(SingleBoard::instance().Command2());
    for (runtime::Form *owned : std::initializer_list<runtime::Form *>{
                 &Question::instance(), &DailyDouble::instance() }) {
        const QRect geometry = owned->window()->geometry();
        QCOMPARE(geometry, onScreen(board->geometry().topLeft() + offset, geometry.size()));
    }
    // And the second board takes the first one's place.
    click(DailyDouble::instance().Command1(WagerCancel));
    click(Question::instance().Command1(NoRingIn));
    const QRect place = board->geometry();
    finishFirstBoard();
    QTRY_VERIFY(DoubleBoard::instance().visible());
    QCOMPARE(DoubleBoard::instance().window()->geometry(), place);
}

// Small screens at large scale factors: the windows and their text shrink to fit, title bar
// included, as far as the text stays readable.
void tst_Layouts::everyWindowFitsTheScreenReadably()
{
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    const int titleBar = QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight);
    for (const layouts::WindowLayout *layout : layouts::allWindows) {
        const QWidget *window =
                formNamed(QString::fromUtf8(layout->name.data(), layout->name.size())).window();
        QVERIFY2(window->width() <= available.width(), layout->name.data());
        QVERIFY2(window->height() + titleBar <= available.height(), layout->name.data());
        QVERIFY2(window->font().pointSizeF() >= 7, layout->name.data());
    }
}

void tst_Layouts::finalScoreHasACloseBoxAndTheSystemsPlace()
{
    QWidget *window = Last::instance().window();
    Last::instance().show();
    QVERIFY(window->windowHandle()->flags().testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!window->testAttribute(Qt::WA_Moved)); // no place of its own asked for
}

void tst_Layouts::reloadStartsFromTheLayout()
{
    DailyDouble &wager = DailyDouble::instance();
    wager.makeFinalWager();
    wager.Wager()->setText("55");
    wager.unload();
    QCOMPARE(wager.caption(), "Daily Double");
    QCOMPARE(wager.tag(), "0");
    QVERIFY(!wager.Command1(WagerCancel)->isHidden());
    QCOMPARE(wager.Wager()->text(), "");
}

void tst_Layouts::identity()
{
    runtime::applyIdentity(layouts::identity);
    QCOMPARE(QCoreApplication::applicationName(), "Vantorel Scorekeeper");
    QCOMPARE(QCoreApplication::applicationVersion(), VANTOREL_VERSION);
    QCOMPARE(QGuiApplication::desktopFileName(), "vantorel");
    const QIcon icon = QApplication::windowIcon();
    QVERIFY(!icon.isNull());
    QVERIFY(icon.availableSizes().contains(QSize(16, 16)));
    QVERIFY(icon.availableSizes().contains(QSize(32, 32)));
    QCOMPARE(SingleBoard::instance().window()->windowIcon().cacheKey(), icon.cacheKey());
}

QTEST_MAIN(tst_Layouts)
#include "tst_layouts.moc"
