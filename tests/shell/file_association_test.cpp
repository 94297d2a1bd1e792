// The ".kxr" association on a freedesktop desktop, read back with the
// desktop's own tools (xdg-mime, gio) and with Qt's MIME database. HOME and
// every XDG variable point into a fresh temporary folder for each test, so
// nothing here reads or writes the machine's own folders, also as root.
#include <QApplication>
#include <QDirIterator>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

#include <memory>

#include <unistd.h>

#include "shell/mimeapps_list.h"
#include "shell/xdg_file_association.h"
#include "window_fixture.h"

using namespace trisk;
using namespace trisk::test;

namespace {

const QByteArray kType = kKxrMimeType;
const QByteArray kEntryName = QByteArray(kAppId) + ".desktop";

// HOME and the XDG folders of one test: the user's and the machine-wide ones.
struct TSandbox {
    QTemporaryDir Root;
    QString Home = Root.filePath("home");
    TXdgPlace User{Root.filePath("user-data"), Root.filePath("user-config")};
    TXdgPlace Machine{Root.filePath("machine-data"), Root.filePath("machine-config")};

    TSandbox() {
        for (const QString& dir : {Home, User.DataDir, User.ConfigDir, Machine.DataDir,
                                   Machine.ConfigDir, Root.filePath("runtime")})
            QDir().mkpath(dir);
        QFile::setPermissions(Root.filePath("runtime"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("HOME", Home.toUtf8());
        qputenv("XDG_DATA_HOME", User.DataDir.toUtf8());
        qputenv("XDG_CONFIG_HOME", User.ConfigDir.toUtf8());
        // A second machine-wide folder that must never be written.
        qputenv("XDG_DATA_DIRS", (Machine.DataDir + ":" + Root.filePath("second")).toUtf8());
        qputenv("XDG_CONFIG_DIRS", (Machine.ConfigDir + ":" + Root.filePath("second")).toUtf8());
        qputenv("XDG_CACHE_HOME", Root.filePath("cache").toUtf8());
        qputenv("XDG_RUNTIME_DIR", Root.filePath("runtime").toUtf8());
        qunsetenv("XDG_CURRENT_DESKTOP");
    }

    QString Package(const TXdgPlace& place) const {
        return place.DataDir + "/mime/packages/" + kAppId + ".xml";
    }
    QString Entry(const TXdgPlace& place) const {
        return place.DataDir + "/applications/" + kEntryName;
    }
    QString Icon(const TXdgPlace& place) const {
        return place.DataDir + "/icons/hicolor/64x64/apps/" + kAppId + ".png";
    }
    QString List(const TXdgPlace& place) const { return place.ConfigDir + "/mimeapps.list"; }
    // Every file of the four XDG folders with its bytes and modification time.
    QMap<QString, QPair<QByteArray, QDateTime>> Snapshot() const {
        QMap<QString, QPair<QByteArray, QDateTime>> files;
        for (const QString& dir :
             {User.DataDir, User.ConfigDir, Machine.DataDir, Machine.ConfigDir}) {
            QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString path = it.next();
                QFile file(path);
                if (file.open(QIODevice::ReadOnly))
                    files[path] = {file.readAll(), QFileInfo(path).lastModified()};
            }
        }
        return files;
    }
    // Whether any file of the association exists, machine-wide or the user's.
    bool AnyWritten() const {
        for (const TXdgPlace& place : {User, Machine}) {
            for (const QString& path : {Package(place), Entry(place), Icon(place), List(place)}) {
                if (QFile::exists(path)) return true;
            }
        }
        return false;
    }
};

QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void Write(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// What a desktop tool prints, without the final newline.
QString Run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000)) return "(did not finish)";
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

QString ExecLine(const QByteArray& entry) {
    for (const QByteArray& line : entry.split('\n')) {
        if (line.startsWith("Exec=")) return QString::fromUtf8(line.mid(5));
    }
    return {};
}

}  // namespace

