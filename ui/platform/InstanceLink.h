// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One Kestrova per user and display: a later start hands the files it was given to the
// program running on its display over a local socket and ends, so a double click in a
// file manager opens the file in the editor already on screen instead of in a second
// launcher. A start on another display (or login session) gets a program of its own,
// which is where its user can see it.

#include <QObject>
#include <QProcessEnvironment>
#include <QStringList>
#include <functional>

class QLocalServer;

// The socket for the user and the display in `environment`: in the runtime folder only
// the user can enter on Linux, named after the Wayland and X displays (or the login
// session without either); on Windows a pipe named after the user and the session.
QString InstanceName(const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());

// Sends `files` (absolute paths) to the program listening under `name`. True once it
// has confirmed them; false when none runs or it did not answer within `timeoutMs`.
bool HandOverFiles(const QString& name, const QStringList& files, int timeoutMs = 5000);

// The running program's end: calls `open` with each list of files a later start hands
// over, once the socket's own work is done (an empty list is a start without files).
class InstanceServer : public QObject {
    Q_OBJECT
public:
    explicit InstanceServer(std::function<void(const QStringList&)> open, QObject* parent = nullptr);

    // Takes `name`, replacing what a program that ended without closing left there.
    // False when it cannot; the reason is then in Error().
    bool Listen(const QString& name);
    QString Error() const;

private:
    void Accept();

    QLocalServer* server_;
    std::function<void(const QStringList&)> open_;
};
