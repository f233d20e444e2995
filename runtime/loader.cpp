// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "runtime/loader.h"

#include "layouts/layout.h"
#include "layouts/tables.h"

#include <QApplication>
#include <QButtonGroup>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <map>
#include <utility>

namespace runtime {
namespace {

using layouts::ControlKind;
using layouts::ControlLayout;
using layouts::WindowLayout;

constexpr double twipsPerPixelAt96Dpi = 15.0;
// The smallest interface font the windows shrink to on a small screen.
constexpr double smallestPointSize = 7.0;

// The width a control's caption can use: its own width, cut short where a control drawn in
// front of it (listed earlier in the same container) begins inside it on the same line.
int availableWidth(const WindowLayout &layout, const ControlLayout &control)
{
    int right = control.left + control.width;
    for (const ControlLayout &front : layout.controls) {
        if (&front == &control)
            break;
        const bool sameLine =
                front.top < control.top + control.height && control.top < front.top + front.height;
        if (front.container == control.container && sameLine && front.left > control.left)
            right = std::min(right, front.left);
    }
    return right - control.left;
}

// The interface font shrunk by a factor, for a screen too small for the windows.
QFont scaledFont(QFont font, double factor)
{
    if (factor >= 1)
        return font;
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * factor);
    else
        font.setPixelSize(std::max(1, int(std::lround(font.pixelSize() * factor))));
    return font;
}

// The size in pixels a control needs to show its caption in full with the interface font
// shrunk by the given factor.
QSize neededSize(const ControlLayout &control, double fontFactor)
{
    const QStyle *style = QApplication::style();
    const int frame = style->pixelMetric(QStyle::PM_DefaultFrameWidth);
    switch (control.kind) {
    case ControlKind::CommandButton: {
        const QFontMetrics metrics(scaledFont(QApplication::font("QPushButton"), fontFactor));
        const int margin = style->pixelMetric(QStyle::PM_ButtonMargin);
        return { metrics.horizontalAdvance(toQString(control.caption)) + 2 * (margin + frame),
                 metrics.height() + 2 * frame };
    }
    case ControlKind::Label: {
        const QFontMetrics metrics(scaledFont(QApplication::font("QLabel"), fontFactor));
        return { metrics.horizontalAdvance(toQString(control.caption)) + 2, metrics.height() };
    }
    case ControlKind::TextBox: {
        const QFontMetrics metrics(scaledFont(QApplication::font("QLineEdit"), fontFactor));
        return { 0, metrics.height() + 2 * frame + 2 };
    }
    case ControlKind::Frame:
        break;
    }
    return {};
}

// The scale (1 at 15 twips to a pixel) at which every caption fits its control.
double captionScale(double fontFactor)
{
    double scale = 0;
    // Many controls share a caption (every square of a board): shape each text once.
    std::map<std::pair<ControlKind, std::string_view>, QSize> measured;
    for (const WindowLayout *layout : layouts::allWindows) {
        for (const ControlLayout &control : layout->controls) {
            const auto key = std::pair(control.kind, control.caption);
            auto found = measured.find(key);
            if (found == measured.end())
                found = measured.emplace(key, neededSize(control, fontFactor)).first;
            const QSize needed = found->second;
            const double width = availableWidth(*layout, control) / twipsPerPixelAt96Dpi;
            const double height = control.height / twipsPerPixelAt96Dpi;
            if (!control.caption.empty())
                scale = std::max(scale, needed.width() / width);
            scale = std::max(scale, needed.height() / height);
        }
    }
    return scale;
}

// The largest scale at which every window, framed, lies wholly inside the screen's available
// area. The window system frames a window only once it is shown: the style's title bar stands
// in for the frame.
double fittingScale()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return std::numeric_limits<double>::infinity();
    const QSize available = screen->availableGeometry().size();
    const QStyle *style = QApplication::style();
    const int border = style->pixelMetric(QStyle::PM_DefaultFrameWidth);
    const int width = available.width() - 2 * border;
    const int height =
            available.height() - 2 * border - style->pixelMetric(QStyle::PM_TitleBarHeight);
    double scale = std::numeric_limits<double>::infinity();
    for (const WindowLayout *layout : layouts::allWindows) {
        scale = std::min(scale, width * twipsPerPixelAt96Dpi / layout->clientWidth);
        scale = std::min(scale, height * twipsPerPixelAt96Dpi / layout->clientHeight);
    }
    return scale;
}

// Twips follow the interface font, so that every caption fits, and never fall below the
// screen's own twips-to-pixels ratio. Where that makes the windows larger than the screen, the
// windows and their font shrink together until they fit, as far as the font stays readable.
Scale computeScale()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const double fit = fittingScale();
    const double screenScale =
            std::min(fit, std::max(1.0, (screen ? screen->logicalDotsPerInchX() : 96.0) / 96.0));
    const double pointSize = QApplication::font().pointSizeF();
    const double smallestFactor =
            pointSize > 0 ? std::min(1.0, smallestPointSize / pointSize) : 0.75;
    double factor = 1;
    double scale = std::max(screenScale, captionScale(factor));
    while (scale > fit && factor > smallestFactor) {
        // Text widths shrink in whole pixels: a step of at least 2% ends the search quickly.
        factor = std::max(smallestFactor, factor * std::min(fit / scale, 0.98));
        scale = std::max(screenScale, captionScale(factor));
    }
    return { scale / twipsPerPixelAt96Dpi, factor };
}

