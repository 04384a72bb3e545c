// SPDX-License-Identifier: GPL-3.0-or-later
// Run with QT_SCALE_FACTOR=2: the window at twice its size, each picture
// pixel an exact 2 x 2 block of its colour.
#include "FakeDialogs.h"
#include "TemplatePlaces.h"

#include "app/CModelDlg.h"
#include "app/MainDialogTemplate.h"
#include "app/PictureView.h"

#include <QTest>

using namespace tamrisk;

class ScaledPicturesTest : public QObject {
    Q_OBJECT

private slots:
    void picturePixelsAreBlocks()
    {
        FakeDialogs fake;
        CModelDlg dialog(&fake);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const int factor = qRound(dialog.devicePixelRatioF());
        QCOMPARE(factor, 2);
        const QImage window = dialog.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(window.size(), TemplatePixels(kMainDialogWidthDu, kMainDialogHeightDu) * factor);

        for (const char* name : {"depthPicture", "signalPicture"}) {
            const auto* view = dialog.findChild<PictureView*>(name);
            const Raster& raster = name == std::string("depthPicture") ? dialog.modelState().pictures.depth
                                                                       : dialog.modelState().pictures.signal;
            const QPoint origin = view->pos() * factor;
            int wrong = 0;
            // Inside the frame titles' band the group box title is drawn over the picture.
            for (int y = 16; y < raster.height(); ++y)
                for (int x = 0; x < raster.width(); ++x)
                    for (int dy = 0; dy < factor; ++dy)
                        for (int dx = 0; dx < factor; ++dx)
                            wrong += (window.pixel(origin + QPoint(x * factor + dx, y * factor + dy)) & 0xffffffu) !=
                                     raster.pixel(x, y);
            QCOMPARE(wrong, 0);
        }
    }
};

QTEST_MAIN(ScaledPicturesTest)
#include "scaled_pictures_test.moc"
