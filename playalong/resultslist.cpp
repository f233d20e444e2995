// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "playalong/resultslist.h"

#include "runtime/modal.h"
#include "windows/texts.h"

#include <QAbstractTableModel>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QShortcut>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

namespace playalong {
namespace {

using scoring::Outcome;
using scoring::StepKind;

enum Column { Round, Row, Place, Value, Result, DailyDouble, Wager, columns };

constexpr std::array<const char *, 3> outcomeNames = { "Correct", "No Ring In", "Incorrect" };

bool isWager(const scoring::Step &step)
{
    return step.kind != StepKind::Clue;
}

// A wager is won or lost, never let go.
QList<Outcome> outcomesOf(const scoring::Step &step)
{
    if (isWager(step))
        return { Outcome::Correct, Outcome::Incorrect };
    return { Outcome::Correct, Outcome::NoRingIn, Outcome::Incorrect };
}

} // namespace

class ResultsList::Model final : public QAbstractTableModel
{
public:
    Model(Change change, QObject *parent) : QAbstractTableModel(parent), m_change(std::move(change))
    { }

    void setGame(const scoring::Game &game)
    {
        beginResetModel();
        m_results.clear();
        for (const scoring::Game::Played &played : game.played()) {
            if (played.step.kind != StepKind::RoundEnded)
                m_results.push_back(played);
        }
        endResetModel();
    }

    const scoring::Step &result(const QModelIndex &index) const
    {
        return m_results.at(std::size_t(index.row())).step;
    }

    // Set when a change was refused, for the list to say so once the edit is over.
    std::function<void()> refused;

    int rowCount(const QModelIndex &parent) const override
    {
        return parent.isValid() ? 0 : int(m_results.size());
    }
    int columnCount(const QModelIndex &parent) const override
    {
        return parent.isValid() ? 0 : columns;
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        static constexpr std::array<const char *, columns> names = {
            "Round", "Row", "Column", "Value", "Result", "Daily Double", "Wager",
        };
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
            return QString::fromLatin1(names.at(std::size_t(section)));
        return {};
    }

    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        const bool editable =
                index.column() == Result || (index.column() == Wager && isWager(result(index)));
        return QAbstractTableModel::flags(index)
                | (editable ? Qt::ItemIsEditable : Qt::NoItemFlags);
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        const scoring::Step &step = result(index);
        if (role == Qt::EditRole)
            return index.column() == Result ? QVariant(int(step.outcome))
                                            : QVariant(qint64(step.amount));
        if (role == Qt::TextAlignmentRole)
            return index.column() == Value || index.column() == Wager
                    ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                    : QVariant();
        if (role != Qt::DisplayRole)
            return {};
        const bool square = step.kind == StepKind::Clue && step.square >= 0
                && step.square < scoring::squareCount;
        switch (Column(index.column())) {
        case Round:
            return step.round == scoring::Round::First     ? QStringLiteral("First")
                    : step.round == scoring::Round::Second ? QStringLiteral("Second")
                                                           : QStringLiteral("Final");
        case Row:
            return square ? QVariant(step.square / scoring::squaresPerRow + 1) : QVariant();
        case Place:
            return square ? QVariant(step.square % scoring::squaresPerRow + 1) : QVariant();
        case Value:
            return square ? texts::amountText(step.amount) : QString();
        case Result:
            return QString::fromLatin1(outcomeNames.at(std::size_t(step.outcome)));
        case DailyDouble:
            return step.kind == StepKind::DailyDouble ? QStringLiteral("yes") : QString();
        case Wager:
            return isWager(step) ? texts::amountText(step.amount) : QString();
        case columns:
            break;
        }
        return {};
    }

    bool setData(const QModelIndex &index, const QVariant &value, int role) override
    {
        if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
            return false;
        const scoring::Game::Played &played = m_results.at(std::size_t(index.row()));
        const Outcome outcome =
                index.column() == Result ? Outcome(value.toInt()) : played.step.outcome;
        const std::int64_t wager =
                index.column() == Wager ? value.toLongLong() : played.step.amount;
        if (m_change(played.index, outcome, wager))
            return true;
        if (refused)
            refused();
        return false;
    }

private:
    Change m_change;
    std::vector<scoring::Game::Played> m_results;
};

