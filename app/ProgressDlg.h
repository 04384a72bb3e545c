#pragma once

#include "model/ControlIds.h"

#include <QDialog>

class QLabel;

namespace tamrisk {

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

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QLabel* label(ProgressLine id) const;

    bool running_ = false;
    bool stopRequested_ = false;
};

} // namespace tamrisk
