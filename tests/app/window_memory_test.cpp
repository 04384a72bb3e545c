// Ten thousand recomputations through the window's own chain leave the heap
// where it was: model arrays and pictures are reused or replaced, nothing
// accumulates per event.
#include "FakeDialogs.h"

#include "app/CModelDlg.h"

#include <QCheckBox>
#include <QSlider>
#include <QTest>

#include <malloc.h>

using namespace tamrisk;

class WindowMemoryTest : public QObject {
    Q_OBJECT

private slots:
    void tenThousandRecomputationsDoNotGrowTheHeap()
    {
        FakeDialogs fake;
        CModelDlg dialog(&fake);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        for (const char* id : {"1034", "1036", "1024", "1005"})
            dialog.findChild<QCheckBox*>(id)->setChecked(true);
        QSlider* extinction = dialog.findChild<QSlider*>("1001");
        QSlider* evalTime = dialog.findChild<QSlider*>("1015");

        const auto drive = [&](int from, int count) {
            for (int i = from; i < from + count; ++i) {
                extinction->setValue(i % 201);
                evalTime->setValue((i * 7) % 201);
                if (i % 500 == 0)
                    QCoreApplication::processEvents();
            }
            QCoreApplication::processEvents();
        };
        drive(0, 500);  // settle caches of fonts, styles and the raster
        const std::size_t before = mallinfo2().uordblks;
        drive(500, 5000);  // 2 sliders x 5000 = 10 000 recomputations
        const std::size_t after = mallinfo2().uordblks;
        qInfo("heap in use: %zu bytes before, %zu bytes after", before, after);
        QVERIFY2(after <= before + 64 * 1024,
                 qPrintable(QString("heap grew from %1 to %2 bytes").arg(before).arg(after)));
    }
};

QTEST_MAIN(WindowMemoryTest)
#include "window_memory_test.moc"
