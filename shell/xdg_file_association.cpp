#include "shell/xdg_file_association.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <sys/stat.h>

#include <functional>

#include "shell/mimeapps_list.h"
#include "shell/owned_folder.h"

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

// Each file of the association: the folder it goes into and its name.
struct TTarget {
    QString Folder;
    QString Name;
    QString Path() const { return Folder + QLatin1Char('/') + Name; }
};

TTarget Package(const TXdgPlace& place) {
    return {place.DataDir + QStringLiteral("/mime/packages"), QStringLiteral("%1.xml").arg(kAppId)};
}
QString MimeDir(const TXdgPlace& place) {
    return place.DataDir + QStringLiteral("/mime");
}
TTarget Icon(const TXdgPlace& place) {
    return {place.DataDir + QStringLiteral("/icons/hicolor/%1x%1/apps").arg(kIconSize),
            QStringLiteral("%1.png").arg(kAppId)};
}
TTarget Entry(const TXdgPlace& place) {
    return {place.DataDir + QStringLiteral("/applications"),
            QStringLiteral("%1.desktop").arg(kAppId)};
}
TTarget List(const TXdgPlace& place) {
    return {place.ConfigDir, QStringLiteral("mimeapps.list")};
}

// One of the program's own resources.
QByteArray ReadResource(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

enum class TWrite { Unchanged, Written, Failed };

// Writes bytes to the target unless it holds them already. The file is
// replaced whole (a reader never sees half of it), only in a folder that no
// other user can change, and never through a link.
TWrite WriteFile(const TTarget& target, const QByteArray& bytes) {
    const TOwnedFolder folder(target.Folder, true);
    if (!folder.Valid()) return TWrite::Failed;
    bool exists = false;
    if (folder.Read(target.Name, &exists) == bytes && exists) return TWrite::Unchanged;
    return folder.Replace(target.Name, bytes) ? TWrite::Written : TWrite::Failed;
}

bool RemoveFile(const TTarget& target) {
    return TOwnedFolder(target.Folder, false).Remove(target.Name);
}

bool CanWriteIn(const QString& folder) {
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable();
}

// The system's own copy, never one found through PATH, whose first folder
// might be another user's.
QString UpdateMimeDatabaseTool() {
    for (const QString& tool : {QStringLiteral("/usr/bin/update-mime-database"),
                                QStringLiteral("/bin/update-mime-database")}) {
        if (QFileInfo(tool).isExecutable() && OnlyOwnerCanChange(tool)) return tool;
    }
    return {};
}

void RunUpdateMimeDatabase(const QString& mimeDir) {
    const QString tool = UpdateMimeDatabaseTool();
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
    return !cache.exists() ||
           cache.lastModified() < QFileInfo(Package(place).Path()).lastModified();
}

void EditMimeAppsList(const TXdgPlace& place, bool create,
                      const std::function<QByteArray(const QByteArray&)>& edit) {
    const TTarget list = List(place);
    const TOwnedFolder folder(list.Folder, create);
    // A link (kept by the user elsewhere, or planted by someone else) is
    // neither followed nor replaced; a file too large to read whole is not
    // edited either.
    if (!folder.Valid() || folder.IsLink(list.Name)) return;
    bool exists = false;
    const QByteArray before = folder.Read(list.Name, &exists);
    struct stat ignored {};
    if (!exists && ::stat(QFile::encodeName(list.Path()).constData(), &ignored) == 0) return;
    const QByteArray after = edit(before);
    if (after == before) return;
    if (exists && after.trimmed().isEmpty()) {
        // Only our lines were in it: the file goes as it came.
        folder.Remove(list.Name);
        return;
    }
    folder.Replace(list.Name, after);
}

QByteArray IconBytes() {
    return ReadResource(kIconResource);
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
    QList<QByteArray> lines = ReadResource(kEntryResource).split('\n');
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
    const QByteArray package = ReadResource(kPackageResource);
    // The first write decides between the machine and the user. A program
    // that another user could replace gets no machine-wide entry: whoever
    // opens a saved game would run that user's program.
    TXdgPlace place = MachineXdgPlace();
    TWrite first =
        OnlyOwnerCanChange(programPath) ? WriteFile(Package(place), package) : TWrite::Failed;
    if (first == TWrite::Failed ||
        (first == TWrite::Unchanged && !CanWriteIn(Package(place).Folder))) {
        place = UserXdgPlace();
        first = WriteFile(Package(place), package);
    }
    if (first == TWrite::Written || (first == TWrite::Unchanged && MimeDatabaseStale(place)))
        RefreshMimeDatabase(MimeDir(place));
    WriteFile(Icon(place), IconBytes());
    WriteFile(Entry(place), DesktopEntryFor(programPath));
    EditMimeAppsList(place, true, [](const QByteArray& text) {
        return WithDefaultApplication(text, kKxrMimeType, QByteArray(kAppId) + ".desktop");
    });
}

void TXdgFileAssociation::Remove() {
    for (const TXdgPlace& place : {MachineXdgPlace(), UserXdgPlace()}) {
        if (RemoveFile(Package(place))) RefreshMimeDatabase(MimeDir(place));
        RemoveFile(Icon(place));
        RemoveFile(Entry(place));
        EditMimeAppsList(place, false, [](const QByteArray& text) {
            return WithoutMimeType(text, kKxrMimeType);
        });
    }
}

}  // namespace trisk
