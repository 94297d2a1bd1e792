#include "help/single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace trisk {
namespace {

const char kShowRequest[] = "show\n";
const char kShowAnswer[] = "ok\n";
constexpr qint64 kMaxRequest = 64;

#ifdef Q_OS_UNIX
// A socket's path must fit the 108 bytes of sun_path with its terminator.
constexpr qsizetype kMaxSocketPath = 107;
constexpr qsizetype kSocketNameLength = 32;  // "/trisk-help-" and 20 digits

// A real folder (not a link) that belongs to the user.
bool IsOwnFolder(const QByteArray& path, struct stat& info) {
    return ::lstat(path.constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::geteuid();
}

bool IsPrivateFolder(const QByteArray& path) {
    struct stat info {};
    return IsOwnFolder(path, info) && (info.st_mode & 077) == 0;
}

bool FitsSocketPath(const QByteArray& folder) {
    return folder.size() + kSocketNameLength <= kMaxSocketPath;
}
#endif

}  // namespace

QString HelpSocketFolder() {
#ifdef Q_OS_UNIX
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    if (runtime.startsWith('/') && FitsSocketPath(runtime) && IsPrivateFolder(runtime))
        return QFile::decodeName(runtime);
    const QByteArray own = QFile::encodeName(QDir::tempPath()) + "/trisk-help-" +
                           QByteArray::number(static_cast<qulonglong>(::geteuid()));
    if (!FitsSocketPath(own)) return {};
    if (::mkdir(own.constData(), 0700) != 0 && errno != EEXIST) return {};
    // Left by an earlier run of ours with other rights: ours to make private.
    struct stat info {};
    if (!IsOwnFolder(own, info)) return {};
    if ((info.st_mode & 077) != 0 && ::chmod(own.constData(), 0700) != 0) return {};
    return IsPrivateFolder(own) ? QFile::decodeName(own) : QString();
#else
    // Elsewhere a name is a named pipe of the user's session, not a file.
    return {};
#endif
}

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
    const QString name = QStringLiteral("trisk-help-") + QString::fromLatin1(hash.left(20));
#ifdef Q_OS_UNIX
    const QString folder = HelpSocketFolder();
    return folder.isEmpty() ? QString() : folder + u'/' + name;
#else
    return name;
#endif
}

bool AskRunningViewer(const QString& serverName, int timeoutMs) {
    if (serverName.isEmpty()) return false;
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
    if (serverName.isEmpty()) return false;
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