QWidget *createControl(const ControlLayout &control, QWidget *container)
{
    const QString caption = toQString(control.caption);
    switch (control.kind) {
    case ControlKind::CommandButton: {
        auto *button = new QPushButton(caption, container);
        button->setAutoDefault(false);
        return button;
    }
    case ControlKind::Label: {
        auto *label = new QLabel(caption, container);
        label->setTextFormat(Qt::PlainText);
        constexpr std::array<Qt::Alignment::enum_type, 3> horizontal = { Qt::AlignLeft,
                                                                         Qt::AlignRight,
                                                                         Qt::AlignHCenter };
        label->setAlignment(horizontal[int(control.alignment)] | Qt::AlignTop);
        return label;
    }
    case ControlKind::Frame: {
        auto *frame = new QGroupBox(caption, container);
        return frame;
    }
    case ControlKind::TextBox: {
        auto *textBox = new QLineEdit(caption, container);
        if (control.maxLength > 0)
            textBox->setMaxLength(control.maxLength);
        return textBox;
    }
    }
    return nullptr;
}

} // namespace

QString toQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

QString controlObjectName(std::string_view name, int index)
{
    return index == layouts::noIndex ? toQString(name)
                                     : toQString(name) + u'_' + QString::number(index);
}

const Scale &scale()
{
    static const Scale computed = computeScale();
    return computed;
}

double pixelsPerTwip()
{
    return scale().pixelsPerTwip;
}

int toPixels(int twips)
{
    return int(std::lround(twips * pixelsPerTwip()));
}

// The windows have a few dozen controls at most, and the game reads them all the time: a scan of
// the layout is quicker than building a name to hash.
QWidget *BuiltWindow::control(std::string_view name, int index) const
{
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const ControlLayout &entry = layout->controls[i];
        if (entry.index == index && entry.name == name)
            return controls[i];
    }
    return nullptr;
}

BuiltWindow buildWindow(const WindowLayout &layout)
{
    BuiltWindow built;
    built.layout = &layout;
    // An owned window is a dialog to the window system: that is what lets it name an owner.
    const bool owned = layout.role == layouts::WindowRole::OwnedByBoard;
    built.window = std::make_unique<QWidget>(nullptr, owned ? Qt::Dialog : Qt::Window);
    QWidget *window = built.window.get();
    window->setObjectName(toQString(layout.name));
    window->setWindowTitle(toQString(layout.caption));
    const QSize clientSize(toPixels(layout.clientWidth), toPixels(layout.clientHeight));
    if (layout.startUpPosition == layouts::StartUpPosition::Manual)
        window->setGeometry(
                QRect(QPoint(toPixels(layout.clientLeft), toPixels(layout.clientTop)), clientSize));
    window->setFixedSize(clientSize);
    if (scale().fontFactor < 1)
        window->setFont(scaledFont(QApplication::font(window), scale().fontFactor));

    QList<std::pair<int, QWidget *>> focusable;
    for (const ControlLayout &control : layout.controls) {
        // A control outside any frame lies in the window.
        QWidget *frame = built.control(control.container, layouts::noIndex);
        QWidget *widget = createControl(control, frame ? frame : window);
        const QString objectName = controlObjectName(control.name, control.index);
        widget->setObjectName(objectName);
        widget->setGeometry(toPixels(control.left), toPixels(control.top), toPixels(control.width),
                            toPixels(control.height));
        built.controls.push_back(widget);

        if (control.index != layouts::noIndex) {
            const QString arrayName = toQString(control.name);
            QButtonGroup *&group = built.arrays[arrayName];
            if (!group) {
                group = new QButtonGroup(window);
                group->setObjectName(arrayName);
            }
            group->addButton(static_cast<QPushButton *>(widget), control.index);
        }
        if (control.kind == ControlKind::CommandButton || control.kind == ControlKind::TextBox)
            focusable.append({ control.tabIndex, widget });
    }

    // The control listed first is drawn in front.
    for (QWidget *widget : built.controls)
        widget->lower();

    std::sort(focusable.begin(), focusable.end(),
              [](const auto &a, const auto &b) { return a.first < b.first; });
    for (qsizetype i = 1; i < focusable.size(); ++i)
        QWidget::setTabOrder(focusable[i - 1].second, focusable[i].second);
    if (!focusable.isEmpty()) {
        built.firstFocus = focusable.first().second;
        built.firstFocus->setFocus();
    }
    return built;
}

} // namespace runtime
