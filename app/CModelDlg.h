// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/GuardedHandler.h"
#include "model/ControlIds.h"
#include "model/Inputs.h"
#include "model/CurveTable.h"
#include "output/SliderReadouts.h"
#include "plot/Recompute.h"
#include "scan/ScanJob.h"

#include <QDialog>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QSlider;

namespace tamrisk {

class PictureView;
class RecordBesideTable;
class UserDialogs;
struct ScanSession;

// What runs a t-Scan on the worker: RunScanJob, or a stand-in of the tests.
using ScanEngine =
    std::function<ScanJobResult(const ScanGridTexts& texts, ModelParameters& params, const DisplayFlags& flags,
                                DepthProfile& profile, SignalCurves& curves, const ScanJobHooks& hooks)>;

// The main window. It owns the whole model state, ties every control to the
// recomputation chain and copies the two plot pictures to the screen.
class CModelDlg : public QDialog {
    Q_OBJECT
public:
    // dialogs answers the modal questions; nullptr uses the real dialogs.
    explicit CModelDlg(UserDialogs* dialogs = nullptr, QWidget* parent = nullptr);
    ~CModelDlg() override;

    // The state as the last recomputation (or scan) left it.
    const ModelState& modelState() const { return state_; }
    // The controls as they now stand, as ReadParameters takes them.
    ControlState controlState() const;

    // The actions of "Exportieren" and "t-Scan". The scan asks its questions
    // and returns; the grid is computed on a worker, and scanEnded() follows
    // its last message.
    void ExportProfile();
    void RunScan();
    bool scanRunning() const { return scan_ != nullptr; }
    // "Abbildung speichern..." of a picture's context menu: the figure of that
    // plot as the window now shows it.
    void SaveFigure(PlotKind plot);

    // Ends the window at once, as on a termination signal: a running scan is
    // stopped and waited for, its unfinished files removed and the old ones
    // kept, without a message.
    void EndAtOnce();

    void setScanEngine(ScanEngine engine) { scanEngine_ = std::move(engine); }

signals:
    void scanEnded();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Slider { Extinction, DoseRate, EvalTime, Depth };

    void connectControls();
    void onSliderMoved(Slider slider);
    void onDisplayBoxClicked();
    void onAutoScaleClicked();
    void recomputeFromControls();
    void recompute(const ControlState& controls);
    void showSliderReadouts(const SliderReadouts& readouts, Slider slider);
    void showAllSliderReadouts(const ControlState& controls);
    void showPlotReadouts(const PlotReadouts& readouts);
    void showWriteError(const std::string& reason);
    // Runs a handler; whatever it throws is shown as a message naming the action.
    template <typename Handler>
    void guarded(const QString& action, Handler&& handler) noexcept
    {
        RunGuarded(*dialogs_, this, action, std::forward<Handler>(handler));
    }

    void exportProfile();
    void runScan();
    void saveFigure(PlotKind plot);
    void startScan(std::unique_ptr<ScanSession> session, const ModelParameters& params, const DisplayFlags& flags,
                   std::unique_ptr<OutputFile> file, std::unique_ptr<RecordBesideTable> record,
                   const ScanLayout& layout, int threads);
    void finishScan();

    template <typename T>
    T* control(MainControl id) const;
    std::vector<QLineEdit*> edits() const;
    void showInputs(const Inputs& inputs);

    UserDialogs* dialogs_;
    ModelState state_;
    ControlState shownControls_;        // the controls of the recomputation the pictures show
    std::array<QSlider*, 4> sliders_{}; // in the order of Slider
    PictureView* depthView_ = nullptr;
    PictureView* signalView_ = nullptr;
    QAction* aboutAction_ = nullptr;
    ScanEngine scanEngine_ = RunScanJob;
    std::unique_ptr<ScanSession> scan_; // while a scan runs
};

} // namespace tamrisk
