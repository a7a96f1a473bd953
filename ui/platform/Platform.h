// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the windows take from the desktop: file dialogs, message and input boxes,
// the settings store, opening a link and ending the program. Windows reach these
// only through CurrentPlatform(), so tests can put a scripted stand-in in place and
// drive every window without a modal dialog blocking the run.

#include <QString>
#include <QStringList>
#include <QUrl>
#include <optional>

#include "ui/platform/Messages.h"

class QWidget;

struct FileDialogRequest {
    QString directory;
    QString fileName;
    // One or more "Description|pattern" pairs joined by "|", as the windows state them.
    QString filter;
    // Save dialogs only: ask before replacing an existing file.
    bool confirmOverwrite = false;
};

// The answer to "save the unsaved changes first?".
enum class SaveChoice { Save, Discard, Cancel };

class Platform {
public:
    virtual ~Platform() = default;

    // The chosen path, or an empty string when the user cancelled.
    virtual QString OpenFileName(QWidget* parent, const FileDialogRequest& request) = 0;
    virtual QString SaveFileName(QWidget* parent, const FileDialogRequest& request) = 0;
    // An existing folder, starting in `directory`; an empty string when the user cancelled.
    virtual QString FolderName(QWidget* parent, const QString& directory) = 0;

    // A message with one OK button; returns when it has been dismissed.
    virtual void Message(QWidget* parent, const QString& text, const QString& title, MessageIcon icon) = 0;

    // Asks whether to save unsaved changes before they would be lost.
    virtual SaveChoice AskToSave(QWidget* parent, const QString& text, const QString& title) = 0;

    // A yes/no question; true for Yes.
    virtual bool Confirm(QWidget* parent, const QString& question, const QString& title) = 0;

    // The position of the picked entry of `choices`, or nothing when the user cancelled.
    virtual std::optional<int> Choose(QWidget* parent, const QString& prompt, const QString& title,
                                      const QStringList& choices) = 0;

    // The typed text, or nothing when the user cancelled.
    virtual std::optional<QString> Input(QWidget* parent, const QString& prompt, const QString& title,
                                         const QString& initial) = 0;

    // An absent entry reads as the empty string.
    virtual QString ReadSetting(const QString& application, const QString& section, const QString& key) = 0;
    // Returns an empty string on success, otherwise what went wrong.
    virtual QString WriteSetting(const QString& application, const QString& section, const QString& key,
                                 const QString& value) = 0;

    // Hands a link such as "mailto:" to the desktop; false when nothing took it.
    virtual bool OpenUrl(const QUrl& url) = 0;

    // Ends the process at once: no window is asked or closed first.
    virtual void EndProgram() = 0;
};

// The installed platform; the real desktop one when none has been installed.
Platform& CurrentPlatform();
// Not owned; returns the one it replaces. nullptr goes back to the real desktop one.
Platform* InstallPlatform(Platform* platform);

// "Cars Files (*.gci)|*.gci" becomes Qt's "Cars Files (*.gci)".
QString QtFileFilter(const QString& filter);
