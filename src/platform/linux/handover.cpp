#include "platform/handover.h"

#include "platform/runtimedir.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QtEndian>

namespace {
// A running client that does not answer within this time is taken as gone.
constexpr int AnswerTimeoutMs = 30000;
constexpr qint64 MessageSize = 4;
} // namespace

QString HandoverSocketPath(const QString& name) {
    const QString folder = RuntimeDirectory();
    if (folder.isEmpty())
        return QString();
    return folder + QLatin1Char('/') + name + QStringLiteral(".socket");
}

bool SendHandoverMessage(const QString& name, quint32 message) {
    const QString path = HandoverSocketPath(name);
    if (path.isEmpty())
        return false;
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(AnswerTimeoutMs))
        return false;
    char bytes[MessageSize];
    qToLittleEndian(message, bytes);
    socket.write(bytes, MessageSize);
    if (!socket.waitForBytesWritten(AnswerTimeoutMs))
        return false;
    while (socket.bytesAvailable() < 1)
        if (!socket.waitForReadyRead(AnswerTimeoutMs))
            return false;
    return true;
}

HandoverServer::HandoverServer(QObject* parent) : QObject(parent), server_(new QLocalServer(this)) {
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &HandoverServer::acceptConnections);
}

bool HandoverServer::listen(const QString& name) {
    const QString path = HandoverSocketPath(name);
    if (path.isEmpty())
        return false;
    QLocalServer::removeServer(path);
    return server_->listen(path);
}

void HandoverServer::acceptConnections() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            while (socket->bytesAvailable() >= MessageSize) {
                char bytes[MessageSize];
                socket->read(bytes, MessageSize);
                emit messageReceived(qFromLittleEndian<quint32>(bytes));
                socket->write("", 1);
                socket->flush();
            }
        });
    }
}
