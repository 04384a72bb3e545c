// SPDX-License-Identifier: GPL-3.0-or-later
// The file actions of the main window: the profile export, the scan and the figures.
#include "app/CModelDlg.h"

#include "app/BackgroundJob.h"
#include "app/MainWindowInputGuard.h"
#include "app/ProgressDlg.h"
#include "app/RecordBesideTable.h"
#include "app/ScanSession.h"
#include "app/UserDialogs.h"
#include "output/CleanTable.h"
#include "output/ParameterRecord.h"
#include "output/ProfileExport.h"
#include "plot/Figure.h"
#include "scan/ScanGrid.h"
#include "scan/ScanJob.h"
#include "scan/UsableThreads.h"

#include "TamriskVersion.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>

#include <algorithm>
#include <cstdint>
#include <cmath>
#include <memory>

namespace tamrisk {

namespace {

constexpr std::uint64_t kPointsWithoutQuestion = 10'000'000;

const QString kScanAction = QStringLiteral("Der t-Scan");

// What the parameter record beside a clean table says, besides its file.
struct RecordContents {
    const char* command;
    ControlState controls;
    nlohmann::ordered_json extra;
};

std::string RecordBytes(const RecordContents& contents, const std::string& tablePath)
{
    Inputs inputs;
    inputs.controls = contents.controls;
    return ParameterRecordText({"tamrisk", TAMRISK_VERSION, contents.command, {}}, inputs, contents.extra,
                               {TableFormat::Csv, tablePath});
}

// The files for the name the user chose: one ending in .csv gets the clean
// table with its parameter record beside it, any other the window's file.
struct ChosenFiles {
    std::unique_ptr<OutputFile> file;          // the window's file or the clean table
    std::unique_ptr<RecordBesideTable> record; // with a clean table
};

// Asks for a path and opens what it names for writing. An existing record
// beside a clean table is replaced only when the user agrees, as the save
// dialog asks about the table. Nothing when the user cancels or declines, or
// the files cannot be opened; the last is reported and creates no file.
std::optional<ChosenFiles> OpenChosenFiles(UserDialogs& dialogs, QWidget* owner, const RecordContents& contents)
{
    const std::optional<QString> path = dialogs.askSavePath(owner);
    if (!path)
        return std::nullopt;
    const bool cleanTable = path->endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive);
    if (cleanTable) {
        const QFileInfo record(RecordPathBeside(*path));
        if ((record.exists() || record.isSymLink()) &&
            !dialogs.askToReplace(
                owner,
                QStringLiteral("Die Datei »%1« existiert bereits. Soll sie ersetzt werden?").arg(record.fileName())))
            return std::nullopt;
    }
    const std::string name = QFile::encodeName(*path).toStdString();
    ChosenFiles chosen;
    chosen.file = OutputFile::Open(name);
    if (chosen.file && cleanTable)
        chosen.record = RecordBesideTable::Open(name, *chosen.file, RecordBytes(contents, name));
    if (!chosen.file || (cleanTable && !chosen.record)) {
        dialogs.showMessage(owner, QStringLiteral("Probleme während des Speicherns"), MessageKind::Plain);
        return std::nullopt;
    }
    return chosen;
}

QString DurationText(double seconds)
{
    if (!std::isfinite(seconds) || seconds > 3.15e9)
        return QStringLiteral("mehr als hundert Jahre");
    const qint64 total = qint64(std::llround(std::max(seconds, 1.0)));
    if (total < 60)
        return QStringLiteral("%1 s").arg(total);
    if (total < 3600)
        return QStringLiteral("%1 min").arg((total + 30) / 60);
    if (total < 2 * 86400)
        return QStringLiteral("%1 h %2 min").arg(total / 3600).arg(total % 3600 / 60);
    return QStringLiteral("%1 Tage").arg(total / 86400);
}

QString SizeText(const QLocale& locale, double bytes)
{
    if (bytes >= 9.0e18)
        return QStringLiteral("mehr als 9 EB");
    return locale.formattedDataSize(qint64(bytes), 1, QLocale::DataSizeSIFormat);
}

// Before a very large grid, or one whose file would not fit, the user decides.
bool ConfirmLargeScan(UserDialogs& dialogs, QWidget* owner, const ScanEstimate& estimate, const OutputFile& file)
{
    const std::optional<std::uint64_t> free = file.freeBytes();
    const bool fits = !free || estimate.bytes <= double(*free);
    if (estimate.points <= kPointsWithoutQuestion && fits)
        return true;
    const QLocale german(QLocale::German, QLocale::Germany);
    QString text = QStringLiteral("Das Werte-Raster ergibt %1 Zeilen. Die Datei wird etwa %2 groß, "
                                  "die Berechnung dauert etwa %3.")
                       .arg(german.toString(qulonglong(estimate.points)), SizeText(german, estimate.bytes),
                            DurationText(estimate.seconds));
    if (!fits)
        text += QStringLiteral("\nDie Datei passt nicht auf den Datenträger: Dort sind nur %1 frei.")
                    .arg(SizeText(german, double(*free)));
    text += QStringLiteral("\n\nTrotzdem berechnen?");
    return dialogs.askToProceed(owner, text);
}

} // namespace

