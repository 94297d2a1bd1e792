// The help file that the build compiles, read back with the reader: its start
// page, every file of the project with its bytes, every page and picture that
// a page or the contents links to, and the contents tree. Then the parsers of
// the #SYSTEM record and of the sitemap on their own.
#include <gtest/gtest.h>

#include <QDir>
#include <QRegularExpression>
#include <QSet>
#include <QUrl>

#include <deque>

#include "help/chm_reader.h"
#include "tests/help/chm_test_util.h"

namespace trisk {
namespace {

using test::ReadBytes;

std::unique_ptr<ChmFile> OpenBuilt() {
    ChmError error;
    auto chm = ChmFile::Open(QStringLiteral(TRISK_HELP_CHM), &error);
    EXPECT_TRUE(chm) << error.detail.toStdString();
    return chm;
}

// The [FILES] section of the project.
QStringList ProjectFiles() {
    const QString project =
        QString::fromUtf8(ReadBytes(QStringLiteral(TRISK_HELP_PAGES "/Help.hhp")));
    QStringList files;
    bool in_files = false;
    for (QString line : project.split(u'\n')) {
        line = line.trimmed();
        if (line.startsWith(u'[')) {
            in_files = line.compare(QLatin1String("[FILES]"), Qt::CaseInsensitive) == 0;
        } else if (in_files && !line.isEmpty()) {
            files.append(line);
        }
    }
    return files;
}

// Every href and src of a page, as written.
QStringList Links(const QString& html) {
    static const QRegularExpression link(QStringLiteral(R"re(\b(?:href|src)\s*=\s*"([^"]*)")re"),
                                         QRegularExpression::CaseInsensitiveOption);
    QStringList links;
    for (auto it = link.globalMatch(html); it.hasNext();)
        links.append(it.next().captured(1));
    return links;
}

bool IsExternal(const QString& link) {
    return QUrl(link).scheme().size() > 1;  // http:, mailto:, ... (not a path)
}

// A link of a page resolved to a path of the help file, with its fragment.
QUrl Resolve(const QString& page, const QString& link) {
    return QUrl(QStringLiteral("chm:") + page).resolved(QUrl(link));
}

bool HasAnchor(const QString& html, const QString& fragment) {
    return html.contains(QStringLiteral("id=\"%1\"").arg(fragment)) ||
           html.contains(QStringLiteral("name=\"%1\"").arg(fragment));
}

TEST(BuiltHelpFile, OpensAtItsDefaultTopic) {
    auto chm = OpenBuilt();
    ASSERT_TRUE(chm);
    EXPECT_EQ(chm->DefaultTopic(), QStringLiteral("/index.html"));
    EXPECT_EQ(chm->Title(), QStringLiteral("Solitaire Trisk Help"));
    EXPECT_EQ(chm->System().contentsFile, QStringLiteral("Contents.hhc"));
    EXPECT_TRUE(chm->Contains(chm->DefaultTopic()));
    const auto start = chm->Read(chm->DefaultTopic());
    ASSERT_TRUE(start);
    EXPECT_TRUE(start->contains("<title>Solitaire Trisk Help</title>"));
}

TEST(BuiltHelpFile, HoldsEveryFileOfTheProjectWithItsBytes) {
    auto chm = OpenBuilt();
    ASSERT_TRUE(chm);
    const QStringList files = ProjectFiles();
    ASSERT_GE(files.size(), 15);
    for (const QString& name : files + QStringList{QStringLiteral("Contents.hhc")}) {
        QString why;
        const auto bytes = chm->Read(name, &why);
        ASSERT_TRUE(bytes) << name.toStdString() << ": " << why.toStdString();
        EXPECT_EQ(*bytes, ReadBytes(QStringLiteral(TRISK_HELP_PAGES "/") + name))
            << name.toStdString();
    }
    // Every page of the source folder is in the project.
    const QStringList pages =
        QDir(QStringLiteral(TRISK_HELP_PAGES))
            .entryList({QStringLiteral("*.html"), QStringLiteral("*.png"), QStringLiteral("*.css")},
                       QDir::Files);
    for (const QString& page : pages) {
        EXPECT_TRUE(files.contains(page)) << page.toStdString() << " is not listed in Help.hhp";
    }
}

TEST(BuiltHelpFile, EveryLinkOfEveryPageIsInside) {
    auto chm = OpenBuilt();
    ASSERT_TRUE(chm);
    int links_checked = 0;
    for (const QString& page : chm->Files()) {
        if (!page.endsWith(QLatin1String(".html"))) continue;
        const QString html = QString::fromUtf8(*chm->Read(page));
        for (const QString& link : Links(html)) {
            if (IsExternal(link)) continue;
            const QUrl target = Resolve(page, link);
            const QString path = NormalizeChmPath(target.path());
            ASSERT_TRUE(chm->Contains(path))
                << page.toStdString() << " links to " << link.toStdString() << ", missing";
            if (target.hasFragment()) {
                const QString target_html = QString::fromUtf8(*chm->Read(path));
                EXPECT_TRUE(HasAnchor(target_html, target.fragment()))
                    << page.toStdString() << " links to " << link.toStdString()
                    << ", which has no such anchor";
            }
            ++links_checked;
        }
    }
    EXPECT_GT(links_checked, 100);
}

TEST(BuiltHelpFile, EveryPageCanBeReachedFromTheStartPage) {
    auto chm = OpenBuilt();
    ASSERT_TRUE(chm);
    QSet<QString> seen{chm->DefaultTopic()};
    std::deque<QString> pending{chm->DefaultTopic()};
    while (!pending.empty()) {
        const QString page = pending.front();
        pending.pop_front();
        for (const QString& link : Links(QString::fromUtf8(*chm->Read(page)))) {
            if (IsExternal(link)) continue;
            const QString path = NormalizeChmPath(Resolve(page, link).path());
            if (path.endsWith(QLatin1String(".html")) && !seen.contains(path)) {
                seen.insert(path);
                pending.push_back(path);
            }
        }
    }
    for (const QString& file : chm->Files()) {
        if (file.endsWith(QLatin1String(".html"))) {
            EXPECT_TRUE(seen.contains(file))
                << file.toStdString() << " is not linked from anywhere";
        }
    }
}

TEST(BuiltHelpFile, EveryPageHasATitleAndEveryPictureIsAPng) {
    auto chm = OpenBuilt();
    ASSERT_TRUE(chm);
    int pictures = 0;
    for (const QString& file : chm->Files()) {
        const QByteArray bytes = *chm->Read(file);
        if (file.endsWith(QLatin1String(".html"))) {
            EXPECT_TRUE(bytes.contains("<title>")) << file.toStdString();
            EXPECT_TRUE(bytes.contains("charset=utf-8")) << file.toStdString();
        } else if (file.endsWith(QLatin1String(".png"))) {
            EXPECT_TRUE(bytes.startsWith("\x89PNG\r\n\x1a\n")) << file.toStdString();
            EXPECT_LT(bytes.size(), 64 * 1024) << file.toStdString() << " is large";
            ++pictures;
        }
    }
    EXPECT_GE(pictures, 4);  // a picture of each of the four tables at least
}

TEST(BuiltHelpFile, ContentsListEveryTopicAndLeadInside) {
    auto chm = OpenBuilt();
    ASSERT_TRUE(chm);
    const auto contents = chm->Contents();
    ASSERT_EQ(contents.size(), 12u);
    EXPECT_EQ(contents[0].name, QStringLiteral("Solitaire Trisk Help"));
    EXPECT_EQ(contents[0].local, QStringLiteral("index.html"));
    EXPECT_EQ(contents[1].name, QStringLiteral("The four games"));
    ASSERT_EQ(contents[1].children.size(), 4u);
    EXPECT_EQ(contents[1].children[3].name, QStringLiteral("Diamond"));
    EXPECT_EQ(contents[1].children[0].children.at(0).local,
              QStringLiteral("tomb-classical.html#stock"));

    QSet<QString> listed;
    std::vector<const ChmContentsItem*> pending;
    for (const auto& item : contents)
        pending.push_back(&item);
    while (!pending.empty()) {
        const ChmContentsItem* item = pending.back();
        pending.pop_back();
        const QString path = NormalizeChmPath(item->local);
        EXPECT_TRUE(chm->Contains(path)) << item->local.toStdString();
        listed.insert(path);
        for (const auto& child : item->children)
            pending.push_back(&child);
    }
    for (const QString& file : chm->Files()) {
        if (file.endsWith(QLatin1String(".html"))) {
            EXPECT_TRUE(listed.contains(file)) << file.toStdString() << " is not in the contents";
        }
    }
}

TEST(BuiltHelpFile, NamesAreFoundWhateverTheirCase) {
    auto chm = OpenBuilt();
    ASSERT_TRUE(chm);
    EXPECT_TRUE(chm->Contains(QStringLiteral("/INDEX.HTML")));
    EXPECT_TRUE(chm->Read(QStringLiteral("Index.html")));
    EXPECT_FALSE(chm->Contains(QStringLiteral("/no-such-page.html")));
    QString why;
    EXPECT_FALSE(chm->Read(QStringLiteral("/no-such-page.html"), &why));
    EXPECT_FALSE(why.isEmpty());
    EXPECT_TRUE(chm->Entries().contains(QStringLiteral("/#SYSTEM")));
    EXPECT_FALSE(chm->Files().contains(QStringLiteral("/#SYSTEM")));
}

TEST(BuiltHelpFile, ReadsTheSameFromMemory) {
    const QByteArray bytes = test::BuiltHelpFile();
    ChmError error;
    auto chm = ChmFile::FromBytes(bytes, &error);
    ASSERT_TRUE(chm) << error.detail.toStdString();
    EXPECT_EQ(error.kind, ChmError::Kind::kNone);
    EXPECT_EQ(chm->DefaultTopic(), QStringLiteral("/index.html"));
    EXPECT_EQ(*chm->Read(QStringLiteral("/diamond.html")),
              ReadBytes(QStringLiteral(TRISK_HELP_PAGES "/diamond.html")));
}

// ---- the #SYSTEM record ----

QByteArray SystemRecord(int code, const QByteArray& value) {
    QByteArray record(4, '\0');
    record[0] = char(code);
    record[2] = char(value.size() & 0xFF);
    record[3] = char(value.size() >> 8);
    return record + value;
}

TEST(ChmSystem, NamesContentsStartPageAndTitle) {
    const QByteArray system = QByteArray("\3\0\0\0", 4) + SystemRecord(9, "compiler") +
                              SystemRecord(0, QByteArray("toc.hhc\0", 8)) +
                              SystemRecord(2, QByteArray("start.htm\0", 10)) +
                              SystemRecord(3, QByteArray("My help\0", 8)) +
                              SystemRecord(2, QByteArray("other.htm\0", 10));
    const auto info = ParseChmSystem(system);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->contentsFile, QStringLiteral("toc.hhc"));
    EXPECT_EQ(info->defaultTopic, QStringLiteral("start.htm"));  // the first one counts
    EXPECT_EQ(info->title, QStringLiteral("My help"));
    EXPECT_TRUE(info->indexFile.isEmpty());
}

TEST(ChmSystem, ToleratesShortAndOverlongRecords) {
    EXPECT_FALSE(ParseChmSystem(QByteArray("\3\0", 2)));
    const auto empty = ParseChmSystem(QByteArray("\3\0\0\0", 4));
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->defaultTopic.isEmpty());
    // A record whose length runs past the end is not read.
    QByteArray cut = QByteArray("\3\0\0\0", 4) + SystemRecord(3, "Title") +
                     SystemRecord(2, QByteArray(300, 'x'));
    cut.chop(250);
    const auto info = ParseChmSystem(cut);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->title, QStringLiteral("Title"));
    EXPECT_TRUE(info->defaultTopic.isEmpty());
    // Text that is not UTF-8 is taken as Latin-1.
    const auto latin = ParseChmSystem(QByteArray("\3\0\0\0", 4) + SystemRecord(3, "Caf\xe9"));
    EXPECT_EQ(latin->title, QString::fromLatin1("Caf\xe9"));
}

// ---- the sitemap ----

TEST(ChmSitemap, NestedListsBecomeATree) {
    const QByteArray hhc = R"(<HTML><BODY>
<OBJECT type="text/site properties"><param name="Window Styles" value="0x800025"></OBJECT>
<!-- <UL><LI><OBJECT type="text/sitemap"><param name="Name" value="commented out"></OBJECT></UL> -->
<UL>
 <LI><OBJECT type="text/sitemap"><param name="Name" value="One &amp; only"><param name="Local" value="one.html"></OBJECT>
 <UL>
  <LI><OBJECT TYPE="TEXT/SITEMAP"><PARAM NAME="name" VALUE='Child'><PARAM NAME="local" VALUE="sub/child.html#part"></OBJECT>
 </UL>
 <LI><object type="text/sitemap"><param name="Local" value=two.html></object>
</UL></BODY></HTML>)";
    const auto items = ParseChmSitemap(hhc);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].name, QStringLiteral("One & only"));
    EXPECT_EQ(items[0].local, QStringLiteral("one.html"));
    ASSERT_EQ(items[0].children.size(), 1u);
    EXPECT_EQ(items[0].children[0].name, QStringLiteral("Child"));
    EXPECT_EQ(items[0].children[0].local, QStringLiteral("sub/child.html#part"));
    EXPECT_EQ(items[1].name, QStringLiteral("two.html"));  // no name: the page
    EXPECT_TRUE(items[1].children.empty());
}

