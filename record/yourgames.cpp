// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "record/yourgames.h"

#include "playalong/resultslist.h"
#include "record/gamesexport.h"
#include "record/gamesmodel.h"
#include "record/progresschart.h"
#include "runtime/modal.h"
#include "runtime/placement.h"
#include "scoring/game.h"
#include "scoring/record.h"
#include "storage/gamestore.h"
#include "windows/texts.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QSplitter>
#include <QTableView>
#include <QThreadPool>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <memory>
#include <optional>

namespace record {
namespace {

using storage::GameRecord;
using storage::GameRow;
using storage::PlayedBy;

// The table keeps at least this many rows in sight, however small the screen.
constexpr int rowsAlwaysShown = 8;

QString percent(const scoring::Tally &tally)
{
    const std::optional<double> share = tally.share();
    return share ? QStringLiteral("%1%").arg(qRound(*share * 100)) : QStringLiteral("none yet");
}

// A game as the list shows it, from its whole history.
GameRow rowOf(const GameRecord &game)
{
    GameRow row;
    row.id = game.id;
    row.startedMs = game.started.toMSecsSinceEpoch();
    row.startedOffset = game.started.offsetFromUtc();
    row.ending = game.ending;
    row.playedBy = game.playedBy;
    row.figures = scoring::Game(game.steps, game.stepsInEffect).figures();
    return row;
}

// Runs `work` away from the windows and hands what it returns to `done` in the window's
// thread, unless the window has gone meanwhile.
template<typename Work, typename Done>
void inBackground(QObject *window, Work &&work, Done &&done)
{
    QThreadPool::globalInstance()->start([window = QPointer<QObject>(window),
                                          work = std::forward<Work>(work),
                                          done = std::forward<Done>(done)]() mutable {
        auto result = std::make_shared<decltype(work())>(work());
        QMetaObject::invokeMethod(
                qApp,
                [window, done = std::move(done), result] {
                    if (window)
                        done(std::move(*result));
                },
                Qt::QueuedConnection);
    });
}

// The record as read away from the windows: its rows, and those with the widest texts.
struct Read
{
    storage::Record::Rows rows;
    std::vector<GameRow> widest;
};

class YourGames final : public QWidget
{
public:
    // Forgetting games writes to the record: through the store of the copy playing, if any,
    // or one of the window's own, made when first asked.
    YourGames(const QString &path, storage::GameStore *store)
        : m_store(store), m_record(path, store ? store->copy() : QString())
    {
        setWindowTitle(QStringLiteral("Your Games"));
        setObjectName(QStringLiteral("YourGames"));
        setAttribute(Qt::WA_DeleteOnClose);
        setAttribute(Qt::WA_QuitOnClose, false);

        auto *summary = new QFormLayout;
        for (QLabel *value : { &m_played, &m_clueScore, &m_recent, &m_accuracy, &m_dailyDoubles })
            value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        summary->addRow(QStringLiteral("Games played:"), &m_played);
        summary->addRow(QStringLiteral("Clue score:"), &m_clueScore);
        summary->addRow(QStringLiteral("Last 10 games:"), &m_recent);
        summary->addRow(QStringLiteral("Clues answered right:"), &m_accuracy);
        summary->addRow(QStringLiteral("Daily Doubles:"), &m_dailyDoubles);
        m_played.setText(QStringLiteral("reading your games..."));
        m_problem.setWordWrap(true);
        m_problem.setVisible(false);

        auto *charts = new QHBoxLayout(&m_charts);
        charts->setContentsMargins({});
        charts->addWidget(&m_scores, 3);
        charts->addWidget(&m_rows, 2);

        m_table.setModel(&m_model);
        m_table.setSortingEnabled(true);
        m_table.sortByColumn(GamesModel::When, Qt::DescendingOrder);
        m_table.setSelectionBehavior(QAbstractItemView::SelectRows);
        m_table.setSelectionMode(QAbstractItemView::SingleSelection);
        m_table.setAlternatingRowColors(true);
        // Tab leaves the table for the buttons, as in any dialog; the arrows move inside it.
        m_table.setTabKeyNavigation(false);
        m_table.installEventFilter(this);
        m_table.setWordWrap(false);
        m_table.verticalHeader()->hide();
        // Every row as high as the others and every column as wide as its widest text, without
        // measuring each row: a long record lays out as fast as a short one.
        m_table.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        m_table.verticalHeader()->setMinimumSectionSize(0);
        m_table.verticalHeader()->setDefaultSectionSize(fontMetrics().lineSpacing() * 3 / 2);
        m_table.horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
        m_table.horizontalHeader()->setStretchLastSection(true);
        m_table.setAccessibleName(QStringLiteral("Your games"));
        fitColumns({});
        m_footnote.setText(QStringLiteral(
                "* Incomplete: a Daily Double answered right was never cleared with No Ring In."));
        m_footnote.setWordWrap(true);
        // Its line is kept while hidden: the game under way shows and hides it, and the window
        // does not move under the player.
        QSizePolicy footnoteSize = m_footnote.sizePolicy();
        footnoteSize.setRetainSizeWhenHidden(true);
        m_footnote.setSizePolicy(footnoteSize);
        m_footnote.setVisible(false);

        // The charts give way to the table, at the player's choice or on a small screen.
        m_split.setOrientation(Qt::Vertical);
        m_split.setChildrenCollapsible(false);
        m_split.addWidget(&m_charts);
        m_split.addWidget(&m_table);
        m_split.setStretchFactor(0, 2);
        m_split.setStretchFactor(1, 3);

        auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close);
        m_results = buttons->addButton(QStringLiteral("&Results..."), QDialogButtonBox::ActionRole);
        m_forget = buttons->addButton(QStringLiteral("&Forget This Game..."),
                                      QDialogButtonBox::ActionRole);
        m_forgetAll = buttons->addButton(QStringLiteral("Forget &All Games..."),
                                         QDialogButtonBox::ActionRole);
        m_export = buttons->addButton(QStringLiteral("&Export..."), QDialogButtonBox::ActionRole);

