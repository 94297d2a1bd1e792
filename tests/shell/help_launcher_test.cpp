// F1's launcher starts the viewer found beside the program, detached, on the
// help file of that folder, and returns at once.
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "shell/help_launcher.h"
#include "table/resource_module.h"

class THelpLauncherTest : public QObject {
    Q_OBJECT
  private slots:
    void startsTheViewerBesideTheProgramOnItsHelpFile() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString record = dir.filePath("arguments.txt");
        QFile viewer(dir.filePath("trisk-help"));
        QVERIFY(viewer.open(QIODevice::WriteOnly));
        viewer.write(QString("#!/bin/sh\nsleep 1\necho \"$@\" > '%1'\n").arg(record).toUtf8());
        viewer.close();
        viewer.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        QElapsedTimer clock;
        clock.start();
        QVERIFY(trisk::StartHelpViewer(dir.path()));
        // The viewer takes a second; the game does not wait for it.
        QVERIFY(clock.elapsed() < 900);
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(record), 5000);
        QFile written(record);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll().trimmed(), dir.filePath("Help.chm").toUtf8());
    }

    void aMissingViewerIsNoFailureOfTheGame() {
        QTemporaryDir dir;
        QVERIFY(!trisk::StartHelpViewer(dir.path()));
    }

    void aProgramFolderWhoseNameIsNotUtf8IsStillItsOwn() {
        // A copy of this test in a folder whose name is not valid UTF-8,
        // beside a "cardset.dll" of its own, started from a folder with
        // another one: it must read the one beside it.
        QTemporaryDir dir;
        const QByteArray odd = QFile::encodeName(dir.path()) + "/games\xff";
        QCOMPARE(::mkdir(odd.constData(), 0700), 0);
        // QTemporaryDir cannot remove a name it cannot decode: the test does.
        const auto removeOdd = qScopeGuard([&] {
            for (const char* name : {"/probe", "/cardset.dll"})
                ::unlink((odd + name).constData());
            ::rmdir(odd.constData());
        });
        QVERIFY(CopyFile("/proc/self/exe", odd + "/probe", 0700));
        QVERIFY(WriteBytes(odd + "/cardset.dll", "beside the program"));
        QVERIFY(WriteBytes(QFile::encodeName(dir.path()) + "/cardset.dll", "current folder"));
        QProcess probe;
        probe.setWorkingDirectory(dir.path());
        // The shell takes the name as bytes, which QProcess cannot.
        probe.start(
            "/bin/sh",
            {"-c",
             QString("exec \"$(printf '%1/games\\377/probe')\" --read-card-set").arg(dir.path())});
        QVERIFY(probe.waitForFinished(10000));
        QCOMPARE(probe.readAllStandardOutput(), QByteArray("beside the program"));
    }

  private:
    static bool WriteBytes(const QByteArray& path, const QByteArray& bytes) {
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const bool ok = fd >= 0 && ::write(fd, bytes.constData(), size_t(bytes.size())) ==
                                       ssize_t(bytes.size());
        return ::close(fd) == 0 && ok;
    }
    static bool CopyFile(const char* from, const QByteArray& to, mode_t mode) {
        QFile in(from);
        if (!in.open(QIODevice::ReadOnly)) return false;
        return WriteBytes(to, in.readAll()) && ::chmod(to.constData(), mode) == 0;
    }
};

int main(int argc, char** argv) {
    // The probe of aProgramFolderWhoseNameIsNotUtf8IsStillItsOwn.
    if (argc == 2 && std::strcmp(argv[1], "--read-card-set") == 0) {
        QCoreApplication app(argc, argv);
        QFile library(trisk::CardSetLibraryPath());
        if (library.open(QIODevice::ReadOnly))
            std::fwrite(library.readAll().constData(), 1, size_t(library.size()), stdout);
        return 0;
    }
    QCoreApplication app(argc, argv);
    THelpLauncherTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "help_launcher_test.moc"
