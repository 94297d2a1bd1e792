// F1's launcher starts the viewer found beside the program, detached, on the
// help file of that folder, and returns at once.
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "shell/help_launcher.h"

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
};

QTEST_GUILESS_MAIN(THelpLauncherTest)
#include "help_launcher_test.moc"