        connect(m_results, &QPushButton::clicked, this, &YourGames::showResults);
        connect(m_forget, &QPushButton::clicked, this, &YourGames::forgetThisGame);
        connect(m_forgetAll, &QPushButton::clicked, this, &YourGames::forgetAllGames);
        connect(m_export, &QPushButton::clicked, this, &YourGames::exportAll);
        m_chartsShown.setText(QStringLiteral("Show c&harts"));
        m_chartsShown.setChecked(true);
        connect(&m_chartsShown, &QCheckBox::toggled, this, [this](bool shown) {
            m_charts.setVisible(shown);
            // Where both do not fit, the charts take the list's place while they are shown.
            m_table.setVisible(!shown || !m_chartsOrList);
        });
        connect(buttons, &QDialogButtonBox::rejected, this, &QWidget::close);
        connect(m_table.selectionModel(), &QItemSelectionModel::currentRowChanged, this,
                &YourGames::enableButtons);
        new QShortcut(QKeySequence::Cancel, this, this, &QWidget::close);

        auto *layout = new QVBoxLayout(this);
        layout->addWidget(&m_problem);
        auto *top = new QHBoxLayout;
        top->addLayout(summary);
        top->addStretch();
        top->addWidget(&m_chartsShown, 0, Qt::AlignBottom);
        layout->addLayout(top);
        layout->addWidget(&m_split, 1);
        layout->addWidget(&m_footnote);
        layout->addWidget(buttons);
        setTabOrder(&m_table, m_results);
        enableButtons();

        // The game under way changes with every result: its row follows a moment later, so
        // that no result waits for the record's window.
        m_follow.setSingleShot(true);
        m_follow.setInterval(100);
        connect(&m_follow, &QTimer::timeout, this, [this] { followCurrentGame(); });
        m_chartsFollow.setSingleShot(true);
        connect(&m_chartsFollow, &QTimer::timeout, this, [this] {
            if (std::exchange(m_newest.scoresDue, false)) {
                m_scores.setNewestGame(m_newest.point, std::exchange(m_newest.added, false));
                m_chartsFollow.start(25); // the rows' chart on a turn of its own
            } else {
                m_rows.setRowAccuracy(m_newest.rows);
            }
        });
        if (store)
            watch(*store);
        reload();
    }

