#pragma once

#include "plot/Raster.h"

#include <QImage>
#include <QWidget>

// True when the widget shows the raster pixel for pixel.
inline bool ShowsRaster(QWidget* view, const tamrisk::Raster& raster)
{
    const QImage shown = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
    if (shown.width() != raster.width() || shown.height() != raster.height())
        return false;
    for (int y = 0; y < raster.height(); ++y)
        for (int x = 0; x < raster.width(); ++x)
            if ((shown.pixel(x, y) & 0xffffffu) != raster.pixel(x, y))
                return false;
    return true;
}
