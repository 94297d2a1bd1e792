#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

#include "pe_builder.h"
#include "table/resource_module.h"

namespace trisk {
namespace {

using test::BuildModule;
using test::Put16;
using test::Put32;
using test::TBuiltModule;

QImage Checker(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.setPixel(x, y, qRgb(x * 7 % 256, y * 5 % 256, (x + y) % 2 ? 255 : 0));
        }
    }
    return image;
}

TBuiltModule SampleModule() {
    return BuildModule({
        {"#2", "PICTURE", test::Dib24(Checker(5, 3))},
        {"#2", "#7", test::Dib24(Checker(2, 2))},
        {"#10", "Blob", QByteArray("raw bytes")},
        {"WAVE", "DING", QByteArray("not really a wave")},
        {"#6", "#1", test::StringBlock({"", "Beta", "", "Alpha"})},
        {"#6", "#3", test::StringBlock({"Gamma"})},
    });
}

// Every accessor, so that a module accepted from damaged bytes is also read
// through (AddressSanitizer sees any stray read).
void ReadEverything(const TResourceModule& module) {
    for (uint16_t type : {kRtBitmap, kRtString, kRtRcData}) {
        for (const QString& name : module.Names(type))
            (void)module.Resource(type, name);
    }
    for (const QString& name : module.Names(QStringLiteral("WAVE"))) {
        (void)module.Resource(QStringLiteral("WAVE"), name);
    }
    (void)module.LoadBitmap(QStringLiteral("PICTURE"));
    (void)module.LoadBitmap(QStringLiteral("#7"));
    (void)module.StringTableStrings();
    for (int id = 0; id < 64; ++id)
        (void)module.LoadString(id);
}

TEST(ResourceModule, FindsResourcesByTypeAndName) {
    auto module = TResourceModule::FromBytes(SampleModule().Bytes);
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(module->Names(kRtBitmap), QStringList{"PICTURE"});  // numeric ids left out
    EXPECT_EQ(module->Names(kRtRcData), QStringList{"Blob"});
    EXPECT_EQ(module->Names(QStringLiteral("WAVE")), QStringList{"DING"});
    EXPECT_EQ(module->Names(QStringLiteral("wave")), QStringList{"DING"});
    EXPECT_TRUE(module->Names(QStringLiteral("MIDI")).isEmpty());

    EXPECT_EQ(module->Resource(kRtRcData, QStringLiteral("Blob")), QByteArray("raw bytes"));
    // Names are found regardless of case, as FindResource finds them.
    EXPECT_EQ(module->Resource(kRtRcData, QStringLiteral("BLOB")), QByteArray("raw bytes"));
    EXPECT_EQ(module->Resource(QStringLiteral("Wave"), QStringLiteral("ding")),
              QByteArray("not really a wave"));
    EXPECT_EQ(module->Resource(QStringLiteral("#10"), QStringLiteral("Blob")),
              QByteArray("raw bytes"));
    // The right type is required.
    EXPECT_FALSE(module->Resource(kRtBitmap, QStringLiteral("Blob")));
    EXPECT_FALSE(module->Resource(QStringLiteral("WAVE"), QStringLiteral("DONG")));
}

TEST(ResourceModule, TakesTheFirstLanguageOfAResource) {
    auto module = TResourceModule::FromBytes(BuildModule({
                                                             {"#10", "TEXT", "first", 0x407},
                                                             {"#10", "TEXT", "second", 0x409},
                                                         })
                                                 .Bytes);
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(module->Names(kRtRcData), QStringList{"TEXT"});
    EXPECT_EQ(module->Resource(kRtRcData, QStringLiteral("TEXT")), QByteArray("first"));
}