    // Shown on `screen`: the charts give way where the table would not keep its rows.
    void fitScreen(const QScreen &screen)
    {
        const QSize room = screen.availableGeometry().size() * 0.9;
        if (minimumSizeHint().width() > room.width()) {
            m_model.setNarrowHeaders(true);
            fitColumns({});
        }
        if (minimumSizeHint().height() > room.height()) {
            m_chartsOrList = true;
            m_chartsShown.setChecked(false);
        }
        m_split.updateGeometry(); // its size hints were taken with the charts and wide headings
        layout()->activate();
    }

protected:
    // Ctrl+Tab, which a table would take for itself, leaves it as Tab does.
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == &m_table && event->type() == QEvent::KeyPress) {
            const auto *key = static_cast<QKeyEvent *>(event);
            if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
                && key->modifiers().testFlag(Qt::ControlModifier)) {
                focusNextPrevChild(key->key() == Qt::Key_Tab
                                   && !key->modifiers().testFlag(Qt::ShiftModifier));
                return true;
            }
        }
        return QWidget::eventFilter(watched, event);
    }

private:
    void watch(storage::GameStore &store)
    {
        connect(&store, &storage::GameStore::changed, &m_follow, qOverload<>(&QTimer::start));
        connect(&store, &storage::GameStore::problemFound, this, &YourGames::showProblem);
        connect(&store, &storage::GameStore::problemCleared, this,
                [this] { showProblem(QString()); });
    }

    storage::GameStore &store()
    {
        if (!m_store) {
            m_ownStore = std::make_unique<storage::GameStore>(m_record.path());
            m_store = m_ownStore.get();
            watch(*m_store);
        }
        return *m_store;
    }

    // Reads the record away from the windows; the window shows it once read. Of reads that
    // overlap, the last one asked for is shown.
    void reload()
    {
        m_endedAt.reset(); // read with the rest
        const std::uint64_t read = ++m_reads;
        inBackground(
                this,
                [path = m_record.path(), copy = m_store ? m_store->copy() : QString()] {
                    Read read{ storage::Record(path, copy).rows(), {} };
                    read.widest = GamesModel::extremes(read.rows.rows);
                    return read;
                },
                [this, read](Read rows) {
                    if (read == m_reads)
                        showRows(std::move(rows));
                });
    }

    // Reads again the games begun at `startedMs` or later, the game this copy played among
    // them, and shows them in their rows; the whole record when they are not the games shown.
    void readNewest(std::int64_t startedMs)
    {
        const QString copy = m_store ? m_store->copy() : QString();
        inBackground(
                this,
                [path = m_record.path(), copy, startedMs] {
                    return storage::Record(path, copy).rows(startedMs);
                },
                [this, read = m_reads, startedMs](const storage::Record::Rows &rows) {
                    if (read != m_reads)
                        return; // the whole record is being read again
                    if (!rows.problem.isEmpty() || !m_model.updateNewest(startedMs, rows.rows)) {
                        reload();
                        return;
                    }
                    fitColumns(rows.rows);
                    updateFigures(rows.rows.size() == 1 ? std::optional<bool>(false)
                                                        : std::nullopt);
                });
    }

    void showRows(Read read)
    {
        showProblem(read.rows.problem.isEmpty() && m_store ? m_store->problem()
                                                           : read.rows.problem);
        const GameRow *selected = selectedGame();
        const std::int64_t selectedId = selected ? selected->id : -1;
        m_model.setGames(std::move(read.rows.rows));
        m_loaded = true;
        fitColumns(read.widest);
        for (int row = 0; selectedId >= 0 && row < m_model.rowCount(); ++row)
            if (m_model.gameAt(row)->id == selectedId)
                m_table.setCurrentIndex(m_model.index(row, 0));
        updateFigures();
        followCurrentGame(false);
        setProperty("loaded", true);
    }

    // The game this copy plays, as it now stands; the record read again once it has ended.
    void followCurrentGame(bool mayRead = true)
    {
        if (!m_loaded)
            return; // followed once the record is read
        const std::optional<GameRecord> &current =
                m_store ? m_store->currentGame() : std::optional<GameRecord>();
        const bool playing = current && current->stepsInEffect > 0;
        // A game that has ended (or another begun) is the record's to tell how: its row is read
        // again, not every game. A change of the player's to the record reads them all.
        if (m_model.hasCurrent()
            && (!playing || (m_following.isValid() && current->started != m_following))) {
            m_model.letGoOfCurrent();
            m_endedAt = m_following.toMSecsSinceEpoch();
        }
        if (mayRead && std::exchange(m_reloadOnChange, false)) {
            reload();
        } else if (mayRead && m_endedAt) {
            const std::int64_t endedAt = *m_endedAt;
            m_endedAt.reset();
            readNewest(endedAt);
        }
        if (!playing)
            return;
        m_following = current->started;
        GameRecord game = *current;
        game.playedBy = PlayedBy::ThisCopy;
        const GameRow row = rowOf(game);
        const GamesModel::Placed placed = m_model.setCurrent(row);
        fitColumns({ row });
        // Each result moves the newest game alone: its point of the chart, not all of them.
        updateFigures(placed.newest ? std::optional<bool>(placed.added) : std::nullopt);
    }

    // Widens the columns to the texts of `games`, and sizes the table to keep every column and
    // its rows in sight; with no games, fits them to their headings and texts anew.
    void fitColumns(const std::vector<GameRow> &games)
    {
        QHeaderView *header = m_table.horizontalHeader();
        const QFontMetrics metrics = m_table.fontMetrics();
        const int padding = 2 * (m_table.style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1)
                + metrics.averageCharWidth();
        bool wider = games.empty();
        for (int column = 0; column < GamesModel::columns; ++column) {
            int &widest = m_widths.at(std::size_t(column));
            for (const GameRow &game : games) {
                const int text = metrics.horizontalAdvance(
                                         GamesModel::text(game, GamesModel::Column(column)))
                        + padding;
                wider = wider || text > widest;
                widest = std::max(widest, text);
            }
        }
        if (!wider)
            return; // as they were, or as the player has made them
        int width = 0;
        for (int column = 0; column < GamesModel::columns; ++column) {
            const int widest = m_widths.at(std::size_t(column));
            const int wanted = std::max(widest, header->sectionSizeHint(column));
            if (wanted != header->sectionSize(column))
                header->resizeSection(column, wanted);
            width += wanted;
        }
        const int frame = 2 * m_table.frameWidth();
        m_table.setMinimumWidth(width + frame + m_table.verticalScrollBar()->sizeHint().width());
        m_table.setMinimumHeight(header->sizeHint().height() + frame
                                 + rowsAlwaysShown
                                         * m_table.verticalHeader()->defaultSectionSize());
    }

    // newestAdded: only the newest game changed, and whether it is new.
    void updateFigures(std::optional<bool> newestAdded = std::nullopt)
    {
        const std::vector<GameRow> &games = m_model.games();
        // The games but the newest are added up again only when more than the newest changed.
        if (!newestAdded) {
            m_allButNewest = {};
            for (std::size_t i = 0; i + 1 < games.size(); ++i)
                m_allButNewest += games[i].figures;
        } else if (*newestAdded && games.size() >= 2) {
            m_allButNewest += games[games.size() - 2].figures;
        }
        scoring::Totals totals = m_allButNewest;
        if (!games.empty())
            totals += games.back().figures;
        const auto figuresOf = [&games](std::size_t i) -> const scoring::GameFigures & {
            return games[i].figures;
        };
        const scoring::Summary summary = scoring::summarize(totals, figuresOf);
        m_played.setText(QString::number(summary.games));
        const auto clueScores = [](const std::optional<scoring::ClueScoreFigures> &scores) {
            return scores ? QStringLiteral("average %1, best %2")
                                    .arg(texts::amountText(std::llround(scores->average)),
                                         texts::amountText(scores->best))
                          : QStringLiteral("no games yet");
        };
        m_clueScore.setText(clueScores(summary.allGames));
        m_recent.setText(clueScores(summary.recent));
        m_accuracy.setText(percent(summary.accuracy));
        m_dailyDoubles.setText(summary.dailyDoubles.answered == 0
                                       ? QStringLiteral("none yet")
                                       : QStringLiteral("%1 right of %2")
                                                 .arg(summary.dailyDoubles.right)
                                                 .arg(summary.dailyDoubles.answered));
        m_footnote.setVisible(summary.incompleteGames > 0);
        const auto point = [](const GameRow &game) {
            return ChartPoint{ game.startedMs, game.startedOffset, game.figures.clueScore,
                               game.figures.score, game.figures.clueScoreComplete() };
        };
        if (newestAdded) {
            // The charts follow a moment after the list, each one's repaint on a turn of the
            // event loop of its own: a result never waits for all of them at once.
            m_newest.point = point(games.back());
            m_newest.added = m_newest.added || *newestAdded;
            m_newest.rows = summary.rows;
            m_newest.scoresDue = true;
            m_chartsFollow.start(50);
        } else {
            m_chartsFollow.stop();
            m_newest.added = false;
            m_newest.scoresDue = false;
            std::vector<ChartPoint> points;
            points.reserve(games.size() + 1); // and the game under way, should it begin
            for (const GameRow &game : games)
                points.push_back(point(game));
            m_scores.setGames(std::move(points));
            m_rows.setRowAccuracy(summary.rows);
        }
        enableButtons();
    }

    void showProblem(const QString &problem)
    {
        m_problem.setText(problem);
        m_problem.setVisible(!problem.isEmpty());
    }

    const GameRow *selectedGame() const { return m_model.gameAt(m_table.currentIndex().row()); }

    void enableButtons()
    {
        const GameRow *game = selectedGame();
        const bool played = game && game->playedBy != PlayedBy::Nobody;
        const bool ours = game && game->playedBy == PlayedBy::ThisCopy;
        m_forget->setEnabled(game && !played);
        m_forget->setToolTip(!played        ? QString()
                                     : ours ? QStringLiteral("The game you are playing cannot be "
                                                             "forgotten.")
                                            : QStringLiteral("This game is being played in "
                                                             "another copy of the program, and "
                                                             "cannot be forgotten."));
        m_results->setEnabled(game && !played);
        m_results->setToolTip(ours ? QStringLiteral("The results of the game you are playing are "
                                                    "in the board's menu: This Game's Results...")
                                   : QString());
        const std::vector<GameRow> &games = m_model.games();
        m_forgetAll->setEnabled(std::any_of(games.begin(), games.end(), [](const GameRow &other) {
            return other.playedBy == PlayedBy::Nobody;
        }));
    }

    bool ask(const QString &question)
    {
        return runtime::questionBox(question, texts::messageTitle(), runtime::Answer::No, this);
    }

    void forgetThisGame()
    {
        const GameRow *game = selectedGame();
        if (!game || game->playedBy != PlayedBy::Nobody
            || !ask(QStringLiteral("Forget the game played %1, with its score of %2? It cannot "
                                   "be brought back.")
                            .arg(GamesModel::text(*game, GamesModel::When),
                                 texts::amountText(game->figures.score))))
            return;
        m_reloadOnChange = true;
        store().forget(game->id);
    }

    // The results of a game kept, to change any of them: each change is kept at once.
    void showResults()
    {
        const GameRow *selected = selectedGame();
        if (!selected || selected->playedBy != PlayedBy::Nobody)
            return;
        QString problem;
        std::optional<GameRecord> record = m_record.game(selected->id, &problem);
        if (!record) {
            if (!problem.isEmpty())
                runtime::messageBox(problem, texts::messageTitle(), this);
            return;
        }
        struct Kept
        {
            GameRecord record;
            scoring::Game game;
            QPointer<playalong::ResultsList> list;
        };
        const auto kept = std::make_shared<Kept>(
                Kept{ *record, scoring::Game(record->steps, record->stepsInEffect), {} });
        const auto change = [this, kept](int index, scoring::Outcome outcome, std::int64_t wager) {
            const std::optional<scoring::Game> changed = kept->game.changed(index, outcome, wager);
            if (!changed)
                return false;
            if (changed->history() == kept->game.history())
                return true;
            kept->game = *changed;
            kept->record.steps = changed->history();
            kept->record.stepsInEffect = changed->inEffect();
            m_reloadOnChange = true;
            store().amend(kept->record);
            kept->list->setGame(kept->game);
            return true;
        };
        kept->list = new playalong::ResultsList(
                QStringLiteral("Results of the game played %1")
                        .arg(GamesModel::text(*selected, GamesModel::When)),
                kept->game, change);
        connect(this, &QObject::destroyed, kept->list, &QWidget::close);
        runtime::showCentred(*kept->list, this);
    }

    void forgetAllGames()
    {
        if (!ask(QStringLiteral("Forget all your games but the one you are playing? They cannot "
                                "be brought back.")))
            return;
        m_reloadOnChange = true;
        store().forgetAll();
    }

    // Every game as CSV, to a file the player names, written away from the windows.
    void exportAll()
    {
        QFileDialog dialog(this, QStringLiteral("Export Your Games"),
                           QDir::home().filePath(QStringLiteral("vantorel-games.csv")),
                           QStringLiteral("CSV files (*.csv)"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("csv")); // to a name typed without it
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return;
        m_export->setEnabled(false);
        inBackground(
                this,
                [path = m_record.path(), fileName = dialog.selectedFiles().constFirst()] {
                    QString error;
                    exportGames(path, fileName, &error);
                    return error;
                },
                [this](const QString &error) {
                    m_export->setEnabled(true);
                    if (!error.isEmpty())
                        runtime::messageBox(
                                QStringLiteral("Your games could not be exported: %1").arg(error),
                                texts::messageTitle(), this);
                });
    }

    storage::GameStore *m_store;
    std::unique_ptr<storage::GameStore> m_ownStore;
    storage::Record m_record;
    std::uint64_t m_reads = 0;
    bool m_loaded = false;
    bool m_reloadOnChange = false;
    bool m_chartsOrList = false; // the screen holds one or the other
    QDateTime m_following; // when the game under way started
    std::optional<std::int64_t> m_endedAt; // the start of a game just ended, its row to read
    scoring::Totals m_allButNewest;
    std::array<int, GamesModel::columns>
            m_widths{}; // each column's widest text yet, but its heading
    GamesModel m_model;
    QSplitter m_split; // before the table and the charts, which it holds
    QTableView m_table;
    QWidget m_charts;
    QLabel m_problem, m_played, m_clueScore, m_recent, m_accuracy, m_dailyDoubles, m_footnote;
    ProgressChart m_scores{ ProgressChart::Mode::Scores };
    ProgressChart m_rows{ ProgressChart::Mode::RowAccuracy };
    QPushButton *m_forget = nullptr;
    QPushButton *m_results = nullptr;
    QPushButton *m_forgetAll = nullptr;
    QPushButton *m_export = nullptr;
    QCheckBox m_chartsShown;
    QTimer m_follow;
    // The game under way's point of the charts, due to them.
    QTimer m_chartsFollow;
    struct Newest
    {
        ChartPoint point;
        bool added = false;
        RowAccuracy rows{};
        bool scoresDue = false; // else the rows' chart alone
    } m_newest;
};

void show(YourGames &window, const QWidget *near)
{
    window.fitScreen(near ? *near->screen() : *QGuiApplication::primaryScreen());
    runtime::showCentred(window, near);
}

} // namespace

QWidget *showYourGames(storage::GameStore &store)
{
    auto *window = new YourGames(store.path(), &store);
    QObject::connect(&store, &QObject::destroyed, window, &QWidget::close);
    // On the screen of the board it was asked for from.
    show(*window, QApplication::activeWindow());
    return window;
}

int runYourGames(const QString &recordPath)
{
    auto *window = new YourGames(recordPath, nullptr);
    QObject::connect(window, &QObject::destroyed, qApp, &QCoreApplication::quit);
    show(*window, nullptr);
    return QApplication::exec();
}

} // namespace record
