// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "plot/Raster.h"

#include <QWidget>

namespace tamrisk {

// Shows one plot picture pixel for pixel, on a scaled screen as blocks of
// device pixels, never smoothed. The picture is read at every paint; the
// owner calls update() after a rendering.
class PictureView : public QWidget {
    Q_OBJECT
public:
    PictureView(const Raster& picture, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const Raster& picture_;
};

} // namespace tamrisk
