#pragma once
#include <QString>
#include <QWidget>
#include <exception>
#include <functional>
#include <utility>

#include "core/common/modGTA2.h"

// What a window tells the user. An empty title stands for the window's own.
struct UserMessage {
    UserMessage(QString text, QString title = {}, MessageIcon icon = MessageIcon::Warning)
        : text(std::move(text)), title(std::move(title)), icon(icon)
    {
    }
    QString text;
    QString title;
    MessageIcon icon;
};

// What the working windows share: being busy and telling the user what failed.
//
// A load, save or list fill reports progress, and every progress update runs the
// program's events, so clicks and a close can arrive in the middle of it. While the
// window is busy its commands are off, closing is refused, and a command handler that
// still runs (it checks Busy() first) does nothing.
class EditorWindow : public QWidget {
    Q_OBJECT
public:
    // The message for one failure.
    using Wording = std::function<UserMessage(const std::exception&)>;

    bool Busy() const { return busy_; }

protected:
    // `messageTitle` heads the window's messages; empty for the window's caption.
    EditorWindow(QWidget* parent, Qt::WindowFlags flags, QString messageTitle = {});

    // Puts each command on or off for the window's state, Busy() included. Called
    // whenever the window becomes busy or stops being busy.
    virtual void UpdateCommands() = 0;

    // Runs `work` with the window busy. When it throws, the busy state ends first and
    // the user is then told `failure`, whose %1 stands for what went wrong (a
    // FileError names its file). True when `work` finished.
    bool Run(const QString& failure, const std::function<void()>& work);
    // The same with a message of the window's own choosing for each failure.
    bool Run(const Wording& word, const std::function<void()>& work);
    // Runs `work` without becoming busy (it reports no progress); failures as Run's.
    bool Attempt(const QString& failure, const std::function<void()>& work);
    bool Attempt(const Wording& word, const std::function<void()>& work);

    void Tell(const QString& text, MessageIcon icon = MessageIcon::Warning);
    void Tell(const UserMessage& message);

    void closeEvent(QCloseEvent* event) override;

private:
    class BusyScope;

    QString messageTitle_;
    bool busy_ = false;
};
