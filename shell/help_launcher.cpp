#include "shell/help_launcher.h"

#include <QDir>
#include <QProcess>

#include "table/program_folder.h"

namespace trisk {

bool StartHelpViewer(const QString& folder) {
    const QDir dir(folder);
#ifdef Q_OS_WIN
    const QString viewer = dir.filePath(QStringLiteral("trisk-help.exe"));
#else
    const QString viewer = dir.filePath(QStringLiteral("trisk-help"));
#endif
    // A folder named through this process's descriptors means nothing to
    // the viewer: it is given the file in its working folder instead.
    const QString helpFile = folder.startsWith(QLatin1String("/proc/self/fd/"))
                                 ? QStringLiteral("Help.chm")
                                 : dir.filePath(QStringLiteral("Help.chm"));
    return QProcess::startDetached(viewer, {helpFile}, dir.absolutePath());
}

bool ShowHelpContents() {
    const QString folder = ProgramFolder();
    return !folder.isEmpty() && StartHelpViewer(folder);
}

}  // namespace trisk
