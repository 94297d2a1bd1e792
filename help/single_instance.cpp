#include "help/single_instance.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QLocalSocket>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace trisk {
namespace {

const char kShowRequest[] = "show\n";
const char kShowAnswer[] = "ok\n";
constexpr qint64 kMaxRequest = 64;

}  // namespace

QString HelpServerName(const QString& helpFile) {
    const QFileInfo info(helpFile);
    QString path = info.absoluteFilePath();
    if (info.exists()) path = info.canonicalFilePath();
    QByteArray key = qgetenv("USER");
    if (key.isEmpty()) key = qgetenv("USERNAME");
#ifdef Q_OS_UNIX
    key += ':' + QByteArray::number(static_cast<qulonglong>(::getuid()));
#endif
    key += '\n' + path.toUtf8();
    const QByteArray hash = QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex();
    return QStringLiteral("trisk-help-") + QString::fromLatin1(hash.left(20));
}

bool AskRunningViewer(const QString& serverName, int timeoutMs) {
    QLocalSocket socket;
    socket.connectToServer(serverName);
    if (!socket.waitForConnected(timeoutMs)) return false;
    socket.write(kShowRequest);
    if (!socket.waitForBytesWritten(timeoutMs)) return false;
    QByteArray answer;
    while (!answer.contains('\n') && answer.size() < kMaxRequest) {
        if (!socket.waitForReadyRead(timeoutMs)) break;
        answer += socket.readAll();
    }
    socket.disconnectFromServer();
    return answer.startsWith(kShowAnswer);
}

HelpInstanceServer::HelpInstanceServer(QObject* parent) : QObject(parent) {
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, &HelpInstanceServer::Serve);
}

bool HelpInstanceServer::Listen(const QString& serverName) {
    if (server_.listen(serverName)) return true;
    if (server_.serverError() != QAbstractSocket::AddressInUseError) return false;
    // Someone holds the name: a viewer, or the socket of one that died.
    if (AskRunningViewer(serverName, 1000)) return false;
    QLocalServer::removeServer(serverName);
    return server_.listen(serverName);
}

void HelpInstanceServer::Serve() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > kMaxRequest) socket->abort();
                return;
            }
            const QByteArray request = socket->readLine(kMaxRequest);
            if (request == kShowRequest) {
                socket->write(kShowAnswer);
                socket->flush();
                emit ActivationRequested();
            }
            socket->disconnectFromServer();
        });
    }
}

}  // namespace trisk
