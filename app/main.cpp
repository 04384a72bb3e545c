// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"
#include "app/ProgramIcon.h"
#include "app/QtTranslations.h"
#include "app/UserDialogs.h"
#include "app/WindowProgram.h"

#include <QApplication>

#include <iostream>
#include <optional>

int main(int argc, char* argv[])
{
    // --help and --version need no display: answered before Qt starts.
    if (const std::optional<int> status = tamrisk::AnswerCommandLine(argc, argv, std::cout, std::cerr))
        return *status;

    // Whole scale steps (1x, 2x, 3x) keep every picture pixel an exact block
    // of screen pixels; the fonts scale with them.
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::Round);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tamrisk"));
    QApplication::setWindowIcon(tamrisk::ProgramIcon());
    tamrisk::InstallQtGermanTranslations(app);

    tamrisk::QtUserDialogs dialogs;
    return tamrisk::RunMainWindow(dialogs);
}
