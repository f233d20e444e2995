// Copyright (C) 2026 Vantorel Scorekeeper developers
// SPDX-License-Identifier: MIT

#include "runtime/modal.h"

#include "runtime/formruntime.h"

#include <QMessageBox>

namespace runtime {

namespace {

// A box's text is a prompt to answer, not text to select: as in the system's own boxes, and
// without the rich text document that selectable text is laid out and drawn by. The prompt is
// set after the flags, so that no such document is ever made.
void setPrompt(QMessageBox &box, const QString &prompt)
{
    box.setTextInteractionFlags(Qt::NoTextInteraction);
    box.setText(prompt);
}

} // namespace

int execModal(QMessageBox &box, QWidget *over)
{
    FormRuntime &runtime = FormRuntime::instance();
    Form *active = runtime.activeForm();
    if (active && !active->isLoaded())
        active = nullptr;
    // A box over a window of the additions (Your Games) gives the activation back to it, not
    // to the board the runtime last activated.
    QWidget *window = over ? over->window() : nullptr;
    Form *owner = !window || (active && active->window() == window) ? active : nullptr;
    if (window)
        box.setParent(window, box.windowFlags());
    else if (active)
        box.setParent(active->window(), box.windowFlags());
    box.setWindowModality(Qt::ApplicationModal);
    runtime.modalOpening();
    const int answer = box.exec();
    runtime.modalClosed(owner);
    if (window && !owner && window->isVisible()) {
        window->raise();
        window->activateWindow();
    }
    return answer;
}

void messageBox(const QString &prompt, const QString &title, QWidget *over)
{
    QMessageBox box(QMessageBox::NoIcon, title, QString(), QMessageBox::Ok);
    setPrompt(box, prompt);
    execModal(box, over);
}

bool questionBox(const QString &prompt, const QString &title, Answer byDefault, QWidget *over)
{
    QMessageBox box(QMessageBox::NoIcon, title, QString(), QMessageBox::Yes | QMessageBox::No);
    setPrompt(box, prompt);
    box.setDefaultButton(byDefault == Answer::Yes ? QMessageBox::Yes : QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return execModal(box, over) == QMessageBox::Yes;
}

} // namespace runtime
