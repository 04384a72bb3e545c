#pragma once

#include "model/ControlIds.h"

#include <QDialog>

class QLabel;

namespace tamrisk {

// "Berechne Daten...": three lines of text (1050, 1051, 1052) that the scan
// replaces while it runs. Modeless; closing it only hides it.
class CProgressDlg : public QDialog {
    Q_OBJECT
public:
    explicit CProgressDlg(QWidget* parent = nullptr);

    // Replaces a line and paints it at once, without waiting for the event loop.
    void setLine(ProgressLine id, const QString& text);
    QString line(ProgressLine id) const;

protected:
    // Enter hides the window as Esc and the close box do; it has no button.
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLabel* label(ProgressLine id) const;
};

} // namespace tamrisk
