// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "record/yourgames.h"

#include "playalong/resultslist.h"
#include "record/gamesexport.h"
#include "record/progresschart.h"
#include "runtime/modal.h"
#include "runtime/placement.h"
#include "scoring/game.h"
#include "scoring/record.h"
#include "storage/gamestore.h"
#include "windows/texts.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSaveFile>
#include <QShortcut>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <memory>

namespace record {
namespace {

using storage::Ending;
using storage::GameRecord;

// A game of the record with its figures.
struct Game
{
    GameRecord record;
    scoring::GameFigures figures;

    // The game this copy is playing.
    bool current() const { return record.playedBy == storage::PlayedBy::ThisCopy; }
    bool beingPlayed() const { return record.playedBy != storage::PlayedBy::Nobody; }
};

Game gameOf(GameRecord record)
{
    scoring::GameFigures figures = scoring::Game(record.steps, record.stepsInEffect).figures();
    return { std::move(record), figures };
}

QString money(std::int64_t amount)
{
    return texts::moneyText(double(amount));
}

QString dateTime(const QDateTime &when)
{
    const QLocale locale;
    return locale.toString(when.date(), QLocale::ShortFormat) + u' '
            + locale.toString(when.time(), QStringLiteral("HH:mm"));
}

QString percent(const scoring::Tally &tally)
{
    const std::optional<double> share = tally.share();
    return share ? QStringLiteral("%1%").arg(qRound(*share * 100)) : QStringLiteral("none yet");
}

QString endingText(const Game &game)
{
    switch (game.record.ending) {
    case Ending::Finished:
        return QStringLiteral("finished");
    case Ending::EndedByPlayer:
        return QStringLiteral("ended early");
    case Ending::NotFinished:
        break;
    case Ending::InProgress:
        if (game.current())
            return QStringLiteral("in progress");
        if (game.beingPlayed())
            return QStringLiteral("being played");
        break;
    }
    return QStringLiteral("not finished");
}

// The games, one to a row, with what each column shows and sorts by.
class GamesModel final : public QAbstractTableModel
{
public:
    enum Column { When, Ended, Score, ClueScore, Right, Wrong, NoRingIn, DailyDoubles, Final };
    static constexpr int columns = Final + 1;
    static constexpr int sortRole = Qt::UserRole;

    using QAbstractTableModel::QAbstractTableModel;

    const std::vector<Game> &games() const { return m_games; }
    void setGames(std::vector<Game> games)
    {
        beginResetModel();
        m_games = std::move(games);
        endResetModel();
    }
    // The current game as it now stands, in its row or in a new one.
    void setCurrent(Game game)
    {
        const auto row = std::find_if(m_games.begin(), m_games.end(),
                                      [](const Game &other) { return other.current(); });
        if (row == m_games.end()) {
            beginInsertRows({}, int(m_games.size()), int(m_games.size()));
            m_games.push_back(std::move(game));
            endInsertRows();
            return;
        }
        *row = std::move(game);
        const int at = int(row - m_games.begin());
        Q_EMIT dataChanged(index(at, 0), index(at, columns - 1));
    }

    int rowCount(const QModelIndex &parent) const override
    {
        return parent.isValid() ? 0 : int(m_games.size());
    }
    int columnCount(const QModelIndex &parent) const override
    {
        return parent.isValid() ? 0 : columns;
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        static constexpr std::array<const char *, columns> names = {
            "Played", "How it ended", "Score",         "Clue score", "Right",
            "Wrong",  "No ring in",   "Daily Doubles", "Final",
        };
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
            return QString::fromLatin1(names.at(static_cast<std::size_t>(section)));
        return {};
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        const Game &game = m_games[std::size_t(index.row())];
        const scoring::GameFigures &figures = game.figures;
        const auto column = Column(index.column());
        if (role == Qt::TextAlignmentRole)
            return column == When || column == Ended ? QVariant()
                                                     : QVariant(Qt::AlignRight | Qt::AlignVCenter);
        if (role == Qt::ToolTipRole && column == ClueScore && !figures.clueScoreComplete())
            return QString::fromStdString(figures.incompleteReason());
        if (role != Qt::DisplayRole && role != sortRole)
            return {};
        const bool sorting = role == sortRole;
        switch (column) {
        case When:
            return sorting ? QVariant(game.record.started) : dateTime(game.record.started);
        case Ended:
            return endingText(game);
        case Score:
            return sorting ? QVariant(qint64(game.record.score)) : money(game.record.score);
        case ClueScore:
            return sorting ? QVariant(qint64(figures.clueScore))
                           : money(figures.clueScore) + (figures.clueScoreComplete() ? "" : " *");
        case Right:
            return figures.cluesRight;
        case Wrong:
            return figures.cluesWrong;
        case NoRingIn:
            return figures.cluesNoRingIn;
        case DailyDoubles:
            return sorting ? QVariant(figures.dailyDoubles.right)
                           : QStringLiteral("%1 of %2")
                                     .arg(figures.dailyDoubles.right)
                                     .arg(figures.dailyDoubles.answered);
        case Final:
            switch (figures.finalWager) {
            case scoring::FinalResult::Right:
                return sorting ? QVariant(2) : QStringLiteral("right");
            case scoring::FinalResult::Wrong:
                return sorting ? QVariant(1) : QStringLiteral("wrong");
            case scoring::FinalResult::None:
                break;
            }
            return sorting ? QVariant(0) : QString();
        }
        return {};
    }

private:
    std::vector<Game> m_games; // oldest first
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
        m_problem.setWordWrap(true);
        m_problem.setVisible(false);

