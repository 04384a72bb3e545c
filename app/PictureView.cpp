// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/PictureView.h"

#include <QImage>
#include <QPaintEvent>
#include <QPainter>

namespace tamrisk {

PictureView::PictureView(const Raster& picture, QWidget* parent) : QWidget(parent), picture_(picture)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(picture.width(), picture.height());
}

void PictureView::paintEvent(QPaintEvent* event)
{
    // The raster's 0x00RRGGBB pixels are the layout of Format_RGB32, whose
    // top byte is ignored, so the image wraps the buffer without a copy.
    const QImage image(reinterpret_cast<const uchar*>(picture_.pixels().data()), picture_.width(), picture_.height(),
                       picture_.width() * static_cast<qsizetype>(sizeof(Color)), QImage::Format_RGB32);
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setClipRegion(event->region());
    // On a screen scaled by a whole factor each picture pixel becomes an
    // exact block of device pixels of its own colour.
    const qreal ratio = devicePixelRatioF();
    const int factor = qRound(ratio);
    if (factor > 1 && qFuzzyCompare(ratio, qreal(factor))) {
        QImage blocks = image.scaled(image.size() * factor, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        blocks.setDevicePixelRatio(factor);
        painter.drawImage(QPoint(0, 0), blocks);
        return;
    }
    painter.drawImage(rect(), image);
}

} // namespace tamrisk
