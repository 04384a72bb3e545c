// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's controls, their places and its start state.
#include "ControlNames.h"
#include "PictureCompare.h"
#include "FakeDialogs.h"
#include "TemplatePlaces.h"

#include "app/CModelDlg.h"
#include "app/MainDialogTemplate.h"
#include "app/PictureView.h"
#include "app/DialogTemplate.h"
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
#include <cstdlib>
#include <utility>
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
        QCOMPARE(dialog_->size(), TemplatePixels(kMainDialogWidthDu, kMainDialogHeightDu));
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
        const auto rows = MainDialogControls();
        QCOMPARE(controls, int(rows.size()));
        // The others are labels without id.
        const auto withId = std::count_if(rows.begin(), rows.end(), [](const auto& row) { return row.id != 0; });
        QCOMPARE(numericNames.size(), int(withId));
        QCOMPARE(numericNames.removeDuplicates(), 0);
    }

    // Dialog units become pixels with base units 6 x 13, each coordinate
    // scaled and rounded half away from zero on its own.
    void dialogUnitsBecomePixels_data()
    {
        QTest::addColumn<int>("du");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::newRow("0") << 0 << 0 << 0;
        QTest::newRow("1: 1.5 and 1.625") << 1 << 2 << 2;
        QTest::newRow("4: 6 and 6.5") << 4 << 6 << 7;
        QTest::newRow("55: 82.5 and 89.375") << 55 << 83 << 89;
        QTest::newRow("308: 462 and 500.5") << 308 << 462 << 501;
        QTest::newRow("481: 721.5 and 781.625") << 481 << 722 << 782;
        QTest::newRow("-1: -1.5 and -1.625") << -1 << -2 << -2;
        QTest::newRow("-4: -6 and -6.5") << -4 << -6 << -7;
    }

    void dialogUnitsBecomePixels()
    {
        QFETCH(int, du);
        QFETCH(int, x);
        QFETCH(int, y);
        QCOMPARE(DialogUnitsToPixelsX(du), x);
        QCOMPARE(DialogUnitsToPixelsY(du), y);
        QCOMPARE(DialogUnitsToPixels(du, du, du, du), QRect(x, y, x, y));
    }

    // Controls whose texts fit their places sit exactly where the template puts them.
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
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("text");
        using M = MainControl;
        QTest::newRow("Beenden") << IdNumber(M::Quit) << "QPushButton"
                                 << "Beenden";
        QTest::newRow("Neu berechnen") << IdNumber(M::Recalculate) << "QPushButton"
                                       << "Neu berechnen";
        QTest::newRow("extinction slider") << IdNumber(M::ExtinctionSlider) << "QSlider"
                                           << "";
        QTest::newRow("top edit") << IdNumber(M::TopEdit) << "QLineEdit"
                                  << "0.000";
        QTest::newRow("depth slider") << IdNumber(M::DepthSlider) << "QSlider"
                                      << "";
        QTest::newRow("intensityMax edit") << IdNumber(M::IntensityMaxEdit) << "QLineEdit"
                                           << "0.1";
        QTest::newRow("curveStep edit") << IdNumber(M::CurveStepEdit) << "QLineEdit"
                                        << "10";
        QTest::newRow("transmission read-out") << IdNumber(M::TransmissionReadout) << "QLabel"
                                               << "4.54e-005";
        QTest::newRow("radio") << IdNumber(M::SingleExponentialRadio) << "QRadioButton"
                               << "Einfach exponentiell";
        QTest::newRow("intensity box") << IdNumber(M::ShowIntensityBox) << "QCheckBox"
                                       << "Intensitätsverlauf / Stimulationsleistung";
        QTest::newRow("correction box") << IdNumber(M::TransparencyCorrectionBox) << "QCheckBox"
                                        << "Transparenz-Korr. für OSL-Beitrag";
        QTest::newRow("rate 2 label") << IdNumber(M::Rate2Label) << "QLabel"
                                      << "Rate 2 [%/s]";
    }

    void controlHasKindTextAndPlace()
    {
        QFETCH(int, id);
        QFETCH(QString, kind);
        QFETCH(QString, text);
        auto* widget = dialog_->findChild<QWidget*>(QString::number(id), Qt::FindDirectChildrenOnly);
        QVERIFY(widget != nullptr);
        QCOMPARE(QString::fromLatin1(widget->metaObject()->className()), kind);
        QCOMPARE(widget->geometry(), TemplatePixels(TemplateRow(MainDialogControls(), id)));
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            QCOMPARE(button->text(), text);
        else if (auto* label = qobject_cast<QLabel*>(widget))
            QCOMPARE(label->text(), text);
        else if (auto* edit = qobject_cast<QLineEdit*>(widget))
            QCOMPARE(edit->text(), text);
    }

    // Every control with an id starts at its template place. Fitting a text
    // only widens a control to the right, and grows a check box or radio
    // button about its middle.
    void everyControlKeepsItsTemplatePlace()
    {
        for (const ControlTemplate& row : MainDialogControls()) {
            if (row.id == 0)
                continue;
            const auto* widget = dialog_->findChild<QWidget*>(QString::number(row.id), Qt::FindDirectChildrenOnly);
            QVERIFY2(widget != nullptr, row.text);
            const QRect place = TemplatePixels(row);
            const QRect shown = widget->geometry();
            const QByteArray what = QByteArray::number(row.id);
            QVERIFY2(shown.x() == place.x() && shown.width() >= place.width(), what);
            if (row.kind == ControlKind::CheckBox || row.kind == ControlKind::RadioButton)
                QVERIFY2(shown.height() >= place.height() && std::abs(shown.center().y() - place.center().y()) <= 1,
                         what);
            else
                QVERIFY2(shown.y() == place.y() && shown.height() == place.height(), what);
        }
    }

    void groupBoxesFrameThePlots()
    {
        const auto boxes = dialog_->findChildren<QGroupBox*>(Qt::FindDirectChildrenOnly);
        QCOMPARE(boxes.size(), 4);
        QMap<QString, QRect> places;
        for (QGroupBox* box : boxes)
            places.insert(box->title(), box->geometry());
        for (const char* title : {"Tiefenverlauf", "OSL-Signal"})
            QCOMPARE(places.value(title), TemplatePixels(TemplateRow(MainDialogControls(), 0, title)));
    }

    void picturesSitInsideTheirGroupBoxes()
    {
        const std::pair<const char*, const char*> frames[] = {{"depthPicture", "Tiefenverlauf"},
                                                              {"signalPicture", "OSL-Signal"}};
        for (const auto& [picture, title] : frames)
            QVERIFY(TemplatePixels(TemplateRow(MainDialogControls(), 0, title))
                        .contains(dialog_->findChild<PictureView*>(picture)->geometry()));
        QCOMPARE(dialog_->findChild<PictureView*>("depthPicture")->geometry(), QRect(20, 20, 500, 500));
        QCOMPARE(dialog_->findChild<PictureView*>("signalPicture")->geometry(), QRect(20, 540, 500, 250));
    }

    void startsWithSlidersAndReadoutsAtTheirDefaults()
    {
        const QList<QPair<QString, int>> sliders = {{Name(tamrisk::MainControl::ExtinctionSlider), 120},
                                                    {Name(tamrisk::MainControl::DoseRateSlider), 0},
                                                    {Name(tamrisk::MainControl::EvalTimeSlider), 80},
                                                    {Name(tamrisk::MainControl::DepthSlider), 100}};
        for (const auto& [name, position] : sliders) {
            auto* slider = dialog_->findChild<QSlider*>(name);
            QCOMPARE(slider->value(), position);
            QCOMPARE(slider->minimum(), 0);
            QCOMPARE(slider->maximum(), 200);
            QCOMPARE(slider->orientation(), Qt::Horizontal);
            QCOMPARE(slider->tickPosition(), QSlider::NoTicks);
        }
        const QList<QPair<QString, QString>> readouts = {
            {Name(tamrisk::MainControl::ExtinctionReadout), "10."},
            {Name(tamrisk::MainControl::HalfValueDepthReadout), "6.931e-002"},
            {Name(tamrisk::MainControl::TransmissionReadout), "4.54e-005"},
            {Name(tamrisk::MainControl::DoseRateReadout), "0."},
            {Name(tamrisk::MainControl::EvalTimeReadout), "100."},
            {Name(tamrisk::MainControl::DepthReadout), "1."},
            {Name(tamrisk::MainControl::ProfileAutoMaxReadout), "(1.5)"},
            {Name(tamrisk::MainControl::SignalAutoMaxReadout), "(0.1)"}};
        for (const auto& [name, text] : readouts)
            QCOMPARE(dialog_->findChild<QLabel*>(name)->text(), text);
        for (const QString& name :
             {Name(tamrisk::MainControl::EffLabTotalReadout), Name(tamrisk::MainControl::EffNatTotalReadout),
              Name(tamrisk::MainControl::EffRatioReadout)})
            QVERIFY(dialog_->findChild<QLabel*>(name)->text() != QStringLiteral("..."));
    }

    void startsWithEditTextsAndChecks()
    {
        const QList<QPair<QString, QString>> edits = {{Name(tamrisk::MainControl::TopEdit), "0.000"},
                                                      {Name(tamrisk::MainControl::BottomEdit), "2.000"},
                                                      {Name(tamrisk::MainControl::PlotMaxEdit), "1.5"},
                                                      {Name(tamrisk::MainControl::IntegralScaleEdit), "0.005"},
                                                      {Name(tamrisk::MainControl::IntensityMaxEdit), "0.1"},
                                                      {Name(tamrisk::MainControl::TimeMaxEdit), "600.0"},
                                                      {Name(tamrisk::MainControl::Rate1Edit), "0.05"},
                                                      {Name(tamrisk::MainControl::Rate2Edit), "0.01"},
                                                      {Name(tamrisk::MainControl::CurveStepEdit), "10"}};
        for (const auto& [name, text] : edits)
            QCOMPARE(dialog_->findChild<QLineEdit*>(name)->text(), text);
        QVERIFY(dialog_->findChild<QLineEdit*>(Name(tamrisk::MainControl::CurveStepEdit))->alignment() &
                Qt::AlignRight);
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
        QCOMPARE(disabled,
                 QStringList({Name(tamrisk::MainControl::PlotMaxEdit), Name(tamrisk::MainControl::IntensityMaxEdit),
                              Name(tamrisk::MainControl::Rate2Edit), Name(tamrisk::MainControl::Rate2Label),
                              Name(tamrisk::MainControl::DoubleExponentialRadio)}));
    }

    void startsWithFocusOnBeenden() { QTRY_COMPARE(QApplication::focusWidget(), dialog_->findChild<QWidget*>("1")); }

    void tabVisitsTheTabStopsInTemplateOrder()
    {
        const QStringList expected = {"1",
                                      Name(tamrisk::MainControl::Recalculate),
                                      Name(tamrisk::MainControl::ExtinctionSlider),
                                      Name(tamrisk::MainControl::TopEdit),
                                      Name(tamrisk::MainControl::BottomEdit),
                                      Name(tamrisk::MainControl::ShowIntensityBox),
                                      Name(tamrisk::MainControl::DoseRateSlider),
                                      Name(tamrisk::MainControl::ShowNatRateBox),
                                      Name(tamrisk::MainControl::ShowLabDoseBox),
                                      Name(tamrisk::MainControl::ShowRatioBox),
                                      Name(tamrisk::MainControl::ShowEffIntNatRateBox),
                                      Name(tamrisk::MainControl::ShowEffIntLabDoseBox),
                                      Name(tamrisk::MainControl::ShowEffIntRatioBox),
                                      Name(tamrisk::MainControl::ShowEffNatRateBox),
                                      Name(tamrisk::MainControl::ShowEffLabDoseBox),
                                      Name(tamrisk::MainControl::ShowEffRatioBox),
                                      Name(tamrisk::MainControl::ShowIntNatRateBox),
                                      Name(tamrisk::MainControl::ShowIntLabDoseBox),
                                      Name(tamrisk::MainControl::ShowIntRatioBox),
                                      Name(tamrisk::MainControl::ExportButton),
                                      Name(tamrisk::MainControl::ScanButton),
                                      Name(tamrisk::MainControl::EvalTimeSlider),
                                      Name(tamrisk::MainControl::IntegralScaleEdit),
                                      Name(tamrisk::MainControl::DepthSlider),
                                      Name(tamrisk::MainControl::ShowTotalSignalNatBox),
                                      Name(tamrisk::MainControl::ShowTotalSignalLabBox),
                                      Name(tamrisk::MainControl::ShowTotalSignalHomogeneousBox),
                                      Name(tamrisk::MainControl::ShowSignalAtDepthBox),
                                      Name(tamrisk::MainControl::TimeMaxEdit),
                                      Name(tamrisk::MainControl::Rate1Edit),
                                      Name(tamrisk::MainControl::ShowOslContributionBox),
                                      Name(tamrisk::MainControl::TransparencyCorrectionBox),
                                      Name(tamrisk::MainControl::CurveStepEdit),
                                      Name(tamrisk::MainControl::AutoScaleProfileBox),
                                      Name(tamrisk::MainControl::AutoScaleSignalBox),
                                      "1"};
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
