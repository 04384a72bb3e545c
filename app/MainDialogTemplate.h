// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/DialogTemplate.h"

#include <span>

namespace tamrisk {

// The main window: 662 x 519 dialog units and its 84 controls in tab order.
inline constexpr int kMainDialogWidthDu = 662;
inline constexpr int kMainDialogHeightDu = 519;
std::span<const ControlTemplate> MainDialogControls();

} // namespace tamrisk
