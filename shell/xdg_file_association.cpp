#include "shell/xdg_file_association.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

#include <functional>

#include "shell/mimeapps_list.h"

namespace trisk {

namespace {

// Compiled in from resources/: the same files that the installation puts in
// place, and the program's icon.
const QString kEntryResource = QStringLiteral(":/association/%1.desktop").arg(kAppId);
const QString kPackageResource = QStringLiteral(":/association/%1.xml").arg(kAppId);
const QString kIconResource = QStringLiteral(":/pictures/icon.png");
constexpr int kIconSize = 64;

QString FirstAbsolute(const QByteArray& variable, const QString& fallback) {
    const QString value = qEnvironmentVariable(variable.constData());
    for (const QString& dir : value.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        if (QDir::isAbsolutePath(dir)) return QDir::cleanPath(dir);
    }
    return fallback;
}

QString PackagePath(const TXdgPlace& place) {
    return place.DataDir + QStringLiteral("/mime/packages/%1.xml").arg(kAppId);
}
QString MimeDir(const TXdgPlace& place) {
    return place.DataDir + QStringLiteral("/mime");
}
QString IconPath(const TXdgPlace& place) {
    return place.DataDir +
           QStringLiteral("/icons/hicolor/%1x%1/apps/%2.png").arg(kIconSize).arg(kAppId);
}
QString EntryPath(const TXdgPlace& place) {
    return place.DataDir + QStringLiteral("/applications/%1.desktop").arg(kAppId);
}
QString ListPath(const TXdgPlace& place) {
    return place.ConfigDir + QStringLiteral("/mimeapps.list");
}

QByteArray ReadAll(const QString& path, bool* exists = nullptr) {
    QFile file(path);
    const bool opened = file.open(QIODevice::ReadOnly);
    if (exists) *exists = opened;
    return opened ? file.readAll() : QByteArray();
}

enum class TWrite { Unchanged, Written, Failed };

// Writes bytes to path unless it holds them already. The file is replaced
// whole (a reader never sees half of it).
TWrite WriteFile(const QString& path, const QByteArray& bytes) {
    bool exists = false;
    if (ReadAll(path, &exists) == bytes && exists) return TWrite::Unchanged;
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) return TWrite::Failed;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return TWrite::Failed;
    file.write(bytes);
    return file.commit() ? TWrite::Written : TWrite::Failed;
}

bool CanWriteIn(const QString& folder) {
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable();
}

void RunUpdateMimeDatabase(const QString& mimeDir) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("update-mime-database"));
    if (tool.isEmpty()) return;
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(tool, {mimeDir});
    process.waitForFinished(120000);
}

// The database is older than our package when a refresh after an earlier
// write did not happen (the tool missing, the program ended first).
bool MimeDatabaseStale(const TXdgPlace& place) {
    const QFileInfo cache(MimeDir(place) + QStringLiteral("/mime.cache"));
    return !cache.exists() || cache.lastModified() < QFileInfo(PackagePath(place)).lastModified();
}

void EditMimeAppsList(const QString& path,
                      const std::function<QByteArray(const QByteArray&)>& edit) {
    bool exists = false;
    const QByteArray before = ReadAll(path, &exists);
    const QByteArray after = edit(before);
    if (after == before) return;
    if (exists && after.trimmed().isEmpty() && !QFileInfo(path).isSymLink()) {
        // Only our lines were in it: the file goes as it came. (A link, kept
        // by the user elsewhere, stays and is emptied.)
        QFile::remove(path);
        return;
    }
    WriteFile(path, after);
}

QByteArray IconBytes() {
    return ReadAll(kIconResource);
}

// Characters that make the desktop-entry standard ask for quotes.
bool NeedsQuotes(const QString& argument) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    for (QChar c : argument) {
        if (reserved.contains(c)) return true;
    }
    return argument.isEmpty();
}

}  // namespace