        auto *charts = new QHBoxLayout;
        charts->addWidget(&m_scores, 3);
        charts->addWidget(&m_rows, 2);

        m_sorted.setSourceModel(&m_model);
        m_sorted.setSortRole(GamesModel::sortRole);
        m_table.setModel(&m_sorted);
        m_table.setSortingEnabled(true);
        m_table.sortByColumn(GamesModel::When, Qt::DescendingOrder);
        m_table.setSelectionBehavior(QAbstractItemView::SelectRows);
        m_table.setSelectionMode(QAbstractItemView::SingleSelection);
        m_table.setAlternatingRowColors(true);
        m_table.verticalHeader()->hide();
        m_table.horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
        m_table.horizontalHeader()->setStretchLastSection(true);
        m_table.setAccessibleName(QStringLiteral("Your games"));
        m_footnote.setText(QStringLiteral(
                "* Incomplete: a Daily Double answered right was never cleared with No Ring In."));
        m_footnote.setWordWrap(true);

        auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close);
        m_results = buttons->addButton(QStringLiteral("&Results..."), QDialogButtonBox::ActionRole);
        connect(m_results, &QPushButton::clicked, this, &YourGames::showResults);
        m_forget = buttons->addButton(QStringLiteral("&Forget This Game..."),
                                      QDialogButtonBox::ActionRole);
        m_forgetAll = buttons->addButton(QStringLiteral("Forget &All Games..."),
                                         QDialogButtonBox::ActionRole);
        QPushButton *exportAll =
                buttons->addButton(QStringLiteral("&Export..."), QDialogButtonBox::ActionRole);
        connect(exportAll, &QPushButton::clicked, this, &YourGames::exportAll);
        connect(buttons, &QDialogButtonBox::rejected, this, &QWidget::close);
        connect(m_forget, &QPushButton::clicked, this, &YourGames::forgetThisGame);
        connect(m_forgetAll, &QPushButton::clicked, this, &YourGames::forgetAllGames);
        connect(m_table.selectionModel(), &QItemSelectionModel::currentRowChanged, this,
                &YourGames::enableButtons);
        new QShortcut(QKeySequence::Cancel, this, this, &QWidget::close);

        auto *layout = new QVBoxLayout(this);
        layout->addWidget(&m_problem);
        layout->addLayout(summary);
        layout->addLayout(charts, 2);
        layout->addWidget(&m_table, 3);
        layout->addWidget(&m_footnote);
        layout->addWidget(buttons);

        // The game under way changes with every result: its row follows a moment later, so
        // that no result waits for the record's window.
        m_follow.setSingleShot(true);
        m_follow.setInterval(100);
        connect(&m_follow, &QTimer::timeout, this, &YourGames::followCurrentGame);
        if (store)
            watch(*store);
        reload();
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

    void reload()
    {
        storage::Record::Games read = m_record.games();
        showProblem(read.problem.isEmpty() && m_store ? m_store->problem() : read.problem);
        std::vector<Game> games;
        games.reserve(read.games.size());
        std::reverse(read.games.begin(), read.games.end()); // oldest first, as the charts read them
        for (GameRecord &record : read.games)
            games.push_back(gameOf(std::move(record)));
        m_model.setGames(std::move(games));
        updateFigures();
    }

    // The game this copy plays, as it now stands; the whole record after a change of the
    // player's (a game forgotten).
    void followCurrentGame()
    {
        if (std::exchange(m_reloadOnChange, false)) {
            reload();
            return;
        }
        if (!m_store || !m_store->currentGame() || m_store->currentGame()->stepsInEffect == 0)
            return;
        GameRecord game = *m_store->currentGame();
        game.playedBy = storage::PlayedBy::ThisCopy;
        m_model.setCurrent(gameOf(std::move(game)));
        updateFigures();
    }

