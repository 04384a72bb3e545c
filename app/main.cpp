#include "app/CModelDlg.h"
#include "app/ProgramIcon.h"
#include "app/UserDialogs.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    // The pictures are defined pixel for pixel: show the window unscaled
    // unless the user asks for scaling explicitly.
    if (!qEnvironmentVariableIsSet("QT_ENABLE_HIGHDPI_SCALING") && !qEnvironmentVariableIsSet("QT_SCALE_FACTOR"))
        qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tamrisk"));
    QApplication::setWindowIcon(tamrisk::ProgramIcon());

    tamrisk::QtUserDialogs dialogs;
    tamrisk::CModelDlg dialog(&dialogs);
    dialog.exec();  // the window's modal loop is the program's only loop
    return 0;
}
