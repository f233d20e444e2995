// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "runtime/modal.h"

#include "runtime/formruntime.h"

#include <QMessageBox>

namespace runtime {

int execModal(QMessageBox &box, QWidget *over)
{
    FormRuntime &runtime = FormRuntime::instance();
    Form *active = runtime.activeForm();
    if (over)
        box.setParent(over, box.windowFlags());
    else if (active && active->isLoaded())
        box.setParent(active->window(), box.windowFlags());
    box.setWindowModality(Qt::ApplicationModal);
    runtime.modalOpening();
    const int answer = box.exec();
    runtime.modalClosed(active);
    return answer;
}

void messageBox(const QString &prompt, const QString &title, QWidget *over)
{
    QMessageBox box(QMessageBox::NoIcon, title, prompt, QMessageBox::Ok);
    execModal(box, over);
}

bool questionBox(const QString &prompt, const QString &title, Answer byDefault, QWidget *over)
{
    QMessageBox box(QMessageBox::NoIcon, title, prompt, QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(byDefault == Answer::Yes ? QMessageBox::Yes : QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return execModal(box, over) == QMessageBox::Yes;
}

} // namespace runtime
