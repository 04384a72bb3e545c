// The main window's controls, their places and its start state.
#include "ControlNames.h"
#include "PictureCompare.h"
#include "FakeDialogs.h"

#include "app/CModelDlg.h"
#include "app/PictureView.h"
#include "app/DialogTemplate.h"
#include "app/MainDialogTemplate.h"
#include "model/InputTable.h"
#include "plot/ReadoutTable.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>

#include <algorithm>
#include <set>

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

    void slidersTakeThePositionsOfTheirInput()
    {
        const QList<QSlider*> sliders = dialog_->findChildren<QSlider*>(Qt::FindDirectChildrenOnly);
        QCOMPARE(sliders.size(), 4);
        for (QSlider* slider : sliders) {
            const InputRow* row = FindSlider(slider->objectName().toInt());
            QVERIFY2(row != nullptr, qPrintable(slider->objectName()));
            QCOMPARE(slider->minimum(), SliderRange(*row)->low);
            QCOMPARE(slider->maximum(), SliderRange(*row)->high);
        }
    }

    // Every label with an id but the two rate labels is a read-out of the
    // table; those that a rendering writes start with the unwritten text.
    void labelsWithAnIdAreTheReadoutTable()
    {
        std::set<int> labels;
        for (const ControlTemplate& control : MainDialogControls()) {
            if (control.kind != ControlKind::Text || control.id == 0)
                continue;
            labels.insert(control.id);
            if (control.id == IdNumber(MainControl::Rate1Label) || control.id == IdNumber(MainControl::Rate2Label))
                continue;
            const auto row = std::find_if(ReadoutTable().begin(), ReadoutTable().end(),
                                          [&](const ReadoutRow& r) { return IdNumber(r.id) == control.id; });
            QVERIFY2(row != ReadoutTable().end(), qPrintable(QString::number(control.id)));
            if (!row->slider)
                QCOMPARE(QString::fromUtf8(control.text), QString::fromUtf8(kUnwrittenReadout));
        }
        for (const ReadoutRow& row : ReadoutTable())
            QVERIFY2(labels.count(IdNumber(row.id)) == 1, row.name);
    }

    void controlHasKindTextAndPlace_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QRect>("pixels");
        // Pixels from dialog units with base units 6 x 13, each value rounded.
        QTest::newRow("Beenden") << "1" << "QPushButton" << "Beenden" << QRect(897, 504, 90, 23);
        QTest::newRow("Neu berechnen") << Name(tamrisk::MainControl::Recalculate) << "QPushButton" << "Neu berechnen" << QRect(744, 501, 90, 24);
        QTest::newRow("extinction slider") << Name(tamrisk::MainControl::ExtinctionSlider) << "QSlider" << "" << QRect(555, 57, 324, 16);
        QTest::newRow("top edit") << Name(tamrisk::MainControl::TopEdit) << "QLineEdit" << "0.000" << QRect(645, 234, 53, 16);
        QTest::newRow("depth slider") << Name(tamrisk::MainControl::DepthSlider) << "QSlider" << "" << QRect(554, 596, 324, 16);
        QTest::newRow("intensityMax edit") << Name(tamrisk::MainControl::IntensityMaxEdit) << "QLineEdit" << "0.1" << QRect(630, 775, 78, 20);
        QTest::newRow("curveStep edit") << Name(tamrisk::MainControl::CurveStepEdit) << "QLineEdit" << "10" << QRect(582, 800, 36, 20);
        QTest::newRow("transmission read-out") << Name(tamrisk::MainControl::TransmissionReadout) << "QLabel" << "4.54e-005" << QRect(852, 89, 75, 13);
        QTest::newRow("radio") << Name(tamrisk::MainControl::SingleExponentialRadio) << "QRadioButton" << "Einfach exponentiell" << QRect(828, 647, 132, 20);
        QTest::newRow("intensity box") << Name(tamrisk::MainControl::ShowIntensityBox) << "QCheckBox" << "Intensitätsverlauf / Stimulationsleistung"
                                       << QRect(555, 375, 207, 16);
        QTest::newRow("correction box") << Name(tamrisk::MainControl::TransparencyCorrectionBox) << "QCheckBox" << "Transparenz-Korr. für OSL-Beitrag"
                                        << QRect(774, 356, 210, 20);
        QTest::newRow("rate 2 label") << Name(tamrisk::MainControl::Rate2Label) << "QLabel" << "Rate 2 [%/s]" << QRect(722, 718, 78, 16);
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
        const QList<QPair<QString, int>> sliders = {{Name(tamrisk::MainControl::ExtinctionSlider), 120}, {Name(tamrisk::MainControl::DoseRateSlider), 0}, {Name(tamrisk::MainControl::EvalTimeSlider), 80}, {Name(tamrisk::MainControl::DepthSlider), 100}};
        for (const auto& [name, position] : sliders) {
            auto* slider = dialog_->findChild<QSlider*>(name);
            QCOMPARE(slider->value(), position);
            QCOMPARE(slider->minimum(), 0);
            QCOMPARE(slider->maximum(), 200);
            QCOMPARE(slider->orientation(), Qt::Horizontal);
            QCOMPARE(slider->tickPosition(), QSlider::NoTicks);
        }
        const QList<QPair<QString, QString>> readouts = {
            {Name(tamrisk::MainControl::ExtinctionReadout), "10."}, {Name(tamrisk::MainControl::HalfValueDepthReadout), "6.931e-002"}, {Name(tamrisk::MainControl::TransmissionReadout), "4.54e-005"}, {Name(tamrisk::MainControl::DoseRateReadout), "0."},
            {Name(tamrisk::MainControl::EvalTimeReadout), "100."}, {Name(tamrisk::MainControl::DepthReadout), "1."},         {Name(tamrisk::MainControl::ProfileAutoMaxReadout), "(1.5)"},     {Name(tamrisk::MainControl::SignalAutoMaxReadout), "(0.1)"}};
        for (const auto& [name, text] : readouts)
            QCOMPARE(dialog_->findChild<QLabel*>(name)->text(), text);
        for (const QString& name : {Name(tamrisk::MainControl::EffLabTotalReadout), Name(tamrisk::MainControl::EffNatTotalReadout), Name(tamrisk::MainControl::EffRatioReadout)})
            QVERIFY(dialog_->findChild<QLabel*>(name)->text() != QStringLiteral("..."));
    }

    void startsWithEditTextsAndChecks()
    {
        const QList<QPair<QString, QString>> edits = {
            {Name(tamrisk::MainControl::TopEdit), "0.000"}, {Name(tamrisk::MainControl::BottomEdit), "2.000"}, {Name(tamrisk::MainControl::PlotMaxEdit), "1.5"},  {Name(tamrisk::MainControl::IntegralScaleEdit), "0.005"}, {Name(tamrisk::MainControl::IntensityMaxEdit), "0.1"},
            {Name(tamrisk::MainControl::TimeMaxEdit), "600.0"}, {Name(tamrisk::MainControl::Rate1Edit), "0.05"},  {Name(tamrisk::MainControl::Rate2Edit), "0.01"}, {Name(tamrisk::MainControl::CurveStepEdit), "10"}};
        for (const auto& [name, text] : edits)
            QCOMPARE(dialog_->findChild<QLineEdit*>(name)->text(), text);
        QVERIFY(dialog_->findChild<QLineEdit*>(Name(tamrisk::MainControl::CurveStepEdit))->alignment() & Qt::AlignRight);
        for (QCheckBox* box : dialog_->findChildren<QCheckBox*>()) {
            const bool automatic = box->text() == QStringLiteral("Automatisch");
            QCOMPARE(box->isChecked(), automatic);
        }
        QVERIFY(!dialog_->findChild<QRadioButton*>(Name(tamrisk::MainControl::SingleExponentialRadio))->isChecked());
    }

    void disablesOnlyTheFiveControls()
    {
        QStringList disabled;
        for (QWidget* child : dialog_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (!child->isEnabled())
                disabled << child->objectName();
        disabled.sort();
        QCOMPARE(disabled, QStringList({Name(tamrisk::MainControl::PlotMaxEdit), Name(tamrisk::MainControl::IntensityMaxEdit), Name(tamrisk::MainControl::Rate2Edit), Name(tamrisk::MainControl::Rate2Label), Name(tamrisk::MainControl::DoubleExponentialRadio)}));
    }

    void startsWithFocusOnBeenden()
    {
        QTRY_COMPARE(QApplication::focusWidget(), dialog_->findChild<QWidget*>("1"));
    }

    void tabVisitsTheTabStopsInTemplateOrder()
    {
        const QStringList expected = {"1",    Name(tamrisk::MainControl::Recalculate), Name(tamrisk::MainControl::ExtinctionSlider), Name(tamrisk::MainControl::TopEdit), Name(tamrisk::MainControl::BottomEdit), Name(tamrisk::MainControl::ShowIntensityBox), Name(tamrisk::MainControl::DoseRateSlider), Name(tamrisk::MainControl::ShowNatRateBox), Name(tamrisk::MainControl::ShowLabDoseBox),
                                      Name(tamrisk::MainControl::ShowRatioBox), Name(tamrisk::MainControl::ShowEffIntNatRateBox), Name(tamrisk::MainControl::ShowEffIntLabDoseBox), Name(tamrisk::MainControl::ShowEffIntRatioBox), Name(tamrisk::MainControl::ShowEffNatRateBox), Name(tamrisk::MainControl::ShowEffLabDoseBox), Name(tamrisk::MainControl::ShowEffRatioBox), Name(tamrisk::MainControl::ShowIntNatRateBox), Name(tamrisk::MainControl::ShowIntLabDoseBox),
                                      Name(tamrisk::MainControl::ShowIntRatioBox), Name(tamrisk::MainControl::ExportButton), Name(tamrisk::MainControl::ScanButton), Name(tamrisk::MainControl::EvalTimeSlider), Name(tamrisk::MainControl::IntegralScaleEdit), Name(tamrisk::MainControl::DepthSlider), Name(tamrisk::MainControl::ShowTotalSignalNatBox), Name(tamrisk::MainControl::ShowTotalSignalLabBox), Name(tamrisk::MainControl::ShowTotalSignalHomogeneousBox),
                                      Name(tamrisk::MainControl::ShowSignalAtDepthBox), Name(tamrisk::MainControl::TimeMaxEdit), Name(tamrisk::MainControl::Rate1Edit), Name(tamrisk::MainControl::ShowOslContributionBox), Name(tamrisk::MainControl::TransparencyCorrectionBox), Name(tamrisk::MainControl::CurveStepEdit), Name(tamrisk::MainControl::AutoScaleProfileBox), Name(tamrisk::MainControl::AutoScaleSignalBox), "1"};
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
