// SPDX-License-Identifier: GPL-3.0-or-later
// The window program with the user's answers given: it starts a t-Scan of a
// large grid into the file named on its command line (agreeing to replace a
// record beside it) and runs until it is ended. With --modal a real message
// box stays up meanwhile, as when the user reads one. The window program
// test sends it termination signals.
#include "FakeDialogs.h"

#include "app/CModelDlg.h"
#include "app/UserDialogs.h"
#include "app/WindowProgram.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const bool modal = argc == 3 && QByteArray(argv[2]) == "--modal";
    if (argc != 2 && !modal)
        return 2;
    FakeDialogs dialogs;
    tamrisk::ScanGridTexts grid;
    grid.extinctionSteps = "2000"; // 4 million points: no question, minutes of work
    grid.evalTimeSteps = "2000";
    dialogs.scanGrids.push_back(grid);
    dialogs.savePaths.push_back(QString::fromLocal8Bit(argv[1]));
    dialogs.replaceAnswers.push_back(true);
    return tamrisk::RunMainWindow(dialogs, [modal](tamrisk::CModelDlg& window) {
        window.RunScan();
        if (modal)
            tamrisk::QtUserDialogs().showMessage(&window, QStringLiteral("Bitte lesen"), tamrisk::MessageKind::Plain);
    });
}
