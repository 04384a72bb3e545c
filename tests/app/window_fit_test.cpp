// SPDX-License-Identifier: GPL-3.0-or-later
// The window on real desktops: Qt's German texts, every text whole, a
// scrolling window on small screens.
#include "ControlNames.h"
#include "FakeDialogs.h"
#include "TemplatePlaces.h"

#include "app/CModelDlg.h"
#include "app/DialogTemplate.h"
#include "app/MainDialogTemplate.h"
#include "app/ProgressDlg.h"
#include "app/QtTranslations.h"
#include "app/ScreenFit.h"
#include "app/TextFit.h"
#include "app/UserDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>
#include <QTimer>

using namespace tamrisk;
using M = MainControl;

namespace {

bool IndicatorsWhole(const QWidget& dialog, QStringList& cut)
{
    for (const QAbstractButton* box : dialog.findChildren<QAbstractButton*>()) {
        const bool radio = qobject_cast<const QRadioButton*>(box) != nullptr;
        if (!radio && qobject_cast<const QCheckBox*>(box) == nullptr)
            continue;
        const int square = box->style()->pixelMetric(
            radio ? QStyle::PM_ExclusiveIndicatorHeight : QStyle::PM_IndicatorHeight, nullptr, box);
        if (box->height() < square)
            cut << box->objectName();
    }
    return cut.isEmpty();
}

} // namespace

class WindowFitTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(InstallQtGermanTranslations(*QCoreApplication::instance())); }

    // The save dialog, its overwrite question with its buttons and the edits'
    // context menu take these texts from Qt's catalogue.
    void qtSpeaksGerman_data()
    {
        QTest::addColumn<QString>("context");
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("german");
        QTest::newRow("save title") << "QFileDialog"
                                    << "Save As"
                                    << "Speichern unter";
        QTest::newRow("overwrite") << "QFileDialog"
                                   << "%1 already exists.\nDo you want to replace it?"
                                   << "Die Datei %1 existiert bereits.\nSoll sie überschrieben werden?";
        QTest::newRow("file name") << "QFileDialog"
                                   << "File &name:"
                                   << "Datei&name:";
        QTest::newRow("yes") << "QPlatformTheme"
                             << "&Yes"
                             << "&Ja";
        QTest::newRow("no") << "QPlatformTheme"
                            << "&No"
                            << "&Nein";
        QTest::newRow("save") << "QPlatformTheme"
                              << "Save"
                              << "Speichern";
        QTest::newRow("cancel") << "QPlatformTheme"
                                << "Cancel"
                                << "Abbrechen";
        QTest::newRow("undo") << "QLineEdit"
                              << "&Undo"
                              << "&Rückgängig";
        QTest::newRow("select all") << "QLineEdit"
                                    << "Select All"
                                    << "Alles auswählen";
    }

    void qtSpeaksGerman()
    {
        QFETCH(QString, context);
        QFETCH(QString, english);
        QFETCH(QString, german);
        QCOMPARE(QCoreApplication::translate(context.toLatin1().constData(), english.toUtf8().constData()), german);
    }

    // The widest texts the model can produce for each read-out.
    void readoutHoldsItsWidestText_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        for (M id : {M::EffLabTotalReadout, M::EffNatTotalReadout, M::EffRatioReadout}) {
            QTest::addRow("%d small", IdNumber(id)) << Name(id) << "-4.88119e-005";
            QTest::addRow("%d large", IdNumber(id)) << Name(id) << "-1.23457e+006";
        }
        for (M id : {M::ExtinctionReadout, M::HalfValueDepthReadout, M::TransmissionReadout, M::DoseRateReadout,
                     M::EvalTimeReadout, M::DepthReadout})
            QTest::addRow("%d", IdNumber(id)) << Name(id) << "-1.234e+003";
        for (M id : {M::ProfileAutoMaxReadout, M::SignalAutoMaxReadout})
            QTest::addRow("%d", IdNumber(id)) << Name(id) << "(-1.234e+003)";
    }

    void readoutHoldsItsWidestText()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        FakeDialogs fake;
        CModelDlg dialog(&fake);
        const auto* label = dialog.findChild<QLabel*>(name);
        QVERIFY(label->fontMetrics().horizontalAdvance(text) <= label->contentsRect().width());
    }

    // With the narrow families and with a wide fallback: every label's text
    // whole, every check square and radio circle whole.
    void textsWholeInTheFont_data()
    {
        QTest::addColumn<QStringList>("families");
        QTest::newRow("installed") << DialogFontFamilies();
        QTest::newRow("fallback") << QStringList{QStringLiteral("DejaVu Sans")};
    }

    void textsWholeInTheFont()
    {
        QFETCH(QStringList, families);
        FakeDialogs fake;
        CModelDlg dialog(&fake);
        dialog.setFont(DialogFont(families));
        FitControlsToTexts(dialog);
        QStringList cut;
        for (const QLabel* label : dialog.findChildren<QLabel*>())
            if (label->fontMetrics().horizontalAdvance(label->text()) > label->contentsRect().width())
                cut << label->text();
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(" | ")));
        QVERIFY2(IndicatorsWhole(dialog, cut), qPrintable(cut.join(" ")));
    }

    void progressLineWholeForLargeGrids()
    {
        CProgressDlg progress;
        const QString line = QStringLiteral("4000000000 von 4000000000 Berechnungen (100.%)");
        progress.setLine(ProgressLine::Count, line);
        const auto* label = progress.findChild<QLabel*>(Name(ProgressLine::Count));
        QCOMPARE(label->text(), line);
        QVERIFY(label->fontMetrics().horizontalAdvance(line) <= label->contentsRect().width());
        QVERIFY(label->geometry().right() < progress.width());
        const ControlTemplate& row = TemplateRow(ProgressDialogControls(), IdNumber(ProgressLine::Count));
        QCOMPARE(label->pos(), TemplatePixels(row).topLeft());
    }

    void scrollsOnlyOnScreensTooSmall_data()
    {
        QTest::addColumn<QRect>("available");
        QTest::addColumn<bool>("scrolls");
        QTest::newRow("1366 x 768") << QRect(0, 0, 1366, 768) << true;
        QTest::newRow("1366 x 768, panel") << QRect(0, 27, 1366, 741) << true;
        QTest::newRow("1920 x 1080") << QRect(0, 0, 1920, 1080) << false;
        QTest::newRow("1920 x 1080, panel") << QRect(0, 0, 1920, 1048) << false;
    }

    void scrollsOnlyOnScreensTooSmall()
    {
        QFETCH(QRect, available);
        QFETCH(bool, scrolls);
        FakeDialogs fake;
        CModelDlg dialog(&fake);
        const std::unique_ptr<ScrollingWindow> window = WindowForScreen(dialog, available);
        QCOMPARE(window != nullptr, scrolls);
        QCOMPARE(dialog.size(), TemplatePixels(kMainDialogWidthDu, kMainDialogHeightDu));
        if (window == nullptr)
            return;
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QVERIFY(window->width() <= available.width() && window->height() + 40 <= available.height());
        QCOMPARE(window->scrollArea()->widget(), &dialog);

        // Tab from a control at the top to the lowest one scrolls it into view.
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        auto* lowest = dialog.findChild<QWidget*>(Name(M::CurveStepEdit));
        const auto shownInViewport = [&] {
            const QRect place(lowest->mapTo(window->scrollArea()->viewport(), QPoint(0, 0)), lowest->size());
            return window->scrollArea()->viewport()->rect().contains(place);
        };
        QVERIFY(!shownInViewport());
        auto* above = dialog.findChild<QWidget*>(Name(M::TransparencyCorrectionBox));
        above->setFocus();
        QTest::keyClick(above, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), lowest);
        QVERIFY(shownInViewport());

        // "Beenden" ends the window as it ends the dialog.
        QSignalSpy finished(window.get(), &QDialog::finished);
        dialog.findChild<QPushButton*>(QStringLiteral("1"))->click();
        QCOMPARE(finished.count(), 1);
    }
    // The save dialog announces the record beside a table in its file type;
    // the question about an existing record is Qt's German yes/no warning.
    void saveDialogAndReplaceQuestionAsShown()
    {
        QtUserDialogs dialogs;
        QStringList filters;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog != nullptr);
            filters = dialog->nameFilters();
            dialog->reject();
        });
        QVERIFY(!dialogs.askSavePath(nullptr).has_value());
        QCOMPARE(filters, QStringList({"Text-Dateien (*.txt)", "Tabelle und Parameterprotokoll (*.csv + .json)"}));

        const QString question = QStringLiteral("Die Datei »data.json« existiert bereits. Soll sie ersetzt werden?");
        for (const QMessageBox::StandardButton answer : {QMessageBox::No, QMessageBox::Yes}) {
            QTimer::singleShot(0, [&] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                QVERIFY(box != nullptr);
                QCOMPARE(box->windowTitle(), QStringLiteral("Tamrisk"));
                QCOMPARE(box->text(), question);
                QCOMPARE(box->icon(), QMessageBox::Warning);
                QCOMPARE(box->button(QMessageBox::Yes)->text(), QStringLiteral("&Ja"));
                QCOMPARE(box->button(QMessageBox::No)->text(), QStringLiteral("&Nein"));
                QCOMPARE(box->defaultButton(), box->button(QMessageBox::No));
                box->button(answer)->click();
            });
            QCOMPARE(dialogs.askToReplace(nullptr, question), answer == QMessageBox::Yes);
        }
    }

    // Enter in an edit presses "Neu berechnen" whether or not the window
    // scrolls; it never ends the program. The start focus is on "Beenden".
    void enterInAnEditPressesNeuBerechnen_data()
    {
        QTest::addColumn<QRect>("available");
        QTest::newRow("1366 x 768, scrolling") << QRect(0, 0, 1366, 768);
        QTest::newRow("1920 x 1080") << QRect(0, 0, 1920, 1080);
    }

    void enterInAnEditPressesNeuBerechnen()
    {
        QFETCH(QRect, available);
        FakeDialogs fake;
        CModelDlg dialog(&fake);
        const std::unique_ptr<ScrollingWindow> scrolling = WindowForScreen(dialog, available);
        QWidget* window = scrolling != nullptr ? static_cast<QWidget*>(scrolling.get()) : &dialog;
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window));
        auto* quit = dialog.findChild<QPushButton*>(Name(M::Quit));
        auto* recalculate = dialog.findChild<QPushButton*>(Name(M::Recalculate));
        QCOMPARE(QApplication::focusWidget(), quit);

        QSignalSpy pressed(recalculate, &QPushButton::clicked);
        QSignalSpy quitPressed(quit, &QPushButton::clicked);
        QSignalSpy finished(&dialog, &QDialog::finished);
        auto* top = dialog.findChild<QLineEdit*>(Name(M::TopEdit));
        QTest::mouseClick(top, Qt::LeftButton);
        QTRY_VERIFY(top->hasFocus());
        QVERIFY(recalculate->isDefault());
        QVERIFY(!quit->isDefault());
        QTest::keyClick(top, Qt::Key_Return);
        QTest::keyClick(top, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(pressed.count(), 2);
        QCOMPARE(quitPressed.count(), 0);
        QCOMPARE(finished.count(), 0);
        QVERIFY(window->isVisible());
        QVERIFY(top->hasFocus());

        // The same after the focus has been on other buttons in between.
        auto* exportButton = dialog.findChild<QPushButton*>(Name(M::ExportButton));
        exportButton->setFocus();
        QTRY_VERIFY(exportButton->hasFocus());
        auto* bottom = dialog.findChild<QLineEdit*>(Name(M::BottomEdit));
        QTest::mouseClick(bottom, Qt::LeftButton);
        QTRY_VERIFY(bottom->hasFocus());
        QTest::keyClick(bottom, Qt::Key_Return);
        QCOMPARE(pressed.count(), 3);
        QCOMPARE(finished.count(), 0);
    }
};

QTEST_MAIN(WindowFitTest)
#include "window_fit_test.moc"
