// The help viewer as the game starts it: a process of its own. Given a
// missing, damaged or foreign help file it keeps running and reports the file
// (on standard error as in its window) instead of crashing; a second viewer
// started on a file that a viewer already shows hands over to it and ends;
// asked to end, it takes its socket with it.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "help/single_instance.h"

class HelpProcessTest : public QObject {
    Q_OBJECT

  private:
    // The viewers' sockets go into a runtime folder of the test's own (with a
    // short name: a socket's path has room for 107 bytes).
    QTemporaryDir runtime_{QDir::temp().filePath(QStringLiteral("rt-XXXXXX"))};

    static QString WriteFile(const QTemporaryDir& dir, const QString& name,
                             const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) return {};
        file.write(bytes);
        return path;
    }

    static QByteArray BuiltFile() {
        QFile file(QStringLiteral(TRISK_HELP_CHM));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Starts the viewer on a file; it reports `message` and stays up.
    static void ExpectReportedAndRunning(const QString& path, const QString& message) {
        QProcess viewer;
        viewer.start(QStringLiteral(TRISK_HELP_VIEWER), {path});
        QVERIFY(viewer.waitForStarted(10000));
        QByteArray errors;
        QTRY_VERIFY_WITH_TIMEOUT(
            (errors += viewer.readAllStandardError()).contains(message.toUtf8()), 15000);
        QVERIFY(errors.contains(QFileInfo(path).fileName().toUtf8()));
        // Still there a moment later: it shows its message, it did not crash.
        QTest::qWait(500);
        QCOMPARE(viewer.state(), QProcess::Running);
        viewer.terminate();
        QVERIFY(viewer.waitForFinished(10000));
    }

  private slots:
    void aMissingFileIsReported() {
        QTemporaryDir dir;
        ExpectReportedAndRunning(dir.filePath(QStringLiteral("Help.chm")),
                                 QStringLiteral("The help file was not found"));
    }

    void aDamagedFileIsReported() {
        const QByteArray good = BuiltFile();
        QVERIFY(!good.isEmpty());
        QTemporaryDir dir;
        ExpectReportedAndRunning(
            WriteFile(dir, QStringLiteral("Cut.chm"), good.left(good.size() - 100)),
            QStringLiteral("The help file is damaged"));
        QByteArray garbled = good;
        for (qsizetype i = 0x100; i < garbled.size(); i += 13)
            garbled[i] = char(garbled[i] ^ 0x5A);
        ExpectReportedAndRunning(WriteFile(dir, QStringLiteral("Garbled.chm"), garbled),
                                 QStringLiteral("The help file is damaged"));
    }

    void aForeignFileIsReported() {
        QTemporaryDir dir;
        ExpectReportedAndRunning(WriteFile(dir, QStringLiteral("Help.chm"), QByteArray(3000, 'x')),
                                 QStringLiteral("This is not a help file"));
    }

    void initTestCase() {
        QVERIFY(runtime_.isValid());
        QVERIFY(QFile::setPermissions(runtime_.path(),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime_.path()));
    }

    void aSecondViewerOfTheSameFileHandsOver() {
        // A copy of its own, so that no other viewer shows this file.
        QTemporaryDir dir;
        const QString path = WriteFile(dir, QStringLiteral("Help.chm"), BuiltFile());
        const QString name = trisk::HelpServerName(path);
        QVERIFY(!trisk::AskRunningViewer(name, 200));

        QProcess first;
        first.start(QStringLiteral(TRISK_HELP_VIEWER), {path});
        QVERIFY(first.waitForStarted(10000));
        QTRY_VERIFY_WITH_TIMEOUT(trisk::AskRunningViewer(name, 500), 15000);

        QProcess second;
        second.start(QStringLiteral(TRISK_HELP_VIEWER), {path});
        QVERIFY(second.waitForStarted(10000));
        QVERIFY(second.waitForFinished(15000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(first.state(), QProcess::Running);

        // Another file is shown by a viewer of its own.
        const QString other = WriteFile(dir, QStringLiteral("Other.chm"), BuiltFile());
        QVERIFY(trisk::HelpServerName(other) != name);
        QProcess third;
        third.start(QStringLiteral(TRISK_HELP_VIEWER), {other});
        QVERIFY(third.waitForStarted(10000));
        QVERIFY(!third.waitForFinished(1500));
        third.terminate();
        QVERIFY(third.waitForFinished(10000));

        // Asked to end, a viewer closes as on a normal close: its socket goes.
        const QString socketFile = name;
        QVERIFY(QFileInfo::exists(socketFile));
        first.terminate();
        QVERIFY(first.waitForFinished(10000));
        QCOMPARE(first.exitStatus(), QProcess::NormalExit);
        QVERIFY(!QFileInfo::exists(socketFile));
        QVERIFY(!trisk::AskRunningViewer(name, 200));
    }

    void serverNamesDependOnTheFile() {
        QTemporaryDir dir;
        const QString a = dir.filePath(QStringLiteral("a/../Help.chm"));
        const QString b = dir.filePath(QStringLiteral("Help.chm"));
        QCOMPARE(trisk::HelpServerName(a), trisk::HelpServerName(b));
        QVERIFY(trisk::HelpServerName(b) !=
                trisk::HelpServerName(dir.filePath(QStringLiteral("X.chm"))));
        const QFileInfo socket(trisk::HelpServerName(b));
        QCOMPARE(socket.absolutePath(), runtime_.path());
        QVERIFY(socket.fileName().startsWith(QStringLiteral("trisk-help-")));
    }

    // Another user's socket under the name in the shared temporary folder,
    // one that answers every request as a viewer would, stops nothing: F1
    // still shows help, and its viewer is the one asked again.
    void aSquattedNameInTheTemporaryFolderStopsNothing() {
        QTemporaryDir dir;
        const QString path = WriteFile(dir, QStringLiteral("Help.chm"), BuiltFile());
        const QString name = trisk::HelpServerName(path);
        trisk::HelpInstanceServer impostor;
        QVERIFY(impostor.Listen(QDir::temp().filePath(QFileInfo(name).fileName())));
        QSignalSpy fooled(&impostor, &trisk::HelpInstanceServer::ActivationRequested);

        QProcess viewer;
        viewer.start(QStringLiteral(TRISK_HELP_VIEWER), {path});
        QVERIFY(viewer.waitForStarted(10000));
        QTRY_VERIFY_WITH_TIMEOUT(trisk::AskRunningViewer(name, 500), 15000);
        QCOMPARE(viewer.state(), QProcess::Running);
        QCOMPARE(fooled.count(), 0);
        viewer.terminate();
        QVERIFY(viewer.waitForFinished(10000));
    }

    // Without a runtime folder the sockets go into a folder of the user's own
    // in the temporary folder, kept private; a link put there in its place is
    // not followed: then there is no single viewer, but help still shows.
    void withoutARuntimeFolderTheFallbackIsPrivate() {
        const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
        qunsetenv("XDG_RUNTIME_DIR");
        const QString folder = trisk::HelpSocketFolder();
        QCOMPARE(QFileInfo(folder).absolutePath(), QDir::tempPath());
        QVERIFY(QFile::setPermissions(folder, QFile::Permissions(0x7777)));
        QCOMPARE(trisk::HelpSocketFolder(), folder);
        QCOMPARE(QFile::permissions(folder) & 0x0077, QFile::Permissions());  // private again

        QTemporaryDir elsewhere;
        QVERIFY(QDir(folder).removeRecursively() && QFile::link(elsewhere.path(), folder));
        QTemporaryDir dir;
        const QString path = WriteFile(dir, QStringLiteral("Help.chm"), BuiltFile());
        QVERIFY(trisk::HelpServerName(path).isEmpty());
        QProcess viewer;
        viewer.start(QStringLiteral(TRISK_HELP_VIEWER), {path});
        QVERIFY(viewer.waitForStarted(10000));
        QVERIFY(!viewer.waitForFinished(1500));
        viewer.terminate();
        QVERIFY(viewer.waitForFinished(10000));
        QVERIFY(QDir(elsewhere.path()).isEmpty());
        QVERIFY(QFile::remove(folder));
        qputenv("XDG_RUNTIME_DIR", saved);
    }

    void aViewerHandsOverToTheServerOfItsFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Served.chm"));
        trisk::HelpInstanceServer server;
        QVERIFY(server.Listen(trisk::HelpServerName(path)));
        QSignalSpy requests(&server, &trisk::HelpInstanceServer::ActivationRequested);
        QProcess viewer;
        viewer.start(QStringLiteral(TRISK_HELP_VIEWER), {path});
        QVERIFY(viewer.waitForStarted(10000));
        QTRY_COMPARE_WITH_TIMEOUT(requests.count(), 1, 15000);
        // The server answers from this test's event loop: keep it running.
        QTRY_COMPARE_WITH_TIMEOUT(viewer.state(), QProcess::NotRunning, 15000);
        QCOMPARE(viewer.exitStatus(), QProcess::NormalExit);
        QCOMPARE(viewer.exitCode(), 0);
    }

    void aViewerThatDiedLeavesNoObstacle() {
        QTemporaryDir dir;
        const QString path = WriteFile(dir, QStringLiteral("Help.chm"), BuiltFile());
        const QString name = trisk::HelpServerName(path);
        QProcess dead;
        dead.start(QStringLiteral(TRISK_HELP_VIEWER), {path});
        QVERIFY(dead.waitForStarted(10000));
        QTRY_VERIFY_WITH_TIMEOUT(trisk::AskRunningViewer(name, 500), 15000);
        dead.kill();  // its socket is left behind
        QVERIFY(dead.waitForFinished(10000));
        QVERIFY(!trisk::AskRunningViewer(name, 200));

        QProcess next;
        next.start(QStringLiteral(TRISK_HELP_VIEWER), {path});
        QVERIFY(next.waitForStarted(10000));
        QTRY_VERIFY_WITH_TIMEOUT(trisk::AskRunningViewer(name, 500), 15000);
        QCOMPARE(next.state(), QProcess::Running);
        next.terminate();
        QVERIFY(next.waitForFinished(10000));
    }
};

QTEST_MAIN(HelpProcessTest)
#include "help_process_test.moc"
