// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the program icon as DIR/SIZE/tamrisk.png for each SIZE given, for
// the desktop's icon theme.
#include "app/ProgramIcon.h"

#include <QDir>
#include <QGuiApplication>
#include <QPixmap>

#include <cstdio>

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen"); // drawing only, no display needed
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s DIR SIZE...\n", argv[0]);
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    for (int i = 2; i < argc; ++i) {
        const int size = QString::fromLatin1(argv[i]).toInt();
        const QString folder = dir + QLatin1Char('/') + QString::number(size);
        if (size <= 0 || !QDir().mkpath(folder) ||
            !tamrisk::ProgramIconPixmap(size).save(folder + QStringLiteral("/tamrisk.png"))) {
            std::fprintf(stderr, "%s: cannot write the %s px icon\n", argv[0], argv[i]);
            return 1;
        }
    }
    return 0;
}
