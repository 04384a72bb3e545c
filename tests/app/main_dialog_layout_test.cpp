// The main window's controls, their places and its start state.
#include "PictureCompare.h"
#include "FakeDialogs.h"

#include "app/CModelDlg.h"
#include "app/PictureView.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>

using namespace tamrisk;

class MainDialogLayoutTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        dialog_ = std::make_unique<CModelDlg>(&fake_);
        dialog_->show();
        QVERIFY(QTest::qWaitForWindowActive(dialog_.get()));
    }
    void cleanup() { dialog_.reset(); }

    void windowHasItsTitleAndFixedSize()
    {
        QCOMPARE(dialog_->windowTitle(), QStringLiteral("Tamrisk"));
        QCOMPARE(dialog_->size(), QSize(993, 843));
        QCOMPARE(dialog_->minimumSize(), dialog_->maximumSize());
    }

    void hasAllControlsWithTheirIds()
    {
        int controls = 0;
        QStringList numericNames;
        for (QWidget* child : dialog_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (qobject_cast<PictureView*>(child) != nullptr)
                continue;
            ++controls;
            bool numeric = false;
            child->objectName().toInt(&numeric);
            if (numeric)
                numericNames << child->objectName();
        }
        QCOMPARE(controls, 84);
        QCOMPARE(numericNames.size(), 53);  // the others are labels without id
        QCOMPARE(numericNames.removeDuplicates(), 0);
    }

    void controlHasKindTextAndPlace_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QRect>("pixels");
        // Pixels from dialog units with base units 6 x 13, each value rounded.
        QTest::newRow("Beenden") << "1" << "QPushButton" << "Beenden" << QRect(897, 504, 90, 23);
        QTest::newRow("Neu berechnen") << "1000" << "QPushButton" << "Neu berechnen" << QRect(744, 501, 90, 24);
        QTest::newRow("extinction slider") << "1001" << "QSlider" << "" << QRect(555, 57, 324, 16);
        QTest::newRow("top edit") << "1003" << "QLineEdit" << "0.000" << QRect(645, 234, 53, 16);
        QTest::newRow("depth slider") << "1017" << "QSlider" << "" << QRect(554, 596, 324, 16);
        QTest::newRow("intensityMax edit") << "1037" << "QLineEdit" << "0.1" << QRect(630, 775, 78, 20);
        QTest::newRow("curveStep edit") << "1047" << "QLineEdit" << "10" << QRect(582, 800, 36, 20);
        QTest::newRow("transmission read-out") << "1053" << "QLabel" << "4.54e-005" << QRect(852, 89, 75, 13);
        QTest::newRow("radio") << "1044" << "QRadioButton" << "Einfach exponentiell" << QRect(828, 647, 132, 20);
        QTest::newRow("intensity box") << "1005" << "QCheckBox" << "Intensitätsverlauf / Stimulationsleistung"
                                       << QRect(555, 375, 207, 16);
        QTest::newRow("correction box") << "1046" << "QCheckBox" << "Transparenz-Korr. für OSL-Beitrag"
                                        << QRect(774, 356, 210, 20);
        QTest::newRow("rate 2 label") << "1043" << "QLabel" << "Rate 2 [%/s]" << QRect(722, 718, 78, 16);
    }

    void controlHasKindTextAndPlace()
    {
        QFETCH(QString, name);
        QFETCH(QString, kind);
        QFETCH(QString, text);
        QFETCH(QRect, pixels);
        auto* widget = dialog_->findChild<QWidget*>(name, Qt::FindDirectChildrenOnly);
        QVERIFY(widget != nullptr);
        QCOMPARE(QString::fromLatin1(widget->metaObject()->className()), kind);
        QCOMPARE(widget->geometry(), pixels);
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            QCOMPARE(button->text(), text);
        else if (auto* label = qobject_cast<QLabel*>(widget))
            QCOMPARE(label->text(), text);
        else if (auto* edit = qobject_cast<QLineEdit*>(widget))
            QCOMPARE(edit->text(), text);
    }

    void groupBoxesFrameThePlots()
    {
        const auto boxes = dialog_->findChildren<QGroupBox*>(Qt::FindDirectChildrenOnly);
        QCOMPARE(boxes.size(), 4);
        QMap<QString, QRect> places;
        for (QGroupBox* box : boxes)
            places.insert(box->title(), box->geometry());
        QCOMPARE(places.value("Tiefenverlauf"), QRect(8, 8, 525, 520));
        QCOMPARE(places.value("OSL-Signal"), QRect(9, 533, 525, 299));
    }

    void picturesSitInsideTheirGroupBoxes()
    {
        QCOMPARE(dialog_->findChild<PictureView*>("depthPicture")->geometry(), QRect(20, 20, 500, 500));
        QCOMPARE(dialog_->findChild<PictureView*>("signalPicture")->geometry(), QRect(20, 540, 500, 250));
    }

    void startsWithSlidersAndReadoutsAtTheirDefaults()
    {
        const QList<QPair<QString, int>> sliders = {{"1001", 120}, {"1006", 0}, {"1015", 80}, {"1017", 100}};
        for (const auto& [name, position] : sliders) {
            auto* slider = dialog_->findChild<QSlider*>(name);
            QCOMPARE(slider->value(), position);
            QCOMPARE(slider->minimum(), 0);
            QCOMPARE(slider->maximum(), 200);
            QCOMPARE(slider->orientation(), Qt::Horizontal);
            QCOMPARE(slider->tickPosition(), QSlider::NoTicks);
        }
        const QList<QPair<QString, QString>> readouts = {
            {"1002", "10."}, {"1052", "6.931e-002"}, {"1053", "4.54e-005"}, {"1007", "0."},
            {"1016", "100."}, {"1039", "1."},         {"1049", "(1.5)"},     {"1051", "(0.1)"}};
        for (const auto& [name, text] : readouts)
            QCOMPARE(dialog_->findChild<QLabel*>(name)->text(), text);
        for (const char* name : {"1012", "1018", "1019"})
            QVERIFY(dialog_->findChild<QLabel*>(name)->text() != QStringLiteral("..."));
    }

    void startsWithEditTextsAndChecks()
    {
        const QList<QPair<QString, QString>> edits = {
            {"1003", "0.000"}, {"1004", "2.000"}, {"1031", "1.5"},  {"1032", "0.005"}, {"1037", "0.1"},
            {"1038", "600.0"}, {"1040", "0.05"},  {"1041", "0.01"}, {"1047", "10"}};
        for (const auto& [name, text] : edits)
            QCOMPARE(dialog_->findChild<QLineEdit*>(name)->text(), text);
        QVERIFY(dialog_->findChild<QLineEdit*>("1047")->alignment() & Qt::AlignRight);
        for (QCheckBox* box : dialog_->findChildren<QCheckBox*>()) {
            const bool automatic = box->text() == QStringLiteral("Automatisch");
            QCOMPARE(box->isChecked(), automatic);
        }
        QVERIFY(!dialog_->findChild<QRadioButton*>("1044")->isChecked());
    }

    void disablesOnlyTheFiveControls()
    {
        QStringList disabled;
        for (QWidget* child : dialog_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (!child->isEnabled())
                disabled << child->objectName();
        disabled.sort();
        QCOMPARE(disabled, QStringList({"1031", "1037", "1041", "1043", "1045"}));
    }

    void startsWithFocusOnBeenden()
    {
        QTRY_COMPARE(QApplication::focusWidget(), dialog_->findChild<QWidget*>("1"));
    }

    void tabVisitsTheTabStopsInTemplateOrder()
    {
        const QStringList expected = {"1",    "1000", "1001", "1003", "1004", "1005", "1006", "1014", "1020",
                                      "1021", "1022", "1023", "1024", "1025", "1026", "1027", "1028", "1029",
                                      "1030", "1008", "1009", "1015", "1032", "1017", "1033", "1034", "1035",
                                      "1036", "1038", "1040", "1010", "1046", "1047", "1048", "1050", "1"};
        QTRY_VERIFY(QApplication::focusWidget() != nullptr);
        QStringList visited = {QApplication::focusWidget()->objectName()};
        for (int i = 1; i < expected.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visited, expected);
    }

    void startPicturesShowTheDefaultRendering()
    {
        ModelState reference;
        Recompute(ControlState{}, reference);
        QVERIFY(ShowsRaster(dialog_->findChild<PictureView*>("depthPicture"), reference.pictures.depth));
        QVERIFY(ShowsRaster(dialog_->findChild<PictureView*>("signalPicture"), reference.pictures.signal));
    }

private:
    FakeDialogs fake_;
    std::unique_ptr<CModelDlg> dialog_;
};

QTEST_MAIN(MainDialogLayoutTest)
#include "main_dialog_layout_test.moc"
