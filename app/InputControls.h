// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "model/InputTable.h"

class QWidget;

namespace tamrisk {

// Moves inputs between a dialog's controls and the input table: edits hold
// texts, sliders positions and check boxes switches. Rows of another dialog
// and directly set values (which have no control) are left alone.
void ShowInputControls(QWidget& dialog, InputDialog which, const Inputs& inputs);
void ReadInputControls(const QWidget& dialog, InputDialog which, Inputs& inputs);

} // namespace tamrisk