class TFileAssociationTest : public QObject {
    Q_OBJECT
  private slots:
    void init() { sandbox_ = std::make_unique<TSandbox>(); }
    void cleanup() { sandbox_.reset(); }

    void fileDialogsStartInDocumentsThenTheLastFolderAndShowTheType();
    void mimeAppsListEditsOnlyOurLines();
    void execQuotesThePathOnlyWhereNeeded();
    void startWritesTheAssociationAfterTheFirstPaint();
    void unwritableMachineFoldersLeaveItToTheUser();
    void removalLeavesOtherApplicationsAlone();
    void unchangedFilesAreNotWrittenAgain();
    void oddProgramPathReachesTheProgramThroughGioOpen();
    void anotherUsersFoldersLinksAndProgramsAreNeverUsed();

  private:
    std::unique_ptr<TSandbox> sandbox_;
};

void TFileAssociationTest::fileDialogsStartInDocumentsThenTheLastFolderAndShowTheType() {
    TSandbox& box = *sandbox_;
    TXdgFileAssociation association;
    association.SetUp(QCoreApplication::applicationFilePath());
    association.WaitForRefresh();
    const QString documents = box.Home + "/Documents";
    QDir().mkpath(documents);
    const QString elsewhere = box.Root.filePath("games");
    Write(elsewhere + "/old.kxr", "KX");

    TQtDialogs dialogs;
    QString openedIn, typeShown;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        openedIn = dialog->directory().absolutePath();
        dialog->setDirectory(elsewhere);
        bool shown = false;
        [&] {
            auto* model = dialog->findChild<QFileSystemModel*>();
            QVERIFY(model);
            // The file list fills in the background.
            QTRY_COMPARE(model->type(model->index(elsewhere + "/old.kxr")),
                         QString("File of Solitaire Trisk"));
            typeShown = model->type(model->index(elsewhere + "/old.kxr"));
            // ... in a column that shows it whole.
            auto* view = dialog->findChild<QTreeView*>("treeView");
            QVERIFY(view && !view->isColumnHidden(2));
            QVERIFY(view->header()->sectionSize(2) >
                    view->fontMetrics().horizontalAdvance(typeShown));
            shown = true;
        }();
        if (!shown) return dialog->reject();
        dialog->selectFile(elsewhere + "/old.kxr");
        static_cast<QDialog*>(dialog)->accept();  // as the Open button does
    });
    QCOMPARE(dialogs.GetOpenFileName(), elsewhere + "/old.kxr");
    QCOMPARE(openedIn, documents);
    QCOMPARE(typeShown, QString("File of Solitaire Trisk"));

    // The save dialog starts where the open dialog ended; cancelling it
    // keeps that folder.
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        openedIn = dialog->directory().absolutePath();
        dialog->reject();
    });
    QCOMPARE(dialogs.GetSaveFileName("trisk_x"), QString());
    QCOMPARE(openedIn, elsewhere);
    QCOMPARE(dialogs.StartFolder(), elsewhere);

    // Without a documents folder the dialogs start at home.
    QDir(documents).removeRecursively();
    QCOMPARE(TQtDialogs().StartFolder(), box.Home);
}