// The answers a result may take in a list, and a wager's dollars as the wager box takes them.
class ResultsList::Delegate final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override
    {
        if (index.column() == Wager) {
            auto *digits = new QLineEdit(parent);
            static const QRegularExpression wager(QStringLiteral("\\d{1,10}"));
            digits->setValidator(new QRegularExpressionValidator(wager, digits));
            return digits;
        }
        if (index.column() != Result)
            return QStyledItemDelegate::createEditor(parent, option, index);
        auto *answers = new QComboBox(parent);
        const auto &model = static_cast<const Model &>(*index.model());
        for (const Outcome outcome : outcomesOf(model.result(index)))
            answers->addItem(QString::fromLatin1(outcomeNames.at(std::size_t(outcome))),
                             int(outcome));
        // An answer chosen is the change: no second step to confirm it.
        connect(answers, &QComboBox::activated, this, [this, answers] {
            auto *self = const_cast<Delegate *>(this);
            Q_EMIT self->commitData(answers);
            Q_EMIT self->closeEditor(answers);
        });
        return answers;
    }

    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        if (auto *answers = qobject_cast<QComboBox *>(editor))
            answers->setCurrentIndex(answers->findData(index.data(Qt::EditRole)));
        else if (auto *digits = qobject_cast<QLineEdit *>(editor))
            digits->setText(index.data(Qt::EditRole).toString());
    }

    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override
    {
        if (auto *answers = qobject_cast<QComboBox *>(editor))
            model->setData(index, answers->currentData(), Qt::EditRole);
        else if (auto *digits = qobject_cast<QLineEdit *>(editor);
                 digits && digits->hasAcceptableInput())
            model->setData(index, digits->text().toLongLong(), Qt::EditRole);
    }
};

ResultsList::ResultsList(const QString &title, const scoring::Game &game, Change change,
                         QWidget *parent)
    : QWidget(parent), m_model(new Model(std::move(change), this)), m_table(new QTableView(this))
{
    setWindowTitle(title);
    setObjectName(QStringLiteral("ResultsList"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false);
    m_table->setModel(m_model);
    m_table->setItemDelegate(new Delegate(m_table));
    m_table->setSelectionBehavior(QAbstractItemView::SelectItems);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                             | QAbstractItemView::SelectedClicked);
    // Tab leaves the list for the buttons, as in any dialog; the arrows move in it.
    m_table->setTabKeyNavigation(false);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setAccessibleName(title);
    // Enter changes the result it is on, as F2 does.
    connect(m_table, &QAbstractItemView::activated, m_table,
            [this](const QModelIndex &index) { m_table->edit(index); });
    m_model->refused = [this] {
        // After the edit is over, as the other refusals come after their click.
        QTimer::singleShot(0, this, [this] {
            runtime::messageBox(QStringLiteral("That Change Would Carry Your Score Past Its "
                                               "Limit. Please Choose Another Result."),
                                texts::messageTitle(), this);
        });
    };
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QWidget::close);
    new QShortcut(QKeySequence::Cancel, this, this, &QWidget::close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_table);
    layout->addWidget(buttons);
    m_model->setGame(game);
    fitColumns();
}

ResultsList::~ResultsList() = default;

// Taken once the event being handled is over: a change comes while its edit is still closing.
void ResultsList::setGame(const scoring::Game &game)
{
    QMetaObject::invokeMethod(
            this,
            [this, game] {
                const QModelIndex current = m_table->currentIndex();
                m_model->setGame(game);
                fitColumns();
                m_table->setCurrentIndex(m_model->index(current.row(), current.column()));
            },
            Qt::QueuedConnection);
}

// Every column in view, its widest text included: the list widens as its texts do, and is never
// narrowed under the player's hand.
void ResultsList::fitColumns()
{
    const QHeaderView *header = m_table->horizontalHeader();
    const QAbstractItemView &view = *m_table; // where the column's size hint is public
    int width = 2 * m_table->frameWidth() + m_table->verticalScrollBar()->sizeHint().width();
    for (int column = 0; column < columns; ++column) {
        int wanted = std::max(header->sectionSizeHint(column), view.sizeHintForColumn(column));
        // The last column, stretched to the list's width, never goes under the default size.
        if (column == columns - 1)
            wanted = std::max(wanted, header->defaultSectionSize());
        width += wanted;
    }
    m_table->setMinimumWidth(std::max(m_table->minimumWidth(), width));
}

} // namespace playalong