TEST(ChmSitemap, MalformedInputGivesWhatCanBeRead) {
    EXPECT_TRUE(ParseChmSitemap({}).empty());
    EXPECT_TRUE(ParseChmSitemap("<<<>>><UL></UL></UL></UL><OBJECT").empty());
    EXPECT_TRUE(
        ParseChmSitemap(R"(<OBJECT type="text/sitemap"><param name="Name" value="x)").empty());
    // An item before any list, unclosed lists, stray closers.
    const auto items = ParseChmSitemap(
        R"(</UL><LI><OBJECT type="text/sitemap"><param name="Name" value="a"></OBJECT>)"
        R"(<UL><UL><LI><OBJECT type="text/sitemap"><param name="Name" value="b"></OBJECT>)");
    ASSERT_EQ(items.size(), 1u);
    ASSERT_EQ(items[0].children.size(), 1u);
    EXPECT_EQ(items[0].children[0].name, QStringLiteral("b"));
    // Entities: numeric, hexadecimal, unknown and unterminated.
    const auto named = ParseChmSitemap(
        R"(<OBJECT type="text/sitemap"><param name="Name" value="&#65;&#x42;&bogus;&amp"></OBJECT>)");
    ASSERT_EQ(named.size(), 1u);
    EXPECT_EQ(named[0].name, QStringLiteral("AB&bogus;&amp"));
}

TEST(ChmSitemap, DeepNestingIsCut) {
    QByteArray hhc;
    for (int i = 0; i < 500; ++i) {
        hhc += R"(<UL><LI><OBJECT type="text/sitemap"><param name="Name" value="x"></OBJECT>)";
    }
    const auto items = ParseChmSitemap(hhc);
    ASSERT_EQ(items.size(), 1u);
    int depth = 0;
    for (const auto* level = &items; !level->empty(); level = &level->back().children)
        ++depth;
    EXPECT_LE(depth, 64);
}

TEST(ChmPaths, AreNormalized) {
    EXPECT_EQ(NormalizeChmPath(QStringLiteral("index.html")), QStringLiteral("/index.html"));
    EXPECT_EQ(NormalizeChmPath(QStringLiteral("/a/./b/../c.html#x")), QStringLiteral("/a/c.html"));
    EXPECT_EQ(NormalizeChmPath(QStringLiteral("../../up.html?q")), QStringLiteral("/up.html"));
    EXPECT_EQ(NormalizeChmPath(QStringLiteral("mk:@MSITStore:C:\\x\\Help.chm::/p/q.htm")),
              QStringLiteral("/p/q.htm"));
    EXPECT_EQ(NormalizeChmPath(QStringLiteral("dir\\page.htm")), QStringLiteral("/dir/page.htm"));
    EXPECT_EQ(NormalizeChmPath(QString()), QStringLiteral("/"));
}

}  // namespace
}  // namespace trisk
