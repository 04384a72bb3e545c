// The About box, the scan-grid dialog and the progress window.
#include "app/CAboutDlg.h"
#include "app/DialogTemplate.h"
#include "app/ProgressDlg.h"
#include "app/ScanGridDlg.h"

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
        QCOMPARE(about.size(), QSize(353, 89));
        auto* ok = about.findChild<QPushButton*>("1");
        QVERIFY(ok->isDefault());
        QCOMPARE(ok->text(), QStringLiteral("OK"));
        QCOMPARE(ok->geometry(), DialogUnitsToPixels(178, 7, 50, 14));
        const auto labels = about.findChildren<QLabel*>();
        bool sawText = false;
        bool sawIcon = false;
        for (QLabel* label : labels) {
            sawText |= label->text() == QStringLiteral("Tamrisk\nVersion 1.0 build 1022") &&
                       label->geometry() == DialogUnitsToPixels(40, 10, 119, 18);
            sawIcon |= !label->pixmap().isNull() && label->pos() == QPoint(17, 28);
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
            QCOMPARE(grid.size(), QSize(309, 210));
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
            grid.findChild<QLineEdit*>("1015")->setText("abc");
            grid.findChild<QCheckBox*>("1056")->setChecked(false);
        }
    }

    void gridDialogTakesTextsAsTypedInTheirFields_data()
    {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("typed");
        QTest::newRow("extinction start") << "1015" << "0,5";
        QTest::newRow("extinction end") << "1016" << "1e3";
        QTest::newRow("extinction steps") << "1017" << "2.7";
        QTest::newRow("time start") << "1018" << "";
        QTest::newRow("time end") << "1019" << "x";
        QTest::newRow("time steps") << "1020" << "-1";
    }

    void gridDialogTakesTextsAsTypedInTheirFields()
    {
        QFETCH(QString, edit);
        QFETCH(QString, typed);
        CScanGridDlg grid;
        grid.findChild<QLineEdit*>(edit)->setText(typed);
        const ScanGridTexts texts = grid.texts();
        const std::map<QString, std::string> fields = {
            {"1015", texts.extinctionStart}, {"1016", texts.extinctionEnd}, {"1017", texts.extinctionSteps},
            {"1018", texts.evalTimeStart},   {"1019", texts.evalTimeEnd},   {"1020", texts.evalTimeSteps}};
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
        QCOMPARE(progress.size(), QSize(204, 81));
        QVERIFY(!progress.isModal());
        QCOMPARE(progress.line(1050), QStringLiteral("Textzeile1"));
        QCOMPARE(progress.line(1051), QStringLiteral("Textzeile2"));
        QCOMPARE(progress.line(1052), QStringLiteral("Textzeile3"));
        progress.show();
        QVERIFY(QTest::qWaitForWindowExposed(&progress));
        progress.setLine(1051, QStringLiteral("tMax = 1."));
        QCOMPARE(progress.findChild<QLabel*>("1051")->text(), QStringLiteral("tMax = 1."));
        QCOMPARE(progress.line(1052), QStringLiteral("Textzeile3"));
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
