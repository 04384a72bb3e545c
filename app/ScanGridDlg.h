// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/DialogTemplate.h"
#include "model/ControlIds.h"
#include "model/ScanGridTexts.h"

#include <QDialog>

#include <span>

namespace tamrisk {

// Its template: 206 x 129 dialog units and its controls in tab order.
inline constexpr int kScanGridDialogWidthDu = 206;
inline constexpr int kScanGridDialogHeightDu = 129;
std::span<const ControlTemplate> ScanGridDialogControls();

// "Werte-Raster berechnen": the two scan axes as texts and check states.
// Opens with the defaults of ScanGridTexts; converts and checks nothing.
class CScanGridDlg : public QDialog {
    Q_OBJECT
public:
    explicit CScanGridDlg(QWidget* parent = nullptr);

    // The controls as they stand.
    ScanGridTexts texts() const;

private:
    void showTexts(const ScanGridTexts& texts);
    template <typename T>
    T* control(GridControl id) const;
};

} // namespace tamrisk
