// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the program's icon for the desktop's icon theme at build time:
// make_icons FOLDER SIZE... writes FOLDER/SIZExSIZE/apps/kestrova.png for each size.

#include <QCoreApplication>
#include <QDir>
#include <QImage>

#include <cstdio>

#include "ui/platform/Artwork.h"

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 3) {
        std::fputs("usage: make_icons FOLDER SIZE...\n", stderr);
        return 2;
    }
    for (const QString& size : args.mid(2)) {
        const int pixels = size.toInt();
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(args.at(1)).arg(pixels);
        if (pixels <= 0 || !QDir().mkpath(folder) || !DrawAppIcon(pixels).save(folder + "/kestrova.png")) {
            std::fprintf(stderr, "make_icons: cannot write the %s pixel icon under %s\n", qPrintable(size),
                         qPrintable(folder));
            return 1;
        }
    }
    return 0;
}
