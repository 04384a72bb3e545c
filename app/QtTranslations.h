// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QCoreApplication;

namespace tamrisk {

// Installs Qt's own German texts (file dialog, message box buttons, the
// edits' context menu) in app, so the standard dialogs speak the window's
// language whatever the user's locale. False when the catalogue is missing.
bool InstallQtGermanTranslations(QCoreApplication& app);

} // namespace tamrisk
