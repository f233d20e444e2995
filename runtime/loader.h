// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#pragma once

#include <QHash>
#include <QString>

#include <memory>
#include <string_view>
#include <vector>

QT_BEGIN_NAMESPACE
class QButtonGroup;
class QWidget;
QT_END_NAMESPACE

namespace layouts {
struct WindowLayout;
}

namespace runtime {

// A window built from its layout: the top-level widget, one widget for each control of the
// layout, its control arrays by name and the control that is first in its keyboard order.
struct BuiltWindow
{
    const layouts::WindowLayout *layout = nullptr;
    std::unique_ptr<QWidget> window;
    std::vector<QWidget *> controls; // controls[i] is built from layout->controls[i]
    QHash<QString, QButtonGroup *> arrays;
    QWidget *firstFocus = nullptr;

    // The control of that name and array index (noIndex outside an array), or null.
    QWidget *control(std::string_view name, int index) const;
};

BuiltWindow buildWindow(const layouts::WindowLayout &layout);

// The layouts' and the identity's text (UTF-8) as Qt text.
QString toQString(std::string_view text);

QString controlObjectName(std::string_view name, int index);

// How twips map to the screen. Twips are scaled with the user-interface font, as dialog units
// are, so that every caption of every window fits its control; never less than the screen's
// own twips-to-pixels ratio, unless the windows would not fit the screen: then the windows and
// their font (fontFactor below 1) shrink together until they do, as far as the font stays
// readable.
struct Scale
{
    double pixelsPerTwip = 1;
    double fontFactor = 1;
};
const Scale &scale();
double pixelsPerTwip();
int toPixels(int twips);

} // namespace runtime
