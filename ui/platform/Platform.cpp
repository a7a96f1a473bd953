// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/platform/Platform.h"

#include <QStringList>

#include "ui/platform/QtPlatform.h"

namespace {
Platform* g_installed = nullptr;
}  // namespace

Platform& CurrentPlatform()
{
    if (g_installed)
        return *g_installed;
    static QtPlatform desktop;
    return desktop;
}

Platform* InstallPlatform(Platform* platform)
{
    Platform* previous = g_installed;
    g_installed = platform;
    return previous;
}

QString QtFileFilter(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList choices;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        const QString patterns = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
        choices << (description.contains(QLatin1Char('('))
                        ? description
                        : description + QStringLiteral(" (") + patterns + QLatin1Char(')'));
    }
    return choices.join(QStringLiteral(";;"));
}