TEST(ResourceModule, DecodesBitmapsByNameAndNumber) {
    auto module = TResourceModule::FromBytes(SampleModule().Bytes);
    ASSERT_NE(module, nullptr);
    const QImage picture = module->LoadBitmap(QStringLiteral("PICTURE"));
    ASSERT_EQ(picture.size(), QSize(5, 3));
    const QImage expected = Checker(5, 3);
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) {
            EXPECT_EQ(picture.pixel(x, y) & RGB_MASK, expected.pixel(x, y) & RGB_MASK) << x << y;
        }
    }
    EXPECT_EQ(module->LoadBitmap(QStringLiteral("#7")).size(), QSize(2, 2));
    EXPECT_TRUE(module->LoadBitmap(QStringLiteral("Blob")).isNull());  // an RT_RCDATA
    EXPECT_TRUE(module->LoadBitmap(QStringLiteral("NOTHING")).isNull());
}

TEST(ResourceModule, ReadsStringTableBlocks) {
    auto module = TResourceModule::FromBytes(SampleModule().Bytes);
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(module->StringBlocks(), (QList<int>{1, 3}));
    EXPECT_EQ(module->LoadString(1), QStringLiteral("Beta"));
    EXPECT_EQ(module->LoadString(3), QStringLiteral("Alpha"));
    EXPECT_EQ(module->LoadString(0), QString());
    EXPECT_EQ(module->LoadString(32), QStringLiteral("Gamma"));  // block 3 starts at id 32
    EXPECT_EQ(module->LoadString(16), QString());                // block 2 is absent
    EXPECT_EQ(module->LoadString(-1), QString());
    EXPECT_EQ(module->LoadString(70000), QString());
    // Empty strings are no names; two in one block both are.
    EXPECT_EQ(module->StringTableStrings(), (QStringList{"Beta", "Alpha", "Gamma"}));
}

TEST(ResourceModule, StringsAreCutToWhatA255CharacterBufferHolds) {
    const QString longName(300, QLatin1Char('x'));
    auto module = TResourceModule::FromBytes(
        BuildModule({{"#6", "#1", test::StringBlock({"", longName})}}).Bytes);
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(module->LoadString(1), longName);
    EXPECT_EQ(module->StringTableStrings(), QStringList{QString(254, QLatin1Char('x'))});
}

TEST(ResourceModule, RefusesAStringBlockThatEndsEarlyOnlyWhereItEnds) {
    QByteArray block = test::StringBlock({"One", "Two"});
    block.truncate(2 + 6 + 2 + 3);  // "Two" lacks its last character
    auto module = TResourceModule::FromBytes(BuildModule({{"#6", "#1", block}}).Bytes);
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(module->LoadString(0), QStringLiteral("One"));
    EXPECT_EQ(module->LoadString(1), QString());
    EXPECT_EQ(module->LoadString(5), QString());
    EXPECT_EQ(module->StringTableStrings(), QStringList{"One"});
}

