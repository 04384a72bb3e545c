// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ScanGridDlg.h"

#include "app/InputControls.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

namespace tamrisk {

namespace {

constexpr ControlTemplate kControls[] = {
    {1, ControlKind::DefaultButton, "Weiter>", 114, 106, 50, 14},
    {2, ControlKind::PushButton, "Abbrechen", 40, 106, 50, 14},
    {1015, ControlKind::Edit, "", 52, 14, 42, 10},
    {1016, ControlKind::Edit, "", 52, 30, 42, 10},
    {1017, ControlKind::Edit, "", 52, 47, 42, 10},
    {0, ControlKind::GroupBox, "Transparenz (Ex. [1/mm])", 2, 4, 100, 90},
    {1055, ControlKind::CheckBox, "Logarithmisch", 10, 66, 82, 10},
    {0, ControlKind::Text, "Startwert:", 8, 16, 38, 8},
    {0, ControlKind::Text, "Endwert:", 9, 30, 38, 8},
    {0, ControlKind::Text, "Schritte:", 10, 48, 38, 8},
    {1018, ControlKind::Edit, "", 153, 14, 42, 10},
    {1019, ControlKind::Edit, "", 153, 30, 42, 10},
    {1020, ControlKind::Edit, "", 153, 46, 42, 10},
    {0, ControlKind::GroupBox, "Auswertezeit [s]", 103, 4, 100, 90},
    {1056, ControlKind::CheckBox, "Logarithmisch", 111, 66, 82, 10},
    {0, ControlKind::Text, "Startwert:", 109, 16, 38, 8},
    {0, ControlKind::Text, "Endwert:", 110, 30, 38, 8},
    {0, ControlKind::Text, "Schritte:", 111, 48, 38, 8},
};

} // namespace

std::span<const ControlTemplate> ScanGridDialogControls() { return kControls; }

CScanGridDlg::CScanGridDlg(QWidget* parent) : QDialog(parent, kDialogWindowFlags)
{
    SetUpDialog(this, QStringLiteral("Werte-Raster berechnen"), kScanGridDialogWidthDu, kScanGridDialogHeightDu);
    CreateControls(this, kControls);
    for (GridControl id : {GridControl::ExtinctionLog, GridControl::EvalTimeLog})
        control<QCheckBox>(id)->setLayoutDirection(Qt::RightToLeft); // text left of the box

    auto* next = control<QPushButton>(GridControl::Next);
    connect(next, &QPushButton::clicked, this, &QDialog::accept);
    connect(control<QPushButton>(GridControl::Cancel), &QPushButton::clicked, this, &QDialog::reject);
    showTexts(ScanGridTexts{});
    next->setFocus();
}

ScanGridTexts CScanGridDlg::texts() const
{
    Inputs inputs;
    ReadInputControls(*this, InputDialog::Grid, inputs);
    return inputs.grid;
}

void CScanGridDlg::showTexts(const ScanGridTexts& texts)
{
    Inputs inputs;
    inputs.grid = texts;
    ShowInputControls(*this, InputDialog::Grid, inputs);
}

template <typename T>
T* CScanGridDlg::control(GridControl id) const
{
    return findChild<T*>(QString::number(IdNumber(id)));
}

} // namespace tamrisk
