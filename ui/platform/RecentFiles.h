// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A window's last opened files, newest first, kept in the settings store through
// CurrentPlatform() under application "Kestrova", section "Recent", one key per window.

#include <QString>
#include <QStringList>
#include <utility>

class RecentFiles {
public:
    static constexpr int kMaxEntries = 8;

    explicit RecentFiles(QString key) : key_(std::move(key)) {}

    QStringList Entries() const;
    // Puts `path` first, once, and forgets the oldest past kMaxEntries.
    void Add(const QString& path);
    void Remove(const QString& path);

private:
    void Store(const QStringList& entries) const;

    QString key_;
};
