// The file actions of the main window: the profile export, the scan and the figures.
#include "app/CModelDlg.h"

#include "app/UserDialogs.h"
#include "output/ProfileExport.h"
#include "plot/Figure.h"
#include "app/ProgressDlg.h"
#include "scan/ScanJob.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>
#include <QFile>
#include <QWindow>

#include <algorithm>
#include <memory>

namespace tamrisk {

namespace {

// Asks for a path and opens it for writing. Nothing when the user cancels or
// the file cannot be opened; the latter is reported and creates no file.
std::unique_ptr<FileSink> OpenChosenFile(UserDialogs& dialogs, QWidget* owner)
{
    const std::optional<QString> path = dialogs.askSavePath(owner);
    if (!path)
        return nullptr;
    std::unique_ptr<FileSink> file = FileSink::Open(QFile::encodeName(*path).toStdString());
    if (!file)
        dialogs.showMessage(owner, QStringLiteral("Probleme während des Speicherns"), MessageKind::Plain);
    return file;
}

// Lets the window system map a new window and paint it before the caller
// goes on without an event loop. User input waits until the caller is done.
void ShowAtOnce(QWidget* window)
{
    window->show();
    QElapsedTimer waited;
    waited.start();
    while (window->windowHandle() != nullptr && !window->windowHandle()->isExposed() && waited.elapsed() < 500) {
        QTimer::singleShot(20, window, [] {});  // wakes the wait below at the latest
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents);
    }
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace

void CModelDlg::showWriteError(const std::string& reason)
{
    dialogs_->showMessage(this,
                          QStringLiteral("Die Datei konnte nicht vollständig geschrieben werden:\n") +
                              QString::fromLocal8Bit(reason.c_str()),
                          MessageKind::Error);
}

// Writes the depth profile as the last recomputation left it; changes nothing.
void CModelDlg::ExportProfile()
{
    const std::unique_ptr<FileSink> file = OpenChosenFile(*dialogs_, this);
    if (!file)
        return;
    try {
        WriteProfileExport(*file, state_.params, state_.profile);
        file->Close();
    } catch (const FileError& error) {
        showWriteError(error.what());
    }
}

// Writes the figure of one plot as the pictures show it: from the controls
// of their recomputation, run again aside, since a scan leaves its last grid
// point in the model without redrawing. The pictures stay as they are. The
// figure's texts are German, as the window's.
void CModelDlg::SaveFigure(PlotKind plot)
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
    const std::unique_ptr<FileSink> file = FileSink::Open(fileName);
    if (!file) {
        dialogs_->showMessage(this, QStringLiteral("Probleme während des Speicherns"), MessageKind::Plain);
        return;
    }
    try {
        file->Write(figure.data());
        file->Close();
    } catch (const FileError& error) {
        showWriteError(error.what());
    }
}

// Scans the grid the user enters and writes the result file. The model keeps
// the last grid point until the next recomputation; nothing is redrawn.
void CModelDlg::RunScan()
{
    ReadParameters(controlState(), state_.params, state_.flags);
    const std::optional<ScanGridTexts> texts = dialogs_->askScanGrid(this);
    if (!texts)
        return;

    std::unique_ptr<CProgressDlg> progress;
    ScanJobHooks hooks;
    hooks.open = [this] { return OpenChosenFile(*dialogs_, this); };
    hooks.started = [this, &progress] {
        progress = std::make_unique<CProgressDlg>(this);
        progress->move(mapToGlobal(QPoint(0, 0)));
        ShowAtOnce(progress.get());
    };
    hooks.progress = [&progress](ProgressLine line, const std::string& text) {
        progress->setLine(line, QString::fromStdString(text));
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    hooks.threads = std::max(1, QThread::idealThreadCount());

    const ScanJobResult result =
        RunScanJob(*texts, state_.params, state_.flags, state_.profile, state_.curves, hooks);
    switch (result.outcome) {
    case ScanOutcome::Refused:
        dialogs_->showMessage(this, QString::fromStdString(result.message), MessageKind::Plain);
        break;
    case ScanOutcome::NotOpened:
        break;
    case ScanOutcome::WriteFailed:
        progress.reset();
        showWriteError(result.message);
        break;
    case ScanOutcome::Written:
        dialogs_->showMessage(this, QStringLiteral("Berechnung beendet"), MessageKind::Plain);
        break;
    }
}

} // namespace tamrisk
