// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include <memory>

class QScrollArea;

namespace tamrisk {

// A window that fits the screen's available area and scrolls a fixed-size
// dialog inside it. The dialog becomes its content and keeps its controls,
// places and keys; when the dialog finishes, the window finishes with its
// result. The dialog is handed back (unparented, hidden) when the window goes.
class ScrollingWindow : public QDialog {
    Q_OBJECT
public:
    ScrollingWindow(QDialog& content, const QRect& available);
    ~ScrollingWindow() override;

    QScrollArea* scrollArea() const { return scrollArea_; }

private:
    QScrollArea* scrollArea_;
    Qt::WindowFlags contentFlags_;
};

// The window to run for dialog on a screen with this available area:
// nothing when the dialog fits as it is, otherwise a ScrollingWindow.
std::unique_ptr<ScrollingWindow> WindowForScreen(QDialog& dialog, const QRect& available);

} // namespace tamrisk