void TFileAssociationTest::mimeAppsListEditsOnlyOurLines() {
    const QByteArray ours = "application/x-solitaire-trisk=" + kEntryName;
    const auto add = [](const QByteArray& text) {
        return WithDefaultApplication(text, kType, kEntryName);
    };
    const auto remove = [](const QByteArray& text) { return WithoutMimeType(text, kType); };

    // Our lines go at the end of their groups; comments, spacing, CRLF and
    // the other groups stay; removing gives the file back byte for byte.
    const QByteArray others =
        "# by hand\n[Default Applications]\ntext/plain=vim.desktop\n\n"
        "[Added Associations]\nimage/png = gimp.desktop;eog.desktop;\r\n\n"
        "[Removed Associations]\ntext/html=firefox.desktop;\n";
    const QByteArray withUs =
        "# by hand\n[Default Applications]\ntext/plain=vim.desktop\n" + ours +
        "\n\n[Added Associations]\nimage/png = gimp.desktop;eog.desktop;\r\n" + ours +
        ";\n\n[Removed Associations]\ntext/html=firefox.desktop;\n";
    QCOMPARE(add(others), withUs);
    QCOMPARE(add(withUs), withUs);
    QCOMPARE(remove(withUs), others);
    QCOMPARE(remove(others), others);

    // Missing groups are added at the end and go again; a last line without
    // its newline keeps it missing; a file of ours alone ends up empty.
    const QByteArray bare = "[Default Applications]\ntext/plain=vim.desktop";
    QCOMPARE(add(bare), bare + "\n" + ours + "\n\n[Added Associations]\n" + ours + ";");
    QCOMPARE(remove(add(bare)), bare);
    QCOMPARE(add({}),
             "[Default Applications]\n" + ours + "\n\n[Added Associations]\n" + ours + ";\n");
    QCOMPARE(remove(add({})), QByteArray());

    // An older line of our type is replaced and repeats go (types compare
    // without case); "[Removed Associations]" is not ours to edit.
    const QByteArray stale =
        "[Default Applications]\napplication/x-solitaire-trisk=old.desktop\n"
        "text/plain=vim.desktop\nApplication/X-Solitaire-Trisk=older.desktop\n"
        "[Removed Associations]\napplication/x-solitaire-trisk=other.desktop;\n";
    const QByteArray kept =
        "[Removed Associations]\napplication/x-solitaire-trisk=other.desktop;\n";
    QCOMPARE(add(stale), "[Default Applications]\n" + ours + "\ntext/plain=vim.desktop\n" + kept +
                             "\n[Added Associations]\n" + ours + ";\n");
    QCOMPARE(remove(stale), "[Default Applications]\ntext/plain=vim.desktop\n" + kept);
}

void TFileAssociationTest::execQuotesThePathOnlyWhereNeeded() {
    // (A path with every character that needs escaping is launched for real
    // in oddProgramPathReachesTheProgramThroughGioOpen.)
    QCOMPARE(DesktopExecValue("/usr/lib/solitaire-trisk/solitaire-trisk"),
             QString("/usr/lib/solitaire-trisk/solitaire-trisk %f"));
    QCOMPARE(DesktopExecValue("/home/ann/my games/trisk"),
             QString("\"/home/ann/my games/trisk\" %f"));
    QCOMPARE(DesktopExecValue("/opt/100%/trisk"), QString("/opt/100%%/trisk %f"));
    QCOMPARE(ExecLine(DesktopEntryFor("/x y/prog")), QString("\"/x y/prog\" %f"));
}

