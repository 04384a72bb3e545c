// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QWidget;

namespace tamrisk {

// While it exists, a window takes no input, its close box included, but it
// still paints and the window system still moves it. Other windows (a
// progress window, message boxes) are not affected.
class MainWindowInputGuard final : public QObject {
public:
    explicit MainWindowInputGuard(QWidget* window);
    ~MainWindowInputGuard() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window_;
};

} // namespace tamrisk
