// The help viewer's window on the built "Help.chm": it opens at the default
// topic, a click on a link shows the linked page, Back and Forward step
// through the pages, the contents list leads to pages and follows the page
// shown, pictures load; a missing, damaged or foreign file shows its message.
#include <QAction>
#include <QDesktopServices>
#include <QFile>
#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTreeWidget>
#include <QtTest>

#include "help/help_window.h"

using trisk::ChmUrl;
using trisk::HelpWindow;

// Stands in for the desktop: the links that would have been opened.
class UrlCatcher : public QObject {
    Q_OBJECT
  public:
    QList<QUrl> Opened;
  public slots:
    void Open(const QUrl& url) { Opened.append(url); }
};

class HelpViewerTest : public QObject {
    Q_OBJECT

  private:
    static QString Text(const HelpWindow& window) { return window.Browser()->toPlainText(); }

    // Clicks the link whose text is `text` the way a player does.
    static void ClickLink(HelpWindow& window, const QString& text) {
        auto* browser = window.Browser();
        const QTextCursor found = browser->document()->find(text);
        QVERIFY2(!found.isNull(), qPrintable(text));
        QTextCursor middle(browser->document());
        middle.setPosition((found.selectionStart() + found.selectionEnd()) / 2);
        browser->ensureCursorVisible();
        browser->setTextCursor(middle);
        browser->ensureCursorVisible();
        const QPoint at = browser->cursorRect(middle).center();
        QVERIFY(!browser->anchorAt(at).isEmpty());
        QTest::mouseClick(browser->viewport(), Qt::LeftButton, {}, at);
    }

    static QTreeWidgetItem* FindItem(QTreeWidget* tree, const QString& name) {
        const auto items = tree->findItems(name, Qt::MatchExactly | Qt::MatchRecursive);
        return items.isEmpty() ? nullptr : items.first();
    }

