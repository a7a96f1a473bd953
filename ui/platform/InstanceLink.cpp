// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/platform/InstanceLink.h"

#include <QDataStream>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTimer>

#ifdef Q_OS_WIN
#define NOMINMAX
#include <windows.h>
#endif

namespace {

// The running program's answer once it has the files.
constexpr char kTaken = 'k';

// What a file name may hold: ":0.0" becomes "_0".
QString FileNamePart(QString text)
{
    for (QChar& c : text)
        if (!c.isLetterOrNumber() && c != u'-' && c != u'.')
            c = u'_';
    return text;
}

#ifndef Q_OS_WIN
// The display the windows go to: Qt takes Wayland where there is one. An X display's
// screen number (":0.1") is left out: every screen of a display is before one user.
QString DisplayOf(const QProcessEnvironment& environment)
{
    if (const QString wayland = environment.value(QStringLiteral("WAYLAND_DISPLAY")); !wayland.isEmpty())
        return wayland;
    QString x = environment.value(QStringLiteral("DISPLAY"));
    if (const qsizetype colon = x.lastIndexOf(u':'), dot = x.lastIndexOf(u'.'); colon >= 0 && dot > colon)
        x.truncate(dot);
    if (!x.isEmpty())
        return x;
    // A text console, or a session with no display at all.
    return QStringLiteral("session") + environment.value(QStringLiteral("XDG_SESSION_ID"));
}
#endif

}  // namespace

QString InstanceName(const QProcessEnvironment& environment)
{
#ifdef Q_OS_WIN
    // Pipes are seen by every session of the machine, so the session is in the name.
    DWORD session = 0;
    ProcessIdToSessionId(GetCurrentProcessId(), &session);
    return QStringLiteral("Kestrova-%1-%2")
        .arg(FileNamePart(environment.value(QStringLiteral("USERNAME"))))
        .arg(session);
#else
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) + QStringLiteral("/kestrova-") +
           FileNamePart(DisplayOf(environment));
#endif
}

bool HandOverFiles(const QString& name, const QStringList& files, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    QDataStream out(&socket);
    out << files;
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    char answer = 0;
    return socket.waitForReadyRead(timeoutMs) && socket.getChar(&answer) && answer == kTaken;
}

InstanceServer::InstanceServer(std::function<void(const QStringList&)> open, QObject* parent)
    : QObject(parent), server_(new QLocalServer(this)), open_(std::move(open))
{
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &InstanceServer::Accept);
}

bool InstanceServer::Listen(const QString& name)
{
    // Only called when no program answered under the name, so what is there is left over.
    QLocalServer::removeServer(name);
    return server_->listen(name);
}

QString InstanceServer::Error() const
{
    return server_->errorString();
}

void InstanceServer::Accept()
{
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            QDataStream in(socket);
            in.startTransaction();
            QStringList files;
            in >> files;
            if (!in.commitTransaction())
                return;  // the rest is still on its way
            socket->putChar(kTaken);
            socket->flush();
            socket->disconnectFromServer();
            // Opening may ask about unsaved edits: not from inside the socket's signal.
            QTimer::singleShot(0, this, [this, files] { open_(files); });
        });
    }
}