void TFileAssociationTest::startWritesTheAssociationAfterTheFirstPaint() {
    TSandbox& box = *sandbox_;
    const QString program = QCoreApplication::applicationFilePath();

    // With the option off nothing is written.
    {
        TSettingsFolder store;
        StoreSettings({{"SetFileAssociation", 0}});
        TWindow off([](TServices& s) { s.Association = std::make_unique<TXdgFileAssociation>(); });
        QVERIFY(off.Start());
        off.Form->show();
        QVERIFY(QTest::qWaitForWindowExposed(off.Form.get()));
        QTest::qWait(50);
    }
    QVERIFY(!box.AnyWritten());

    TXdgFileAssociation* xdg = nullptr;
    TWindow w([&xdg](TServices& s) {
        auto owned = std::make_unique<TXdgFileAssociation>();
        xdg = owned.get();
        s.Association = std::move(owned);
    });
    TXdgFileAssociation& association = *xdg;
    QVERIFY(w.Start());
    QVERIFY2(!box.AnyWritten(), "nothing is written before the table is on screen");
    w.Form->show();
    QTRY_VERIFY(QFile::exists(box.Entry(box.Machine)));
    association.WaitForRefresh();

    // Machine-wide, and nothing in the user's folders.
    QVERIFY(QFile::exists(box.Package(box.Machine)));
    QVERIFY(QFile::exists(box.Icon(box.Machine)));
    QVERIFY(QFile::exists(box.Machine.DataDir + "/mime/mime.cache"));
    QVERIFY(QFile::exists(box.List(box.Machine)));
    QVERIFY(!QFile::exists(box.User.DataDir + "/mime"));
    QVERIFY(!QFile::exists(box.List(box.User)));
    QCOMPARE(ExecLine(Read(box.Entry(box.Machine))), program + " %f");
    QCOMPARE(QImage(box.Icon(box.Machine)).size(), QSize(64, 64));

    const QString saved = box.Root.filePath("some.kxr");
    Write(saved, "KX");
    QCOMPARE(Run("xdg-mime", {"query", "filetype", saved}), QString(kType));
    QCOMPARE(Run("xdg-mime", {"query", "default", kType}), QString(kEntryName));
    qputenv("XDG_CURRENT_DESKTOP", "GNOME");  // through gio info
    QCOMPARE(Run("xdg-mime", {"query", "filetype", saved}), QString(kType));
    qunsetenv("XDG_CURRENT_DESKTOP");
    const QString gio = Run("gio", {"mime", kType});
    QVERIFY2(gio.startsWith(QString("Default application for “%1”: %2").arg(kType, kEntryName)),
             qPrintable(gio));
    QVERIFY2(Run("desktop-file-validate", {box.Entry(box.Machine)}).isEmpty(),
             "the written entry is a valid desktop entry");
    QCOMPARE(QMimeDatabase().mimeTypeForFile(saved).comment(), QString("File of Solitaire Trisk"));
}

void TFileAssociationTest::unwritableMachineFoldersLeaveItToTheUser() {
    // As root every folder is writable whatever its mode: a machine-wide
    // folder below a regular file can be created by nobody.
    TSandbox& box = *sandbox_;
    Write(box.Root.filePath("blocked"), "a file, not a folder");
    TXdgPlace blocked{box.Root.filePath("blocked/share"), box.Root.filePath("blocked/xdg")};
    qputenv("XDG_DATA_DIRS", blocked.DataDir.toUtf8());
    qputenv("XDG_CONFIG_DIRS", blocked.ConfigDir.toUtf8());

    TXdgFileAssociation association;
    association.SetUp("/opt/trisk/solitaire-trisk");
    association.WaitForRefresh();
    QVERIFY(QFile::exists(box.Package(box.User)));
    QVERIFY(QFile::exists(box.Icon(box.User)));
    QCOMPARE(ExecLine(Read(box.Entry(box.User))), QString("/opt/trisk/solitaire-trisk %f"));
    QVERIFY(Read(box.List(box.User)).contains(kType + "=" + kEntryName + "\n"));
    const QString saved = box.Root.filePath("game.kxr");
    Write(saved, "KX");
    QCOMPARE(Run("gio", {"info", "-a", "standard::content-type", saved}).section(' ', -1),
             QString(kType));

    // The user's files go again with the removal; the blocked folder is no
    // reason to stop.
    association.Remove();
    association.WaitForRefresh();
    for (const QString& path :
         {box.Package(box.User), box.Icon(box.User), box.Entry(box.User), box.List(box.User)})
        QVERIFY2(!QFile::exists(path), qPrintable(path));
}

