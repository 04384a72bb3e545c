#pragma once

#include "model/ControlIds.h"
#include "model/ScanGridTexts.h"

#include <QDialog>

namespace tamrisk {

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
