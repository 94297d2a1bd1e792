// The About dialog read from the built program's own version record, from
// files without one or with parts of it missing, and the Help menu's About
// and home-page commands.
#include <QFile>
#include <QFontInfo>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "shell/about_form.h"
#include "shell/version_record.h"
#include "window_fixture.h"

using namespace trisk;
using namespace trisk::test;

namespace {

// A copy of the built program with every occurrence of from replaced by to
// (of the same length), so that one part of its record goes missing.
QString PatchedProgram(const QTemporaryDir& dir, const QString& name, const QByteArray& from,
                       const QByteArray& to) {
    QFile source(TRISK_PROGRAM_FILE);
    if (!source.open(QIODevice::ReadOnly)) qFatal("cannot read %s", TRISK_PROGRAM_FILE);
    QByteArray bytes = source.readAll();
    if (!bytes.contains(from)) qFatal("%s not in the program", from.constData());
    bytes.replace(from, to);
    const QString path = dir.filePath(name);
    QFile target(path);
    if (!target.open(QIODevice::WriteOnly) || target.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

}  // namespace

class TAboutTest : public QObject {
    Q_OBJECT
  private slots:
    void showsTheBuiltProgramsRecordInItsPlaces();
    void withoutRecordShowsZero();
    void missingStringsLeaveEmptyTexts();
    void helpMenuCommandsReachTheirDialogAndTheBrowser();
};

void TAboutTest::showsTheBuiltProgramsRecordInItsPlaces() {
    TAboutForm about(nullptr, TRISK_PROGRAM_FILE);
    QCOMPARE(about.windowTitle(), QString("About"));
    QCOMPARE(about.size(), QSize(342, 193));
    QVERIFY(!(about.windowFlags() & Qt::WindowCloseButtonHint));
    QCOMPARE(about.lbVersion->text(), QString("Version " TRISK_FILE_VERSION));
    QCOMPARE(about.lbCopyright->text(), QString::fromUtf8(TRISK_COPYRIGHT));
    QCOMPARE(about.lbName->text(), QString("Solitaire Trisk"));

    QCOMPARE(about.imgLogo->geometry(), QRect(8, 16, 115, 115));
    QCOMPARE(about.lbName->geometry(), QRect(155, 11, 153, 22));
    QCOMPARE(about.lbVersion->geometry(), QRect(172, 50, 120, 13));
    QCOMPARE(about.Bevel1->geometry(), QRect(144, 76, 175, 2));
    QCOMPARE(about.lbCopyright->geometry(), QRect(151, 88, 160, 26));
    QCOMPARE(about.btClose->geometry(), QRect(133, 160, 75, 25));
    QVERIFY(about.lbCopyright->wordWrap());
    QVERIFY(about.lbVersion->alignment() & Qt::AlignHCenter);

    // Times New Roman or its metric-compatible stand-in, bold, 21 pixels.
    const QFontInfo name(about.lbName->font());
    QVERIFY2(name.family() == "Times New Roman" || name.family() == "Liberation Serif",
             qPrintable(name.family()));
    QVERIFY(name.bold());
    QCOMPARE(name.pixelSize(), 21);

    const QImage logo = about.imgLogo->pixmap().toImage();
    QCOMPARE(logo.size(), QSize(115, 115));
    QVERIFY(logo.hasAlphaChannel());
    QCOMPARE(logo.pixelColor(0, 0).alpha(), 0);
    QCOMPARE(logo.pixelColor(57, 100).alpha(), 255);

    // OK is the default button and closes with OK, though Tab never lands on it.
    QVERIFY(about.btClose->isDefault());
    QVERIFY(!(about.btClose->focusPolicy() & Qt::TabFocus));
    QTimer::singleShot(0, &about, [&] { QTest::keyClick(&about, Qt::Key_Return); });
    QCOMPARE(about.exec(), int(QDialog::Accepted));
}

void TAboutTest::withoutRecordShowsZero() {
    // The test program carries no record; a missing file has none either.
    for (const QString& path :
         {QCoreApplication::applicationFilePath(), QString("/nonexistent/solitaire-trisk")}) {
        TAboutForm about(nullptr, path);
        QCOMPARE(about.lbVersion->text(), QString("Version 0"));
        QCOMPARE(about.lbCopyright->text(), QString("0"));
    }
}

void TAboutTest::missingStringsLeaveEmptyTexts() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString noCopyright = PatchedProgram(dir, "no-copyright", "\\0409FDE9\\LegalCopyright",
                                               "\\0409FDE9\\LegalCopyrighX");
    QCOMPARE(ReadVersionString(noCopyright, "FileVersion"), QString(TRISK_FILE_VERSION));
    QCOMPARE(ReadVersionString(noCopyright, "LegalCopyright"), QString());

    // Without a translation table no string can be found.
    const QString noTranslation = PatchedProgram(
        dir, "no-translation", "\\VarFileInfo\\Translation", "\\VarFileInfo\\TranslatioX");
    TAboutForm about(nullptr, noTranslation);
    QCOMPARE(about.lbVersion->text(), QString("Version "));
    QCOMPARE(about.lbCopyright->text(), QString());

    // A translation table shorter than one entry finds nothing either.
    const QString shortTranslation =
        PatchedProgram(dir, "short-translation", QByteArray("\x19\0\x04\0\\VarFileInfo", 16),
                       QByteArray("\x19\0\x02\0\\VarFileInfo", 16));
    QCOMPARE(ReadVersionString(shortTranslation, "FileVersion"), QString());

    // A program whose note has another name carries no record.
    const QString noRecord =
        PatchedProgram(dir, "no-record", ".note.trisk.version", ".note.trisk.versioX");
    QCOMPARE(ReadVersionString(noRecord, "FileVersion"), QString("0"));
}

void TAboutTest::helpMenuCommandsReachTheirDialogAndTheBrowser() {
    TWindow w;
    QVERIFY(w.Start());
    Named<QAction>(w.Form.get(), "aAbout")->trigger();
    QCOMPARE(w.Dialogs.AboutShown, 1);
    Named<QAction>(w.Form.get(), "aHomepage")->trigger();
    QCOMPARE(w.Dialogs.Browsed, QList<QUrl>{QUrl("https://solitaire-trisk.github.io/")});
}

QTEST_MAIN(TAboutTest)
#include "about_test.moc"
