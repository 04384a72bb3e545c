#pragma once

#include <QDialog>

namespace tamrisk {

// "Info über Tamrisk": the program icon, name and version, and "OK".
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

} // namespace tamrisk
