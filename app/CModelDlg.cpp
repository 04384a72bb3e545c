// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CModelDlg.h"

#include "app/DialogTemplate.h"
#include "app/InputControls.h"
#include "app/MainDialogTemplate.h"
#include "app/PictureView.h"
#include "app/ProgramIcon.h"
#include "app/ScanSession.h"
#include "app/TextFit.h"
#include "app/UserDialogs.h"
#include "model/ControlIds.h"
#include "model/CurveTable.h"
#include "model/InputTable.h"
#include "plot/ReadoutTable.h"

#include <QAction>
#include <QCheckBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

#include <utility>

namespace tamrisk {

namespace {

using M = MainControl;

const QString kRecomputation = QStringLiteral("Die Neuberechnung");

// In the order of CModelDlg::Slider.
constexpr MainControl kSliderIds[] = {M::ExtinctionSlider, M::DoseRateSlider, M::EvalTimeSlider, M::DepthSlider};

// The rows of the input table that are controls of this window: edits, slider
// positions and check boxes. Directly set values exist only on the command line.
bool IsWindowControl(const InputRow& row) { return row.dialog == InputDialog::Main && row.kind != InputKind::Value; }

QString Text(const std::string& utf8) { return QString::fromStdString(utf8); }

} // namespace

template <typename T>
T* CModelDlg::control(MainControl id) const
{
    return findChild<T*>(QString::number(IdNumber(id)), Qt::FindDirectChildrenOnly);
}

void CModelDlg::showInputs(const Inputs& inputs)
{
    ShowInputControls(*this, InputDialog::Main, inputs);
    for (const CurveRow& curve : kCurves)
        control<QCheckBox>(curve.box)->setChecked(inputs.controls.flags.*curve.flag);
}

CModelDlg::CModelDlg(UserDialogs* dialogs, QWidget* parent)
    : QDialog(parent, kDialogWindowFlags | Qt::WindowMinimizeButtonHint), dialogs_(dialogs)
{
    static QtUserDialogs realDialogs;
    if (dialogs_ == nullptr)
        dialogs_ = &realDialogs;

    SetUpDialog(this, QStringLiteral("Tamrisk"), kMainDialogWidthDu, kMainDialogHeightDu);
    setWindowIcon(ProgramIcon());
    CreateControls(this, MainDialogControls());
    for (const ReadoutRow& row : ReadoutTable())
        FitControlToText(*control<QWidget>(row.id), Text(WidestReadoutText(row.text)));

    // The pictures lie above the group boxes that frame them.
    depthView_ = new PictureView(state_.pictures.depth, this);
    depthView_->setObjectName(QStringLiteral("depthPicture"));
    depthView_->move(20, 20);
    signalView_ = new PictureView(state_.pictures.signal, this);
    signalView_->setObjectName(QStringLiteral("signalPicture"));
    signalView_->move(20, 540);
    // The frames are drawn over the pictures, as child controls paint over
    // their dialog: the title "OSL-Signal" reaches into the picture's margin.
    for (QGroupBox* box : findChildren<QGroupBox*>(Qt::FindDirectChildrenOnly))
        if (box->geometry().intersects(depthView_->geometry()) || box->geometry().intersects(signalView_->geometry()))
            box->raise();

    for (std::size_t i = 0; i < sliders_.size(); ++i)
        sliders_[i] = control<QSlider>(kSliderIds[i]);
    // The start state: the defaults of the inputs.
    const Inputs start;
    showInputs(start);
    control<QLineEdit>(M::CurveStepEdit)->setAlignment(Qt::AlignRight);
    control<QLineEdit>(M::PlotMaxEdit)->setEnabled(!start.controls.flags.autoScaleProfile);
    control<QLineEdit>(M::IntensityMaxEdit)->setEnabled(!start.controls.flags.autoScaleSignal);
    for (MainControl id : {M::Rate2Edit, M::Rate2Label, M::DoubleExponentialRadio})
        control<QWidget>(id)->setEnabled(false);

    aboutAction_ = new QAction(QStringLiteral("Inf&o über Tamrisk..."), this);
    aboutAction_->setShortcut(QKeySequence(Qt::Key_F1));
    aboutAction_->setShortcutContext(Qt::WindowShortcut);
    addAction(aboutAction_);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    // A picture's own menu offers its figure beside the About item.
    for (auto [view, plot] : {std::pair{depthView_, PlotKind::Depth}, std::pair{signalView_, PlotKind::Signal}}) {
        auto* saveFigure = new QAction(QStringLiteral("Abbildung speichern..."), view);
        connect(saveFigure, &QAction::triggered, this, [this, plot = plot] { SaveFigure(plot); });
        view->addAction(saveFigure);
        view->addAction(aboutAction_);
        view->setContextMenuPolicy(Qt::ActionsContextMenu);
    }

    connectControls();
    recomputeFromControls();
    control<QPushButton>(M::Quit)->setFocus();
}

CModelDlg::~CModelDlg()
{
    // A scan still running is stopped, and its worker waited for.
    scan_.reset();
    // Closing moves the focus; no recomputation once the state is going away.
    for (QLineEdit* edit : edits())
        edit->removeEventFilter(this);
}

void CModelDlg::connectControls()
{
    connect(control<QPushButton>(M::Quit), &QPushButton::clicked, this, &QDialog::accept);
    // "Neu berechnen" has no action of its own: a click recomputes only
    // through the edit that loses the focus to it.
    connect(control<QPushButton>(M::ExportButton), &QPushButton::clicked, this, &CModelDlg::ExportProfile);
    connect(control<QPushButton>(M::ScanButton), &QPushButton::clicked, this, &CModelDlg::RunScan);

    const Slider order[] = {Slider::Extinction, Slider::DoseRate, Slider::EvalTime, Slider::Depth};
    for (std::size_t i = 0; i < sliders_.size(); ++i) {
        const Slider which = order[i];
        connect(sliders_[i], &QSlider::valueChanged, this,
                [this, which] { guarded(kRecomputation, [&] { onSliderMoved(which); }); });
    }
    for (QLineEdit* edit : edits())
        edit->installEventFilter(this);
    const auto displayBoxClicked = [this] { guarded(kRecomputation, [this] { onDisplayBoxClicked(); }); };
    for (const CurveRow& curve : kCurves)
        connect(control<QCheckBox>(curve.box), &QCheckBox::clicked, this, displayBoxClicked);
    connect(control<QCheckBox>(M::TransparencyCorrectionBox), &QCheckBox::clicked, this, displayBoxClicked);
    const auto autoScaleClicked = [this] { guarded(kRecomputation, [this] { onAutoScaleClicked(); }); };
    connect(control<QCheckBox>(M::AutoScaleProfileBox), &QCheckBox::clicked, this, autoScaleClicked);
    connect(control<QCheckBox>(M::AutoScaleSignalBox), &QCheckBox::clicked, this, autoScaleClicked);
    connect(aboutAction_, &QAction::triggered, this,
            [this] { guarded(QStringLiteral("Das Öffnen des Info-Fensters"), [this] { dialogs_->showAbout(this); }); });
}

std::vector<QLineEdit*> CModelDlg::edits() const
{
    std::vector<QLineEdit*> all;
    for (const InputRow& row : InputTable())
        if (IsWindowControl(row) && row.kind == InputKind::Text)
            all.push_back(control<QLineEdit>(MainControl(row.controlId)));
    return all;
}

ControlState CModelDlg::controlState() const
{
    Inputs inputs;
    ReadInputControls(*this, InputDialog::Main, inputs);
    for (const CurveRow& curve : kCurves)
        inputs.controls.flags.*curve.flag = control<QCheckBox>(curve.box)->isChecked();
    return inputs.controls;
}

bool CModelDlg::eventFilter(QObject* watched, QEvent* event)
{
    // A typed value takes effect when its edit loses the focus; a context
    // menu of the edit itself is no loss of focus.
    if (event->type() == QEvent::FocusOut && static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
        guarded(kRecomputation, [this] { recomputeFromControls(); });
    return QDialog::eventFilter(watched, event);
}

void CModelDlg::onSliderMoved(Slider slider)
{
    const ControlState controls = controlState();
    // The depth read-out uses the edges of the previous ReadParameters.
    showSliderReadouts(ComputeSliderReadouts(controls.sliders, state_.params), slider);
    recompute(controls);
}

void CModelDlg::onDisplayBoxClicked() { recomputeFromControls(); }

void CModelDlg::onAutoScaleClicked()
{
    control<QLineEdit>(M::PlotMaxEdit)->setEnabled(!control<QCheckBox>(M::AutoScaleProfileBox)->isChecked());
    control<QLineEdit>(M::IntensityMaxEdit)->setEnabled(!control<QCheckBox>(M::AutoScaleSignalBox)->isChecked());
    recomputeFromControls();
}

// The whole chain for the controls as they stand, then the slider read-outs,
// as a repaint of the whole window would write them.
void CModelDlg::recomputeFromControls()
{
    const ControlState controls = controlState();
    recompute(controls);
    showAllSliderReadouts(controls);
}

void CModelDlg::recompute(const ControlState& controls)
{
    shownControls_ = controls;
    showPlotReadouts(Recompute(controls, state_));
    depthView_->update();
    signalView_->update();
}

void CModelDlg::showSliderReadouts(const SliderReadouts& readouts, Slider slider)
{
    for (const ReadoutRow& row : ReadoutTable())
        if (row.slider == kSliderIds[std::size_t(slider)])
            control<QLabel>(row.id)->setText(Text(readouts.*row.sliderText));
}

void CModelDlg::showAllSliderReadouts(const ControlState& controls)
{
    const SliderReadouts readouts = ComputeSliderReadouts(controls.sliders, state_.params);
    for (Slider slider : {Slider::Extinction, Slider::DoseRate, Slider::EvalTime, Slider::Depth})
        showSliderReadouts(readouts, slider);
}

void CModelDlg::showPlotReadouts(const PlotReadouts& readouts)
{
    for (const ReadoutRow& row : ReadoutTable())
        if (row.renderedText != nullptr)
            if (const std::optional<std::string> text = row.renderedText(readouts))
                control<QLabel>(row.id)->setText(Text(*text));
}

} // namespace tamrisk