void TFileAssociationTest::removalLeavesOtherApplicationsAlone() {
    TSandbox& box = *sandbox_;
    const QByteArray others =
        "[Default Applications]\n"
        "text/plain=vim.desktop\n"
        "\n"
        "[Added Associations]\n"
        "text/plain=vim.desktop;gedit.desktop;\n";
    Write(box.List(box.Machine), others);
    Write(box.List(box.User), others);
    Write(box.User.DataDir + "/mime/packages/other.xml", "<mime-info/>");

    TXdgFileAssociation association;
    association.SetUp(QCoreApplication::applicationFilePath());
    association.WaitForRefresh();
    const QString saved = box.Root.filePath("some.kxr");
    Write(saved, "KX");
    QCOMPARE(Run("xdg-mime", {"query", "default", kType}), QString(kEntryName));
    QVERIFY(Read(box.List(box.Machine)) != others);

    association.Remove();
    association.WaitForRefresh();
    QCOMPARE(Read(box.List(box.Machine)), others);
    QCOMPARE(Read(box.List(box.User)), others);
    for (const QString& path : {box.Package(box.Machine), box.Icon(box.Machine),
                                box.Entry(box.Machine), box.Package(box.User)})
        QVERIFY2(!QFile::exists(path), qPrintable(path));
    QVERIFY(QFile::exists(box.User.DataDir + "/mime/packages/other.xml"));
    QVERIFY(Run("xdg-mime", {"query", "filetype", saved}) != QString(kType));
    QVERIFY(!Run("gio", {"mime", kType}).contains(kEntryName));

    // A second removal finds nothing to do: no file changes, the database
    // is not refreshed.
    const auto before = box.Snapshot();
    QTest::qWait(20);
    association.Remove();
    association.WaitForRefresh();
    QCOMPARE(box.Snapshot(), before);
}

void TFileAssociationTest::unchangedFilesAreNotWrittenAgain() {
    TSandbox& box = *sandbox_;
    TXdgFileAssociation association;
    association.SetUp("/opt/trisk/solitaire-trisk");
    association.WaitForRefresh();
    // Date every file back: a rewrite would show as a new time.
    const QDateTime old(QDate(2001, 2, 3), QTime(4, 5, 6));
    const auto stamp = [&] {
        for (const QString& path : box.Snapshot().keys()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(old, QFileDevice::FileModificationTime));
        }
    };
    stamp();
    const auto before = box.Snapshot();
    association.SetUp("/opt/trisk/solitaire-trisk");
    association.WaitForRefresh();
    QCOMPARE(box.Snapshot(), before);

    // A moved program: only the entry changes; the database stays.
    association.SetUp("/usr/lib/solitaire-trisk/solitaire-trisk");
    association.WaitForRefresh();
    auto after = box.Snapshot();
    QCOMPARE(ExecLine(after.take(box.Entry(box.Machine)).first),
             QString("/usr/lib/solitaire-trisk/solitaire-trisk %f"));
    auto expected = before;
    expected.remove(box.Entry(box.Machine));
    QCOMPARE(after, expected);

    // A database older than the package (its refresh never ran) is redone.
    QFile::remove(box.Machine.DataDir + "/mime/mime.cache");
    association.SetUp("/usr/lib/solitaire-trisk/solitaire-trisk");
    association.WaitForRefresh();
    QVERIFY(QFile::exists(box.Machine.DataDir + "/mime/mime.cache"));
}

void TFileAssociationTest::oddProgramPathReachesTheProgramThroughGioOpen() {
    // A program whose path needs every kind of quoting: the desktop's own
    // launcher must start it with the saved game as its one argument.
    TSandbox& box = *sandbox_;
    const QString folder = box.Root.filePath("my games $HOME \"q\" `x` \\b");
    const QString program = folder + "/trisk";
    const QString record = box.Root.filePath("arguments.txt");
    Write(program,
          "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$0.tmp\"\n"
          "mv \"$0.tmp\" '" +
              record.toUtf8() + "'\n");
    QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    TXdgFileAssociation association;
    association.SetUp(program);
    association.WaitForRefresh();
    QVERIFY2(Run("desktop-file-validate", {box.Entry(box.Machine)}).isEmpty(),
             qPrintable(Read(box.Entry(box.Machine))));
    const QString saved = box.Root.filePath("a saved game.kxr");
    Write(saved, "KX");
    QProcess::execute("gio", {"open", saved});
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(record), 10000);
    QCOMPARE(Read(record), saved.toUtf8() + "\n");
}

