// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plot/Raster.h"

#include <QGroupBox>
#include <QImage>
#include <QList>

#include <algorithm>
#include <QWidget>

// The band in which a group box's title stands, in window coordinates.
inline QRect TitleBand(const QGroupBox* box)
{
    return QRect(box->pos(), QSize(box->width(), box->fontMetrics().height() + 2));
}

// True when the window shows the raster pixel for pixel where the widget
// stands. The window is grabbed, so anything drawn over the widget counts;
// only the title of a frame that reaches into the picture may cover it.
inline bool ShowsRaster(QWidget* view, const tamrisk::Raster& raster)
{
    QWidget* window = view->window();
    const QRect area(view->mapTo(window, QPoint(0, 0)), view->size());
    QList<QRect> titles;
    for (const QGroupBox* box : window->findChildren<QGroupBox*>())
        titles.push_back(TitleBand(box).translated(-area.topLeft()));
    const QImage shown = window->grab(area).toImage().convertToFormat(QImage::Format_RGB32);
    if (shown.width() != raster.width() || shown.height() != raster.height())
        return false;
    for (int y = 0; y < raster.height(); ++y)
        for (int x = 0; x < raster.width(); ++x) {
            const bool underTitle =
                std::any_of(titles.begin(), titles.end(), [&](const QRect& r) { return r.contains(x, y); });
            if (!underTitle && (shown.pixel(x, y) & 0xffffffu) != raster.pixel(x, y))
                return false;
        }
    return true;
}
