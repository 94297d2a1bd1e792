// "Select a Card Set" in the window, with the card-set library the build made:
// which face sheet lands on the table and what CardSet becomes.
#include <QLabel>
#include <QTreeWidget>

#include "table/select_card_sets_form.h"
#include "window_fixture.h"

using namespace trisk;
using namespace trisk::test;

namespace {

QList<QImage> Images(const TCardImages& images) {
    QList<QImage> list;
    for (int i = 0; i < images.Count(); ++i)
        list << images.Image(i);
    return list;
}

// The 60 images of a card set, loaded straight from the library.
QList<QImage> SheetImages(const QString& sheetName) {
    TCardImages images;
    LoadCardSet(images, *TResourceModule::Open(CardSetLibraryPath()), sheetName,
                [](const QString&) {});
    return Images(images);
}

QList<QImage> TableImages(TWindow& w) {
    return Images(w.Form->Images());
}

QImage Preview(const QString& name) {
    return QImage::fromData(*TResourceModule::Open(CardSetLibraryPath())->Resource(kRtRcData, name),
                            "PNG");
}

QImage Shown(TSelectCardSetsForm& chooser) {
    return chooser.imgCardSetPreview->pixmap().toImage();
}

}  // namespace

class TCardSetTest : public QObject {
    Q_OBJECT
  private slots:
    void choosingANameLoadsItsSheetAndStoresItsPosition();
    void cancelAfterMovingTheSelectionChangesNothing();
    void cardSetOutsideTheTableOpensOnTheThirdName();
};

void TCardSetTest::choosingANameLoadsItsSheetAndStoresItsPosition() {
    TWindow w;
    QVERIFY(w.Start());
    TSelectCardSetsForm* chooser = Named<TSelectCardSetsForm>(w.Form.get(), "SelectCardSetsForm");
    QVERIFY(chooser);
    QCOMPARE(chooser->parent(), w.Form.get());
    QCOMPARE(chooser->trwCardSetsList->topLevelItemCount(), 4);
    QCOMPARE(chooser->trwCardSetsList->topLevelItem(0)->text(0), QString("Dondorf"));

    int selectedOnOpening = -1;
    w.Dialogs.ChooseCardSet = [&](TSelectCardSetsForm& form) {
        selectedOnOpening = form.SelectedPosition();
        form.SelectPosition(0);
        return true;
    };
    Named<QAction>(w.Form.get(), "aSelectCardSet")->trigger();
    QCOMPARE(selectedOnOpening, 2);
    QCOMPARE(Shown(*chooser), Preview("CSPREVIEW4").convertToFormat(Shown(*chooser).format()));
    QCOMPARE(TableImages(w), SheetImages("CARDSET4"));
    QCOMPARE(w.Game().Settings().CardSet, 0);

    w.Dialogs.ChooseCardSet = [&](TSelectCardSetsForm& form) {
        selectedOnOpening = form.SelectedPosition();
        form.SelectPosition(2);
        return true;
    };
    Named<QAction>(w.Form.get(), "aSelectCardSet")->trigger();
    QCOMPARE(selectedOnOpening, 0);
    QCOMPARE(TableImages(w), SheetImages("CARDSET1"));
    QCOMPARE(w.Game().Settings().CardSet, 2);
    QCOMPARE(w.Dialogs.ChooserShown, 2);
    QVERIFY(w.Messages.isEmpty());
}

void TCardSetTest::cancelAfterMovingTheSelectionChangesNothing() {
    TWindow w;
    QVERIFY(w.Start());
    const QList<QImage> before = TableImages(w);
    QCOMPARE(before, SheetImages("CARDSET1"));
    QImage previewWhileOpen;
    w.Dialogs.ChooseCardSet = [&](TSelectCardSetsForm& form) {
        form.SelectPosition(1);
        previewWhileOpen = Shown(form);
        return false;
    };
    Named<QAction>(w.Form.get(), "aSelectCardSet")->trigger();
    QCOMPARE(previewWhileOpen, Preview("CSPREVIEW2").convertToFormat(previewWhileOpen.format()));
    QCOMPARE(TableImages(w), before);
    QCOMPARE(w.Game().Settings().CardSet, 2);

    // The next opening selects CardSet again, with its preview.
    int selected = -1;
    w.Dialogs.ChooseCardSet = [&](TSelectCardSetsForm& form) {
        selected = form.SelectedPosition();
        previewWhileOpen = Shown(form);
        return false;
    };
    Named<QAction>(w.Form.get(), "aSelectCardSet")->trigger();
    QCOMPARE(selected, 2);
    QCOMPARE(previewWhileOpen, Preview("CSPREVIEW1").convertToFormat(previewWhileOpen.format()));
}

void TCardSetTest::cardSetOutsideTheTableOpensOnTheThirdName() {
    TWindow w;
    TSettings settings;
    settings.CardSet = 7;
    w.Game().SetSettings(settings);
    QVERIFY(w.Start());
    QCOMPARE(TableImages(w), SheetImages("CARDSET1"));
    int selected = -1;
    w.Dialogs.ChooseCardSet = [&](TSelectCardSetsForm& form) {
        selected = form.SelectedPosition();
        return false;
    };
    Named<QAction>(w.Form.get(), "aSelectCardSet")->trigger();
    QCOMPARE(selected, 2);
}

QTEST_MAIN(TCardSetTest)
#include "card_set_test.moc"
