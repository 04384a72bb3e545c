#include "app/CModelDlg.h"

#include "app/DialogTemplate.h"
#include "app/MainDialogTemplate.h"
#include "app/PictureView.h"
#include "app/ProgramIcon.h"
#include "app/UserDialogs.h"

#include <QAction>
#include <QCheckBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

namespace tamrisk {

namespace {

struct EditBinding {
    int id;
    std::string EditTexts::*text;
};

// The nine edits in the order of the data exchange.
constexpr EditBinding kEdits[] = {
    {1003, &EditTexts::top},       {1004, &EditTexts::bottom},       {1031, &EditTexts::plotMax},
    {1032, &EditTexts::integralScale}, {1040, &EditTexts::rate1},    {1041, &EditTexts::rate2},
    {1037, &EditTexts::intensityMax},  {1038, &EditTexts::timeMax},  {1047, &EditTexts::curveStep},
};

struct FlagBinding {
    int id;
    bool DisplayFlags::*flag;
};

// The display check boxes; 1046 (transparency correction) is bound on its own.
constexpr FlagBinding kDisplayBoxes[] = {
    {1020, &DisplayFlags::showLabDose},        {1029, &DisplayFlags::showIntLabDose},
    {1026, &DisplayFlags::showEffLabDose},     {1023, &DisplayFlags::showEffIntLabDose},
    {1025, &DisplayFlags::showEffNatRate},     {1022, &DisplayFlags::showEffIntNatRate},
    {1027, &DisplayFlags::showEffRatio},       {1024, &DisplayFlags::showEffIntRatio},
    {1005, &DisplayFlags::showIntensity},      {1014, &DisplayFlags::showNatRate},
    {1028, &DisplayFlags::showIntNatRate},     {1021, &DisplayFlags::showRatio},
    {1030, &DisplayFlags::showIntRatio},       {1010, &DisplayFlags::showOslContribution},
    {1034, &DisplayFlags::showTotalSignalLab}, {1033, &DisplayFlags::showTotalSignalNat},
    {1035, &DisplayFlags::showTotalSignalHomogeneous}, {1036, &DisplayFlags::showSignalAtDepth},
};

constexpr int kTransparencyBox = 1046;
constexpr int kAutoScaleProfileBox = 1048;
constexpr int kAutoScaleSignalBox = 1050;
constexpr int kPlotMaxEdit = 1031;
constexpr int kIntensityMaxEdit = 1037;

constexpr int kSliderIds[] = {1001, 1006, 1015, 1017};

QString Text(const std::string& utf8) { return QString::fromStdString(utf8); }

} // namespace

template <typename T>
T* CModelDlg::control(int id) const
{
    return findChild<T*>(QString::number(id), Qt::FindDirectChildrenOnly);
}

CModelDlg::CModelDlg(UserDialogs* dialogs, QWidget* parent)
    : QDialog(parent, kDialogWindowFlags | Qt::WindowMinimizeButtonHint),
      dialogs_(dialogs)
{
    static QtUserDialogs realDialogs;
    if (dialogs_ == nullptr)
        dialogs_ = &realDialogs;

    SetUpDialog(this, QStringLiteral("Tamrisk"), kMainDialogWidthDu, kMainDialogHeightDu);
    setWindowIcon(ProgramIcon());
    CreateControls(this, MainDialogControls());

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

    // The start state: the defaults of ControlState.
    const ControlState start;
    for (const EditBinding& edit : kEdits)
        control<QLineEdit>(edit.id)->setText(Text(start.edits.*edit.text));
    control<QLineEdit>(1047)->setAlignment(Qt::AlignRight);
    for (const FlagBinding& box : kDisplayBoxes)
        control<QCheckBox>(box.id)->setChecked(start.flags.*box.flag);
    control<QCheckBox>(kTransparencyBox)->setChecked(start.transparencyCorrection);
    control<QCheckBox>(kAutoScaleProfileBox)->setChecked(start.flags.autoScaleProfile);
    control<QCheckBox>(kAutoScaleSignalBox)->setChecked(start.flags.autoScaleSignal);
    control<QLineEdit>(kPlotMaxEdit)->setEnabled(!start.flags.autoScaleProfile);
    control<QLineEdit>(kIntensityMaxEdit)->setEnabled(!start.flags.autoScaleSignal);
    for (int id : {1041, 1043, 1045})
        control<QWidget>(id)->setEnabled(false);
    for (std::size_t i = 0; i < sliders_.size(); ++i)
        sliders_[i] = control<QSlider>(kSliderIds[i]);
    sliders_[0]->setValue(start.sliders.extinction);
    sliders_[1]->setValue(start.sliders.doseRate);
    sliders_[2]->setValue(start.sliders.evalTime);
    sliders_[3]->setValue(start.sliders.depth);

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
    control<QPushButton>(1)->setFocus();
}

CModelDlg::~CModelDlg()
{
    // Closing moves the focus; no recomputation once the state is going away.
    for (const EditBinding& edit : kEdits)
        control<QLineEdit>(edit.id)->removeEventFilter(this);
}

void CModelDlg::connectControls()
{
    connect(control<QPushButton>(1), &QPushButton::clicked, this, &QDialog::accept);
    // "Neu berechnen" has no action of its own: a click recomputes only
    // through the edit that loses the focus to it.
    connect(control<QPushButton>(1008), &QPushButton::clicked, this, &CModelDlg::ExportProfile);
    connect(control<QPushButton>(1009), &QPushButton::clicked, this, &CModelDlg::RunScan);

    const Slider order[] = {Slider::Extinction, Slider::DoseRate, Slider::EvalTime, Slider::Depth};
    for (std::size_t i = 0; i < sliders_.size(); ++i) {
        const Slider which = order[i];
        connect(sliders_[i], &QSlider::valueChanged, this, [this, which] { onSliderMoved(which); });
    }
    for (const EditBinding& edit : kEdits)
        control<QLineEdit>(edit.id)->installEventFilter(this);
    for (const FlagBinding& box : kDisplayBoxes)
        connect(control<QCheckBox>(box.id), &QCheckBox::clicked, this, &CModelDlg::onDisplayBoxClicked);
    connect(control<QCheckBox>(kTransparencyBox), &QCheckBox::clicked, this, &CModelDlg::onDisplayBoxClicked);
    connect(control<QCheckBox>(kAutoScaleProfileBox), &QCheckBox::clicked, this, &CModelDlg::onAutoScaleClicked);
    connect(control<QCheckBox>(kAutoScaleSignalBox), &QCheckBox::clicked, this, &CModelDlg::onAutoScaleClicked);
    connect(aboutAction_, &QAction::triggered, this, [this] { dialogs_->showAbout(this); });
}

ControlState CModelDlg::controlState() const
{
    ControlState controls;
    for (const EditBinding& edit : kEdits)
        controls.edits.*edit.text = control<QLineEdit>(edit.id)->text().toStdString();
    controls.sliders.extinction = sliders_[0]->value();
    controls.sliders.doseRate = sliders_[1]->value();
    controls.sliders.evalTime = sliders_[2]->value();
    controls.sliders.depth = sliders_[3]->value();
    for (const FlagBinding& box : kDisplayBoxes)
        controls.flags.*box.flag = control<QCheckBox>(box.id)->isChecked();
    controls.transparencyCorrection = control<QCheckBox>(kTransparencyBox)->isChecked();
    controls.flags.autoScaleProfile = control<QCheckBox>(kAutoScaleProfileBox)->isChecked();
    controls.flags.autoScaleSignal = control<QCheckBox>(kAutoScaleSignalBox)->isChecked();
    return controls;
}

bool CModelDlg::eventFilter(QObject* watched, QEvent* event)
{
    // A typed value takes effect when its edit loses the focus; a context
    // menu of the edit itself is no loss of focus.
    if (event->type() == QEvent::FocusOut && static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
        recomputeFromControls();
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
    control<QLineEdit>(kPlotMaxEdit)->setEnabled(!control<QCheckBox>(kAutoScaleProfileBox)->isChecked());
    control<QLineEdit>(kIntensityMaxEdit)->setEnabled(!control<QCheckBox>(kAutoScaleSignalBox)->isChecked());
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
    switch (slider) {
    case Slider::Extinction:
        control<QLabel>(1002)->setText(Text(readouts.extinction));
        control<QLabel>(1052)->setText(Text(readouts.halfValueDepth));
        control<QLabel>(1053)->setText(Text(readouts.transmission));
        break;
    case Slider::DoseRate:
        control<QLabel>(1007)->setText(Text(readouts.doseRate));
        break;
    case Slider::EvalTime:
        control<QLabel>(1016)->setText(Text(readouts.evalTime));
        break;
    case Slider::Depth:
        control<QLabel>(1039)->setText(Text(readouts.depth));
        break;
    }
}

void CModelDlg::showAllSliderReadouts(const ControlState& controls)
{
    const SliderReadouts readouts = ComputeSliderReadouts(controls.sliders, state_.params);
    for (Slider slider : {Slider::Extinction, Slider::DoseRate, Slider::EvalTime, Slider::Depth})
        showSliderReadouts(readouts, slider);
}

void CModelDlg::showPlotReadouts(const PlotReadouts& readouts)
{
    if (readouts.depthAutoMax)
        control<QLabel>(1049)->setText(Text(*readouts.depthAutoMax));
    if (readouts.signalAutoMax)
        control<QLabel>(1051)->setText(Text(*readouts.signalAutoMax));
    control<QLabel>(1012)->setText(Text(readouts.effLabTotal));
    control<QLabel>(1018)->setText(Text(readouts.effNatTotal));
    control<QLabel>(1019)->setText(Text(readouts.effRatio));
}

} // namespace tamrisk