void CModelDlg::showWriteError(const std::string& reason)
{
    dialogs_->showMessage(this,
                          QStringLiteral("Die Datei konnte nicht vollständig geschrieben werden:\n") +
                              QString::fromLocal8Bit(reason.c_str()),
                          MessageKind::Error);
}

void CModelDlg::ExportProfile()
{
    guarded(QStringLiteral("Der Export"), [this] { exportProfile(); });
}

// Writes the depth profile as the last recomputation left it; changes nothing.
// A clean table and its record are put in place together, or neither.
void CModelDlg::exportProfile()
{
    const std::optional<ChosenFiles> chosen =
        OpenChosenFiles(*dialogs_, this, {"export", shownControls_, {{"parameters", ParametersJson(state_.params)}}});
    if (!chosen)
        return;
    try {
        if (chosen->record) {
            WriteCleanTable(*chosen->file, TableFormat::Csv, ProfileTable(state_.params, state_.profile));
            chosen->file->Commit();
            chosen->record->Commit();
        } else {
            WriteProfileExport(*chosen->file, state_.params, state_.profile);
            chosen->file->Commit();
        }
    } catch (const FileError& error) {
        showWriteError(error.what());
    }
}

void CModelDlg::SaveFigure(PlotKind plot)
{
    guarded(QStringLiteral("Das Speichern der Abbildung"), [this, plot] { saveFigure(plot); });
}

// Writes the figure of one plot as the pictures show it: from the controls
// of their recomputation, run again aside. The pictures stay as they are. The
// figure's texts are German, as the window's.
void CModelDlg::saveFigure(PlotKind plot)
{
    const std::optional<FigureChoice> choice = dialogs_->askFigurePath(this);
    if (!choice)
        return;
    const std::string fileName = QFile::encodeName(choice->path).toStdString();
    const std::optional<FigureFormat> format = FigureFormatFromPath(fileName);
    if (!format) {
        dialogs_->showMessage(this, QStringLiteral("Abbildungen werden als .svg, .pdf oder .png gespeichert."),
                              MessageKind::Plain);
        return;
    }
    FigureOptions options;
    options.kind = plot;
    options.format = *format;
    options.language = Language::De;
    options.style = choice->windowStyle ? FigureStyle::Window : FigureStyle::Print;
    const auto shown = std::make_unique<ModelState>();
    Recompute(shownControls_, *shown);
    // Drawn in memory first, so a figure that cannot be made leaves no file behind.
    StringSink figure;
    try {
        WriteFigure(options, shown->params, shown->flags, shown->profile, shown->curves, figure);
    } catch (const std::exception& error) {
        showWriteError(error.what());
        return;
    }
    const std::unique_ptr<OutputFile> file = OutputFile::Open(fileName);
    if (!file) {
        dialogs_->showMessage(this, QStringLiteral("Probleme während des Speicherns"), MessageKind::Plain);
        return;
    }
    try {
        file->Write(figure.data());
        file->Commit();
    } catch (const FileError& error) {
        showWriteError(error.what());
    }
}

void CModelDlg::RunScan()
{
    guarded(kScanAction, [this] { runScan(); });
}

// Asks for the grid, the file and, for a very large grid, whether to go on,
// then starts the scan on a worker and returns. Esc or the progress window's
// close box stop it after the current grid point; the unfinished file is then
// removed and any old one kept.
void CModelDlg::runScan()
{
    if (scan_)
        return; // one at a time
    ReadParameters(controlState(), state_.params, state_.flags);
    const std::optional<ScanGridTexts> texts = dialogs_->askScanGrid(this);
    if (!texts)
        return;
    const ScanGrid grid = ReadScanGrid(*texts);
    if (const std::optional<std::string> refusal = CheckScanGrid(grid)) {
        dialogs_->showMessage(this, QString::fromStdString(*refusal), MessageKind::Plain);
        return;
    }
    // The chosen name decides the layout before the first row is written.
    // A clean table's record is written now and put in place with the table.
    std::optional<ChosenFiles> chosen =
        OpenChosenFiles(*dialogs_, this, {"scan", controlState(), {{"grid", GridJson(grid)}}});
    if (!chosen)
        return;
    ScanLayout layout;
    layout.format = chosen->record ? TableFormat::Csv : TableFormat::Native;
    const int threads = UsableThreads();
    if (!ConfirmLargeScan(*dialogs_, this, EstimateScan(grid, state_.params, threads, layout.format), *chosen->file))
        return;

    auto session = std::make_unique<ScanSession>();
    session->texts = *texts;
    startScan(std::move(session), state_.params, state_.flags, std::move(chosen->file), std::move(chosen->record),
              layout, threads);
}

