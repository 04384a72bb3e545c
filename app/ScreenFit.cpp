// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ScreenFit.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

namespace tamrisk {

namespace {

// Room for the title bar and borders that the window manager adds, which
// are unknown until the window is shown.
constexpr int kFrameWidth = 8;
constexpr int kFrameHeight = 40;

// True when the dialog, with the window frame around it, fits the area.
bool FitsOnScreen(const QWidget& dialog, const QRect& available)
{
    return dialog.width() + kFrameWidth <= available.width() && dialog.height() + kFrameHeight <= available.height();
}

// A dialog's default button: the one Enter presses when the focus is on no button.
QPushButton* DefaultButton(const QDialog& dialog)
{
    for (QPushButton* button : dialog.findChildren<QPushButton*>())
        if (button->isDefault())
            return button;
    return nullptr;
}

// Inside this window the buttons take their default state from it, not from
// the dialog: a button that gets the focus becomes the default, and when it
// loses it the window's first default comes back. That first default is
// whichever button first had the focus here, unless the window learns it
// beforehand; a focus change on the button, as on showing a dialog, teaches it.
void MakeWindowDefault(QPushButton& button)
{
    button.setDefault(false);
    QFocusEvent in(QEvent::FocusIn, Qt::OtherFocusReason);
    QCoreApplication::sendEvent(&button, &in);
    QFocusEvent out(QEvent::FocusOut, Qt::OtherFocusReason);
    QCoreApplication::sendEvent(&button, &out);
}

} // namespace

ScrollingWindow::ScrollingWindow(QDialog& content, const QRect& available)
    : QDialog(nullptr, Qt::Window), scrollArea_(new QScrollArea(this)), contentFlags_(content.windowFlags())
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scrollArea_);
    setWindowTitle(content.windowTitle());
    setWindowIcon(content.windowIcon());
    QWidget* focus = content.focusWidget();
    QPushButton* defaultButton = DefaultButton(content);

    content.setWindowFlags(Qt::Widget);
    scrollArea_->setWidget(&content);
    scrollArea_->setWidgetResizable(false);
    scrollArea_->setFrameShape(QFrame::NoFrame);
    content.show();
    connect(&content, &QDialog::finished, this, &QDialog::done);
    // Enter in an edit presses the dialog's default button, as it does outside.
    if (defaultButton != nullptr)
        MakeWindowDefault(*defaultButton);

    // As large as the content with both scroll bars, and no larger than the screen allows.
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const QSize full = content.size() + QSize(bar, bar);
    const QSize room = available.size() - QSize(kFrameWidth, kFrameHeight);
    setMaximumSize(full);
    resize(std::min(full.width(), room.width()), std::min(full.height(), room.height()));
    move(available.topLeft());
    if (focus != nullptr)
        focus->setFocus();
}

ScrollingWindow::~ScrollingWindow()
{
    // The content belongs to whoever created it.
    if (QWidget* content = scrollArea_->takeWidget()) {
        content->hide();
        content->setParent(nullptr, contentFlags_);
    }
}

std::unique_ptr<ScrollingWindow> WindowForScreen(QDialog& dialog, const QRect& available)
{
    if (FitsOnScreen(dialog, available))
        return nullptr;
    return std::make_unique<ScrollingWindow>(dialog, available);
}

} // namespace tamrisk
