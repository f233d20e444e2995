// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "playalong/quickkeys.h"

#include "playalong/playalong.h"
#include "runtime/formruntime.h"
#include "windows/dailydouble.h"
#include "windows/question.h"

#include <QPushButton>
#include <QShortcut>

namespace playalong {
namespace {

// A letter works in either case, with Shift as with Caps Lock.
void bindKey(QPushButton *button, Qt::Key key)
{
    const QKeySequence sequence(key);
    auto *shortcut = new QShortcut(button->window());
    QList<QKeySequence> keys{ sequence };
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        keys.append(QKeySequence(Qt::SHIFT | key));
    shortcut->setKeys(keys);
    shortcut->setAutoRepeat(false);
    QObject::connect(shortcut, &QShortcut::activated, button,
                     [button] { runtime::pressButton(button); });
    button->setToolTip(QStringLiteral("%1 (%2)").arg(button->text(),
                                                     sequence.toString(QKeySequence::NativeText)));
}

} // namespace

void installQuickKeys(PlayAlong &playAlong)
{
    QObject::connect(&runtime::FormRuntime::instance(), &runtime::FormRuntime::loaded, &playAlong,
                     [](runtime::Form &form) {
                         if (auto *clue = dynamic_cast<Question *>(&form)) {
                             bindKey(clue->Command1(Question::Correct), Qt::Key_C);
                             bindKey(clue->Command1(Question::NoRingIn), Qt::Key_N);
                             bindKey(clue->Command1(Question::Incorrect), Qt::Key_I);
                         } else if (auto *wager = dynamic_cast<DailyDouble *>(&form)) {
                             bindKey(wager->Command1(DailyDouble::Cancel), Qt::Key_Escape);
                         }
                     });
}

} // namespace playalong
