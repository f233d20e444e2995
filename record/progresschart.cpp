// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "record/progresschart.h"

#include "windows/texts.h"

#include <QLocale>
#include <QPainter>
#include <QTimeZone>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>

namespace record {
namespace {

// Money as the rest of the record shows it: whole dollars, as a board shows the score.
QString money(double amount)
{
    return texts::amountText(std::llround(amount));
}

// The relative luminance and contrast ratio of the web's accessibility guidelines.
double luminance(const QColor &color)
{
    const auto linear = [](float channel) {
        return channel <= 0.03928F ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(color.redF()) + 0.7152 * linear(color.greenF())
            + 0.0722 * linear(color.blueF());
}

double contrast(const QColor &a, const QColor &b)
{
    const auto [dark, light] = std::minmax({ luminance(a), luminance(b) });
    return (light + 0.05) / (dark + 0.05);
}

// The colour, lighter on a dark background or darker on a light one, as little as it takes
// for the ratio.
QColor readable(QColor ink, const QColor &paper, double ratio)
{
    const bool lighter = luminance(paper) < 0.18;
    for (int step = 0; step < 50 && contrast(ink, paper) < ratio; ++step) {
        const float lightness = ink.lightnessF();
        ink = QColor::fromHslF(ink.hslHueF(), ink.hslSaturationF(),
                               std::clamp(lightness + (lighter ? 0.02F : -0.02F), 0.0F, 1.0F));
    }
    return ink;
}

// The colour in a hue of its own beside `other`: its own, or where the two are of nearly one
// hue (many dark themes give their Highlight and Link the same blue), the opposite of `other`'s.
QColor apart(const QColor &color, const QColor &other)
{
    constexpr int closestHues = 45;
    const int hue = color.hslHue();
    const int otherHue = other.hslHue();
    if (hue < 0 || otherHue < 0) // a grey has no hue to turn
        return color;
    const int distance = std::abs(hue - otherHue);
    if (std::min(distance, 360 - distance) >= closestHues)
        return color;
    return QColor::fromHsl((otherHue + 180) % 360, color.hslSaturation(), color.lightness());
}

// Every length is a share of the font's line height, so the chart scales with the font and
// the screen as the windows do.
struct Style
{
    explicit Style(const QWidget &widget)
        : palette(widget.palette()), metrics(widget.font()), em(metrics.height())
    {
        // The final score is drawn in the Link colour, the clue score in the Highlight.
        palette.setColor(QPalette::Link, apart(color(QPalette::Link), color(QPalette::Highlight)));
    }

    QColor color(QPalette::ColorRole role) const { return palette.color(role); }
    // A colour the data is drawn in: the role's, standing out against the chart's background
    // (3:1, as graphics must) whatever the palette, where a dark theme's Highlight may not.
    QColor ink(QPalette::ColorRole role) const
    {
        return readable(color(role), color(QPalette::Base), 3);
    }
    // The role's ink showing faintly on the chart's background, still to be seen: opaque, so
    // that lines crossing many times do not darken where they cross.
    QColor faint(QPalette::ColorRole role) const
    {
        constexpr float share = 0.45F;
        const QColor ink = this->ink(role);
        const QColor paper = color(QPalette::Base);
        return readable(QColor::fromRgbF(share * ink.redF() + (1 - share) * paper.redF(),
                                         share * ink.greenF() + (1 - share) * paper.greenF(),
                                         share * ink.blueF() + (1 - share) * paper.blueF()),
                        paper, 1.8);
    }

    QPalette palette;
    QFontMetricsF metrics;
    double em;
};

// A thin line, a thick one and the markers, in line heights.
constexpr double thin = 1 / 12.0;
constexpr double thick = 1 / 6.0;
constexpr double markerRadius = 1 / 5.0;

// A game's mark on its line; a ring for a clue score that is incomplete.
struct Marker
{
    double radius = 0; // in line heights; none at 0
    bool hollow = false;
};

void drawMarker(QPainter &painter, const Style &style, QPointF centre, const QColor &color,
                Marker marker)
{
    const double radius = marker.radius * style.em;
    painter.setPen(QPen(color, thin * style.em));
    painter.setBrush(marker.hollow ? style.palette.base() : QBrush(color));
    painter.drawEllipse(centre, radius, radius);
}

struct LegendItem
{
    QString text;
    QPen pen; // its colour, and its line unless Qt::NoPen
    Marker marker;
    bool box = false; // a box of the pen's colour instead of a line
};

void drawSwatch(QPainter &painter, const Style &style, const LegendItem &item, QRectF box)
{
    const QPointF centre = box.center();
    if (item.box) {
        painter.fillRect(box.adjusted(box.width() / 4, 0, -box.width() / 4, 0), item.pen.color());
        return;
    }
    painter.setPen(item.pen);
    painter.drawLine(QPointF(box.left(), centre.y()), QPointF(box.right(), centre.y()));
    if (item.marker.radius > 0)
        drawMarker(painter, style, centre, item.pen.color(), item.marker);
}

// Lays the items out in centred lines across the top of the area, painting them when given
// a painter; returns the height they take.
double legend(QPainter *painter, const Style &style, const std::vector<LegendItem> &items,
              QRectF area)
{
    const double swatch = 1.6 * style.em;
    const double gap = 0.4 * style.em;
    const double spacing = 1.2 * style.em;
    // An item wider than the area, in a narrow chart, loses the end of its text.
    const auto text = [&](const LegendItem &item) {
        return style.metrics.elidedText(item.text, Qt::ElideRight, area.width() - swatch - gap);
    };
    const auto itemWidth = [&](const LegendItem &item) {
        return swatch + gap + style.metrics.horizontalAdvance(text(item));
    };
    double top = area.top();
    for (std::size_t first = 0; first < items.size();) {
        std::size_t end = first + 1;
        double width = itemWidth(items[first]);
        while (end < items.size() && width + spacing + itemWidth(items[end]) <= area.width())
            width += spacing + itemWidth(items[end++]);
        double left = area.left() + std::max(0.0, (area.width() - width) / 2);
        for (; painter && first < end; ++first) {
            const LegendItem &item = items[first];
            drawSwatch(*painter, style, item, QRectF(left, top, swatch, style.em));
            painter->setPen(style.color(QPalette::Text));
            painter->drawText(QPointF(left + swatch + gap, top + style.metrics.ascent()),
                              text(item));
            left += itemWidth(item) + spacing;
        }
        first = end;
        top += style.em * 1.2;
    }
    return top - area.top();
}

// Round values for the gridlines between low and high: steps of 1, 2 or 5 times a power of
// ten, at most about `most` of them.
struct Ticks
{
    Ticks(double low, double high, int most)
    {
        const double raw = (high - low) / std::max(1, most);
        const double power = std::pow(10.0, std::floor(std::log10(raw)));
        step = 10 * power;
        for (const double factor : { 1.0, 2.0, 5.0 }) {
            if (factor * power >= raw) {
                step = factor * power;
                break;
            }
        }
        first = std::ceil(low / step) * step;
        count = int(std::floor(high / step) - std::ceil(low / step)) + 1;
    }

    double first;
    double step;
    int count;
};

// Where a value lies in the plot, which runs from low at its bottom to high at its top.
struct ValueScale
{
    QRectF plot;
    double low;
    double high;

    double y(double value) const
    {
        return plot.bottom() - plot.height() * (value - low) / (high - low);
    }
};

// The value axis: gridlines across the plot with their labels at its left. Returns the scale
// whose plot is the area less the labels at the left and `bottomSpace` at the bottom.
ValueScale valueAxis(QPainter &painter, const Style &style, QRectF area, double bottomSpace,
                     double low, double high, const std::function<QString(double)> &label)
{
    const double height = area.height() - bottomSpace;
    const Ticks ticks(low, high, std::max(2, int(height / (2.2 * style.em))));
    double labelWidth = 0;
    for (int i = 0; i < ticks.count; ++i)
        labelWidth = std::max(labelWidth,
                              style.metrics.horizontalAdvance(label(ticks.first + i * ticks.step)));
    // A label at the top is centred on its line: room for its upper half above the plot.
    const ValueScale scale{
        area.adjusted(labelWidth + 0.6 * style.em, style.em / 2, 0, -bottomSpace), low, high
    };
    for (int i = 0; i < ticks.count; ++i) {
        const double value = ticks.first + i * ticks.step;
        const double y = scale.y(value);
        // Zero, where money changes sign, stands out from the other lines.
        painter.setPen(QPen(value == 0 && low < 0 ? style.color(QPalette::Mid)
                                                  : style.faint(QPalette::Mid),
                            thin * style.em));
        painter.drawLine(QPointF(scale.plot.left(), y), QPointF(scale.plot.right(), y));
        painter.setPen(style.color(QPalette::Text));
        painter.drawText(QRectF(area.left(), y - style.em / 2, labelWidth, style.em),
                         Qt::AlignRight | Qt::AlignVCenter, label(value));
    }
    return scale;
}

QString dateText(const ChartPoint &game, int index)
{
    if (game.startedMs == 0)
        return QStringLiteral("Game %1").arg(index + 1);
    const QDateTime when =
            QDateTime::fromMSecsSinceEpoch(game.startedMs, QTimeZone(game.startedOffset));
    return QLocale().toString(when.date(), QLocale::ShortFormat);
}

// Where a game and its value lie in the plot.
struct Mapping : ValueScale
{
    int count;

    double x(double index) const
    {
        if (count == 1)
            return plot.center().x();
        return plot.left() + plot.width() * index / (count - 1);
    }
};

// A line through the points, drawn segment by segment: Qt strokes a polyline as one outline,
// whose many crossings make a jagged line of a few hundred games fifty times slower to fill.
void drawLine(QPainter &painter, const QPen &pen, const QPolygonF &points)
{
    QList<QLineF> segments;
    segments.reserve(points.size());
    for (qsizetype i = 1; i < points.size(); ++i)
        segments.append(QLineF(points[i - 1], points[i]));
    painter.setPen(pen);
    painter.drawLines(segments);
}

// The games in `columnCount` columns of about as many each: where each column lies, the range
// of its values and their mean. A column's range takes in the value before it, so that the
// ranges join up into one band.
struct Column
{
    double x;
    double low;
    double high;
    double mean;
};

// A series is any callable from a game's index to its value: a long record is walked a few times
// on each paint, too often for a call through std::function on each value.
template<typename Series>
std::vector<Column> columns(const Mapping &map, int columnCount, const Series &value)
{
    std::vector<Column> result;
    result.reserve(columnCount);
    double previous = value(0);
    for (int column = 0, i = 0; column < columnCount; ++column) {
        const int begin = i;
        const int end = int((std::int64_t(column) + 1) * map.count / columnCount);
        Column range{ map.x(0.5 * (begin + end - 1)), previous, previous, 0 };
        for (; i < end; ++i) {
            previous = value(i);
            range.low = std::min(range.low, previous);
            range.high = std::max(range.high, previous);
            range.mean += previous;
        }
        range.mean /= end - begin;
        result.push_back(range);
    }
    return result;
}

void paintScores(QPainter &painter, const Style &style, QRectF area,
                 const std::vector<ChartPoint> &games, const std::vector<double> &average)
{
    const int count = int(games.size());
    const auto clueScore = [&](int i) { return double(games[i].clueScore); };
    const auto finalScore = [&](int i) { return double(games[i].finalScore); };
    const auto averageClueScore = [&](int i) { return average[i]; };

    // Zero always shows, where money changes sign; a record of zeros still gets a range.
    double low = 0;
    double high = 0;
    for (int i = 0; i < count; ++i) {
        low = std::min({ low, clueScore(i), finalScore(i) });
        high = std::max({ high, clueScore(i), finalScore(i) });
    }
    high = std::max(high, low + 1000);
    // A margin, so that no line or marker runs along the plot's edge.
    const double margin = (high - low) / 25;

    // The first and last dates sit centred on the plot's ends: room for their halves.
    double dateWidth = 0;
    for (const int index : { 0, count - 1 })
        dateWidth =
                std::max(dateWidth, style.metrics.horizontalAdvance(dateText(games[index], index)));
    // Games far enough apart are drawn as lines with a marker each. Closer, the lines fade
    // behind the average's line, the trend by which a long record is read; and once there are
    // more games than pixel columns, each score is drawn as the band of its range in each
    // column. The values' labels are not laid out yet: their widest is about that of the
    // lowest or highest value.
    const double valueWidth = std::max(style.metrics.horizontalAdvance(money(low - margin)),
                                       style.metrics.horizontalAdvance(money(high + margin)));
    const double plotWidth = area.width() - dateWidth / 2 - valueWidth - style.em;
    const double gameWidth = count > 1 ? plotWidth / (count - 1) : plotWidth;
    const bool markers = gameWidth >= 5 * markerRadius * style.em;
    const bool bands = gameWidth < 1;

    const auto seriesColor = [&](QPalette::ColorRole role) {
        return markers ? style.ink(role) : style.faint(role);
    };
    const QColor clueColor = seriesColor(QPalette::Highlight);
    const QColor finalColor = seriesColor(QPalette::Link);
    const QPen cluePen(clueColor, thin * style.em);
    const QPen finalPen(finalColor, thin * style.em, Qt::DashLine);
    const QPen averagePen(style.color(QPalette::Text), thick * style.em);
    const Marker clueMarker{ markers ? markerRadius : 0 };
    const Marker finalMarker{ 0.7 * clueMarker.radius };
    std::vector<LegendItem> items = {
        { QStringLiteral("Clue score"), cluePen, clueMarker, bands },
        { QStringLiteral("Final score"), finalPen, finalMarker, bands },
        { QStringLiteral("Clue score, %1-game average").arg(scoring::recentGames), averagePen, {} },
    };
    if (markers
        && std::any_of(games.begin(), games.end(), [](auto &game) { return !game.complete; }))
        items.push_back({ QStringLiteral("Clue score incomplete"),
                          QPen(clueColor, 0, Qt::NoPen),
                          { markerRadius, true } });

    const QRectF legendArea = area.adjusted(valueWidth, 0, -dateWidth / 2, 0);
    const double legendHeight = legend(nullptr, style, items, legendArea) + 0.5 * style.em;
    const Mapping map{ valueAxis(painter, style, area.adjusted(0, legendHeight, -dateWidth / 2, 0),
                                 1.5 * style.em, low - margin, high + margin, money),
                       count };
    legend(&painter, style, items, legendArea);

    // Date labels as far apart as their width needs, at steps of 1, 2 or 5 times ten games.
    const double spacing = count > 1 ? map.plot.width() / (count - 1) : map.plot.width();
    const int dateStep = std::max(1, int(Ticks(0, (dateWidth + style.em) / spacing * 10, 10).step));
    painter.setPen(style.color(QPalette::Text));
    for (int i = 0; i < count; i += dateStep) {
        const QRectF box(map.x(i) - dateWidth / 2 - style.em, map.plot.bottom() + 0.3 * style.em,
                         dateWidth + 2 * style.em, style.em);
        painter.drawText(box, Qt::AlignHCenter | Qt::AlignTop, dateText(games[i], i));
    }

    if (!bands) {
        const auto line = [&](const auto &value) {
            QPolygonF points;
            for (int i = 0; i < count; ++i)
                points << QPointF(map.x(i), map.y(value(i)));
            return points;
        };
        drawLine(painter, finalPen, line(finalScore));
        drawLine(painter, cluePen, line(clueScore));
        for (int i = 0; markers && i < count; ++i) {
            drawMarker(painter, style, QPointF(map.x(i), map.y(finalScore(i))), finalColor,
                       finalMarker);
            drawMarker(painter, style, QPointF(map.x(i), map.y(clueScore(i))), clueColor,
                       { clueMarker.radius, !games[i].complete });
        }
        drawLine(painter, averagePen, line(averageClueScore));
        return;
    }
    // One column to a pixel, which takes as long for ten years of games as for one screenful.
    // Its range is a box: Qt fills a jagged outline over a hundred times slower. The boxes
    // keep to whole pixels, each from where the one before it ends, so that no seams show
    // between them at fractional scales; and Qt fills whole rectangles without tracing them.
    const int columnCount = std::clamp(int(map.plot.width()), 1, count);
    const double columnWidth = map.plot.width() / columnCount;
    const double lineWidth = thin * style.em;
    painter.setPen(Qt::NoPen);
    painter.setRenderHint(QPainter::Antialiasing, false);
    const auto band = [&](const auto &value, const QColor &color) {
        QList<QRect> boxes;
        boxes.reserve(columnCount);
        int column = 0;
        int left = int(std::lround(map.plot.left()));
        for (const Column &range : columns(map, columnCount, value)) {
            const int top = int(std::lround(map.y(range.high) - lineWidth / 2));
            const int bottom = int(std::lround(map.y(range.low) + lineWidth / 2));
            const int right = int(std::lround(map.plot.left() + ++column * columnWidth));
            boxes.append(QRect(QPoint(left, top), QPoint(right - 1, std::max(top, bottom - 1))));
            left = right;
        }
        painter.setBrush(color);
        painter.drawRects(boxes);
    };
    band(finalScore, finalColor);
    band(clueScore, clueColor);
    painter.setRenderHint(QPainter::Antialiasing);
    QPolygonF means;
    for (const Column &column : columns(map, columnCount, averageClueScore))
        means << QPointF(column.x, map.y(column.mean));
    drawLine(painter, averagePen, means);
}

bool anyAnswered(const RowAccuracy &rows)
{
    return std::any_of(rows.begin(), rows.end(),
                       [](const scoring::Tally &row) { return row.answered > 0; });
}

QString shareText(double share)
{
    return QStringLiteral("%1%").arg(std::lround(share * 100));
}

void paintRows(QPainter &painter, const Style &style, QRectF area, const RowAccuracy &rows)
{
    const std::vector<LegendItem> items = {
        { QStringLiteral("Share of clues answered right, by row"),
          QPen(style.ink(QPalette::Highlight)),
          {},
          true },
    };
    // Room above the tallest bar for its share.
    const double top = legend(nullptr, style, items, area) + 1.5 * style.em;
    const ValueScale scale =
            valueAxis(painter, style, area.adjusted(0, top, 0, 0), 2.6 * style.em, 0, 1, shareText);
    const QRectF &plot = scale.plot;
    legend(&painter, style, items, QRectF(plot.left(), area.top(), plot.width(), 0));
    const double slot = plot.width() / scoring::rowCount;
    const double barWidth = std::min(0.6 * slot, 4 * style.em);
    for (int row = 0; row < scoring::rowCount; ++row) {
        const double centre = plot.left() + slot * (row + 0.5);
        const double value = scoring::singleSquareValue(row * scoring::squaresPerRow);
        painter.setPen(style.color(QPalette::Text));
        painter.drawText(
                QRectF(centre - slot / 2, plot.bottom() + 0.3 * style.em, slot, 2.2 * style.em),
                Qt::AlignHCenter | Qt::AlignTop,
                money(value) + QLatin1Char('\n') + money(scoring::secondBoardFactor * value));
        const auto share = rows[row].share();
        const double height = plot.height() * share.value_or(0);
        const QRectF bar(centre - barWidth / 2, plot.bottom() - height, barWidth, height);
        painter.fillRect(bar, style.ink(QPalette::Highlight));
        painter.setPen(style.color(QPalette::Text));
        painter.drawText(QRectF(centre - slot / 2, bar.top() - 1.2 * style.em, slot, style.em),
                         Qt::AlignCenter, share ? shareText(*share) : QStringLiteral("none"));
    }
}

} // namespace

ProgressChart::ProgressChart(Mode mode, QWidget *parent) : QWidget(parent), m_mode(mode)
{
    setAccessibleName(mode == Mode::Scores
                              ? QStringLiteral("Clue score and final score by game")
                              : QStringLiteral("Share of clues answered right by row"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    describe();
}

void ProgressChart::setGames(std::vector<ChartPoint> games)
{
    m_games = std::move(games);
    std::vector<std::int64_t> clueScores;
    clueScores.reserve(m_games.size());
    for (const ChartPoint &game : m_games)
        clueScores.push_back(game.clueScore);
    m_rollingAverage = scoring::rollingAverage(clueScores);
    // Room for the game under way, should it begin while shown: no copy of them all then.
    m_games.reserve(m_games.size() + 1);
    m_rollingAverage.reserve(m_rollingAverage.size() + 1);
    describe();
    update();
}

void ProgressChart::setNewestGame(const ChartPoint &game, bool added)
{
    if (added || m_games.empty()) {
        m_games.push_back(game);
        m_rollingAverage.push_back(0);
    } else {
        m_games.back() = game;
    }
    // Its average alone changes: the sum of its window, exact as rollingAverage() keeps it.
    const std::size_t window = std::min<std::size_t>(m_games.size(), scoring::recentGames);
    long double sum = 0;
    for (std::size_t i = m_games.size() - window; i < m_games.size(); ++i)
        sum += (long double)(m_games[i].clueScore);
    m_rollingAverage.back() = double(sum / (long double)(window));
    describe();
    update();
}

void ProgressChart::setRowAccuracy(const RowAccuracy &rows)
{
    m_rows = rows;
    describe();
    update();
}

std::array<QColor, 2> ProgressChart::seriesColors() const
{
    const Style style(*this);
    return { style.ink(QPalette::Highlight), style.ink(QPalette::Link) };
}

QSize ProgressChart::sizeHint() const
{
    const int em = fontMetrics().height();
    return { 40 * em, 20 * em };
}

QSize ProgressChart::minimumSizeHint() const
{
    const int em = fontMetrics().height();
    return { 16 * em, 10 * em };
}

void ProgressChart::paintEvent(QPaintEvent * /*event*/)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const Style style(*this);
    painter.fillRect(rect(), style.palette.base());
    const QRectF area =
            QRectF(rect()).adjusted(style.em, 0.75 * style.em, -style.em, -0.75 * style.em);
    const bool empty = m_mode == Mode::Scores ? m_games.empty() : !anyAnswered(m_rows);
    if (empty) {
        painter.setPen(style.color(QPalette::Text));
        painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, accessibleDescription());
    } else if (m_mode == Mode::Scores) {
        paintScores(painter, style, area, m_games, m_rollingAverage);
    } else {
        paintRows(painter, style, area, m_rows);
    }
}

// What the picture shows, in words, for screen readers.
void ProgressChart::describe()
{
    QStringList parts;
    if (m_mode == Mode::RowAccuracy) {
        for (int row = 0; row < scoring::rowCount; ++row) {
            const double value = scoring::singleSquareValue(row * scoring::squaresPerRow);
            const auto share = m_rows[row].share();
            parts << QStringLiteral("%1 and %2: %3")
                             .arg(money(value), money(scoring::secondBoardFactor * value),
                                  share ? QStringLiteral("%1 of %2 right")
                                                  .arg(shareText(*share))
                                                  .arg(m_rows[row].answered)
                                        : QStringLiteral("none answered"));
        }
        setAccessibleDescription(anyAnswered(m_rows)
                                         ? QStringLiteral("Share of clues answered right. ")
                                                 + parts.join("; ") + QLatin1Char('.')
                                         : QStringLiteral("No clues answered yet."));
        return;
    }
    if (m_games.empty()) {
        setAccessibleDescription(QStringLiteral("No games yet."));
        return;
    }
    const ChartPoint &last = m_games.back();
    const auto best = std::max_element(
            m_games.begin(), m_games.end(),
            [](const ChartPoint &a, const ChartPoint &b) { return a.clueScore < b.clueScore; });
    const int count = int(m_games.size());
    parts << (count == 1 ? QStringLiteral("1 game, %1.").arg(dateText(last, 0))
                         : QStringLiteral("%1 games, %2 to %3.")
                                   .arg(count)
                                   .arg(dateText(m_games.front(), 0), dateText(last, count - 1)));
    parts << QStringLiteral("Last game: clue score %1, final score %2.")
                     .arg(money(double(last.clueScore)), money(double(last.finalScore)));
    parts << QStringLiteral("Best clue score %1.").arg(money(double(best->clueScore)));
    if (count > 1)
        parts << QStringLiteral("Clue score, average of the last %1 games: %2.")
                         .arg(std::min(count, scoring::recentGames))
                         .arg(money(m_rollingAverage.back()));
    const auto incomplete = std::count_if(m_games.begin(), m_games.end(),
                                          [](const ChartPoint &game) { return !game.complete; });
    if (incomplete > 0)
        parts << (incomplete == 1
                          ? QStringLiteral("1 clue score is incomplete.")
                          : QStringLiteral("%1 clue scores are incomplete.").arg(incomplete));
    setAccessibleDescription(parts.join(QLatin1Char(' ')));
}

} // namespace record
