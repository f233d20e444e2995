// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "runtime/modal.h"

#include "runtime/formruntime.h"

#include <QMessageBox>

namespace runtime {

int execModal(QMessageBox &box)
{
    FormRuntime &runtime = FormRuntime::instance();
    Form *active = runtime.activeForm();
    if (active && active->isLoaded())
        box.setParent(active->window(), box.windowFlags());
    box.setWindowModality(Qt::ApplicationModal);
    runtime.modalOpening();
    const int answer = box.exec();
    runtime.modalClosed(active);
    return answer;
}

void messageBox(const QString &prompt, const QString &title)
{
    QMessageBox box(QMessageBox::NoIcon, title, prompt, QMessageBox::Ok);
    execModal(box);
}

bool questionBox(const QString &prompt, const QString &title, Answer byDefault)
{
    QMessageBox box(QMessageBox::NoIcon, title, prompt, QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(byDefault == Answer::Yes ? QMessageBox::Yes : QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return execModal(box) == QMessageBox::Yes;
}

} // namespace runtime
