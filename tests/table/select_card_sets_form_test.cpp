// The card-set chooser on small libraries made for the test: which names it
// lists and in what order, which preview a selection shows, and how it ends.
#include <QBuffer>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <memory>

#include "table/resource_module.h"
#include "table/select_card_sets_form.h"
#include "tests/table/pe_builder.h"

using namespace trisk;
using test::StringBlock;

namespace {

QByteArray Png(const QSize& size, Qt::GlobalColor colour) {
    QImage image(size, QImage::Format_ARGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// Writes a library of these resources into dir and returns its path.
QString Library(const QTemporaryDir& dir, const std::vector<test::TResourceSpec>& resources) {
    const QString path = dir.filePath("cardset.dll");
    QFile file(path);
    const QByteArray bytes = test::BuildModule(resources).Bytes;
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write the library");
    return path;
}

// The chooser of the library at path, reporting into reported.
std::unique_ptr<TSelectCardSetsForm> Chooser(const QString& path, QStringList& reported) {
    const std::unique_ptr<TResourceModule> library = TResourceModule::Open(path);
    if (!library) qFatal("library not readable");
    return std::make_unique<TSelectCardSetsForm>(nullptr, *library, path,
                                                 [&](const QString& text) { reported << text; });
}

QStringList Names(const TSelectCardSetsForm& chooser) {
    QStringList names;
    for (int i = 0; i < chooser.trwCardSetsList->topLevelItemCount(); ++i)
        names << chooser.trwCardSetsList->topLevelItem(i)->text(0);
    return names;
}

}  // namespace

class TSelectCardSetsFormTest : public QObject {
    Q_OBJECT
  private slots:
    void listsEveryNonEmptyStringSortedByTheLocale();
    void selectionShowsItsPreviewAndKeepsItWhenTheNextFails();
    void laidOutAndEndedAsADialog();
};

void TSelectCardSetsFormTest::listsEveryNonEmptyStringSortedByTheLocale() {
    QTemporaryDir dir;
    // Two names in block 1 around empty ids, three more in block 3.
    const QString path =
        Library(dir, {{"#6", "#1", StringBlock({"", "Standard", "", "penguins"})},
                      {"#6", "#3", StringBlock({"Éclat", "Dondorf", "", "tigullio"})}});
    QStringList reported;
    const auto owned = Chooser(path, reported);
    TSelectCardSetsForm& chooser = *owned;
    // Case and accents do not put a name at the end as code points would.
    QCOMPARE(Names(chooser), (QStringList{"Dondorf", "Éclat", "penguins", "Standard", "tigullio"}));
    QCOMPARE(chooser.SelectedPosition(), -1);
}

void TSelectCardSetsFormTest::selectionShowsItsPreviewAndKeepsItWhenTheNextFails() {
    QTemporaryDir dir;
    const QString path =
        Library(dir, {{"#6", "#1", StringBlock({"A", "B", "C", "D", "E"})},
                      {"#10", "CSPREVIEW4", Png({100, 150}, Qt::red)},
                      {"#10", "CSPREVIEW1", Png({60, 80}, Qt::blue)},
                      {"#10", "CSPREVIEW3", QByteArray("\x89PNG\r\n\x1a\n damaged")}});
    QStringList reported;
    const auto owned = Chooser(path, reported);
    TSelectCardSetsForm& chooser = *owned;
    QVERIFY(!chooser.imgCardSetPreview->hasScaledContents());
    QCOMPARE(chooser.imgCardSetPreview->alignment(), Qt::AlignCenter);

    chooser.SelectPosition(0);
    QImage shown = chooser.imgCardSetPreview->pixmap().toImage();
    QCOMPARE(shown.size(), QSize(100, 150));
    QCOMPARE(shown.pixelColor(50, 75), QColor(Qt::red));
    chooser.SelectPosition(2);
    QCOMPARE(chooser.imgCardSetPreview->pixmap().toImage().pixelColor(0, 0), QColor(Qt::blue));
    QVERIFY(reported.isEmpty());

    // A damaged and a missing preview are reported; the last good one stays.
    chooser.SelectPosition(3);
    chooser.SelectPosition(1);
    QCOMPARE(reported.size(), 2);
    QVERIFY2(reported[0].contains("CSPREVIEW3"), qPrintable(reported[0]));
    QCOMPARE(reported[1], QString("Resource CSPREVIEW2 not found."));
    // A fifth name has no preview of its own and leaves the shown one.
    chooser.SelectPosition(4);
    QCOMPARE(reported.size(), 2);
    shown = chooser.imgCardSetPreview->pixmap().toImage();
    QCOMPARE(shown.size(), QSize(60, 80));
    QCOMPARE(chooser.SelectedPosition(), 4);
}

void TSelectCardSetsFormTest::laidOutAndEndedAsADialog() {
    QTemporaryDir dir;
    const QString path = Library(dir, {{"#6", "#1", StringBlock({"One", "Two"})}});
    QStringList reported;
    const auto owned = Chooser(path, reported);
    TSelectCardSetsForm& chooser = *owned;
    QCOMPARE(chooser.size(), QSize(377, 289));
    QVERIFY(chooser.windowFlags() & Qt::WindowCloseButtonHint);
    QVERIFY(!(chooser.windowFlags() & Qt::WindowMinMaxButtonsHint));
    // The preview's place inside the panel, in window coordinates.
    QCOMPARE(chooser.imgCardSetPreview->mapTo(&chooser, QPoint(0, 0)), QPoint(194, 11));

    // Opened, the list has the focus; Enter is OK, Cancel and the close box
    // are not, and Escape does nothing.
    QWidget* focused = nullptr;
    QTimer::singleShot(0, &chooser, [&] {
        focused = chooser.focusWidget();
        QTest::keyClick(chooser.trwCardSetsList, Qt::Key_Return);
    });
    QCOMPARE(chooser.exec(), int(QDialog::Accepted));
    QCOMPARE(focused, chooser.trwCardSetsList);
    // Escape is no way out: the dialog is still open to be cancelled.
    bool openAfterEscape = false;
    QTimer::singleShot(0, &chooser, [&] {
        QTest::keyClick(chooser.trwCardSetsList, Qt::Key_Escape);
        openAfterEscape = chooser.isVisible();
        chooser.btCancel->click();
    });
    QCOMPARE(chooser.exec(), int(QDialog::Rejected));
    QVERIFY(openAfterEscape);
    QTimer::singleShot(0, &chooser, [&] { chooser.close(); });
    QCOMPARE(chooser.exec(), int(QDialog::Rejected));
}

QTEST_MAIN(TSelectCardSetsFormTest)
#include "select_card_sets_form_test.moc"
