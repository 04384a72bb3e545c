// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/DialogTemplate.h"
#include "model/ControlIds.h"

#include <QDialog>

#include <span>

class QLabel;

namespace tamrisk {

// Its template: 136 x 50 dialog units and its three lines.
inline constexpr int kProgressDialogWidthDu = 136;
inline constexpr int kProgressDialogHeightDu = 50;
std::span<const ControlTemplate> ProgressDialogControls();

// "Berechne Daten...": three lines of text (1050, 1051, 1052) that the scan
// replaces while it runs. Modeless. While the scan runs, Esc and the close
// box ask it to stop; afterwards they, and Enter, only hide the window.
class CProgressDlg : public QDialog {
    Q_OBJECT
public:
    explicit CProgressDlg(QWidget* parent = nullptr);

    // Replaces a line; it shows at the next paint.
    void setLine(ProgressLine id, const QString& text);
    QString line(ProgressLine id) const;

    void setRunning(bool running);
    bool stopRequested() const { return stopRequested_; }

public slots:
    void reject() override;

signals:
    // Esc or the close box while the scan runs.
    void stopAsked();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void askStop();
    QLabel* label(ProgressLine id) const;

    bool running_ = false;
    bool stopRequested_ = false;
};

} // namespace tamrisk