    void updateFigures()
    {
        const std::vector<Game> &games = m_model.games();
        std::vector<scoring::GameFigures> figures;
        std::vector<ChartPoint> points;
        for (const Game &game : games) {
            figures.push_back(game.figures);
            points.push_back({ game.record.started, game.figures.clueScore, game.record.score,
                               game.figures.clueScoreComplete() });
        }
        const scoring::Summary summary = scoring::summarize(figures);
        m_played.setText(QString::number(summary.games));
        const auto clueScores = [](const std::optional<scoring::ClueScoreFigures> &scores) {
            return scores ? QStringLiteral("average %1, best %2")
                                    .arg(texts::moneyText(std::round(scores->average)),
                                         money(scores->best))
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
        m_scores.setGames(std::move(points));
        m_rows.setRowAccuracy(summary.rows);
        enableButtons();
    }

    void showProblem(const QString &problem)
    {
        m_problem.setText(problem);
        m_problem.setVisible(!problem.isEmpty());
    }

    const Game *selectedGame() const
    {
        const QModelIndex index = m_sorted.mapToSource(m_table.currentIndex());
        return index.isValid() ? &m_model.games()[std::size_t(index.row())] : nullptr;
    }

    void enableButtons()
    {
        const Game *game = selectedGame();
        m_forget->setEnabled(game && !game->beingPlayed());
        m_forget->setToolTip(!game || !game->beingPlayed() ? QString()
                                     : game->current()
                                     ? QStringLiteral("The game you are playing cannot be "
                                                      "forgotten.")
                                     : QStringLiteral("This game is being played in another copy "
                                                      "of the program, and cannot be forgotten."));
        m_results->setEnabled(game && !game->beingPlayed());
        m_results->setToolTip(game && game->current()
                                      ? QStringLiteral("The results of the game you are playing "
                                                       "are in the board's menu: This Game's "
                                                       "Results...")
                                      : QString());
        const auto others = std::count_if(m_model.games().begin(), m_model.games().end(),
                                          [](const Game &other) { return !other.beingPlayed(); });
        m_forgetAll->setEnabled(others > 0);
    }

    bool ask(const QString &question)
    {
        return runtime::questionBox(question, texts::messageTitle(), runtime::Answer::No, this);
    }

    void forgetThisGame()
    {
        const Game *game = selectedGame();
        if (!game || game->beingPlayed()
            || !ask(QStringLiteral("Forget the game played %1, with its score of %2? It cannot "
                                   "be brought back.")
                            .arg(dateTime(game->record.started), money(game->record.score))))
            return;
        m_reloadOnChange = true;
        store().forget(game->record.id);
    }

    // The results of a game kept, to change any of them: each change is kept at once.
    void showResults()
    {
        const Game *selected = selectedGame();
        if (!selected || selected->beingPlayed())
            return;
        struct Kept
        {
            GameRecord record;
            scoring::Game game;
            QPointer<playalong::ResultsList> list;
        };
        const auto kept = std::make_shared<Kept>(
                Kept{ selected->record,
                      scoring::Game(selected->record.steps, selected->record.stepsInEffect),
                      {} });
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
                QStringLiteral("Results of the game played %1").arg(dateTime(kept->record.started)),
                change);
        kept->list->setGame(kept->game);
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

    // Every game as CSV, to a file the player names.
    void exportAll()
    {
        const QString fileName = QFileDialog::getSaveFileName(
                this, QStringLiteral("Export Your Games"),
                QDir::home().filePath(QStringLiteral("vantorel-games.csv")),
                QStringLiteral("CSV files (*.csv)"));
        if (fileName.isEmpty())
            return;
        QString error;
        if (!exportGames(m_record.path(), fileName, &error))
            runtime::messageBox(QStringLiteral("Your games could not be exported: %1").arg(error),
                                texts::messageTitle(), this);
    }

    storage::GameStore *m_store;
    std::unique_ptr<storage::GameStore> m_ownStore;
    storage::Record m_record;
    bool m_reloadOnChange = false;
    GamesModel m_model;
    QSortFilterProxyModel m_sorted;
    QTableView m_table;
    QLabel m_problem, m_played, m_clueScore, m_recent, m_accuracy, m_dailyDoubles, m_footnote;
    ProgressChart m_scores{ ProgressChart::Mode::Scores };
    ProgressChart m_rows{ ProgressChart::Mode::RowAccuracy };
    QPushButton *m_forget = nullptr;
    QPushButton *m_results = nullptr;
    QPushButton *m_forgetAll = nullptr;
    QTimer m_follow;
};

} // namespace

QWidget *showYourGames(storage::GameStore &store)
{
    auto *window = new YourGames(store.path(), &store);
    QObject::connect(&store, &QObject::destroyed, window, &QWidget::close);
    // On the screen of the board it was asked for from.
    runtime::showCentred(*window, QApplication::activeWindow());
    return window;
}

int runYourGames(const QString &recordPath)
{
    auto *window = new YourGames(recordPath, nullptr);
    QObject::connect(window, &QObject::destroyed, qApp, &QCoreApplication::quit);
    runtime::showCentred(*window, nullptr);
    return QApplication::exec();
}

} // namespace record
