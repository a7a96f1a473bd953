// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A stand-in for the desktop, installed for its lifetime: answers file dialogs, input
// boxes and save-first questions from queues the test fills, records messages, links and
// the end of the program, and keeps settings in memory.

#include <QMap>
#include <QStringList>
#include <deque>
#include <optional>
#include <stdexcept>

#include "ui/platform/Platform.h"

class ScriptedPlatform : public Platform {
public:
    struct ShownMessage {
        QString text, title;
        MessageIcon icon;
        QWidget* parent;
    };

    ScriptedPlatform() : previous_(InstallPlatform(this)) {}
    ~ScriptedPlatform() override { InstallPlatform(previous_); }

    // Answers, used in order. An empty path is a cancelled dialog.
    std::deque<QString> openAnswers, saveAnswers, folderAnswers;
    std::deque<std::optional<int>> chooseAnswers;
    std::deque<std::optional<QString>> inputAnswers;
    std::deque<SaveChoice> saveChoices;
    std::deque<bool> confirmAnswers;
    QString settingsWriteError;

    // What the windows asked for.
    std::vector<FileDialogRequest> openRequests, saveRequests;
    std::vector<ShownMessage> messages, saveQuestions;
    QStringList confirmQuestions;
    QStringList inputInitials;  // the text each input box started with
    QList<QUrl> openedUrls;
    QMap<QString, QString> settings;
    int endProgramCalls = 0;

    QString OpenFileName(QWidget*, const FileDialogRequest& request) override
    {
        openRequests.push_back(request);
        return Next(openAnswers);
    }
    QString SaveFileName(QWidget*, const FileDialogRequest& request) override
    {
        saveRequests.push_back(request);
        return Next(saveAnswers);
    }
    QString FolderName(QWidget*, const QString&) override { return Next(folderAnswers); }
    std::optional<int> Choose(QWidget*, const QString&, const QString&, const QStringList&) override
    {
        return Next(chooseAnswers);
    }
    void Message(QWidget* parent, const QString& text, const QString& title, MessageIcon icon) override
    {
        messages.push_back({text, title, icon, parent});
    }
    SaveChoice AskToSave(QWidget* parent, const QString& text, const QString& title) override
    {
        saveQuestions.push_back({text, title, MessageIcon::Warning, parent});
        return Next(saveChoices);
    }
    bool Confirm(QWidget*, const QString& question, const QString&) override
    {
        confirmQuestions << question;
        return Next(confirmAnswers);
    }
    std::optional<QString> Input(QWidget*, const QString&, const QString&, const QString& initial) override
    {
        inputInitials << initial;
        return Next(inputAnswers);
    }
    QString ReadSetting(const QString& app, const QString& section, const QString& key) override
    {
        return settings.value(app + "/" + section + "/" + key);
    }
    QString WriteSetting(const QString& app, const QString& section, const QString& key, const QString& value) override
    {
        if (settingsWriteError.isEmpty())
            settings[app + "/" + section + "/" + key] = value;
        return settingsWriteError;
    }
    bool OpenUrl(const QUrl& url) override
    {
        openedUrls << url;
        return false;
    }
    void EndProgram() override { ++endProgramCalls; }

private:
    template <typename T>
    static T Next(std::deque<T>& answers)
    {
        if (answers.empty())
            throw std::logic_error("the test gave no answer for a dialog");
        T answer = answers.front();
        answers.pop_front();
        return answer;
    }

    Platform* previous_;
};
