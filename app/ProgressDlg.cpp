// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ProgressDlg.h"

#include "app/TextFit.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>

namespace tamrisk {

namespace {

constexpr ControlTemplate kControls[] = {
    {1050, ControlKind::Text, "Textzeile1", 6, 10, 122, 8},
    {1051, ControlKind::Text, "Textzeile2", 6, 21, 122, 8},
    {1052, ControlKind::Text, "Textzeile3", 6, 34, 122, 8},
};

} // namespace

std::span<const ControlTemplate> ProgressDialogControls() { return kControls; }

CProgressDlg::CProgressDlg(QWidget* parent) : QDialog(parent, kDialogWindowFlags)
{
    SetUpDialog(this, QStringLiteral("Berechne Daten..."), kProgressDialogWidthDu, kProgressDialogHeightDu);
    setModal(false);
    CreateControls(this, kControls);
}

void CProgressDlg::setLine(ProgressLine id, const QString& text)
{
    QLabel* target = label(id);
    if (target == nullptr)
        return;
    FitControlToText(*target, text, true); // counts of large grids need more room
    target->setText(text);
}

QString CProgressDlg::line(ProgressLine id) const
{
    const QLabel* target = label(id);
    return target != nullptr ? target->text() : QString();
}

void CProgressDlg::setRunning(bool running)
{
    running_ = running;
    stopRequested_ = false;
}

void CProgressDlg::reject()
{
    if (running_) {
        askStop(); // the scan stops after its current grid point and ends the window
        return;
    }
    QDialog::reject();
}

void CProgressDlg::keyPressEvent(QKeyEvent* event)
{
    // Enter hides the window as Esc and the close box do; it has no button.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (!running_)
            hide();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CProgressDlg::closeEvent(QCloseEvent* event)
{
    if (running_) {
        askStop();
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void CProgressDlg::askStop()
{
    stopRequested_ = true;
    emit stopAsked();
}

QLabel* CProgressDlg::label(ProgressLine id) const { return findChild<QLabel*>(QString::number(IdNumber(id))); }

} // namespace tamrisk
