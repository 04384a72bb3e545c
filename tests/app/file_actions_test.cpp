// SPDX-License-Identifier: GPL-3.0-or-later
// "Exportieren" and "t-Scan" through the dialog seam: files, cancels, failures.
#include "output/CleanTable.h"
#include "ControlNames.h"
#include "FakeDialogs.h"
#include "PictureCompare.h"

#include "app/CModelDlg.h"
#include "app/PictureView.h"
#include "output/ProfileExport.h"
#include "plot/Figure.h"
#include "scan/ScanRun.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <map>
#include <chrono>
#include <memory>
#include <new>
#include <stdexcept>
#include <thread>

using namespace tamrisk;

namespace {

const QString kOpenFailed = QStringLiteral("Probleme während des Speicherns");

std::string ExpectedExport(const ControlState& controls)
{
    ModelState reference;
    Recompute(controls, reference);
    StringSink sink;
    WriteProfileExport(sink, reference.params, reference.profile);
    return sink.data();
}

ScanGridTexts SmallGrid()
{
    ScanGridTexts texts;
    texts.extinctionStart = "2";
    texts.extinctionEnd = "4";
    texts.extinctionSteps = "1";
    texts.extinctionLog = false;
    texts.evalTimeSteps = "3";
    return texts;
}

// The figure the window must write for these controls.
std::string ExpectedFigure(const ControlState& controls, PlotKind plot, FigureFormat format, FigureStyle style)
{
    ModelState reference;
    Recompute(controls, reference);
    FigureOptions options;
    options.kind = plot;
    options.format = format;
    options.language = Language::De;
    options.style = style;
    StringSink sink;
    WriteFigure(options, reference.params, reference.flags, reference.profile, reference.curves, sink);
    return sink.data();
}

const std::string kOld(29537, 'o'); // a complete earlier result
constexpr int kScanTimeoutMs = 60'000;

ScanGridTexts LargeGrid(const char* steps)
{
    ScanGridTexts texts;
    texts.extinctionSteps = steps;
    texts.evalTimeSteps = steps;
    return texts;
}

// The real scan, slowed at each grid point so that it lasts while the test watches.
ScanEngine SlowEngine()
{
    return [](const ScanGridTexts& texts, ModelParameters& params, const DisplayFlags& flags, DepthProfile& profile,
              SignalCurves& curves, const ScanJobHooks& hooks) {
        ScanJobHooks slow = hooks;
        slow.poll = [&hooks](std::uint64_t done) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
            return hooks.poll(done);
        };
        return RunScanJob(texts, params, flags, profile, curves, slow);
    };
}

// The real scan until its progress has been reported a number of times; then the fault.
ScanEngine FailingEngine(int reportsBefore, std::exception_ptr fault)
{
    return [reportsBefore, fault](const ScanGridTexts& texts, ModelParameters& params, const DisplayFlags& flags,
                                  DepthProfile& profile, SignalCurves& curves, const ScanJobHooks& hooks) {
        if (reportsBefore == 0)
            std::rethrow_exception(fault);
        ScanJobHooks failing = hooks;
        auto reports = std::make_shared<int>(0);
        failing.progress = [&hooks, reports, reportsBefore, fault](ProgressLine line, const std::string& text) {
            if (++*reports == reportsBefore)
                std::rethrow_exception(fault);
            hooks.progress(line, text);
        };
        return RunScanJob(texts, params, flags, profile, curves, failing);
    };
}

class PaintCounter final : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

std::string ReadBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "<missing>";
    return file.readAll().toStdString();
}

} // namespace

class FileActionsTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        fake_ = FakeDialogs();
        dialog_ = std::make_unique<CModelDlg>(&fake_);
        dialog_->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog_.get()));
    }
    void cleanup()
    {
        dialog_.reset();
        dir_.reset();
    }

    void exportWritesTheCoreFileOfTheShownState()
    {
        dialog_->findChild<QSlider*>(Name(tamrisk::MainControl::DoseRateSlider))->setValue(100);
        const ModelParameters before = dialog_->modelState().params;
        const QString path = dir_->filePath("profile.txt");
        fake_.savePaths.push_back(path);
        clickButton(Name(tamrisk::MainControl::ExportButton));

        ControlState controls;
        controls.sliders.doseRate = 100;
        const std::string bytes = ReadBytes(path);
        QCOMPARE(bytes.substr(0, 9), std::string("Tamrisk\n\0", 9));
        QVERIFY(bytes == ExpectedExport(controls));
        QVERIFY(fake_.messages.empty());
        QCOMPARE(dialog_->modelState().params.externalDoseRate, before.externalDoseRate);
        QCOMPARE(dialog_->modelState().params.plotMax, before.plotMax);
    }

    void cancelledActionsWriteNothingAndSayNothing_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("gridConfirmed");
        QTest::addColumn<int>("pathQuestions");
        QTest::newRow("export, save dialog cancelled") << Name(tamrisk::MainControl::ExportButton) << true << 1;
        QTest::newRow("scan, grid cancelled") << Name(tamrisk::MainControl::ScanButton) << false << 0;
        QTest::newRow("scan, save dialog cancelled") << Name(tamrisk::MainControl::ScanButton) << true << 1;
    }

    void cancelledActionsWriteNothingAndSayNothing()
    {
        QFETCH(QString, button);
        QFETCH(bool, gridConfirmed);
        QFETCH(int, pathQuestions);
        if (gridConfirmed)
            fake_.scanGrids.push_back(SmallGrid());
        else
            fake_.scanGrids.push_back(std::nullopt);
        fake_.savePaths.push_back(std::nullopt);
        clickButton(button);
        QCOMPARE(fake_.savePathQuestions, pathQuestions);
        QVERIFY(fake_.messages.empty());
        QVERIFY(QDir(dir_->path()).isEmpty());
        QVERIFY(dialog_->findChild<CProgressDlg*>() == nullptr);
    }

    void unopenablePathShowsThePlainMessage_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("export") << Name(tamrisk::MainControl::ExportButton);
        QTest::newRow("scan") << Name(tamrisk::MainControl::ScanButton);
    }

    void unopenablePathShowsThePlainMessage()
    {
        QFETCH(QString, button);
        fake_.scanGrids.push_back(SmallGrid());
        fake_.savePaths.push_back(dir_->filePath("missing-folder/file.txt"));
        clickButton(button);
        QCOMPARE(fake_.messages.size(), std::size_t(1));
        QCOMPARE(fake_.messages[0].text, kOpenFailed);
        QCOMPARE(fake_.messages[0].kind, MessageKind::Plain);
        QVERIFY(!fake_.messages[0].progressVisible);
        QVERIFY(!QFile::exists(dir_->filePath("missing-folder")));
        QVERIFY(dialog_->isVisible());
    }

    void failedWriteShowsAnErrorNotSuccess_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("export") << Name(tamrisk::MainControl::ExportButton);
        QTest::newRow("scan") << Name(tamrisk::MainControl::ScanButton);
    }

    void failedWriteShowsAnErrorNotSuccess()
    {
        if (!QFile::exists("/dev/full"))
            QSKIP("no /dev/full here");
        QFETCH(QString, button);
        fake_.scanGrids.push_back(SmallGrid());
        fake_.savePaths.push_back(QStringLiteral("/dev/full"));
        clickButton(button);
        QCOMPARE(fake_.messages.size(), std::size_t(1));
        QCOMPARE(fake_.messages[0].kind, MessageKind::Error);
        QVERIFY(fake_.messages[0].text != kOpenFailed);
        QVERIFY(dialog_->findChild<CProgressDlg*>() == nullptr);

        // The window stays usable: an export afterwards writes the model as it stands.
        const QString path = dir_->filePath("after.txt");
        fake_.savePaths.push_back(path);
        clickButton(Name(tamrisk::MainControl::ExportButton));
        StringSink expected;
        WriteProfileExport(expected, dialog_->modelState().params, dialog_->modelState().profile);
        QVERIFY(ReadBytes(path) == expected.data());
        QCOMPARE(fake_.messages.size(), std::size_t(1));
    }

    // A name ending in .csv gets the clean table and its record beside it;
    // where there was no record, nothing is asked.
    void csvNamesGetTheCleanTableAndItsRecord()
    {
        dialog_->findChild<QSlider*>(Name(tamrisk::MainControl::DoseRateSlider))->setValue(100);
        fake_.savePaths.push_back(dir_->filePath("profile.csv"));
        clickButton(Name(tamrisk::MainControl::ExportButton));
        ControlState controls;
        controls.sliders.doseRate = 100;
        ModelState reference;
        Recompute(controls, reference);
        StringSink table;
        WriteCleanTable(table, TableFormat::Csv, ProfileTable(reference.params, reference.profile));
        QVERIFY(ReadBytes(dir_->filePath("profile.csv")) == table.data());
        const auto record = nlohmann::ordered_json::parse(ReadBytes(dir_->filePath("profile.json")));
        QCOMPARE(record["inputs"]["dose-rate-pos"]["text"].get<std::string>(), std::string("100"));

        fake_.scanGrids.push_back(SmallGrid());
        fake_.savePaths.push_back(dir_->filePath("scan.csv"));
        clickButton(Name(tamrisk::MainControl::ScanButton));
        ReadParameters(controls, reference.params, reference.flags);
        StringSink scan;
        ScanLayout layout;
        layout.format = TableFormat::Csv;
        ScanToFile(ReadScanGrid(SmallGrid()), reference.params, reference.flags, reference.profile, reference.curves,
                   scan, {}, 1, {}, layout);
        QVERIFY(ReadBytes(dir_->filePath("scan.csv")) == scan.data());
        const auto scanRecord = nlohmann::ordered_json::parse(ReadBytes(dir_->filePath("scan.json")));
        QVERIFY(scanRecord.contains("grid"));
        QVERIFY(fake_.replaceQuestions.isEmpty());
        QCOMPARE(Entries(), QStringList({"profile.csv", "profile.json", "scan.csv", "scan.json"}));
    }

    // An existing record beside the chosen table is asked about as the save
    // dialog asks about the table: "Nein" writes neither file, "Ja" both.
    void existingRecordIsReplacedOnlyWhenTheUserAgrees_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("tableExisted");
        QTest::addColumn<bool>("answer");
        for (const auto& [action, button] :
             {std::pair{"export", Name(MainControl::ExportButton)}, std::pair{"scan", Name(MainControl::ScanButton)}})
            for (bool tableExisted : {false, true})
                for (bool answer : {false, true})
                    QTest::addRow("%s, %s, %s", action, tableExisted ? "old table" : "no table", answer ? "Ja" : "Nein")
                        << button << tableExisted << answer;
    }

    void existingRecordIsReplacedOnlyWhenTheUserAgrees()
    {
        QFETCH(QString, button);
        QFETCH(bool, tableExisted);
        QFETCH(bool, answer);
        const QString table = dir_->filePath("data.csv");
        const QString record = dir_->filePath("data.json");
        if (tableExisted)
            writeOld(table);
        writeOld(record);
        fake_.scanGrids.push_back(SmallGrid());
        fake_.savePaths.push_back(table);
        fake_.replaceAnswers.push_back(answer);
        clickButton(button);

        QCOMPARE(fake_.replaceQuestions,
                 QStringList({QStringLiteral("Die Datei »data.json« existiert bereits. Soll sie ersetzt werden?")}));
        if (!answer) {
            QVERIFY(fake_.messages.empty());
            QVERIFY(dialog_->findChild<CProgressDlg*>() == nullptr);
            QVERIFY(ReadBytes(record) == kOld);
            QVERIFY(ReadBytes(table) == (tableExisted ? kOld : "<missing>"));
            QCOMPARE(Entries(), tableExisted ? QStringList({"data.csv", "data.json"}) : QStringList({"data.json"}));
            return;
        }
        const bool scan = button == Name(MainControl::ScanButton);
        QCOMPARE(fake_.messages.size(), std::size_t(scan ? 1 : 0));
        QVERIFY(ReadBytes(table).starts_with(scan ? "extinction_per_mm," : "depth_mm,"));
        const auto written = nlohmann::ordered_json::parse(ReadBytes(record));
        QCOMPARE(written["command"].get<std::string>(), std::string(scan ? "scan" : "export"));
        QCOMPARE(Entries(), QStringList({"data.csv", "data.json"}));
    }

    // A record that cannot be written leaves both old files: the table is
    // put back as it was, and where there was none, the new one goes again.
    void failingRecordKeepsBothOldFiles_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("table");  // "none", "old" or "link": a symlink to an old file
        QTest::addColumn<QString>("record"); // "folder": cannot be opened; "full": fails at its commit
        for (const auto& [action, button] :
             {std::pair{"export", Name(MainControl::ExportButton)}, std::pair{"scan", Name(MainControl::ScanButton)}})
            for (const char* table : {"none", "old", "link"})
                for (const char* record : {"folder", "full"})
                    QTest::addRow("%s, table %s, record %s", action, table, record)
                        << button << QString(table) << QString(record);
    }

    void failingRecordKeepsBothOldFiles()
    {
        QFETCH(QString, button);
        QFETCH(QString, table);
        QFETCH(QString, record);
        const QString tablePath = dir_->filePath("data.csv");
        const QString recordPath = dir_->filePath("data.json");
        QStringList entries = {"data.csv", "data.json"};
        if (table == "old") {
            writeOld(tablePath);
        } else if (table == "link") {
            writeOld(dir_->filePath("real.csv"));
            QVERIFY(QFile::link(QStringLiteral("real.csv"), tablePath));
            entries << "real.csv";
        } else {
            entries.removeFirst();
        }
        if (record == "folder") {
            QVERIFY(QDir(dir_->path()).mkdir("data.json"));
        } else {
            if (!QFile::exists("/dev/full"))
                QSKIP("no /dev/full here");
            QVERIFY(QFile::link(QStringLiteral("/dev/full"), recordPath));
        }
        fake_.scanGrids.push_back(SmallGrid());
        fake_.savePaths.push_back(tablePath);
        fake_.replaceAnswers.push_back(true);
        clickButton(button);

        QCOMPARE(fake_.replaceQuestions.size(), 1);
        QCOMPARE(fake_.messages.size(), std::size_t(1));
        if (record == "folder") {
            QCOMPARE(fake_.messages[0].text, kOpenFailed);
        } else {
            QCOMPARE(fake_.messages[0].kind, MessageKind::Error);
            QVERIFY(fake_.messages[0].text.contains(QStringLiteral("data.json")));
        }
        QCOMPARE(Entries(), entries);
        QVERIFY(ReadBytes(tablePath) == (table == "none" ? "<missing>" : kOld));
        QCOMPARE(QFileInfo(tablePath).isSymLink(), table == "link");
        QVERIFY(QFileInfo(recordPath).isDir() == (record == "folder"));
        QVERIFY(dialog_->findChild<CProgressDlg*>() == nullptr);
    }

    void scanWritesTheCoreFileAndReportsWhileProgressShows()
    {
        dialog_->findChild<QSlider*>(Name(tamrisk::MainControl::DoseRateSlider))
            ->setValue(150); // the scan reads the controls first
        const QString path = dir_->filePath("scan.txt");
        fake_.scanGrids.push_back(SmallGrid());
        fake_.savePaths.push_back(path);
        const QImage depthBefore = dialog_->findChild<PictureView*>("depthPicture")->grab().toImage();
        std::atomic<bool> onGuiThread{true};
        dialog_->setScanEngine([&](const ScanGridTexts& texts, ModelParameters& params, const DisplayFlags& flags,
                                   DepthProfile& profile, SignalCurves& curves, const ScanJobHooks& hooks) {
            onGuiThread = QThread::currentThread() == qApp->thread();
            return RunScanJob(texts, params, flags, profile, curves, hooks);
        });
        QSignalSpy ended(dialog_.get(), &CModelDlg::scanEnded);
        clickButton(Name(tamrisk::MainControl::ScanButton));
        QCOMPARE(ended.count(), 1);
        QVERIFY(!onGuiThread);

        ControlState controls;
        controls.sliders.doseRate = 150;
        ModelState reference;
        ReadParameters(controls, reference.params, reference.flags);
        StringSink sink;
        ScanToFile(ReadScanGrid(SmallGrid()), reference.params, reference.flags, reference.profile, reference.curves,
                   sink);
        QVERIFY(ReadBytes(path) == sink.data());

        QCOMPARE(fake_.messages.size(), std::size_t(1));
        const FakeDialogs::Message& done = fake_.messages[0];
        QCOMPARE(done.text, QStringLiteral("Berechnung beendet"));
        QCOMPARE(done.kind, MessageKind::Plain);
        QVERIFY(done.endOfScan);
        QVERIFY(done.progressVisible);
        QCOMPARE(done.progressLines, QStringList({"t    = 4.", "tMax = 10000", "3 von 3 Berechnungen (100%)"}));
        QVERIFY(dialog_->findChild<CProgressDlg*>() == nullptr);

        // Afterwards the model is the one the window shows, not the last grid
        // point: "Exportieren" writes what is on screen, and nothing is redrawn.
        QCOMPARE(dialog_->modelState().params.extinction, 10.0f);
        QCOMPARE(dialog_->findChild<PictureView*>("depthPicture")->grab().toImage(), depthBefore);
        const QString exported = dir_->filePath("after-scan.txt");
        fake_.savePaths.push_back(exported);
        clickButton(Name(tamrisk::MainControl::ExportButton));
        QVERIFY(ReadBytes(exported) == ExpectedExport(controls));
    }

    // Esc or the progress window's close box stop a long scan after the
    // current grid point: the old file stays, no temporary file is left.
    void stoppedScanKeepsTheOldFile_data()
    {
        QTest::addColumn<bool>("byEscape");
        QTest::addColumn<QString>("name");
        QTest::newRow("Esc") << true << "scan.txt";
        QTest::newRow("close box") << false << "scan.txt";
        QTest::newRow("Esc, table and record") << true << "scan.csv";
    }

    void stoppedScanKeepsTheOldFile()
    {
        QFETCH(bool, byEscape);
        QFETCH(QString, name);
        const QString path = dir_->filePath(name);
        writeOld(path);
        const bool csv = name.endsWith(".csv");
        if (csv) {
            writeOld(dir_->filePath("scan.json"));
            fake_.replaceAnswers.push_back(true);
        }
        fake_.scanGrids.push_back(LargeGrid("2000")); // 4 million points: no question, minutes of work
        fake_.savePaths.push_back(path);
        QTimer user;
        QObject::connect(&user, &QTimer::timeout, [&] {
            if (auto* progress = dialog_->findChild<CProgressDlg*>()) {
                user.stop();
                if (byEscape)
                    QTest::keyClick(progress, Qt::Key_Escape);
                else
                    progress->close();
            }
        });
        user.start(5);
        clickButton(Name(tamrisk::MainControl::ScanButton));

        QCOMPARE(fake_.messages.size(), std::size_t(1));
        QCOMPARE(fake_.messages[0].text, QStringLiteral("Berechnung abgebrochen"));
        QVERIFY(fake_.messages[0].endOfScan);
        QVERIFY(fake_.messages[0].progressVisible);
        QVERIFY(ReadBytes(path) == kOld);
        if (csv)
            QVERIFY(ReadBytes(dir_->filePath("scan.json")) == kOld);
        QCOMPARE(Entries(), csv ? QStringList({"scan.csv", "scan.json"}) : QStringList({name}));
        QCOMPARE(dialog_->modelState().params.extinction, 10.0f);
    }

    void hugeGridAsksFirst()
    {
        const QString path = dir_->filePath("scan.txt");
        writeOld(path);
        fake_.scanGrids.push_back(LargeGrid("5000")); // 25 million points
        fake_.savePaths.push_back(path);
        clickButton(Name(tamrisk::MainControl::ScanButton)); // the fake answers no
        QCOMPARE(fake_.questions.size(), 1);
        QVERIFY(fake_.questions[0].contains(QStringLiteral("25.010.001 Zeilen")));
        QVERIFY(fake_.messages.empty());
        QVERIFY(ReadBytes(path) == kOld);
        QCOMPARE(QDir(dir_->path()).entryList(QDir::Files | QDir::Hidden), QStringList({"scan.txt"}));
    }

    // While "Berechnung beendet" is up, the progress window still closes.
    void progressWindowClosesWhileTheEndMessageIsUp_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Esc") << int(Qt::Key_Escape);
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("close box") << 0;
    }

    void progressWindowClosesWhileTheEndMessageIsUp()
    {
        QFETCH(int, key);
        fake_.scanGrids.push_back(SmallGrid());
        fake_.savePaths.push_back(dir_->filePath("scan.txt"));
        bool hidden = false;
        fake_.whileMessageShown = [&] {
            auto* progress = dialog_->findChild<CProgressDlg*>();
            QVERIFY(progress != nullptr && progress->isVisible());
            if (key != 0)
                QTest::keyClick(progress, Qt::Key(key));
            else
                progress->close();
            hidden = !progress->isVisible();
        };
        clickButton(Name(tamrisk::MainControl::ScanButton));
        QCOMPARE(fake_.messages.size(), std::size_t(1));
        QCOMPARE(fake_.messages[0].text, QStringLiteral("Berechnung beendet"));
        QVERIFY(hidden);
    }

    void refusedGridAsksForNoFile()
    {
        ScanGridTexts texts;
        texts.evalTimeStart = "0"; // logarithmic from 0 has no values
        fake_.scanGrids.push_back(texts);
        fake_.savePaths.push_back(dir_->filePath("never.txt"));
        clickButton(Name(tamrisk::MainControl::ScanButton));
        QCOMPARE(fake_.savePathQuestions, 0);
        QCOMPARE(fake_.messages.size(), std::size_t(1));
        QVERIFY(fake_.messages[0].text.contains(QStringLiteral("Auswertezeit")));
        QVERIFY(QDir(dir_->path()).isEmpty());
    }

    void picturesMenusSaveTheirFiguresAsShown()
    {
        ControlState controls;
        for (const char* name : {"showIntensity", "showTotalSignalNat"}) {
            const CurveRow& curve = *FindCurve(name);
            dialog_->findChild<QCheckBox*>(QString::number(int(curve.box)))->click();
            controls.flags.*curve.flag = true;
        }
        // A scan leaves its last grid point in the model; the figures still show the pictures' state.
        fake_.scanGrids.push_back(SmallGrid());
        fake_.savePaths.push_back(dir_->filePath("scan.txt"));
        clickButton(QString::number(int(MainControl::ScanButton)));
        fake_.messages.clear();
        const std::vector<Color> depthBefore = dialog_->modelState().pictures.depth.pixels();
        const std::vector<Color> signalBefore = dialog_->modelState().pictures.signal.pixels();

        // The print style unless the window's pens are chosen in the dialog.
        const std::tuple<const char*, PlotKind, const char*, FigureFormat, FigureStyle> cases[] = {
            {"depthPicture", PlotKind::Depth, "depth.svg", FigureFormat::Svg, FigureStyle::Print},
            {"signalPicture", PlotKind::Signal, "signal.PDF", FigureFormat::Pdf, FigureStyle::Print},
            {"depthPicture", PlotKind::Depth, "depth.png", FigureFormat::Png, FigureStyle::Print},
            {"depthPicture", PlotKind::Depth, "depth-window.svg", FigureFormat::Svg, FigureStyle::Window},
        };
        for (const auto& [view, plot, name, format, style] : cases) {
            const QList<QAction*> actions = dialog_->findChild<PictureView*>(view)->actions();
            QCOMPARE(actions.size(), 2);
            QCOMPARE(actions[0]->text(), QStringLiteral("Abbildung speichern..."));
            QCOMPARE(actions[1]->text(), QStringLiteral("Inf&o über Tamrisk..."));
            const QString path = dir_->filePath(name);
            fake_.figurePaths.push_back(path);
            fake_.figureWindowStyle = style == FigureStyle::Window;
            actions[0]->trigger();
            QVERIFY2(ReadBytes(path) == ExpectedFigure(controls, plot, format, style), name);
        }
        fake_.figureWindowStyle = false;
        QVERIFY(fake_.messages.empty());
        QVERIFY(dialog_->modelState().pictures.depth.pixels() == depthBefore);
        QVERIFY(dialog_->modelState().pictures.signal.pixels() == signalBefore);

        // Cancelled, an ending of no figure format, a folder that cannot be written.
        const int filesBefore = int(QDir(dir_->path()).entryList(QDir::Files).size());
        QAction* save = dialog_->findChild<PictureView*>("signalPicture")->actions()[0];
        fake_.figurePaths = {std::nullopt, dir_->filePath("signal.txt"), dir_->filePath("missing/signal.svg")};
        for (int i = 0; i < 3; ++i)
            save->trigger();
        QCOMPARE(fake_.figurePathQuestions, 7);
        QCOMPARE(int(QDir(dir_->path()).entryList(QDir::Files).size()), filesBefore);
        QCOMPARE(fake_.messages.size(), std::size_t(2));
        QVERIFY(fake_.messages[0].text.contains(QStringLiteral(".svg, .pdf oder .png")));
        QCOMPARE(fake_.messages[1].text, kOpenFailed);
    }

    // While a long scan runs on its worker, the GUI thread's event loop runs
    // freely: timers fire, the window paints, the progress lines move. The
    // main window takes no input meanwhile.
    void longScanLeavesTheWindowResponsive()
    {
        const QString path = dir_->filePath("scan.txt");
        writeOld(path);
        dialog_->setScanEngine(SlowEngine()); // hours for this grid
        fake_.scanGrids.push_back(LargeGrid("2000"));
        fake_.savePaths.push_back(path);
        QSignalSpy ended(dialog_.get(), &CModelDlg::scanEnded);
        QTest::mouseClick(button(Name(MainControl::ScanButton)), Qt::LeftButton);
        QVERIFY(dialog_->scanRunning());
        auto* progress = dialog_->findChild<CProgressDlg*>();
        QVERIFY(progress != nullptr && progress->isVisible());

        int ticks = 0;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
        timer.start(1);
        PaintCounter counter;
        dialog_->installEventFilter(&counter);
        dialog_->update();
        QTRY_VERIFY(ticks >= 20);
        QTRY_VERIFY(counter.paints > 0);
        QTRY_VERIFY(progress->line(ProgressLine::EvalTime) != QStringLiteral("Textzeile2"));
        const QString seen = progress->line(ProgressLine::EvalTime);
        QTRY_VERIFY(progress->line(ProgressLine::EvalTime) != seen);

        QTest::mouseClick(button(Name(MainControl::ExportButton)), Qt::LeftButton);
        QCOMPARE(fake_.savePathQuestions, 1);
        QVERIFY(dialog_->scanRunning());
        QCOMPARE(ended.count(), 0);

        QTest::keyClick(progress, Qt::Key_Escape);
        QVERIFY(ended.wait(kScanTimeoutMs));
        QCOMPARE(fake_.messages.size(), std::size_t(1));
        QCOMPARE(fake_.messages[0].text, QStringLiteral("Berechnung abgebrochen"));
        QVERIFY(ReadBytes(path) == kOld);
        QCOMPARE(QDir(dir_->path()).entryList(QDir::Files | QDir::Hidden), QStringList({"scan.txt"}));
        QVERIFY(dialog_->findChild<CProgressDlg*>() == nullptr);
    }

    // Whatever an action throws, on the GUI thread or on the scan's worker,
    // ends as a message naming the action; an old file stays, and the window
    // goes on working.
    void failuresAreShownAndTheWindowGoesOn_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<int>("fault"); // 0 out of memory, 1 a standard exception, 2 anything else
        QTest::addColumn<QString>("message");
        const QString memory = QStringLiteral("Nicht genug Speicher: ");
        const QString unexpected = QStringLiteral("Unerwarteter Fehler: ");
        QTest::newRow("export") << "export" << 0 << memory + "Der Export wurde abgebrochen.";
        QTest::newRow("figure") << "figure" << 1
                                << unexpected + "Das Speichern der Abbildung wurde abgebrochen.\nkaputt";
        QTest::newRow("about") << "about" << 0 << memory + "Das Öffnen des Info-Fensters wurde abgebrochen.";
        QTest::newRow("scan grid") << "grid" << 2 << unexpected + "Der t-Scan wurde abgebrochen.";
        QTest::newRow("large-grid question") << "question" << 0 << memory + "Der t-Scan wurde abgebrochen.";
        QTest::newRow("worker, at its start") << "worker" << 0 << memory + "Der t-Scan wurde abgebrochen.";
        QTest::newRow("worker, amid the rows") << "rows" << 1 << unexpected + "Der t-Scan wurde abgebrochen.\nkaputt";
        QTest::newRow("worker, anything") << "rows" << 2 << unexpected + "Der t-Scan wurde abgebrochen.";
    }

    void failuresAreShownAndTheWindowGoesOn()
    {
        QFETCH(QString, where);
        QFETCH(int, fault);
        QFETCH(QString, message);
        const std::exception_ptr faults[] = {std::make_exception_ptr(std::bad_alloc()),
                                             std::make_exception_ptr(std::runtime_error("kaputt")),
                                             std::make_exception_ptr(42)};
        const QString path = dir_->filePath("scan.txt");
        writeOld(path);
        fake_.savePaths.push_back(path);
        fake_.figurePaths.push_back(dir_->filePath("figure.svg"));
        fake_.scanGrids.push_back(where == "question" ? LargeGrid("5000") : LargeGrid("30"));
        if (where == "worker" || where == "rows")
            dialog_->setScanEngine(FailingEngine(where == "worker" ? 0 : 50, faults[fault]));
        else
            fake_.failure = faults[fault];
        const std::map<QString, QString> questions = {{"export", "savePath"},
                                                      {"figure", "figurePath"},
                                                      {"about", "about"},
                                                      {"grid", "scanGrid"},
                                                      {"question", "proceed"}};
        if (questions.count(where) != 0)
            fake_.failingQuestion = questions.at(where);

        if (where == "export")
            clickButton(Name(MainControl::ExportButton));
        else if (where == "figure")
            dialog_->findChild<PictureView*>("depthPicture")->actions()[0]->trigger();
        else if (where == "about")
            dialog_->actions()[0]->trigger();
        else
            clickButton(Name(MainControl::ScanButton));

        QCOMPARE(fake_.messages.size(), std::size_t(1));
        QCOMPARE(fake_.messages[0].text, message);
        QCOMPARE(fake_.messages[0].kind, MessageKind::Error);
        QVERIFY(!fake_.messages[0].progressVisible);
        QVERIFY(dialog_->findChild<CProgressDlg*>() == nullptr);
        QVERIFY(ReadBytes(path) == kOld);
        QCOMPARE(QDir(dir_->path()).entryList(QDir::Files | QDir::Hidden), QStringList({"scan.txt"}));

        const QString exported = dir_->filePath("after.txt");
        fake_.savePaths = {exported};
        clickButton(Name(MainControl::ExportButton));
        QVERIFY(ReadBytes(exported) == ExpectedExport(ControlState{}));
        QCOMPARE(fake_.messages.size(), std::size_t(1));
    }

private:
    QPushButton* button(const QString& name) const { return dialog_->findChild<QPushButton*>(name); }

    // Every entry of the test's folder, hidden temporary files included.
    QStringList Entries() const
    {
        return QDir(dir_->path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    }

    static void writeOld(const QString& path)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(kOld.data(), qint64(kOld.size()));
    }

    // Clicks and waits until the action has ended: a scan runs on after the
    // click, on its worker, until its last message.
    void clickButton(const QString& name)
    {
        QTest::mouseClick(dialog_->findChild<QPushButton*>(name), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!dialog_->scanRunning(), kScanTimeoutMs);
    }

    std::unique_ptr<QTemporaryDir> dir_;
    FakeDialogs fake_;
    std::unique_ptr<CModelDlg> dialog_;
};

QTEST_MAIN(FileActionsTest)
#include "file_actions_test.moc"
