// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CAboutDlg.h"

#include "app/ProgramIcon.h"

#include "TamriskVersion.h"

#include <QLabel>
#include <QPushButton>

namespace tamrisk {

namespace {

constexpr ControlTemplate kControls[] = {
    {0, ControlKind::Text, "Tamrisk\nVersion " TAMRISK_VERSION, 40, 10, 119, 18},
    {1, ControlKind::DefaultButton, "OK", 178, 7, 50, 14},
};

} // namespace

std::span<const ControlTemplate> AboutDialogControls() { return kControls; }

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent, kDialogWindowFlags)
{
    SetUpDialog(this, QStringLiteral("Info über Tamrisk"), kAboutDialogWidthDu, kAboutDialogHeightDu);

    // The icon sits at its template position in its natural 32 x 32 size.
    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("icon"));
    icon->setPixmap(ProgramIconPixmap(32));
    icon->setGeometry(DialogUnitsToPixelsX(kAboutIconXDu), DialogUnitsToPixelsY(kAboutIconYDu), 32, 32);

    CreateControls(this, kControls);
    auto* ok = findChild<QPushButton*>(QStringLiteral("1"));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    ok->setFocus();
}

} // namespace tamrisk
