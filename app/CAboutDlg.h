// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/DialogTemplate.h"

#include <QDialog>

#include <span>

namespace tamrisk {

// Its template: 235 x 55 dialog units, the icon's place and the two controls.
inline constexpr int kAboutDialogWidthDu = 235;
inline constexpr int kAboutDialogHeightDu = 55;
inline constexpr int kAboutIconXDu = 11;
inline constexpr int kAboutIconYDu = 17;
std::span<const ControlTemplate> AboutDialogControls();

// "Info über Tamrisk": the program icon, name and version, and "OK".
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

} // namespace tamrisk