    static QString WriteFile(const QTemporaryDir& dir, const QByteArray& bytes) {
        const QString path = dir.filePath(QStringLiteral("Help.chm"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) return {};
        file.write(bytes);
        return path;
    }

    static QByteArray BuiltFile() {
        QFile file(QStringLiteral(TRISK_HELP_CHM));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

  private slots:
    void opensAtTheDefaultTopic() {
        HelpWindow window;
        QVERIFY(window.OpenFile(QStringLiteral(TRISK_HELP_CHM)));
        QVERIFY(window.ErrorMessage().isEmpty());
        QCOMPARE(window.Browser()->source(), ChmUrl(QStringLiteral("/index.html")));
        QCOMPARE(window.Browser()->documentTitle(), QStringLiteral("Solitaire Trisk Help"));
        QCOMPARE(window.windowTitle(), QStringLiteral("Solitaire Trisk Help"));
        QVERIFY(Text(window).contains(QStringLiteral("Getting started")));
        QCOMPARE(window.ContentsTree()->topLevelItemCount(), 11);
        QVERIFY(!window.BackAction()->isEnabled());
        QVERIFY(!window.ForwardAction()->isEnabled());
        QVERIFY(window.HomeAction()->isEnabled());
        // The style sheet of the pages was found: headings are coloured.
        const QTextBlock heading = window.Browser()->document()->firstBlock();
        QCOMPARE(heading.text().trimmed(), QStringLiteral("Solitaire Trisk"));
        QCOMPARE(heading.begin().fragment().charFormat().foreground().color(),
                 QColor(0x0b, 0x5d, 0x1e));
    }

    void followsALinkAndComesBack() {
        HelpWindow window;
        QVERIFY(window.OpenFile(QStringLiteral(TRISK_HELP_CHM)));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        ClickLink(window, QStringLiteral("Napoleon's Tomb, Classical"));
        QTRY_COMPARE(window.Browser()->source(), ChmUrl(QStringLiteral("/tomb-classical.html")));
        QVERIFY(Text(window).contains(QStringLiteral("The stock and the five passes")));
        QVERIFY(window.BackAction()->isEnabled());
        QVERIFY(!window.ForwardAction()->isEnabled());

        ClickLink(window, QStringLiteral("Winning and losing"));
        QTRY_COMPARE(window.Browser()->source(), ChmUrl(QStringLiteral("/ending.html")));

        window.BackAction()->trigger();
        QCOMPARE(window.Browser()->source(), ChmUrl(QStringLiteral("/tomb-classical.html")));
        window.BackAction()->trigger();
        QCOMPARE(window.Browser()->source(), ChmUrl(QStringLiteral("/index.html")));
        QVERIFY(Text(window).contains(QStringLiteral("Getting started")));
        QVERIFY(!window.BackAction()->isEnabled());
        QVERIFY(window.ForwardAction()->isEnabled());
        window.ForwardAction()->trigger();
        QCOMPARE(window.Browser()->source(), ChmUrl(QStringLiteral("/tomb-classical.html")));

        window.HomeAction()->trigger();
        QCOMPARE(window.Browser()->source(), ChmUrl(QStringLiteral("/index.html")));
    }

    void showsThePicturesOfThePages() {
        HelpWindow window;
        QVERIFY(window.OpenFile(QStringLiteral(TRISK_HELP_CHM)));
        window.ShowPage(QStringLiteral("diamond.html"));
        const QVariant picture = window.Browser()->document()->resource(
            QTextDocument::ImageResource, QUrl(QStringLiteral("table-diamond.png")));
        QImage image = picture.value<QImage>();
        if (image.isNull()) image = QImage::fromData(picture.toByteArray());
        QCOMPARE(image.size(), QSize(548, 540));
    }

    void theContentsLeadToPagesAndFollowThePageShown() {
        HelpWindow window;
        QVERIFY(window.OpenFile(QStringLiteral(TRISK_HELP_CHM)));
        auto* tree = window.ContentsTree();
        QCOMPARE(tree->currentItem(), FindItem(tree, QStringLiteral("Solitaire Trisk Help")));

        QTreeWidgetItem* diamond = FindItem(tree, QStringLiteral("Diamond"));
        QVERIFY(diamond);
        emit tree->itemClicked(diamond, 0);
        QCOMPARE(window.Browser()->source(), ChmUrl(QStringLiteral("/diamond.html")));
        QCOMPARE(tree->currentItem(), diamond);

        QTreeWidgetItem* hints = FindItem(tree, QStringLiteral("Hints"));
        QVERIFY(hints);
        emit tree->itemActivated(hints, 0);
        QCOMPARE(window.Browser()->source(), ChmUrl(QStringLiteral("/playing.html#hints")));
        QCOMPARE(tree->currentItem(), hints);

        // A page shown by other means selects its entry.
        window.ShowPage(QStringLiteral("options.html"));
        QCOMPARE(tree->currentItem(), FindItem(tree, QStringLiteral("Options")));
    }

    void aPageMissingFromTheFileSaysSo() {
        HelpWindow window;
        QVERIFY(window.OpenFile(QStringLiteral(TRISK_HELP_CHM)));
        window.ShowPage(QStringLiteral("no-such-page.html"));
        QVERIFY(Text(window).contains(QStringLiteral("This page is missing from the help file")));
        window.BackAction()->trigger();
        QCOMPARE(window.Browser()->source(), ChmUrl(QStringLiteral("/index.html")));
    }

    void aMissingFileShowsItsMessage() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Help.chm"));
        HelpWindow window;
        QVERIFY(!window.OpenFile(path));
        QVERIFY(window.ErrorMessage().contains(QStringLiteral("The help file was not found")));
        QVERIFY(window.ErrorMessage().contains(QStringLiteral("Help.chm")));
        QVERIFY(Text(window).contains(QStringLiteral("The help file was not found")));
        QVERIFY(!window.ContentsTree()->isVisibleTo(&window));
        QVERIFY(!window.HomeAction()->isEnabled());
        QVERIFY(!window.BackAction()->isEnabled());
        window.ShowHome();  // nothing to show, nothing happens
        QVERIFY(Text(window).contains(QStringLiteral("The help file was not found")));
    }

    void aDamagedFileShowsItsMessage() {
        const QByteArray good = BuiltFile();
        QVERIFY(!good.isEmpty());
        QTemporaryDir dir;
        HelpWindow window;
        // Truncated.
        QVERIFY(!window.OpenFile(WriteFile(dir, good.left(good.size() / 2))));
        QVERIFY(window.ErrorMessage().contains(QStringLiteral("The help file is damaged")));
        QVERIFY(Text(window).contains(QStringLiteral("The help file is damaged")));
        // The compressed pages damaged.
        QByteArray bytes = good;
        for (qsizetype i = bytes.size() - 3000; i < bytes.size(); i += 7)
            bytes[i] = char(~bytes[i]);
        QVERIFY(!window.OpenFile(WriteFile(dir, bytes)));
        QVERIFY(window.ErrorMessage().contains(QStringLiteral("The help file is damaged")));
        // Random bytes behind the signature.
        bytes = QByteArray("ITSF");
        for (int i = 0; i < 5000; ++i)
            bytes += char(QRandomGenerator::global()->generate());
        QVERIFY(!window.OpenFile(WriteFile(dir, bytes)));
        QVERIFY(window.ErrorMessage().contains(QStringLiteral("The help file is damaged")));
    }

    void aFileThatIsNoHelpFileShowsItsMessage() {
        QTemporaryDir dir;
        HelpWindow window;
        QVERIFY(!window.OpenFile(WriteFile(dir, "<html>not compiled</html>")));
        QVERIFY(window.ErrorMessage().contains(QStringLiteral("This is not a help file")));
        QVERIFY(Text(window).contains(QStringLiteral("This is not a help file")));
    }

    void aGoodFileAfterABadOneIsShown() {
        QTemporaryDir dir;
        HelpWindow window;
        QVERIFY(!window.OpenFile(dir.filePath(QStringLiteral("missing.chm"))));
        QVERIFY(window.OpenFile(QStringLiteral(TRISK_HELP_CHM)));
        QVERIFY(window.ErrorMessage().isEmpty());
        QVERIFY(window.ContentsTree()->isVisibleTo(&window));
        QCOMPARE(window.Browser()->source(), ChmUrl(QStringLiteral("/index.html")));
    }

    void onlyWebLinksLeaveTheViewer() {
        // Every scheme that a link of a help file might name is caught here
        // instead of by the desktop: only http and https may arrive.
        UrlCatcher catcher;
        const QStringList schemes = {"http", "https", "file", "x-trisk-test", "smb", "ftp"};
        for (const QString& scheme : schemes)
            QDesktopServices::setUrlHandler(scheme, &catcher, "Open");
        HelpWindow window;
        QVERIFY(window.OpenFile(QStringLiteral(TRISK_HELP_CHM)));
        for (const char* link :
             {"file:///etc/passwd", "x-trisk-test:run", "smb://host/share", "ftp://host/file",
              "https://example.org/page", "http://example.org/"})
            emit window.Browser()->anchorClicked(QUrl(QString::fromLatin1(link)));
        for (const QString& scheme : schemes)
            QDesktopServices::unsetUrlHandler(scheme);
        QCOMPARE(catcher.Opened,
                 (QList<QUrl>{QUrl("https://example.org/page"), QUrl("http://example.org/")}));
    }

    void bringingToFrontShowsTheWindow() {
        HelpWindow window;
        QVERIFY(window.OpenFile(QStringLiteral(TRISK_HELP_CHM)));
        window.showMinimized();
        window.BringToFront();
        QVERIFY(window.isVisible());
        QVERIFY(!window.isMinimized());
    }
};

QTEST_MAIN(HelpViewerTest)
#include "help_viewer_test.moc"