void TFileAssociationTest::anotherUsersFoldersLinksAndProgramsAreNeverUsed() {
    // Run as root, with the machine-wide folders handed to another user (the
    // unused uid 65534 stands for one), who planted links where the
    // association goes, a program of that name first in PATH, and a folder
    // of theirs holding a program.
    if (::geteuid() != 0) QSKIP("needs root to hand folders to another user");
    TSandbox& box = *sandbox_;
    constexpr uid_t kOther = 65534;
    const auto handOver = [&](const QString& folder) {
        QDir().mkpath(folder);
        QCOMPARE(::chown(QFile::encodeName(folder).constData(), kOther, kOther), 0);
    };
    QList<QPair<QString, QString>> planted;  // link, root's own file it points at
    for (const QString& link :
         {box.Package(box.Machine), box.Entry(box.Machine), box.List(box.Machine)}) {
        const QString secret = box.Root.filePath("root-only-" + QFileInfo(link).fileName());
        Write(secret, "root's own bytes\n");
        QFile::setPermissions(secret, QFile::ReadOwner | QFile::WriteOwner);
        QDir().mkpath(QFileInfo(link).absolutePath());
        QVERIFY(QFile::link(secret, link));
        planted.append({link, secret});
    }
    for (const QString& folder : {box.Machine.DataDir, box.Machine.DataDir + "/mime",
                                  box.Machine.DataDir + "/mime/packages",
                                  box.Machine.DataDir + "/applications", box.Machine.ConfigDir})
        handOver(folder);
    const QString theirBin = box.Root.filePath("their-bin");
    const QString ran = box.Root.filePath("their-tool-ran");
    Write(theirBin + "/update-mime-database", "#!/bin/sh\ntouch '" + ran.toUtf8() + "'\n");
    QFile::setPermissions(theirBin + "/update-mime-database",
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ExeOther);
    handOver(theirBin);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", theirBin.toUtf8() + ":" + path);

    TXdgFileAssociation association;
    association.SetUp(QCoreApplication::applicationFilePath());
    association.WaitForRefresh();
    qputenv("PATH", path);
    for (const auto& [link, secret] : planted) {
        QCOMPARE(Read(secret), QByteArray("root's own bytes\n"));
        QVERIFY2(QFileInfo(link).isSymLink(), qPrintable(link));
    }
    QVERIFY(!QFile::exists(ran));
    QVERIFY2(QFile::exists(box.User.DataDir + "/mime/mime.cache"), "the system's tool ran");
    QCOMPARE(ExecLine(Read(box.Entry(box.User))), QCoreApplication::applicationFilePath() + " %f");

    // Machine-wide folders of root's own, but a program in a folder that
    // the other user can change: its entry stays the user's.
    TSandbox fresh;
    const QString theirs = fresh.Root.filePath("theirs");
    Write(theirs + "/trisk", "#!/bin/sh\n");
    handOver(theirs);
    association.SetUp(theirs + "/trisk");
    association.WaitForRefresh();
    QVERIFY(!QFile::exists(fresh.Entry(fresh.Machine)));
    QVERIFY(!QFile::exists(fresh.Package(fresh.Machine)));
    QCOMPARE(ExecLine(Read(fresh.Entry(fresh.User))), theirs + "/trisk %f");
}

int main(int argc, char** argv) {
    // Before Qt reads any of them: the machine's folders stay out of reach.
    TSandbox processWide;
    QApplication app(argc, argv);
    TFileAssociationTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "file_association_test.moc"
