#include "table/program_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <limits.h>
#include <unistd.h>
#endif

namespace trisk {

namespace {

QString FindProgramFolder() {
#ifdef Q_OS_LINUX
    char buffer[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer);
    if (length <= 0 || size_t(length) >= sizeof buffer || buffer[0] != '/') return {};
    const QByteArray file(buffer, length);
    const QByteArray folder = file.left(std::max<qsizetype>(file.lastIndexOf('/'), 1));
    const QString name = QFile::decodeName(folder);
    if (QFile::encodeName(name) == folder) return name;
    // Held for the rest of the run; closed on exec, so only this process
    // names the folder this way.
    const int fd = ::open(folder.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    return fd < 0 ? QString() : QStringLiteral("/proc/self/fd/%1").arg(fd);
#else
    const QString folder = QCoreApplication::applicationDirPath();
    return QDir::isAbsolutePath(folder) ? folder : QString();
#endif
}

}  // namespace

QString ProgramFolder() {
    static const QString folder = FindProgramFolder();
    return folder;
}

}  // namespace trisk
