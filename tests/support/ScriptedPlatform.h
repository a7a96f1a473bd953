#pragma once
// A stand-in for the desktop: answers file dialogs and input boxes from queues the
// test fills, records messages, links and the end of the program, and keeps settings
// in memory. Installed for its lifetime.

#include <QMap>
#include <QStringList>
#include <deque>
#include <optional>
#include <stdexcept>

#include "ui/platform/Platform.h"

class ScriptedPlatform : public Platform {
public:
    struct ShownMessage {
        QString text;
        QString title;
        MessageIcon icon;
    };

    ScriptedPlatform() : previous_(InstallPlatform(this)) {}
    ~ScriptedPlatform() override { InstallPlatform(previous_); }

    // Answers, used in order. An empty path is a cancelled dialog.
    std::deque<QString> openAnswers, saveAnswers;
    std::deque<std::optional<QString>> inputAnswers;
    QString settingsWriteError;

    // What the windows asked for.
    std::vector<FileDialogRequest> openRequests, saveRequests;
    std::vector<ShownMessage> messages;
    QStringList inputPrompts;
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
    void Message(QWidget*, const QString& text, const QString& title, MessageIcon icon) override
    {
        messages.push_back({text, title, icon});
    }
    std::optional<QString> Input(QWidget*, const QString& prompt, const QString&, const QString&) override
    {
        inputPrompts << prompt;
        return Next(inputAnswers);
    }
    QString ReadSetting(const QString& application, const QString& section, const QString& key) override
    {
        return settings.value(SettingKey(application, section, key));
    }
    QString WriteSetting(const QString& application, const QString& section, const QString& key,
                         const QString& value) override
    {
        if (settingsWriteError.isEmpty())
            settings[SettingKey(application, section, key)] = value;
        return settingsWriteError;
    }
    bool OpenUrl(const QUrl& url) override
    {
        openedUrls << url;
        return false;
    }
    void EndProgram() override { ++endProgramCalls; }

    static QString SettingKey(const QString& application, const QString& section, const QString& key)
    {
        return application + "/" + section + "/" + key;
    }

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
