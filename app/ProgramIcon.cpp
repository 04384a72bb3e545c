// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ProgramIcon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPolygonF>

namespace tamrisk {

QPixmap ProgramIconPixmap(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 32.0, size / 32.0);

    // The slab: a light stone block in the lower two thirds.
    painter.setPen(QPen(QColor(70, 60, 50), 1.0));
    painter.setBrush(QColor(196, 176, 140));
    painter.drawRect(QRectF(2.5, 12.5, 27, 17));

    // The ray: bright where it enters the top face, fading with depth.
    QLinearGradient fade(0, 12, 0, 29);
    fade.setColorAt(0.0, QColor(255, 230, 40, 255));
    fade.setColorAt(1.0, QColor(255, 230, 40, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(fade);
    painter.drawPolygon(QPolygonF({QPointF(12, 13), QPointF(20, 13), QPointF(22, 29), QPointF(10, 29)}));

    // The incoming light above the slab.
    painter.setBrush(QColor(255, 210, 0));
    painter.drawPolygon(QPolygonF({QPointF(14, 1), QPointF(18, 1), QPointF(20, 12), QPointF(12, 12)}));
    return pixmap;
}

QIcon ProgramIcon()
{
    QIcon icon;
    icon.addPixmap(ProgramIconPixmap(32));
    icon.addPixmap(ProgramIconPixmap(16));
    return icon;
}

} // namespace tamrisk
