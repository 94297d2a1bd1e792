#include "shell/help_launcher.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>

namespace trisk {

bool StartHelpViewer(const QString& folder) {
    const QDir dir(folder);
#ifdef Q_OS_WIN
    const QString viewer = dir.filePath(QStringLiteral("trisk-help.exe"));
#else
    const QString viewer = dir.filePath(QStringLiteral("trisk-help"));
#endif
    const QString helpFile = dir.filePath(QStringLiteral("Help.chm"));
    return QProcess::startDetached(viewer, {helpFile}, dir.absolutePath());
}

bool ShowHelpContents() {
    return StartHelpViewer(QCoreApplication::applicationDirPath());
}

}  // namespace trisk
