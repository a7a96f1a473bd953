// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <memory>

#include "ui/platform/Platform.h"

class QSettings;

// The desktop itself: Qt's dialogs, QSettings and QDesktopServices.
class QtPlatform : public Platform {
public:
    // With a settings file given, settings are kept in that INI file instead of the
    // user's own store (used by tests).
    explicit QtPlatform(QString settingsFile = {});

    QString OpenFileName(QWidget* parent, const FileDialogRequest& request) override;
    QString SaveFileName(QWidget* parent, const FileDialogRequest& request) override;
    QString FolderName(QWidget* parent, const QString& directory) override;
    void Message(QWidget* parent, const QString& text, const QString& title, MessageIcon icon) override;
    SaveChoice AskToSave(QWidget* parent, const QString& text, const QString& title) override;
    bool Confirm(QWidget* parent, const QString& question, const QString& title) override;
    std::optional<int> Choose(QWidget* parent, const QString& prompt, const QString& title,
                              const QStringList& choices) override;
    std::optional<QString> Input(QWidget* parent, const QString& prompt, const QString& title,
                                 const QString& initial) override;
    QString ReadSetting(const QString& application, const QString& section, const QString& key) override;
    QString WriteSetting(const QString& application, const QString& section, const QString& key,
                         const QString& value) override;
    bool OpenUrl(const QUrl& url) override;
    void EndProgram() override;

private:
    std::unique_ptr<QSettings> OpenSettings(const QString& application) const;

    QString settingsFile_;
};
