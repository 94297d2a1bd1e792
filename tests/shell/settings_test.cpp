// The settings store: what start-up reads, what the close writes, and how
// stored values of the wrong kind are taken.
#include <QSettings>
#include <QTest>
#include <QToolBar>

#include "shell/settings_store.h"
#include "window_fixture.h"

using namespace trisk;
using namespace trisk::test;

namespace {

QSettings Store() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, "Vemodo", "Solitaire Trisk");
}

void CloseAnsweringYes(TWindow& w) {
    w.Answers = {true};
    w.Form->close();
}

}  // namespace

class TSettingsTest : public QObject {
    Q_OBJECT
  private slots:
    void decodesOnly32BitDecimals();
    void emptyStoreGivesDefaultsAndTheCloseWritesFive();
    void valuesOfAnotherKindOrOutOfRangeTakeDefaults();
    void hiddenToolbarAndKindSurviveARestart();
};

void TSettingsTest::decodesOnly32BitDecimals() {
    // clang-format off
    const std::pair<const char*, std::optional<uint32_t>> cases[] = {
        {"0", 0u}, {"007", 7u}, {"2147483648", 1u << 31}, {"4294967295", ~0u}, {"-1", ~0u},
        {"-2147483648", 1u << 31}, {"4294967296", {}}, {"18446744073709551617", {}},
        {"-2147483649", {}}, {"", {}}, {"-", {}}, {"+1", {}}, {" 1", {}}, {"12a", {}},
        {"true", {}}, {"0x10", {}}};
    // clang-format on
    for (const auto& [text, bits] : cases)
        QVERIFY2(DecodeStoredValue(text) == bits, text);
}

void TSettingsTest::emptyStoreGivesDefaultsAndTheCloseWritesFive() {
    TSettingsFolder folder;
    TWindow w;
    QVERIFY(w.Start());
    const TSettings& s = w.Game().Settings();
    QVERIFY(s.EnableSound && s.ConfirmNewGame && s.ConfirmReplayGame && s.ConfirmExit);
    QVERIFY(!s.MinimizeToTray && !s.MinimizeToEscape && s.SetFileAssociation);
    QCOMPARE(std::tuple(s.UndoOption, s.GameNumberType, s.IncrementFrom, s.CardSet),
             std::tuple(2, 0, 0u, 2));
    QCOMPARE(w.Game().GameKind(), gkTriskClassic);
    QVERIFY(Named<QAction>(w.Form.get(), "ToolbarItem")->isChecked() &&
            Named<QAction>(w.Form.get(), "StatusbarItem")->isChecked());
    QVERIFY(!QFile::exists(folder.File()));  // start-up only reads

    CloseAnsweringYes(w);
    QSettings store = Store();
    QCOMPARE(store.allKeys(),
             QStringList({"CardSet", "GameId", "IncrementFrom", "ShowStatusBar", "ShowToolBar"}));
    QCOMPARE(store.value("GameId").toString() + store.value("CardSet").toString() +
                 store.value("ShowToolBar").toString(),
             QString("121"));
}

void TSettingsTest::valuesOfAnotherKindOrOutOfRangeTakeDefaults() {
    TSettingsFolder folder;
    QDir().mkpath(QFileInfo(folder.File()).path());
    QFile file(folder.File());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(
        "[General]\n"
        "EnableSound=0\n"
        "ConfirmNewGame=false\n"         // text: true, the default
        "ConfirmExit=@ByteArray(0)\n"    // bytes: true
        "MinimizeToTray=-1\n"            // not 0: true
        "MinimizeToEscape=4294967296\n"  // 33 bits: false
        "ShowToolBar=0\n"
        "ShowStatusBar=@Variant(\\0\\0\\0\\x1\\0\\0)\n"  // a stored bool: true
        "UndoOption=1, 0\n"                              // a list: 2
        "GameNumberType=1\n"
        "IncrementFrom=4294967295\n"
        "GameId=2147483648\n"  // as 32 signed bits far out of range: 1
        "CardSet=7\n");        // out of range: 2
    file.close();
    TWindow w;
    QVERIFY(w.Start());
    const TSettings& s = w.Game().Settings();
    QVERIFY(!s.EnableSound && s.ConfirmNewGame && s.ConfirmExit);
    QVERIFY(s.MinimizeToTray && !s.MinimizeToEscape);
    QVERIFY(!Named<QAction>(w.Form.get(), "ToolbarItem")->isChecked() &&
            Named<QAction>(w.Form.get(), "StatusbarItem")->isChecked());
    QCOMPARE(std::tuple(s.UndoOption, s.GameNumberType, s.CardSet), std::tuple(2, 1, 2));
    QVERIFY(Named<QAction>(w.Form.get(), "TriskClassicItem")->isChecked());
    // Counting from 4294967295: the first deal takes it and the count wraps.
    QCOMPARE(w.Game().Board().Deck.GameNumber, 4294967295u);
    CloseAnsweringYes(w);
    QSettings store = Store();
    QCOMPARE(store.value("CardSet").toString() + store.value("GameId").toString() +
                 store.value("IncrementFrom").toString(),
             QString("210"));
}

void TSettingsTest::hiddenToolbarAndKindSurviveARestart() {
    TSettingsFolder folder;
    {
        TWindow w;
        QVERIFY(w.Start());
        Named<QAction>(w.Form.get(), "ToolbarItem")->trigger();
        w.Answers = {true};
        Named<QAction>(w.Form.get(), "aDiamond")->trigger();
        CloseAnsweringYes(w);
    }
    TWindow w;
    QVERIFY(w.Start());
    QVERIFY(!Named<QAction>(w.Form.get(), "ToolbarItem")->isChecked());
    QVERIFY(!Named<QToolBar>(w.Form.get(), "MainToolBar")->isVisibleTo(w.Form.get()));
    QCOMPARE(w.Game().GameKind(), gkDiamond);
    QVERIFY(Named<QAction>(w.Form.get(), "DiamondItem")->isChecked());
}

QTEST_MAIN(TSettingsTest)
#include "settings_test.moc"
