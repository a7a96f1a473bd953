#include "ui/platform/InstanceLink.h"

#include <QDataStream>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTimer>

namespace {

// The running program's answer once it has the files.
constexpr char kTaken = 'k';

}  // namespace

QString InstanceName()
{
#ifdef Q_OS_WIN
    return QStringLiteral("Kestrova-") + qEnvironmentVariable("USERNAME");
#else
    return QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation) + QStringLiteral("/kestrova");
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
