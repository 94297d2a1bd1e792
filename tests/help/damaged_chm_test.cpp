// Damaged help files through the reader: missing, not a help file at all,
// random bytes, every kind of truncation, flipped bytes, and the structures
// that would lead CHMLib astray (a directory chunk that overruns, a loop of
// chunks, bad compression parameters, an oversized or damaged LZX frame).
// Each one is refused with an error or read without harm; none crashes.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <random>

#include <sys/stat.h>

#include "help/chm_reader.h"
#include "tests/help/chm_test_util.h"

namespace trisk {
namespace {

using Kind = ChmError::Kind;
using test::BuiltHelpFile;
using test::LayoutOf;
using test::PutU32;
using test::PutU64;
using test::UnitOffset;

// Opens the bytes and, when they open, reads everything in them.
ChmError OpenAndReadAll(const QByteArray& bytes, int* files_read = nullptr) {
    ChmError error;
    auto chm = ChmFile::FromBytes(bytes, &error);
    if (!chm) {
        EXPECT_NE(error.kind, Kind::kNone);
        EXPECT_FALSE(error.detail.isEmpty());
        return error;
    }
    EXPECT_EQ(error.kind, Kind::kNone);
    int read = 0;
    for (const QString& entry : chm->Entries()) {
        if (chm->Read(entry)) ++read;
    }
    (void)chm->DefaultTopic();
    (void)chm->Contents();
    if (files_read) *files_read = read;
    return error;
}

TEST(DamagedHelpFile, MissingFileIsReportedAsMissing) {
    QTemporaryDir dir;
    ChmError error;
    EXPECT_FALSE(ChmFile::Open(dir.filePath(QStringLiteral("Help.chm")), &error));
    EXPECT_EQ(error.kind, Kind::kMissing);
}

TEST(DamagedHelpFile, AFolderIsUnreadable) {
    QTemporaryDir dir;
    ChmError error;
    EXPECT_FALSE(ChmFile::Open(dir.path(), &error));
    EXPECT_EQ(error.kind, Kind::kUnreadable);
    // So is a FIFO, refused before an open that would wait for a writer.
    const QString fifo = dir.filePath(QStringLiteral("Help.chm"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_FALSE(ChmFile::Open(fifo, &error));
    EXPECT_EQ(error.kind, Kind::kUnreadable);
}

TEST(DamagedHelpFile, OtherFilesAreNotHelpFiles) {
    for (const QByteArray& bytes :
         {QByteArray(), QByteArray("ITS"), QByteArray("<html><body>Help</body></html>"),
          QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(500, '\0'),
          QByteArray("PK\3\4") + QByteArray(100, 'x'), QByteArray(4096, '\0')}) {
        ChmError error;
        EXPECT_FALSE(ChmFile::FromBytes(bytes, &error));
        EXPECT_EQ(error.kind, Kind::kNotChm) << bytes.left(8).toHex().toStdString();
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Help.chm"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("This is not a help file.\n");
    file.close();
    ChmError error;
    EXPECT_FALSE(ChmFile::Open(path, &error));
    EXPECT_EQ(error.kind, Kind::kNotChm);
}

TEST(DamagedHelpFile, RandomBytesAreRefused) {
    std::mt19937 random(20240517);
    for (int round = 0; round < 300; ++round) {
        QByteArray bytes(int(random() % 20000), '\0');
        for (char& byte : bytes)
            byte = char(random());
        if (round % 2) bytes.replace(0, 4, "ITSF");  // past the first check
        const ChmError error = OpenAndReadAll(bytes);
        EXPECT_TRUE(error.kind == Kind::kNotChm || error.kind == Kind::kDamaged) << round;
    }
}

TEST(DamagedHelpFile, RandomBytesBehindASoundHeaderAreRefused) {
    const QByteArray good = BuiltHelpFile();
    ASSERT_FALSE(good.isEmpty());
    const auto layout = LayoutOf(good);
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        // Keep the headers (and in half the rounds the directory), replace the rest.
        QByteArray bytes = good;
        const qsizetype keep =
            round % 2 ? qsizetype(layout.chunks + layout.blockLen) : qsizetype(layout.chunks);
        for (qsizetype i = keep; i < bytes.size(); ++i)
            bytes[i] = char(random());
        OpenAndReadAll(bytes);
    }
}

TEST(DamagedHelpFile, EveryTruncationIsRefused) {
    const QByteArray good = BuiltHelpFile();
    ASSERT_FALSE(good.isEmpty());
    // Every length in the headers and the directory, then every 61st byte.
    const qsizetype dense = qsizetype(LayoutOf(good).chunks) + 2 * LayoutOf(good).blockLen;
    for (qsizetype length = 0; length < good.size(); length += length < dense ? 1 : 61) {
        const ChmError error = OpenAndReadAll(good.left(length));
        EXPECT_NE(error.kind, Kind::kNone) << "a file cut to " << length << " bytes opened";
    }
    // The file in full opens and reads.
    int files_read = 0;
    EXPECT_EQ(OpenAndReadAll(good, &files_read).kind, Kind::kNone);
    EXPECT_GT(files_read, 20);
}

TEST(DamagedHelpFile, FlippedBytesAreRefusedOrReadWithoutHarm) {
    const QByteArray good = BuiltHelpFile();
    ASSERT_FALSE(good.isEmpty());
    std::mt19937 random(42);
    int refused = 0;
    for (int round = 0; round < 1500; ++round) {
        QByteArray bytes = good;
        const int flips = 1 + int(random() % 4);
        for (int i = 0; i < flips; ++i) {
            // Most flips in the headers, the directory and the parameters.
            const qsizetype span =
                round % 3 ? qsizetype(LayoutOf(good).dataOffset) + 600 : bytes.size();
            bytes[qsizetype(random() % uint32_t(std::min(span, bytes.size())))] ^=
                char(1 << (random() % 8));
        }
        if (OpenAndReadAll(bytes).kind != Kind::kNone) ++refused;
    }
    EXPECT_GT(refused, 0);
}

TEST(DamagedHelpFile, AllOfTheFileLostButTheHeadersIsRefused) {
    QByteArray good = BuiltHelpFile();
    const auto layout = LayoutOf(good);
    // The directory points past the end of the file.
    QByteArray bytes = good;
    PutU64(bytes, 0x48, uint64_t(bytes.size()) + 10);
    EXPECT_EQ(OpenAndReadAll(bytes).kind, Kind::kDamaged);
    // A directory offset so large that adding to it overflows.
    PutU64(bytes, 0x48, ~uint64_t(0) - 8);
    EXPECT_EQ(OpenAndReadAll(bytes).kind, Kind::kDamaged);
    // The data section past the end.
    bytes = good;
    PutU64(bytes, 0x58, uint64_t(bytes.size()) * 2);
    EXPECT_EQ(OpenAndReadAll(bytes).kind, Kind::kDamaged);
    // An unknown header version.
    bytes = good;
    PutU32(bytes, 4, 4);
    EXPECT_EQ(OpenAndReadAll(bytes).kind, Kind::kDamaged);
    // A directory chunk size of zero, and one larger than the file.
    for (uint32_t block_len : {0u, 4u, 0x7FFFFFFFu}) {
        bytes = good;
        PutU32(bytes, qsizetype(layout.dirOffset) + 0x10, block_len);
        EXPECT_EQ(OpenAndReadAll(bytes).kind, Kind::kDamaged) << block_len;
    }
}

TEST(DamagedHelpFile, DirectoryChunksThatMisleadAreRefused) {
    const QByteArray good = BuiltHelpFile();
    const auto layout = LayoutOf(good);
    const qsizetype chunk = qsizetype(layout.chunks);
    // The entries would run into the chunk's free space and past its end.
    QByteArray bytes = good;
    PutU32(bytes, chunk + 4, 0);
    EXPECT_EQ(OpenAndReadAll(bytes).kind, Kind::kDamaged);
    // More free space than the chunk holds.
    bytes = good;
    PutU32(bytes, chunk + 4, layout.blockLen + 100);
    EXPECT_EQ(OpenAndReadAll(bytes).kind, Kind::kDamaged);
    // The chunk names itself as the next one: CHMLib would list for ever.
    bytes = good;
    PutU32(bytes, chunk + 0x10, 0);
    EXPECT_EQ(OpenAndReadAll(bytes).kind, Kind::kDamaged);
    // A next chunk, or a first chunk, that does not exist.
    bytes = good;
    PutU32(bytes, chunk + 0x10, 0x10000);
    EXPECT_EQ(OpenAndReadAll(bytes).kind, Kind::kDamaged);
    bytes = good;
    PutU32(bytes, qsizetype(layout.dirOffset) + 0x20, 7);
    EXPECT_EQ(OpenAndReadAll(bytes).kind, Kind::kDamaged);
    // An index root that is an index chunk pointing at itself.
    bytes = good;
    bytes.replace(chunk, 4, "PMGI");
    PutU32(bytes, chunk + 4, layout.blockLen - 8 - 3);
    bytes[chunk + 8] = 1;  // a name of one byte
    bytes[chunk + 9] = 'a';
    bytes[chunk + 10] = 0;  // ... leading to chunk 0
    EXPECT_EQ(OpenAndReadAll(bytes).kind, Kind::kDamaged);
    // A chunk that is neither a listing nor an index.
    bytes = good;
    bytes.replace(chunk, 4, "XXXX");
    EXPECT_EQ(OpenAndReadAll(bytes).kind, Kind::kDamaged);
    // The first entry's name made empty: CHMLib looks at its last character.
    bytes = good;
    const qsizetype first_entry = chunk + 0x14;
    ASSERT_EQ(bytes[first_entry], 1);  // "/"
    bytes[first_entry] = 0;
    EXPECT_EQ(OpenAndReadAll(bytes).kind, Kind::kDamaged);
}

TEST(DamagedHelpFile, ADeepIndexIsRefused) {
    // A chain of index chunks, each with one entry leading to the next and
    // the last to the file's own listing chunk: sound, but every lookup
    // would walk all of it. 17 levels are refused; real files have two or
    // three.
    const QByteArray good = BuiltHelpFile();
    const auto layout = LayoutOf(good);
    const int32_t listing = int32_t(test::GetU32(good, qsizetype(layout.dirOffset) + 0x20));
    const auto chain = [&](int length) {
        QByteArray bytes = good;
        const qsizetype past = bytes.size() - qsizetype(layout.chunks);
        bytes.append(QByteArray((layout.blockLen - past % layout.blockLen) % layout.blockLen, 0));
        const uint32_t first =
            uint32_t((bytes.size() - qsizetype(layout.chunks)) / layout.blockLen);
        for (int i = 0; i < length; ++i) {
            QByteArray chunk(layout.blockLen, 0);
            chunk.replace(0, 4, "PMGI");
            PutU32(chunk, 4, layout.blockLen - 8 - 5);
            const uint32_t next = i + 1 < length ? first + uint32_t(i) + 1 : uint32_t(listing);
            chunk[8] = 1;  // the name "/", below every path
            chunk[9] = '/';
            chunk[10] = char(0x80 | (next >> 14 & 0x7f));  // the next chunk, three bytes
            chunk[11] = char(0x80 | (next >> 7 & 0x7f));
            chunk[12] = char(next & 0x7f);
            bytes.append(chunk);
        }
        PutU32(bytes, qsizetype(layout.dirOffset) + 0x1c, first);
        return bytes;
    };
    int read = 0;
    EXPECT_EQ(OpenAndReadAll(chain(15), &read).kind, Kind::kNone);
    EXPECT_GT(read, 0) << "every lookup goes through the chain";
    EXPECT_EQ(OpenAndReadAll(chain(16)).kind, Kind::kDamaged);
}

TEST(DamagedHelpFile, BadCompressionParametersAreRefused) {
    const QByteArray good = BuiltHelpFile();
    const qsizetype control = UnitOffset(good, test::kControlData);
    const qsizetype table = UnitOffset(good, test::kResetTable);
    ASSERT_GT(control, 0);
    ASSERT_GT(table, 0);
    auto expect_refused = [](const QByteArray& bytes, const char* what) {
        ChmError error;
        EXPECT_FALSE(ChmFile::FromBytes(bytes, &error)) << what;
        EXPECT_EQ(error.kind, Kind::kDamaged) << what;
    };
    // Windows per reset 0: CHMLib would divide by zero at the first page.
    QByteArray bytes = good;
    PutU32(bytes, control + 20, 0);
    expect_refused(bytes, "no windows per reset");
    // Window size 0, 1, not a power of two, too large.
    for (uint32_t window : {0u, 1u, 3u, 64u}) {
        bytes = good;
        PutU32(bytes, control + 16, window);
        expect_refused(bytes, "bad window size");
    }
    // A reset interval that is no multiple of half the window.
    bytes = good;
    PutU32(bytes, control + 12, 0);
    expect_refused(bytes, "no reset interval");
    // Not LZXC.
    bytes = good;
    bytes.replace(control + 4, 4, "LZXX");
    expect_refused(bytes, "not LZXC");
    // Frames of another size than 0x8000.
    bytes = good;
    PutU64(bytes, table + 32, 0x10000);
    expect_refused(bytes, "frame size");
    // A first frame longer than CHMLib's buffer.
    bytes = good;
    PutU64(bytes, table + 24, 0x8000 + 6144 + 1);
    PutU32(bytes, table + 4, 1);  // one frame: its end is the compressed length
    expect_refused(bytes, "oversized frame");
    // A reset table whose entries lie past it.
    bytes = good;
    PutU32(bytes, table + 12, 0x7FFFFFF0u);
    expect_refused(bytes, "table offset");
    // More uncompressed bytes than the frames can hold.
    bytes = good;
    PutU64(bytes, table + 16, uint64_t(1) << 40);
    expect_refused(bytes, "uncompressed length");
}

TEST(DamagedHelpFile, DamagedLzxFramesAreRefusedOrReadWithoutHarm) {
    const QByteArray good = BuiltHelpFile();
    const qsizetype content = UnitOffset(good, test::kContent);
    ASSERT_GT(content, 0);
    std::mt19937 random(99);
    int refused = 0;
    for (int round = 0; round < 400; ++round) {
        QByteArray bytes = good;
        // The first bytes of the frame hold the block headers and trees.
        const qsizetype at = content + qsizetype(random() % (round % 2 ? 64 : 4000));
        if (at >= bytes.size()) continue;
        bytes[at] = char(bytes[at] ^ (1 << (random() % 8)));
        if (OpenAndReadAll(bytes).kind != Kind::kNone) ++refused;
    }
    EXPECT_GT(refused, 100);
}

}  // namespace
}  // namespace trisk