TEST(ResourceModule, OpensFilesAndRefusesMissingOnes) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("sample.dll"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(SampleModule().Bytes);
    file.close();
    auto module = TResourceModule::Open(path);
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(module->Names(kRtRcData), QStringList{"Blob"});
    EXPECT_EQ(TResourceModule::Open(dir.filePath(QStringLiteral("absent.dll"))), nullptr);
    EXPECT_EQ(TResourceModule::Open(dir.path()), nullptr);  // a folder
    const QString fifo = dir.filePath(QStringLiteral("cardset.dll"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_EQ(TResourceModule::Open(fifo), nullptr);  // refused, not waited on
}

// ---- Damaged modules --------------------------------------------------------

TEST(DamagedResourceModule, EveryTruncationIsRefused) {
    const QByteArray whole = SampleModule().Bytes;
    ASSERT_NE(TResourceModule::FromBytes(whole), nullptr);
    for (qsizetype length = 0; length < whole.size(); ++length) {
        EXPECT_EQ(TResourceModule::FromBytes(whole.left(length)), nullptr) << length;
    }
}

TEST(DamagedResourceModule, HeadersThatPointOutsideAreRefused) {
    const TBuiltModule good = SampleModule();
    struct TDamage {
        const char* What;
        qint64 At;
        uint32_t Value;
        bool Wide;
    };
    const TDamage damages[] = {
        {"no MZ", 0, 0x5A4E, false},
        {"PE header beyond the end", 0x3C, 0x7FFFFFF0, true},
        {"PE header at -1", 0x3C, 0xFFFFFFFF, true},
        {"no PE signature", good.PeHeader, 0x00004551, true},
        {"unknown optional header", good.PeHeader + 24, 0x30B, false},
        {"optional header longer than the file", good.PeHeader + 20, 0xFFFF, false},
        {"no resource directory", good.ResourceEntry, 0, true},
        {"resource directory in no section", good.ResourceEntry, 0x90000, true},
        {"too few data directories", good.PeHeader + 24 + 108, 2, true},
        {"huge section count", good.PeHeader + 6, 0xFFFF, false},
        {"section data beyond the end", good.SectionHeader + 20, 0x7FFFFF00, true},
        {"section raw size beyond the end", good.SectionHeader + 16, 0x7FFFFF00, true},
        {"huge named count", good.Root + 12, 0xFFFF, false},
        {"huge id count", good.Root + 14, 0xFFFF, false},
        {"type name string outside", good.FirstTypeEntry, 0xFFFFFFF0, true},
        {"type directory outside", good.FirstTypeEntry + 4, 0x8FFFFFF0, true},
        {"type leads straight to data", good.FirstTypeEntry + 4, 0x00000000, true},
        {"name directory count too big", good.FirstNameDirectory + 14, 0x7FFF, false},
        {"language level is a directory", good.FirstLanguageDirectory + 16 + 4, 0x80000000, true},
        {"data entry outside", good.FirstLanguageDirectory + 16 + 4, 0x7FFFFFF0, true},
        {"data RVA outside the section", good.FirstDataEntry, 0x7FFFFFF0, true},
        {"data size beyond the section", good.FirstDataEntry + 4, 0x00100000, true},
        {"data size huge", good.FirstDataEntry + 4, 0xFFFFFFFF, true},
    };
    for (const TDamage& damage : damages) {
        QByteArray bytes = good.Bytes;
        if (damage.Wide) {
            Put32(bytes, damage.At, damage.Value);
        } else {
            Put16(bytes, damage.At, damage.Value);
        }
        EXPECT_EQ(TResourceModule::FromBytes(bytes), nullptr) << damage.What;
    }
}

TEST(DamagedResourceModule, DirectoryEntriesPointingBackDoNotLoop) {
    const TBuiltModule good = SampleModule();
    // A type entry whose "name directory" is the root itself, a name entry
    // whose "language directory" is its own directory, and a language entry
    // marked as a directory pointing at itself.
    struct TLoop {
        const char* What;
        qint64 At;
        uint32_t Target;
    };
    const TLoop loops[] = {
        {"type -> root", good.FirstTypeEntry + 4, 0x80000000u},
        {"name -> own directory", good.FirstNameDirectory + 16 + 4,
         0x80000000u | uint32_t(good.FirstNameDirectory - good.Root)},
        {"language -> own directory", good.FirstLanguageDirectory + 16 + 4,
         0x80000000u | uint32_t(good.FirstLanguageDirectory - good.Root)},
    };
    for (const TLoop& loop : loops) {
        QByteArray bytes = good.Bytes;
        Put32(bytes, loop.At, loop.Target);
        EXPECT_EQ(TResourceModule::FromBytes(bytes), nullptr) << loop.What;
    }
}

TEST(DamagedResourceModule, SharedSubdirectoriesCannotMultiplyTheWork) {
    // 4000 types that all share one name directory of 4000 names, each of
    // which shares one language directory: 16 million paths through a small
    // file. The walk must give up, not run for minutes.
    constexpr uint32_t kCount = 4000;
    QByteArray rsrc(16 + 8 * kCount + 16 + 8 * kCount + 16 + 8 + 16, '\0');
    const uint32_t names = 16 + 8 * kCount;
    const uint32_t languages = names + 16 + 8 * kCount;
    const uint32_t entry = languages + 16 + 8;
    Put16(rsrc, 14, kCount);
    Put16(rsrc, names + 14, kCount);
    for (uint32_t i = 0; i < kCount; ++i) {
        Put32(rsrc, 16 + 8 * i, i + 1);
        Put32(rsrc, 16 + 8 * i + 4, 0x80000000u | names);
        Put32(rsrc, names + 16 + 8 * i, i + 1);
        Put32(rsrc, names + 16 + 8 * i + 4, 0x80000000u | languages);
    }
    Put16(rsrc, languages + 14, 1);
    Put32(rsrc, languages + 16 + 4, entry);
    Put32(rsrc, entry, 0x1000);
    Put32(rsrc, entry + 4, 4);

    TBuiltModule built = BuildModule({{"#10", "X", "data"}});
    QByteArray bytes = built.Bytes.left(built.Root);
    bytes.append(rsrc);
    Put32(bytes, built.ResourceEntry + 4, uint32_t(rsrc.size()));
    Put32(bytes, built.SectionHeader + 8, uint32_t(rsrc.size()));
    Put32(bytes, built.SectionHeader + 16, uint32_t(rsrc.size()));
    EXPECT_EQ(TResourceModule::FromBytes(bytes), nullptr);
}

// A module whose one type holds count resources, all named by the one string
// of length units that the tree holds.
QByteArray ManyNamesOfOneString(uint32_t count, uint32_t length) {
    const uint32_t names = 16 + 8;
    const uint32_t languages = names + 16 + 8 * count;
    const uint32_t entry = languages + 16 + 8;
    const uint32_t text = entry + 16;
    QByteArray rsrc(text, '\0');
    rsrc.append(QByteArray(2 + 2 * length, 'a'));
    Put16(rsrc, 14, 1);
    Put32(rsrc, 16, kRtRcData);
    Put32(rsrc, 20, 0x80000000u | names);
    Put16(rsrc, names + 12, count);
    for (uint32_t i = 0; i < count; ++i) {
        Put32(rsrc, names + 16 + 8 * i, 0x80000000u | text);
        Put32(rsrc, names + 16 + 8 * i + 4, 0x80000000u | languages);
    }
    Put16(rsrc, languages + 14, 1);
    Put32(rsrc, languages + 16 + 4, entry);
    Put32(rsrc, entry, 0x1000);
    Put32(rsrc, entry + 4, 4);
    Put16(rsrc, text, length);

    TBuiltModule built = BuildModule({{"#10", "X", "data"}});
    QByteArray bytes = built.Bytes.left(built.Root);
    bytes.append(rsrc);
    Put32(bytes, built.ResourceEntry + 4, uint32_t(rsrc.size()));
    Put32(bytes, built.SectionHeader + 8, uint32_t(rsrc.size()));
    Put32(bytes, built.SectionHeader + 16, uint32_t(rsrc.size()));
    return bytes;
}

TEST(DamagedResourceModule, NamesAreBoundedOneByOneAndAltogether) {
    // A few names of a sound length load; one name of 65535 characters, or
    // thousands of names that each copy a long one, are refused before
    // they take memory.
    const auto fine = TResourceModule::FromBytes(ManyNamesOfOneString(100, 200));
    ASSERT_NE(fine, nullptr);
    EXPECT_EQ(fine->Names(kRtRcData).size(), 100);
    EXPECT_EQ(fine->Names(kRtRcData).front(), QString(200, u'\x6161'));
    EXPECT_EQ(TResourceModule::FromBytes(ManyNamesOfOneString(1, 65535)), nullptr);
    EXPECT_EQ(TResourceModule::FromBytes(ManyNamesOfOneString(20000, 200)), nullptr);
}

TEST(DamagedResourceModule, AnyDamagedByteIsRefusedOrReadSafely) {
    // Each byte in turn set to values that make offsets and counts large,
    // small or negative; whatever is accepted must be readable throughout.
    const QByteArray good = SampleModule().Bytes;
    int accepted = 0;
    for (qsizetype at = 0; at < good.size(); ++at) {
        for (char value : {char(0x00), char(0x7F), char(0x80), char(0xFF)}) {
            QByteArray bytes = good;
            bytes[at] = value;
            if (auto module = TResourceModule::FromBytes(bytes)) {
                ++accepted;
                ReadEverything(*module);
            }
        }
    }
    // Padding and data bytes do not matter to the reader, so many are taken.
    EXPECT_GT(accepted, 0);
}

// ---- Bitmaps ------------------------------------------------------------------

TEST(DecodeDib, ReadsPaletteAndTopDownBitmaps) {
    // A 3 x 2 8-bit bitmap, top-down (negative height), two palette colours.
    QByteArray dib(40, '\0');
    Put32(dib, 0, 40);
    Put32(dib, 4, 3);
    Put32(dib, 8, uint32_t(-2));
    Put16(dib, 12, 1);
    Put16(dib, 14, 8);
    Put32(dib, 32, 2);
    dib.append(
        QByteArray::fromHex("0000ff00"
                            "00ff0000"));  // red, green (B G R 0)
    dib.append(
        QByteArray::fromHex("000100"
                            "00"));  // row 0: red green red
    dib.append(
        QByteArray::fromHex("010101"
                            "00"));  // row 1: green
    const QImage image = DecodeDib(dib);
    ASSERT_EQ(image.size(), QSize(3, 2));
    EXPECT_EQ(image.pixel(0, 0) & RGB_MASK, 0xFF0000u);
    EXPECT_EQ(image.pixel(1, 0) & RGB_MASK, 0x00FF00u);
    EXPECT_EQ(image.pixel(2, 1) & RGB_MASK, 0x00FF00u);
}

TEST(DecodeDib, ReadsTwentyFourBitRowsEitherWayUp) {
    // Five pixels a row leave one byte of padding per row.
    const QImage source = Checker(5, 3);
    const QByteArray bottomUp = test::Dib24(source);
    EXPECT_EQ(DecodeDib(bottomUp).convertToFormat(QImage::Format_RGB32), source);

    // The same rows stored top row first, with a negative height.
    QByteArray topDown = bottomUp.left(40);
    Put32(topDown, 8, uint32_t(-3));
    const qsizetype rowBytes = (5 * 3 + 3) / 4 * 4;
    for (int row = 2; row >= 0; --row)
        topDown.append(bottomUp.mid(40 + row * rowBytes, rowBytes));
    EXPECT_EQ(DecodeDib(topDown).convertToFormat(QImage::Format_RGB32), source);
}

TEST(DecodeDib, RefusesUnsoundHeaders) {
    const QByteArray good = test::Dib24(Checker(4, 4));
    ASSERT_FALSE(DecodeDib(good).isNull());
    auto damaged = [&](qint64 at, uint32_t value, bool wide) {
        QByteArray bytes = good;
        wide ? Put32(bytes, at, value) : Put16(bytes, at, value);
        return DecodeDib(bytes);
    };
    EXPECT_TRUE(damaged(0, 39, true).isNull());           // unknown header size
    EXPECT_TRUE(damaged(0, 0xFFFFFFF0, true).isNull());   // header larger than the data
    EXPECT_TRUE(damaged(4, 0, true).isNull());            // no width
    EXPECT_TRUE(damaged(4, 0x7FFFFFFF, true).isNull());   // absurd width
    EXPECT_TRUE(damaged(8, 0x80000000, true).isNull());   // most negative height
    EXPECT_TRUE(damaged(8, 5, true).isNull());            // more rows than pixels given
    EXPECT_TRUE(damaged(14, 7, false).isNull());          // 7 bits per pixel
    EXPECT_TRUE(damaged(16, 4, true).isNull());           // JPEG inside
    EXPECT_TRUE(damaged(32, 0x40000000, true).isNull());  // huge colour table
    for (qsizetype length = 0; length < good.size(); ++length) {
        EXPECT_TRUE(DecodeDib(good.left(length)).isNull()) << length;
    }
}

}  // namespace
}  // namespace trisk
