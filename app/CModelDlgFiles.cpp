// The file actions of the main window: the profile export, the scan and the figures.
#include "app/CModelDlg.h"

#include "app/ProgressDlg.h"
#include "app/UserDialogs.h"
#include "output/CleanTable.h"
#include "output/ParameterRecord.h"
#include "output/ProfileExport.h"
#include "plot/Figure.h"
#include "scan/ScanGrid.h"
#include "scan/ScanJob.h"

#include "TamriskVersion.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QLocale>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QFile>
#include <QWindow>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cmath>
#include <memory>

namespace tamrisk {

namespace {

constexpr std::uint64_t kPointsWithoutQuestion = 10'000'000;

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

bool IsUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::Close:
        return true;
    default:
        return false;
    }
}

// While a scan runs, the main window takes no input, its close box
// included, but it still paints and the window system still moves it. The
// progress window and the message boxes are not affected.
class MainWindowInputGuard final : public QObject {
public:
    explicit MainWindowInputGuard(QWidget* window) : window_(window) { QCoreApplication::instance()->installEventFilter(this); }
    ~MainWindowInputGuard() override { QCoreApplication::instance()->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!IsUserInput(event->type()) || !watched->isWidgetType())
            return false;
        if (static_cast<QWidget*>(watched)->window() != window_)
            return false;
        event->ignore();
        return true;
    }

private:
    QWidget* window_;
};

// The scan's progress lines as they last came, painted at most once a frame.
class ThrottledProgress {
public:
    explicit ThrottledProgress(const QWidget& window)
    {
        const QScreen* screen = window.screen();
        const double rate = screen != nullptr && screen->refreshRate() > 1.0 ? screen->refreshRate() : 60.0;
        frameMs_ = std::max<qint64>(1, qint64(std::floor(1000.0 / rate)));
    }

    void start(CProgressDlg* window)
    {
        window_ = window;
        sinceShown_.start();
    }
    void set(ProgressLine line, const std::string& text) { pending_[IndexOf(line)] = text; }

    // Shows the lines and lets the windows work once a frame has passed.
    void poll()
    {
        if (window_ == nullptr || sinceShown_.elapsed() < frameMs_)
            return;
        show();
        sinceShown_.restart();
    }
    // The last state, whatever time has passed.
    void show()
    {
        for (ProgressLine line : {ProgressLine::Extinction, ProgressLine::EvalTime, ProgressLine::Count}) {
            std::optional<std::string>& text = pending_[IndexOf(line)];
            if (text) {
                window_->setLine(line, QString::fromStdString(*text));
                text.reset();
            }
        }
        QCoreApplication::processEvents();
    }

private:
    static std::size_t IndexOf(ProgressLine line)
    {
        switch (line) {
        case ProgressLine::Extinction:
            return 0;
        case ProgressLine::EvalTime:
            return 1;
        case ProgressLine::Count:
            break;
        }
        return 2;
    }

    CProgressDlg* window_ = nullptr;
    qint64 frameMs_ = 16;
    QElapsedTimer sinceShown_;
    std::array<std::optional<std::string>, 3> pending_;
};

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

// Writes the depth profile as the last recomputation left it; changes nothing.
void CModelDlg::ExportProfile()
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

// Scans the grid the user enters and writes the result file. Esc or the
// progress window's close box stop it after the current grid point; the
// unfinished file is then removed and any old one kept.
void CModelDlg::RunScan()
{
    ReadParameters(controlState(), state_.params, state_.flags);
    const std::optional<ScanGridTexts> texts = dialogs_->askScanGrid(this);
    if (!texts)
        return;

    std::unique_ptr<MainWindowInputGuard> guard;
    std::unique_ptr<CProgressDlg> progress;
    ThrottledProgress lines(*this);
    ScanJobHooks hooks;
    ChosenFile chosen;
    // The chosen name decides the layout before the first row is written.
    hooks.open = [this, &chosen, &hooks] {
        std::unique_ptr<OutputFile> file = OpenChosenFile(*dialogs_, this, &chosen);
        hooks.layout.format = chosen.cleanTable ? TableFormat::Csv : TableFormat::Native;
        return file;
    };
    hooks.confirm = [this](const ScanEstimate& estimate, const OutputFile& file) {
        return ConfirmLargeScan(*dialogs_, this, estimate, file);
    };
    hooks.started = [this, &progress, &guard, &lines] {
        guard = std::make_unique<MainWindowInputGuard>(this);
        progress = std::make_unique<CProgressDlg>(this);
        progress->move(mapToGlobal(QPoint(0, 0)));
        progress->setRunning(true);
        ShowAtOnce(progress.get());
        lines.start(progress.get());
    };
    hooks.progress = [&lines](ProgressLine line, const std::string& text) { lines.set(line, text); };
    hooks.poll = [&lines, &progress](std::uint64_t) {
        lines.poll();
        return !progress->stopRequested();
    };
    hooks.threads = std::max(1, QThread::idealThreadCount());

    const ScanJobResult result =
        RunScanJob(*texts, state_.params, state_.flags, state_.profile, state_.curves, hooks);
    if (progress) {
        lines.show();
        progress->setRunning(false);
    }
    // The scan leaves the model at a grid point; the window shows the
    // controls' model, and "Exportieren" must write that one.
    recompute(controlState());

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
        progress.reset();
        showWriteError(result.message);
        break;
    case ScanOutcome::Written:
        if (chosen.cleanTable) {
            try {
                WriteRecordBeside(chosen, "scan", controlState(), {{"grid", GridJson(ReadScanGrid(*texts))}});
            } catch (const FileError& error) {
                progress.reset();
                showWriteError(error.what());
                break;
            }
        }
        dialogs_->showScanEnd(this, QStringLiteral("Berechnung beendet"));
        break;
    }
}

} // namespace tamrisk
