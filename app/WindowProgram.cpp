// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/WindowProgram.h"

#include "app/CModelDlg.h"
#include "app/ScreenFit.h"
#include "app/TerminationSignals.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

#include <memory>

namespace tamrisk {

int RunMainWindow(UserDialogs& dialogs, const std::function<void(CModelDlg&)>& started)
{
    // Watched before the window exists and until it is gone, so a scan's
    // temporary file is never left to a signal's default action.
    TerminationSignals terminations;
    CModelDlg dialog(&dialogs);
    const std::unique_ptr<ScrollingWindow> window =
        WindowForScreen(dialog, QGuiApplication::primaryScreen()->availableGeometry());

    int status = 0;
    QObject::connect(&terminations, &TerminationSignals::received, &dialog, [&](int signal) {
        if (status != 0)
            return;
        status = 128 + signal;
        dialog.EndAtOnce();
        // Leaves every loop, a modal question's or message's included, and
        // makes any later one return at once: nothing more is asked or written.
        QCoreApplication::exit(status);
    });
    if (started)
        QTimer::singleShot(0, &dialog, [&] { started(dialog); });
    if (window != nullptr)
        window->exec();
    else
        dialog.exec(); // the window's modal loop is the program's only loop
    return status;
}

} // namespace tamrisk
