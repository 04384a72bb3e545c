// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/InputControls.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QSlider>

namespace tamrisk {

namespace {

template <typename T>
T* Control(const QWidget& dialog, const InputRow& row)
{
    return dialog.findChild<T*>(QString::number(row.controlId), Qt::FindDirectChildrenOnly);
}

bool HasControl(const InputRow& row, InputDialog which) { return row.dialog == which && row.kind != InputKind::Value; }

} // namespace

void ShowInputControls(QWidget& dialog, InputDialog which, const Inputs& inputs)
{
    for (const InputRow& row : InputTable()) {
        if (!HasControl(row, which))
            continue;
        const std::string text = row.get(inputs);
        if (row.kind == InputKind::Text)
            Control<QLineEdit>(dialog, row)->setText(QString::fromStdString(text));
        else if (row.kind == InputKind::Position)
            Control<QSlider>(dialog, row)->setValue(std::stoi(text));
        else
            Control<QCheckBox>(dialog, row)->setChecked(text == "1");
    }
}

void ReadInputControls(const QWidget& dialog, InputDialog which, Inputs& inputs)
{
    for (const InputRow& row : InputTable()) {
        if (!HasControl(row, which))
            continue;
        if (row.kind == InputKind::Text)
            row.set(inputs, Control<QLineEdit>(dialog, row)->text().toStdString());
        else if (row.kind == InputKind::Position)
            row.set(inputs, std::to_string(Control<QSlider>(dialog, row)->value()));
        else
            row.set(inputs, Control<QCheckBox>(dialog, row)->isChecked() ? "1" : "0");
    }
}

} // namespace tamrisk
