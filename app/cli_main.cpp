// SPDX-License-Identifier: GPL-3.0-or-later
#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

#include "cli/Cli.h"

int main(int argc, char* argv[])
{
    // No display is needed: images are read and written without a window system.
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kestrova-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KESTROVA_VERSION));
    QTextStream out(stdout), err(stderr);
    return RunCli(QCoreApplication::arguments(), out, err);
}
