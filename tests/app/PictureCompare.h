#pragma once

#include "plot/Raster.h"

#include <QImage>
#include <QWidget>

// True when the window shows the raster pixel for pixel where the widget
// stands; the window is grabbed, so anything drawn over the widget counts.
inline bool ShowsRaster(QWidget* view, const tamrisk::Raster& raster)
{
    QWidget* window = view->window();
    const QRect area(view->mapTo(window, QPoint(0, 0)), view->size());
    const QImage shown = window->grab(area).toImage().convertToFormat(QImage::Format_RGB32);
    if (shown.width() != raster.width() || shown.height() != raster.height())
        return false;
    for (int y = 0; y < raster.height(); ++y)
        for (int x = 0; x < raster.width(); ++x)
            if ((shown.pixel(x, y) & 0xffffffu) != raster.pixel(x, y))
                return false;
    return true;
}
