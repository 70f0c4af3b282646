#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

// The hand-over channel to the running main window: a per-user local socket in the runtime
// directory. A message is a 32-bit message number, little-endian; the window answers with one
// byte (0) once it has handled the message, and the sender waits for that answer.

// Empty when there is no private runtime folder: then there is no channel.
QString HandoverSocketPath(const QString& name);

// Sends one message to the main window listening under name. False when none listens.
bool SendHandoverMessage(const QString& name, quint32 message);

// The main window's end of the channel.
class HandoverServer : public QObject {
    Q_OBJECT
public:
    explicit HandoverServer(QObject* parent = nullptr);
    // Only the holder of the single-instance lock may listen: it replaces a socket left
    // behind by a crashed instance.
    bool listen(const QString& name);

signals:
    // Emitted on the GUI thread; the answer goes back after every receiver has returned.
    void messageReceived(quint32 message);

private:
    void acceptConnections();
    QLocalServer* server_;
};
