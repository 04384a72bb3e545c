#include "app/CModelDlg.h"
#include "app/ProgramIcon.h"
#include "app/QtTranslations.h"
#include "app/ScreenFit.h"
#include "app/UserDialogs.h"

#include <QApplication>
#include <QScreen>

int main(int argc, char* argv[])
{
    // Whole scale steps (1x, 2x, 3x) keep every picture pixel an exact block
    // of screen pixels; the fonts scale with them.
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::Round);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tamrisk"));
    QApplication::setWindowIcon(tamrisk::ProgramIcon());
    tamrisk::InstallQtGermanTranslations(app);

    tamrisk::QtUserDialogs dialogs;
    tamrisk::CModelDlg dialog(&dialogs);
    // On a screen too small for the window its content scrolls in a window that fits.
    const std::unique_ptr<tamrisk::ScrollingWindow> window =
        tamrisk::WindowForScreen(dialog, QGuiApplication::primaryScreen()->availableGeometry());
    if (window != nullptr)
        window->exec();
    else
        dialog.exec();  // the window's modal loop is the program's only loop
    return 0;
}
