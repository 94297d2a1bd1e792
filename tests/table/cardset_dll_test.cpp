// The card-set library that the build makes, read back through our reader:
// every resource the game needs, in a form the game can use.
#include <gtest/gtest.h>

#include <QCollator>
#include <QFile>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <set>
#include <vector>

#include "table/card_images.h"
#include "table/resource_module.h"
#include "table/sound.h"

namespace trisk {
namespace {

constexpr int kCardWidth = 71;
constexpr int kCardHeight = 96;

class CardSetLibrary : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { library_ = TResourceModule::Open(TRISK_CARDSET_DLL).release(); }
    static void TearDownTestSuite() {
        delete library_;
        library_ = nullptr;
    }
    void SetUp() override { ASSERT_NE(library_, nullptr) << "cannot open " TRISK_CARDSET_DLL; }
    static TResourceModule* library_;
};
TResourceModule* CardSetLibrary::library_ = nullptr;

QStringList Sorted(QStringList list) {
    std::sort(list.begin(), list.end());
    return list;
}

TEST_F(CardSetLibrary, IsAPortableExecutableWithOnlyAResourceSection) {
    QFile file(TRISK_CARDSET_DLL);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray head = file.read(4096);
    ASSERT_TRUE(head.startsWith("MZ"));
    const auto* bytes = reinterpret_cast<const unsigned char*>(head.constData());
    const uint32_t pe = bytes[0x3C] | bytes[0x3D] << 8;
    ASSERT_LT(pe + 24, uint32_t(head.size()));
    EXPECT_EQ(head.mid(pe, 4), QByteArray("PE\0\0", 4));
    EXPECT_EQ(bytes[pe + 6] | bytes[pe + 7] << 8, 1) << "one section";
    EXPECT_EQ(bytes[pe + 23] & 0x20, 0x20) << "no DLL flag";
    const uint32_t optionalSize = bytes[pe + 20] | bytes[pe + 21] << 8;
    EXPECT_EQ(head.mid(pe + 24 + optionalSize, 5), QByteArray(".rsrc"));
}

TEST_F(CardSetLibrary, IsRefusedWhenCutShortAnywhere) {
    QFile file(TRISK_CARDSET_DLL);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray whole = file.readAll();
    ASSERT_NE(TResourceModule::FromBytes(whole), nullptr);
    std::vector<qsizetype> lengths;
    for (qsizetype length = 0; length < 2048; length += 37)
        lengths.push_back(length);
    for (int i = 1; i <= 64; ++i)
        lengths.push_back(whole.size() * i / 65);
    lengths.push_back(whole.size() - 1);
    for (qsizetype length : lengths) {
        EXPECT_EQ(TResourceModule::FromBytes(whole.left(length)), nullptr) << length;
    }
}

TEST_F(CardSetLibrary, HoldsEveryBitmapAtItsSize) {
    const QStringList singles = {"CARDBACK",  "CARDBASE", "CARDBASEALL", "CARDBASEA",
                                 "CARDBASEK", "REDEAL",   "ENDGAME",     "CARDMASK"};
    const QStringList sheets = {"CARDSET1", "CARDSET2", "CARDSET3", "CARDSET4"};
    EXPECT_EQ(Sorted(library_->Names(kRtBitmap)), Sorted(singles + sheets));
    for (const QString& name : sheets) {
        EXPECT_EQ(library_->LoadBitmap(name).size(), QSize(13 * kCardWidth, 4 * kCardHeight))
            << qPrintable(name);
    }
    for (const QString& name : singles) {
        EXPECT_EQ(library_->LoadBitmap(name).size(), QSize(kCardWidth, kCardHeight))
            << qPrintable(name);
    }
}

TEST_F(CardSetLibrary, HoldsFourPngPreviewsThatFitTheChooser) {
    const QStringList previews = {"CSPREVIEW1", "CSPREVIEW2", "CSPREVIEW3", "CSPREVIEW4"};
    for (const QString& name : previews)
        EXPECT_TRUE(library_->Names(kRtRcData).contains(name)) << qPrintable(name);
    std::set<QByteArray> distinct;
    for (int set = 1; set <= 4; ++set) {
        const auto data = library_->Resource(kRtRcData, QStringLiteral("CSPREVIEW%1").arg(set));
        ASSERT_TRUE(data);
        EXPECT_TRUE(data->startsWith("\x89PNG\r\n\x1a\n"));
        const QImage preview = QImage::fromData(*data, "PNG");
        ASSERT_FALSE(preview.isNull());
        EXPECT_LE(preview.width(), 172);
        EXPECT_LE(preview.height(), 222);
        EXPECT_GE(preview.width(), 120);
        distinct.insert(*data);
    }
    EXPECT_EQ(distinct.size(), 4u);
}

// Every picture also at two and three times the size, drawn from the same
// source: made small again, a larger drawing is close to the 71 x 96 one.
TEST_F(CardSetLibrary, HoldsEveryPictureLargerAndAlike) {
    const QStringList names = {"CARDSET1",  "CARDSET2", "CARDSET3",    "CARDSET4",
                               "CARDBACK",  "CARDBASE", "CARDBASEALL", "CARDBASEA",
                               "CARDBASEK", "REDEAL",   "ENDGAME",     "CARDMASK"};
    for (int scale : {2, 3}) {
        for (const QString& name : names) {
            const QString larger = QStringLiteral("%1_%2X").arg(name).arg(scale);
            const auto png = library_->Resource(kRtRcData, larger);
            ASSERT_TRUE(png) << qPrintable(larger);
            const QImage small = library_->LoadBitmap(name).convertToFormat(QImage::Format_RGB32);
            const QImage large = DecodeSizedPng(*png, small.size() * scale);
            ASSERT_FALSE(large.isNull()) << qPrintable(larger);
            // Mean difference over the pixels both draw as opaque.
            const QImage reduced =
                large.scaled(small.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                    .convertToFormat(QImage::Format_ARGB32);
            const QRgb mask = small.pixel(0, 0);
            double sum = 0;
            int count = 0;
            for (int y = 0; y < small.height(); ++y) {
                for (int x = 0; x < small.width(); ++x) {
                    const QRgb a = small.pixel(x, y), b = reduced.pixel(x, y);
                    if (a == mask || qAlpha(b) < 255) continue;
                    sum += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                           std::abs(qBlue(a) - qBlue(b));
                    ++count;
                }
            }
            ASSERT_GT(count, small.width() * small.height() / 10) << qPrintable(larger);
            EXPECT_LT(sum / count / 3, 24.0) << qPrintable(larger);
        }
        for (int set = 1; set <= 4; ++set) {
            const QString preview = QStringLiteral("CSPREVIEW%1_%2X").arg(set).arg(scale);
            const auto png = library_->Resource(kRtRcData, preview);
            ASSERT_TRUE(png) << qPrintable(preview);
            const QImage small = QImage::fromData(
                *library_->Resource(kRtRcData, QStringLiteral("CSPREVIEW%1").arg(set)), "PNG");
            EXPECT_FALSE(DecodeSizedPng(*png, small.size() * scale).isNull());
        }
    }
}

TEST_F(CardSetLibrary, NamesSortToSetsFourTwoOneThree) {
    // String id n names card set n.
    std::map<QString, int> setOf;
    for (int id : {1, 2, 3, 4}) {
        const QString name = library_->LoadString(id);
        ASSERT_FALSE(name.isEmpty()) << id;
        setOf[name] = id;
    }
    QStringList names = library_->StringTableStrings();
    ASSERT_EQ(names.size(), 4);
    // The chooser sorts with the locale-aware comparison of the platform.
    QCollator collator;
    std::sort(names.begin(), names.end(), collator);
    std::vector<int> sets;
    for (const QString& name : names)
        sets.push_back(setOf.at(name));
    EXPECT_EQ(sets, (std::vector<int>{4, 2, 1, 3})) << qPrintable(names.join(", "));
}

TEST_F(CardSetLibrary, HoldsEightShortPcmSounds) {
    const QStringList sounds = {"DEAL", "UP", "DOWN", "DROP", "WRONG", "UNDO", "REDO", "GAMEWON"};
    EXPECT_EQ(Sorted(library_->Names(QStringLiteral("WAVE"))), Sorted(sounds));
    std::set<QByteArray> distinct;
    double longestEffect = 0;
    for (const QString& name : sounds) {
        const auto data = library_->Resource(QStringLiteral("WAVE"), name);
        ASSERT_TRUE(data) << qPrintable(name);
        const auto wave = ParseWave(*data);
        ASSERT_TRUE(wave) << qPrintable(name);
        EXPECT_EQ(wave->BitsPerSample, 16);
        const double seconds =
            double(wave->Samples.size()) / (wave->SampleRate * wave->Channels * 2);
        EXPECT_GT(seconds, 0.03) << qPrintable(name);
        if (name == QLatin1String("GAMEWON")) {
            EXPECT_LT(seconds, 3.0);
            EXPECT_GT(seconds, longestEffect);
        } else {
            EXPECT_LT(seconds, 0.5) << qPrintable(name);
            longestEffect = std::max(longestEffect, seconds);
        }
        // Not silent, and not clipping.
        const auto* samples = reinterpret_cast<const int16_t*>(wave->Samples.constData());
        const qsizetype count = wave->Samples.size() / 2;
        const int16_t peak = *std::max_element(samples, samples + count, [](int16_t a, int16_t b) {
            return std::abs(int(a)) < std::abs(int(b));
        });
        EXPECT_GT(std::abs(int(peak)), 4000) << qPrintable(name);
        EXPECT_LT(std::abs(int(peak)), 32000) << qPrintable(name);
        distinct.insert(wave->Samples);
    }
    EXPECT_EQ(distinct.size(), 8u);
}

// Transparency comes from one colour per sheet, the top-left pixel. That
// colour may appear only in the free corners of a card, reached from the
// card's edge; anywhere inside a face it would punch a hole.
TEST_F(CardSetLibrary, FacesAreTransparentOnlyOutsideTheirOutline) {
    for (int set = 1; set <= 4; ++set) {
        const QImage sheet = library_->LoadBitmap(QStringLiteral("CARDSET%1").arg(set))
                                 .convertToFormat(QImage::Format_RGB32);
        ASSERT_FALSE(sheet.isNull());
        const QRgb mask = sheet.pixel(0, 0);
        for (int cell = 0; cell < 52; ++cell) {
            const QImage face = sheet.copy(cell % 13 * kCardWidth, cell / 13 * kCardHeight,
                                           kCardWidth, kCardHeight);
            // Flood the mask colour in from the edge.
            std::vector<char> reached(kCardWidth * kCardHeight, 0);
            std::vector<QPoint> todo;
            for (int x = 0; x < kCardWidth; ++x) {
                todo.emplace_back(x, 0);
                todo.emplace_back(x, kCardHeight - 1);
            }
            for (int y = 0; y < kCardHeight; ++y) {
                todo.emplace_back(0, y);
                todo.emplace_back(kCardWidth - 1, y);
            }
            while (!todo.empty()) {
                const QPoint p = todo.back();
                todo.pop_back();
                if (p.x() < 0 || p.y() < 0 || p.x() >= kCardWidth || p.y() >= kCardHeight) continue;
                char& seen = reached[p.y() * kCardWidth + p.x()];
                if (seen || face.pixel(p) != mask) continue;
                seen = 1;
                todo.emplace_back(p.x() + 1, p.y());
                todo.emplace_back(p.x() - 1, p.y());
                todo.emplace_back(p.x(), p.y() + 1);
                todo.emplace_back(p.x(), p.y() - 1);
            }
            int outside = 0, holes = 0;
            for (int y = 0; y < kCardHeight; ++y) {
                for (int x = 0; x < kCardWidth; ++x) {
                    if (reached[y * kCardWidth + x]) {
                        ++outside;
                    } else if (face.pixel(x, y) == mask) {
                        ++holes;
                    }
                }
            }
            EXPECT_EQ(holes, 0) << "set " << set << " cell " << cell;
            // The four rounded corners and no more: the card fills its cell.
            EXPECT_GT(outside, 0) << "set " << set << " cell " << cell;
            EXPECT_LT(outside, 200) << "set " << set << " cell " << cell;
            EXPECT_NE(face.pixel(kCardWidth / 2, kCardHeight / 2), mask);
        }
    }
}

TEST_F(CardSetLibrary, EveryFaceIsDifferentAndTheSetsDiffer) {
    std::vector<QImage> sheets;
    for (int set = 1; set <= 4; ++set) {
        sheets.push_back(library_->LoadBitmap(QStringLiteral("CARDSET%1").arg(set))
                             .convertToFormat(QImage::Format_RGB32));
    }
    for (int s = 0; s < 4; ++s) {
        std::set<QByteArray> faces;
        for (int cell = 0; cell < 52; ++cell) {
            const QImage face = sheets[s].copy(cell % 13 * kCardWidth, cell / 13 * kCardHeight,
                                               kCardWidth, kCardHeight);
            faces.insert(
                QByteArray(reinterpret_cast<const char*>(face.constBits()), face.sizeInBytes()));
        }
        EXPECT_EQ(faces.size(), 52u) << "set " << s + 1;
        for (int t = s + 1; t < 4; ++t) {
            // Compare the queen of hearts of two sets pixel by pixel.
            int differing = 0;
            for (int y = 2 * kCardHeight; y < 3 * kCardHeight; ++y) {
                for (int x = 11 * kCardWidth; x < 12 * kCardWidth; ++x) {
                    differing += sheets[s].pixel(x, y) != sheets[t].pixel(x, y);
                }
            }
            EXPECT_GT(differing, kCardWidth * kCardHeight / 3) << s + 1 << " vs " << t + 1;
        }
    }
}

TEST_F(CardSetLibrary, SinglePicturesAreMaskedFromTheirCorner) {
    for (const char* name : {"CARDBACK", "CARDBASE", "CARDBASEALL", "CARDBASEA", "CARDBASEK",
                             "REDEAL", "ENDGAME", "CARDMASK"}) {
        const QImage image =
            library_->LoadBitmap(QString::fromLatin1(name)).convertToFormat(QImage::Format_RGB32);
        ASSERT_FALSE(image.isNull()) << name;
        const QRgb mask = image.pixel(0, 0);
        int masked = 0;
        for (int y = 0; y < kCardHeight; ++y) {
            for (int x = 0; x < kCardWidth; ++x)
                masked += image.pixel(x, y) == mask;
        }
        if (QLatin1String(name) == QLatin1String("CARDMASK")) {
            // A highlight over the card, not a cover: mostly see-through.
            EXPECT_GT(masked, kCardWidth * kCardHeight / 2) << name;
        } else {
            EXPECT_LT(masked, 200) << name;
        }
        EXPECT_LT(masked, kCardWidth * kCardHeight) << name;
    }
}

}  // namespace
}  // namespace trisk