// The worker gets its own model state: the window's stays as the controls
// made it, and the window paints from it while the scan runs.
void CModelDlg::startScan(std::unique_ptr<ScanSession> session, const ModelParameters& params,
                          const DisplayFlags& flags, std::unique_ptr<OutputFile> file,
                          std::unique_ptr<RecordBesideTable> record, const ScanLayout& layout, int threads)
{
    session->guard = std::make_unique<MainWindowInputGuard>(this);
    session->progress = std::make_unique<CProgressDlg>(this);
    CProgressDlg* progress = session->progress.get();
    progress->move(mapToGlobal(QPoint(0, 0)));
    progress->setRunning(true);
    progress->show();

    session->job = std::make_unique<BackgroundJob>();
    BackgroundJob* job = session->job.get();
    connect(progress, &CProgressDlg::stopAsked, job, &BackgroundJob::requestStop);
    connect(job, &BackgroundJob::lineChanged, progress, [this, progress](int line, const QString& text) {
        guarded(kScanAction, [&] { progress->setLine(ProgressLine(line), text); });
    });
    // Queued: the session, the job with it, may go once the scan has ended.
    connect(
        job, &BackgroundJob::ended, this,
        [this] {
            guarded(kScanAction, [this] { finishScan(); });
            emit scanEnded();
        },
        Qt::QueuedConnection);

    // The files were opened here, before the worker starts; the worker takes them over.
    auto opened = std::make_shared<std::unique_ptr<OutputFile>>(std::move(file));
    auto recorded = std::make_shared<std::unique_ptr<RecordBesideTable>>(std::move(record));
    BackgroundJob::Work work = [engine = scanEngine_, texts = session->texts, params, flags, opened, recorded, layout,
                                threads, result = session->result](BackgroundJob& worker) {
        ModelParameters scanParams = params;
        DepthProfile profile;
        SignalCurves curves;
        ScanJobHooks hooks;
        hooks.open = [opened] { return std::move(*opened); };
        hooks.confirm = [](const ScanEstimate&, const OutputFile&) { return true; }; // asked before the start
        hooks.progress = [&worker](ProgressLine line, const std::string& text) { worker.setLine(int(line), text); };
        hooks.poll = [&worker](std::uint64_t) { return worker.poll(); };
        hooks.threads = threads;
        hooks.layout = layout;
        // Files not put in place are removed before the window reports.
        const auto release = [&] {
            opened->reset();
            recorded->reset();
        };
        try {
            *result = engine(texts, scanParams, flags, profile, curves, hooks);
            // The record follows the whole table at once.
            if (result->outcome == ScanOutcome::Written && *recorded)
                (*recorded)->Commit();
        } catch (const FileError& error) {
            *result = {ScanOutcome::WriteFailed, error.what()};
        } catch (...) {
            release();
            throw;
        }
        release();
    };
    job->start(std::move(work), BackgroundJob::FrameMs(*this));
    scan_ = std::move(session);
}

void CModelDlg::EndAtOnce()
{
    // The worker sees the stop at its next grid point; the session's end waits for it.
    scan_.reset();
    done(QDialog::Rejected);
}

// On the GUI thread, once the worker has ended: the last progress lines are
// up, the messages follow, then the progress window goes.
void CModelDlg::finishScan()
{
    // Whatever happens here, the scan is over and the window takes input again.
    const std::unique_ptr<ScanSession> session = std::move(scan_);
    if (!session)
        return;
    session->progress->setRunning(false);
    // The window shows the controls' model, and "Exportieren" must write that one.
    recompute(controlState());

    if (const std::exception_ptr error = session->job->error()) {
        session->progress.reset();
        ShowFailure(*dialogs_, this, kScanAction, error);
        return;
    }
    const ScanJobResult& result = *session->result;
    switch (result.outcome) {
    case ScanOutcome::Refused:
        dialogs_->showMessage(this, QString::fromStdString(result.message), MessageKind::Plain);
        break;
    case ScanOutcome::NotOpened:
    case ScanOutcome::Declined:
        break;
    case ScanOutcome::Stopped:
        dialogs_->showScanEnd(this, QStringLiteral("Berechnung abgebrochen"));
        break;
    case ScanOutcome::WriteFailed:
        session->progress.reset();
        showWriteError(result.message);
        break;
    case ScanOutcome::Written:
        dialogs_->showScanEnd(this, QStringLiteral("Berechnung beendet"));
        break;
    }
}

} // namespace tamrisk
