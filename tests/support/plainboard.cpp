// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "tests/support/plainboard.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace plainboard {
namespace {

class Twips
{
public:
    explicit Twips(double pixelsPerTwip) : m_pixelsPerTwip(pixelsPerTwip) { }
    int px(int twips) const { return int(std::lround(twips * m_pixelsPerTwip)); }
    QRect rect(int left, int top, int width, int height) const
    {
        return { px(left), px(top), px(width), px(height) };
    }

private:
    double m_pixelsPerTwip;
};

void addLabel(const QString &text, const QRect &geometry, QWidget *frame)
{
    auto *label = new QLabel(text, frame);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(geometry);
}

QPushButton *addButton(const QString &text, const QRect &geometry, QWidget *window)
{
    auto *button = new QPushButton(text, window);
    button->setAutoDefault(false);
    button->setGeometry(geometry);
    return button;
}

} // namespace

void buildPlainBoard(QWidget &window, double pixelsPerTwip, double fontFactor)
{
    const Twips twips(pixelsPerTwip);
    window.setWindowTitle(QStringLiteral("Single Vantorel"));
    if (fontFactor < 1) {
        QFont font = window.font();
        if (font.pointSizeF() > 0)
            font.setPointSizeF(font.pointSizeF() * fontFactor);
        else
            font.setPixelSize(std::max(1, int(std::lround(font.pixelSize() * fontFactor))));
        window.setFont(font);
    }
    window.setGeometry(twips.rect(1035, 2175, 9975, 6570));
    window.setFixedSize(window.size());

    // Back to front: the frame of the score line, the squares, the Daily Double button.
    auto *frame = new QGroupBox(&window);
    frame->setGeometry(twips.rect(2040, 240, 7455, 855));
    addLabel(QStringLiteral("Vantorel!"), twips.rect(5520, 360, 735, 255), frame);
    addLabel(QStringLiteral("Current Score: $"), twips.rect(120, 360, 2055, 255), frame);
    addLabel(QStringLiteral("0"), twips.rect(1320, 360, 1695, 255), frame);
    QPushButton *first = nullptr;
    for (int square = 0; square < 30; ++square) {
        const int row = square / 6, column = square % 6;
        QPushButton *button =
                addButton(QStringLiteral("$ %1").arg(200 * (row + 1)),
                          twips.rect(480 + 1560 * column, 1320 + 1080 * row, 1215, 735), &window);
        if (!first)
            first = button;
    }
    addButton(QStringLiteral("Daily Double"), twips.rect(480, 360, 1215, 735), &window);
    first->setFocus();
}

} // namespace plainboard
