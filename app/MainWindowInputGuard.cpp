// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainWindowInputGuard.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace tamrisk {

namespace {

bool IsUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::Close:
        return true;
    default:
        return false;
    }
}

} // namespace

MainWindowInputGuard::MainWindowInputGuard(QWidget* window) : window_(window)
{
    QCoreApplication::instance()->installEventFilter(this);
}

MainWindowInputGuard::~MainWindowInputGuard() { QCoreApplication::instance()->removeEventFilter(this); }

bool MainWindowInputGuard::eventFilter(QObject* watched, QEvent* event)
{
    if (!IsUserInput(event->type()) || !watched->isWidgetType())
        return false;
    if (static_cast<QWidget*>(watched)->window() != window_)
        return false;
    event->ignore();
    return true;
}

} // namespace tamrisk
