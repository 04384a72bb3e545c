// SPDX-License-Identifier: GPL-3.0-or-later
// What each control of the main window does to the model and the screen.
#include "ControlNames.h"
#include "PictureCompare.h"
#include "FakeDialogs.h"

#include "app/CModelDlg.h"
#include "app/PictureView.h"
#include "model/InputTable.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>

using namespace tamrisk;

class MainDialogEventsTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        dialog_ = std::make_unique<CModelDlg>(&fake_);
        dialog_->show();
        QVERIFY(QTest::qWaitForWindowActive(dialog_.get()));
    }
    void cleanup()
    {
        dialog_.reset();
        fake_ = FakeDialogs();
    }

    void sliderMoveWritesItsReadoutsAndRedraws_data()
    {
        QTest::addColumn<QString>("slider");
        QTest::addColumn<int>("position");
        QTest::addColumn<QStringList>("readouts"); // name, text, name, text...
        QTest::newRow("extinction 130") << Name(tamrisk::MainControl::ExtinctionSlider) << 130
                                        << QStringList{Name(tamrisk::MainControl::ExtinctionReadout),     "17.78",
                                                       Name(tamrisk::MainControl::HalfValueDepthReadout), "3.898e-002",
                                                       Name(tamrisk::MainControl::TransmissionReadout),   "1.892e-008"};
        QTest::newRow("extinction 0") << Name(tamrisk::MainControl::ExtinctionSlider) << 0
                                      << QStringList{Name(tamrisk::MainControl::ExtinctionReadout), "1.e-002",
                                                     Name(tamrisk::MainControl::TransmissionReadout), "0.99"};
        QTest::newRow("dose rate 100") << Name(tamrisk::MainControl::DoseRateSlider) << 100
                                       << QStringList{Name(tamrisk::MainControl::DoseRateReadout), "1."};
        QTest::newRow("eval time 200") << Name(tamrisk::MainControl::EvalTimeSlider) << 200
                                       << QStringList{Name(tamrisk::MainControl::EvalTimeReadout), "1.e+005"};
        QTest::newRow("depth 50") << Name(tamrisk::MainControl::DepthSlider) << 50
                                  << QStringList{Name(tamrisk::MainControl::DepthReadout), "0.5"};
    }

    void sliderMoveWritesItsReadoutsAndRedraws()
    {
        QFETCH(QString, slider);
        QFETCH(int, position);
        QFETCH(QStringList, readouts);
        dialog_->findChild<QSlider*>(slider)->setValue(position);
        for (int i = 0; i < readouts.size(); i += 2)
            QCOMPARE(label(readouts[i])->text(), readouts[i + 1]);

        ControlState controls;
        if (slider == Name(tamrisk::MainControl::ExtinctionSlider))
            controls.sliders.extinction = position;
        else if (slider == Name(tamrisk::MainControl::DoseRateSlider))
            controls.sliders.doseRate = position;
        else if (slider == Name(tamrisk::MainControl::EvalTimeSlider))
            controls.sliders.evalTime = position;
        else
            controls.sliders.depth = position;
        expectPicturesOf(controls);
    }

    // After each slider's move every read-out label shows what the tool
    // prints for the same inputs, row by row of the read-out table.
    void readoutsShowTheToolsTexts()
    {
        for (const InputRow& input : InputTable()) {
            if (input.kind != InputKind::Position)
                continue;
            dialog_->findChild<QSlider*>(QString::number(input.controlId))->setValue(SliderRange(input)->high - 3);
            Inputs inputs;
            inputs.controls = dialog_->controlState();
            ModelState state;
            for (const Readout& readout : ComputeReadouts(inputs, state))
                QCOMPARE(label(Name(readout.id))->text(), QString::fromStdString(readout.text));
        }
    }

    void editTakesEffectWhenItLosesTheFocus()
    {
        QLineEdit* bottom = edit(Name(tamrisk::MainControl::BottomEdit));
        bottom->setFocus();
        QTRY_VERIFY(bottom->hasFocus());
        bottom->selectAll();
        QTest::keyClicks(bottom, "4.000");
        QCOMPARE(dialog_->modelState().params.bottom, 2.0f);
        QTest::keyClick(bottom, Qt::Key_Tab);
        QTRY_VERIFY(!bottom->hasFocus());
        QCOMPARE(dialog_->modelState().params.bottom, 4.0f);
        QCOMPARE(label(Name(tamrisk::MainControl::DepthReadout))->text(), QStringLiteral("2.")); // the middle of 0 to 4

        ControlState controls;
        controls.edits.bottom = "4.000";
        expectPicturesOf(controls);
    }

    void enterInAnEditNeitherRecomputesNorCloses()
    {
        QLineEdit* top = edit(Name(tamrisk::MainControl::TopEdit));
        top->setFocus();
        QTRY_VERIFY(top->hasFocus());
        top->selectAll();
        QTest::keyClicks(top, "1.0");
        QSignalSpy pressed(dialog_->findChild<QPushButton*>(Name(tamrisk::MainControl::Recalculate)),
                           &QPushButton::clicked);
        QSignalSpy finished(dialog_.get(), &QDialog::finished);
        QTest::keyClick(top, Qt::Key_Return);
        QTest::keyClick(top, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(pressed.count(), 2); // "Neu berechnen" takes the Enter
        QCOMPARE(finished.count(), 0);
        QVERIFY(dialog_->isVisible());
        QVERIFY(top->hasFocus());
        QCOMPARE(dialog_->modelState().params.top, 0.0f);
        expectPicturesOf(ControlState{});
    }

    void clickOnNeuBerechnenRecomputesThroughTheEdit()
    {
        QLineEdit* top = edit(Name(tamrisk::MainControl::TopEdit));
        top->setFocus();
        QTRY_VERIFY(top->hasFocus());
        top->selectAll();
        QTest::keyClicks(top, "0.5");
        QTest::mouseClick(dialog_->findChild<QPushButton*>(Name(tamrisk::MainControl::Recalculate)), Qt::LeftButton);
        QCOMPARE(dialog_->modelState().params.top, 0.5f);
        QVERIFY(dialog_->isVisible());
    }

    void displayBoxShowsItsCurve_data()
    {
        QTest::addColumn<QString>("box");
        QTest::newRow("intensity") << Name(tamrisk::MainControl::ShowIntensityBox);
        QTest::newRow("ratio") << Name(tamrisk::MainControl::ShowRatioBox);
        QTest::newRow("signal at depth") << Name(tamrisk::MainControl::ShowSignalAtDepthBox);
        QTest::newRow("transparency correction with OSL") << Name(tamrisk::MainControl::TransparencyCorrectionBox);
    }

    void displayBoxShowsItsCurve()
    {
        QFETCH(QString, box);
        ControlState controls;
        if (box == Name(tamrisk::MainControl::TransparencyCorrectionBox)) {
            checkBox(Name(tamrisk::MainControl::ShowOslContributionBox))->click();
            controls.flags.showOslContribution = true;
            controls.transparencyCorrection = true;
        } else if (box == Name(tamrisk::MainControl::ShowIntensityBox)) {
            controls.flags.showIntensity = true;
        } else if (box == Name(tamrisk::MainControl::ShowRatioBox)) {
            controls.flags.showRatio = true;
        } else {
            controls.flags.showSignalAtDepth = true;
        }
        checkBox(box)->click();
        expectPicturesOf(controls);
    }

    void mouseClickReachesBoxesInsideTheSignalGroup()
    {
        // Through the window, so the click goes to whatever lies on top there.
        QCheckBox* box = checkBox(Name(tamrisk::MainControl::ShowTotalSignalNatBox));
        const QPoint inBox = box->geometry().topLeft() + QPoint(6, box->height() / 2);
        QTest::mouseClick(dialog_->windowHandle(), Qt::LeftButton, {}, inBox);
        QTRY_VERIFY(box->isChecked());
        ControlState controls;
        controls.flags.showTotalSignalNat = true;
        expectPicturesOf(controls);
    }

    void automaticBoxesSwitchTheirEdits_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("edit");
        QTest::newRow("depth plot") << Name(tamrisk::MainControl::AutoScaleProfileBox)
                                    << Name(tamrisk::MainControl::PlotMaxEdit);
        QTest::newRow("signal plot") << Name(tamrisk::MainControl::AutoScaleSignalBox)
                                     << Name(tamrisk::MainControl::IntensityMaxEdit);
    }

    void automaticBoxesSwitchTheirEdits()
    {
        QFETCH(QString, box);
        QFETCH(QString, edit);
        QVERIFY(!this->edit(edit)->isEnabled());
        checkBox(box)->click();
        QVERIFY(this->edit(edit)->isEnabled());
        ControlState controls;
        (box == Name(tamrisk::MainControl::AutoScaleProfileBox) ? controls.flags.autoScaleProfile
                                                                : controls.flags.autoScaleSignal) = false;
        expectPicturesOf(controls);
        checkBox(box)->click();
        QVERIFY(!this->edit(edit)->isEnabled());
        expectPicturesOf(ControlState{});
    }

    void aboutOpensOnF1AndFromTheContextMenu()
    {
        QTest::keyClick(dialog_.get(), Qt::Key_F1);
        QCOMPARE(fake_.aboutShown, 1);
        QCOMPARE(dialog_->contextMenuPolicy(), Qt::ActionsContextMenu);
        const QList<QAction*> actions = dialog_->actions();
        QCOMPARE(actions.size(), 1);
        QCOMPARE(actions.front()->text(), QStringLiteral("Inf&o über Tamrisk..."));
        actions.front()->trigger();
        QCOMPARE(fake_.aboutShown, 2);
    }

    void beendenAndEscapeEndTheDialog()
    {
        for (bool escape : {false, true}) {
            init();
            QSignalSpy finished(dialog_.get(), &QDialog::finished);
            if (escape)
                QTest::keyClick(dialog_.get(), Qt::Key_Escape);
            else
                QTest::mouseClick(dialog_->findChild<QPushButton*>("1"), Qt::LeftButton);
            QCOMPARE(finished.count(), 1);
            QVERIFY(!dialog_->isVisible());
        }
    }

private:
    QLabel* label(const QString& name) const { return dialog_->findChild<QLabel*>(name); }
    QLineEdit* edit(const QString& name) const { return dialog_->findChild<QLineEdit*>(name); }
    QCheckBox* checkBox(const QString& name) const { return dialog_->findChild<QCheckBox*>(name); }

    // The screen shows what the core renders for these controls.
    void expectPicturesOf(const ControlState& controls)
    {
        ModelState reference;
        Recompute(controls, reference);
        QVERIFY(ShowsRaster(dialog_->findChild<PictureView*>("depthPicture"), reference.pictures.depth));
        QVERIFY(ShowsRaster(dialog_->findChild<PictureView*>("signalPicture"), reference.pictures.signal));
    }

    FakeDialogs fake_;
    std::unique_ptr<CModelDlg> dialog_;
};

QTEST_MAIN(MainDialogEventsTest)
#include "main_dialog_events_test.moc"
