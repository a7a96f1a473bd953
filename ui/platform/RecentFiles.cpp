// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/platform/RecentFiles.h"

#include "ui/platform/Platform.h"
#include "ui/platform/modGTA2Qt.h"

namespace {
const QString kSection = QStringLiteral("Recent");
// No path holds a line break, so the list fits in one setting.
const QChar kSeparator = QLatin1Char('\n');
}  // namespace

QStringList RecentFiles::Entries() const
{
    return CurrentPlatform().ReadSetting(kAppTitle, kSection, key_).split(kSeparator, Qt::SkipEmptyParts);
}

void RecentFiles::Add(const QString& path)
{
    QStringList entries = Entries();
    entries.removeAll(path);
    entries.prepend(path);
    Store(entries.mid(0, kMaxEntries));
}

void RecentFiles::Remove(const QString& path)
{
    QStringList entries = Entries();
    if (entries.removeAll(path) > 0)
        Store(entries);
}

void RecentFiles::Store(const QStringList& entries) const
{
    // The list is a convenience: a store that cannot be written costs the user nothing
    // they opened, so it is not worth a message at every open.
    CurrentPlatform().WriteSetting(kAppTitle, kSection, key_, entries.join(kSeparator));
}
