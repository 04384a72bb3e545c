// SPDX-License-Identifier: GPL-3.0-or-later
// The About box, the scan-grid dialog and the progress window.
#include "ControlNames.h"
#include "TemplatePlaces.h"
#include "app/CAboutDlg.h"
#include "app/DialogTemplate.h"
#include "app/ProgressDlg.h"
#include "app/ScanGridDlg.h"

#include "TamriskVersion.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace tamrisk;

class SmallDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void aboutBoxShowsNameVersionAndOk()
    {
        CAboutDlg about;
        QCOMPARE(about.windowTitle(), QStringLiteral("Info über Tamrisk"));
        QCOMPARE(about.size(), TemplatePixels(kAboutDialogWidthDu, kAboutDialogHeightDu));
        auto* ok = about.findChild<QPushButton*>("1");
        QVERIFY(ok->isDefault());
        QCOMPARE(ok->text(), QStringLiteral("OK"));
        QCOMPARE(ok->geometry(), TemplatePixels(TemplateRow(AboutDialogControls(), 1)));
        const QRect textPlace = TemplatePixels(AboutDialogControls()[0]);
        const auto labels = about.findChildren<QLabel*>();
        bool sawText = false;
        bool sawIcon = false;
        for (QLabel* label : labels) {
            sawText |= label->text() == QStringLiteral("Tamrisk\nVersion " TAMRISK_VERSION) &&
                       label->geometry() == textPlace;
            sawIcon |= !label->pixmap().isNull() &&
                       label->pos() == QPoint(DialogUnitsToPixelsX(kAboutIconXDu), DialogUnitsToPixelsY(kAboutIconYDu));
        }
        QVERIFY(sawText);
        QVERIFY(sawIcon);

        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QSignalSpy accepted(&about, &QDialog::accepted);
        QTest::keyClick(&about, Qt::Key_Return);
        QCOMPARE(accepted.count(), 1);
    }

    void gridDialogOpensWithDefaultsEveryTime()
    {
        for (int round = 0; round < 2; ++round) {
            CScanGridDlg grid;
            QCOMPARE(grid.windowTitle(), QStringLiteral("Werte-Raster berechnen"));
            QCOMPARE(grid.size(), TemplatePixels(kScanGridDialogWidthDu, kScanGridDialogHeightDu));
            const ScanGridTexts texts = grid.texts();
            QCOMPARE(texts.extinctionStart, std::string("1"));
            QCOMPARE(texts.extinctionEnd, std::string("10000"));
            QCOMPARE(texts.extinctionSteps, std::string("20"));
            QCOMPARE(texts.evalTimeStart, std::string("1"));
            QCOMPARE(texts.evalTimeEnd, std::string("10000"));
            QCOMPARE(texts.evalTimeSteps, std::string("20"));
            QVERIFY(texts.extinctionLog);
            QVERIFY(texts.evalTimeLog);
            // Whatever is typed now is gone in the next round.
            grid.findChild<QLineEdit*>(Name(tamrisk::GridControl::ExtinctionStart))->setText("abc");
            grid.findChild<QCheckBox*>(Name(tamrisk::GridControl::EvalTimeLog))->setChecked(false);
        }
    }

    void gridDialogTakesTextsAsTypedInTheirFields_data()
    {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("typed");
        QTest::newRow("extinction start") << Name(tamrisk::GridControl::ExtinctionStart) << "0,5";
        QTest::newRow("extinction end") << Name(tamrisk::GridControl::ExtinctionEnd) << "1e3";
        QTest::newRow("extinction steps") << Name(tamrisk::GridControl::ExtinctionSteps) << "2.7";
        QTest::newRow("time start") << Name(tamrisk::GridControl::EvalTimeStart) << "";
        QTest::newRow("time end") << Name(tamrisk::GridControl::EvalTimeEnd) << "x";
        QTest::newRow("time steps") << Name(tamrisk::GridControl::EvalTimeSteps) << "-1";
    }

    void gridDialogTakesTextsAsTypedInTheirFields()
    {
        QFETCH(QString, edit);
        QFETCH(QString, typed);
        CScanGridDlg grid;
        grid.findChild<QLineEdit*>(edit)->setText(typed);
        const ScanGridTexts texts = grid.texts();
        const std::map<QString, std::string> fields = {
            {Name(tamrisk::GridControl::ExtinctionStart), texts.extinctionStart},
            {Name(tamrisk::GridControl::ExtinctionEnd), texts.extinctionEnd},
            {Name(tamrisk::GridControl::ExtinctionSteps), texts.extinctionSteps},
            {Name(tamrisk::GridControl::EvalTimeStart), texts.evalTimeStart},
            {Name(tamrisk::GridControl::EvalTimeEnd), texts.evalTimeEnd},
            {Name(tamrisk::GridControl::EvalTimeSteps), texts.evalTimeSteps}};
        QCOMPARE(fields.at(edit), typed.toStdString());
    }

    void gridDialogConfirmsWithEnterFromWeiter()
    {
        CScanGridDlg grid;
        grid.show();
        QVERIFY(QTest::qWaitForWindowActive(&grid));
        QTRY_COMPARE(QApplication::focusWidget(), grid.findChild<QWidget*>("1"));
        QVERIFY(grid.findChild<QPushButton*>("1")->isDefault());
        QSignalSpy accepted(&grid, &QDialog::accepted);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(accepted.count(), 1);
    }

    void progressWindowShowsTemplateTextsUntilSet()
    {
        CProgressDlg progress;
        QCOMPARE(progress.windowTitle(), QStringLiteral("Berechne Daten..."));
        QCOMPARE(progress.size(), TemplatePixels(kProgressDialogWidthDu, kProgressDialogHeightDu));
        QVERIFY(!progress.isModal());
        QCOMPARE(progress.line(tamrisk::ProgressLine::Extinction), QStringLiteral("Textzeile1"));
        QCOMPARE(progress.line(tamrisk::ProgressLine::EvalTime), QStringLiteral("Textzeile2"));
        QCOMPARE(progress.line(tamrisk::ProgressLine::Count), QStringLiteral("Textzeile3"));
        progress.show();
        QVERIFY(QTest::qWaitForWindowExposed(&progress));
        progress.setLine(tamrisk::ProgressLine::EvalTime, QStringLiteral("tMax = 1."));
        QCOMPARE(progress.findChild<QLabel*>(Name(tamrisk::ProgressLine::EvalTime))->text(),
                 QStringLiteral("tMax = 1."));
        QCOMPARE(progress.line(tamrisk::ProgressLine::Count), QStringLiteral("Textzeile3"));
    }

    void progressWindowHidesOnEnterAndEscape_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Return") << int(Qt::Key_Return);
        QTest::newRow("Enter") << int(Qt::Key_Enter);
        QTest::newRow("Escape") << int(Qt::Key_Escape);
    }

    void progressWindowHidesOnEnterAndEscape()
    {
        QFETCH(int, key);
        CProgressDlg progress;
        progress.show();
        QVERIFY(QTest::qWaitForWindowExposed(&progress));
        QTest::keyClick(&progress, Qt::Key(key));
        QTRY_VERIFY(!progress.isVisible());
    }
};

QTEST_MAIN(SmallDialogsTest)
#include "small_dialogs_test.moc"