TXdgPlace MachineXdgPlace() {
    return {FirstAbsolute("XDG_DATA_DIRS", QStringLiteral("/usr/local/share")),
            FirstAbsolute("XDG_CONFIG_DIRS", QStringLiteral("/etc/xdg"))};
}

TXdgPlace UserXdgPlace() {
    const QString home = QDir::homePath();
    return {FirstAbsolute("XDG_DATA_HOME", home + QStringLiteral("/.local/share")),
            FirstAbsolute("XDG_CONFIG_HOME", home + QStringLiteral("/.config"))};
}

QString DesktopExecValue(const QString& programPath) {
    QString argument = programPath;
    if (NeedsQuotes(argument)) {
        QString quoted;
        for (QChar c : argument) {
            if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
                c == QLatin1Char('\\'))
                quoted += QLatin1Char('\\');
            quoted += c;
        }
        argument = QLatin1Char('"') + quoted + QLatin1Char('"');
    }
    // A literal "%" is written "%%" beside the field codes; then the value
    // is escaped as every string of a desktop file is.
    argument.replace(QLatin1Char('%'), QStringLiteral("%%"));
    argument.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    argument.replace(QLatin1Char('\n'), QStringLiteral("\\n"));
    argument.replace(QLatin1Char('\t'), QStringLiteral("\\t"));
    argument.replace(QLatin1Char('\r'), QStringLiteral("\\r"));
    return argument + QStringLiteral(" %f");
}

QByteArray DesktopEntryFor(const QString& programPath) {
    QList<QByteArray> lines = ReadAll(kEntryResource).split('\n');
    for (QByteArray& line : lines) {
        if (line.startsWith("Exec=")) line = "Exec=" + DesktopExecValue(programPath).toUtf8();
    }
    return lines.join('\n');
}

TXdgFileAssociation::TXdgFileAssociation() {
    // One refresh at a time, in the order asked: a set-up and a removal
    // right after it must not write the same database at once.
    refresher_.setMaxThreadCount(1);
}

TXdgFileAssociation::~TXdgFileAssociation() {
    WaitForRefresh();
}

void TXdgFileAssociation::WaitForRefresh() {
    refresher_.waitForDone();
}

void TXdgFileAssociation::RefreshMimeDatabase(const QString& mimeDir) {
    refresher_.start([mimeDir] { RunUpdateMimeDatabase(mimeDir); });
}

void TXdgFileAssociation::SetUp(const QString& programPath) {
    const QByteArray package = ReadAll(kPackageResource);
    // The first write decides between the machine and the user.
    TXdgPlace place = MachineXdgPlace();
    TWrite first = WriteFile(PackagePath(place), package);
    if (first == TWrite::Failed ||
        (first == TWrite::Unchanged && !CanWriteIn(QFileInfo(PackagePath(place)).absolutePath()))) {
        place = UserXdgPlace();
        first = WriteFile(PackagePath(place), package);
    }
    if (first == TWrite::Written || (first == TWrite::Unchanged && MimeDatabaseStale(place)))
        RefreshMimeDatabase(MimeDir(place));
    WriteFile(IconPath(place), IconBytes());
    WriteFile(EntryPath(place), DesktopEntryFor(programPath));
    EditMimeAppsList(ListPath(place), [](const QByteArray& text) {
        return WithDefaultApplication(text, kKxrMimeType, QByteArray(kAppId) + ".desktop");
    });
}

void TXdgFileAssociation::Remove() {
    for (const TXdgPlace& place : {MachineXdgPlace(), UserXdgPlace()}) {
        if (QFile::remove(PackagePath(place))) RefreshMimeDatabase(MimeDir(place));
        QFile::remove(IconPath(place));
        QFile::remove(EntryPath(place));
        EditMimeAppsList(ListPath(place), [](const QByteArray& text) {
            return WithoutMimeType(text, kKxrMimeType);
        });
    }
}

}  // namespace trisk
