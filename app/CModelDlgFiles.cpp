// The file actions of the main window: the profile export, the scan and the figures.
#include "app/CModelDlg.h"

#include "app/BackgroundJob.h"
#include "app/MainWindowInputGuard.h"
#include "app/ProgressDlg.h"
#include "app/ScanSession.h"
#include "app/UserDialogs.h"
#include "output/CleanTable.h"
#include "output/ParameterRecord.h"
#include "output/ProfileExport.h"
#include "plot/Figure.h"
#include "scan/ScanGrid.h"
#include "scan/ScanJob.h"

#include "TamriskVersion.h"

#include <QFile>
#include <QLocale>
#include <QThread>

#include <algorithm>
#include <cstdint>
#include <cmath>
#include <memory>

namespace tamrisk {

namespace {

constexpr std::uint64_t kPointsWithoutQuestion = 10'000'000;

const QString kScanAction = QStringLiteral("Der t-Scan");

// The file the user chose. A name ending in .csv ("CSV-Tabelle") gets the
// clean table, with its parameter record beside it; any other the window's file.
struct ChosenFile {
    std::string path;
    bool cleanTable = false;
};

// Asks for a path and opens it for writing. Nothing when the user cancels or
// the file cannot be opened; the latter is reported and creates no file.
std::unique_ptr<OutputFile> OpenChosenFile(UserDialogs& dialogs, QWidget* owner, ChosenFile* chosen = nullptr)
{
    const std::optional<QString> path = dialogs.askSavePath(owner);
    if (!path)
        return nullptr;
    const std::string name = QFile::encodeName(*path).toStdString();
    std::unique_ptr<OutputFile> file = OutputFile::Open(name);
    if (!file)
        dialogs.showMessage(owner, QStringLiteral("Probleme während des Speicherns"), MessageKind::Plain);
    else if (chosen != nullptr)
        *chosen = {name, path->endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive)};
    return file;
}

// The parameter record beside a clean table: the same name ending in .json.
void WriteRecordBeside(const ChosenFile& chosen, const char* command, const ControlState& controls,
                       nlohmann::ordered_json extra)
{
    Inputs inputs;
    inputs.controls = controls;
    const std::string path = chosen.path.substr(0, chosen.path.size() - 4) + ".json";
    const std::unique_ptr<OutputFile> file = OutputFile::Open(path);
    if (!file)
        throw FileError(path + ": cannot be opened for writing");
    file->Write(ParameterRecordText({"tamrisk", TAMRISK_VERSION, command, {}}, inputs, extra,
                                    {TableFormat::Csv, chosen.path}));
    file->Commit();
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
                       .arg(german.toString(qulonglong(estimate.points)),
                            SizeText(german, estimate.bytes),
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
void CModelDlg::exportProfile()
{
    ChosenFile chosen;
    const std::unique_ptr<OutputFile> file = OpenChosenFile(*dialogs_, this, &chosen);
    if (!file)
        return;
    try {
        if (chosen.cleanTable) {
            WriteCleanTable(*file, TableFormat::Csv, ProfileTable(state_.params, state_.profile));
            file->Commit();
            WriteRecordBeside(chosen, "export", shownControls_, {{"parameters", ParametersJson(state_.params)}});
        } else {
            WriteProfileExport(*file, state_.params, state_.profile);
            file->Commit();
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
    const std::optional<QString> path = dialogs_->askFigurePath(this);
    if (!path)
        return;
    const std::string fileName = QFile::encodeName(*path).toStdString();
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
        return;  // one at a time
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
    ChosenFile chosen;
    std::unique_ptr<OutputFile> file = OpenChosenFile(*dialogs_, this, &chosen);
    if (!file)
        return;
    ScanLayout layout;
    layout.format = chosen.cleanTable ? TableFormat::Csv : TableFormat::Native;
    const int threads = std::max(1, QThread::idealThreadCount());
    if (!ConfirmLargeScan(*dialogs_, this, EstimateScan(grid, state_.params, threads, layout.format), *file))
        return;

    auto session = std::make_unique<ScanSession>();
    session->texts = *texts;
    if (chosen.cleanTable)
        session->cleanTablePath = chosen.path;
    startScan(std::move(session), state_.params, state_.flags, std::move(file), layout, threads);
}

// The worker gets its own model state: the window's stays as the controls
// made it, and the window paints from it while the scan runs.
void CModelDlg::startScan(std::unique_ptr<ScanSession> session, const ModelParameters& params,
                          const DisplayFlags& flags, std::unique_ptr<OutputFile> file, const ScanLayout& layout,
                          int threads)
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

    // The file was opened here, before the worker starts; the worker takes it over.
    auto opened = std::make_shared<std::unique_ptr<OutputFile>>(std::move(file));
    BackgroundJob::Work work = [engine = scanEngine_, texts = session->texts, params, flags, opened, layout,
                                threads, result = session->result](BackgroundJob& worker) {
        ModelParameters scanParams = params;
        DepthProfile profile;
        SignalCurves curves;
        ScanJobHooks hooks;
        hooks.open = [opened] { return std::move(*opened); };
        hooks.confirm = [](const ScanEstimate&, const OutputFile&) { return true; };  // asked before the start
        hooks.progress = [&worker](ProgressLine line, const std::string& text) { worker.setLine(int(line), text); };
        hooks.poll = [&worker](std::uint64_t) { return worker.poll(); };
        hooks.threads = threads;
        hooks.layout = layout;
        // A file the engine did not take is removed before the window reports.
        try {
            *result = engine(texts, scanParams, flags, profile, curves, hooks);
        } catch (...) {
            opened->reset();
            throw;
        }
        opened->reset();
    };
    job->start(std::move(work), BackgroundJob::FrameMs(*this));
    scan_ = std::move(session);
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
        if (!session->cleanTablePath.empty()) {
            try {
                WriteRecordBeside({session->cleanTablePath, true}, "scan", controlState(),
                                  {{"grid", GridJson(ReadScanGrid(session->texts))}});
            } catch (const FileError& error) {
                session->progress.reset();
                showWriteError(error.what());
                break;
            }
        }
        dialogs_->showScanEnd(this, QStringLiteral("Berechnung beendet"));
        break;
    }
}

} // namespace tamrisk
