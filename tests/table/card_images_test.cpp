#include <gtest/gtest.h>

#include <QBuffer>
#include <QPainter>

#include <cmath>

#include <memory>

#include "pe_builder.h"
#include "table/card_images.h"
#include "table/resource_module.h"

namespace trisk {
namespace {

constexpr int kW = 71;
constexpr int kH = 96;
constexpr QRgb kMask = qRgb(255, 0, 255);
const char* const kSingles[] = {"CARDBACK",  "CARDBASE", "CARDBASEALL", "CARDBASEA",
                                "CARDBASEK", "REDEAL",   "ENDGAME",     "CARDMASK"};

// Cell k of a test sheet is filled with a colour that encodes k; its corner
// pixel is the mask colour, as on a real sheet.
QRgb CellColour(int k) {
    return qRgb(10 + k, 200 - k, k % 2 ? 40 : 90);
}

QImage Sheet(int width, int height) {
    QImage sheet(width, height, QImage::Format_RGB32);
    sheet.fill(qRgb(1, 2, 3));  // the pixels beyond the last cell
    for (int row = 0; row < height / kH; ++row) {
        for (int column = 0; column < width / kW; ++column) {
            const int k = row * (width / kW) + column;
            for (int y = 0; y < kH; ++y) {
                for (int x = 0; x < kW; ++x)
                    sheet.setPixel(column * kW + x, row * kH + y, CellColour(k));
            }
            sheet.setPixel(column * kW, row * kH, kMask);
        }
    }
    return sheet;
}

QRgb SingleColour(int i) {
    return qRgb(250 - 20 * i, 20 * i, 128);
}

QImage Single(int i) {
    QImage image(kW, kH, QImage::Format_RGB32);
    image.fill(SingleColour(i));
    image.setPixel(0, 0, qRgb(0, 0, 0));  // each single brings its own mask colour
    return image;
}

// A library with the sheet "CARDSET1" and the single pictures, minus the
// ones named in `without`.
std::unique_ptr<TResourceModule> Library(const QImage& sheet, const QStringList& without = {},
                                         std::vector<test::TResourceSpec> resources = {}) {
    if (!sheet.isNull()) resources.push_back({"#2", "CARDSET1", test::Dib24(sheet)});
    for (int i = 0; i < 8; ++i) {
        if (!without.contains(QLatin1String(kSingles[i]))) {
            resources.push_back({"#2", kSingles[i], test::Dib24(Single(i))});
        }
    }
    if (resources.empty()) resources.push_back({"#10", "NOTHING", "x"});
    return TResourceModule::FromBytes(test::BuildModule(resources).Bytes);
}

QRgb Centre(const TCardImages& list, int index) {
    return list.Image(index).pixel(kW / 2, kH / 2);
}

struct TLoad {
    TCardImages List;
    QStringList Messages;
};

std::unique_ptr<TLoad> Load(const TResourceModule& library,
                            const QString& sheet = QStringLiteral("CARDSET1")) {
    auto load = std::make_unique<TLoad>();
    LoadCardSet(load->List, library, sheet, [&](const QString& m) { load->Messages.append(m); });
    return load;
}

QByteArray Png(const QImage& image) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return buffer.data();
}

// A drawing of the test sheet at a whole scale: every cell one colour, a
// little darker than at 71 x 96 so that the two are told apart.
QImage LargeSheet(int scale) {
    QImage sheet(13 * kW * scale, 4 * kH * scale, QImage::Format_ARGB32);
    for (int k = 0; k < 52; ++k) {
        const QRect cell(k % 13 * kW * scale, k / 13 * kH * scale, kW * scale, kH * scale);
        const QRgb c = CellColour(k);
        for (int y = cell.top(); y <= cell.bottom(); ++y) {
            for (int x = cell.left(); x <= cell.right(); ++x)
                sheet.setPixel(x, y, qRgb(qRed(c) / 2, qGreen(c) / 2, qBlue(c) / 2));
        }
    }
    return sheet;
}

TEST(CardSetMapping, MapsTheSettingToSheetsAndPreviews) {
    EXPECT_EQ(CardSetSheetName(0), QStringLiteral("CARDSET4"));
    EXPECT_EQ(CardSetSheetName(1), QStringLiteral("CARDSET2"));
    EXPECT_EQ(CardSetSheetName(2), QStringLiteral("CARDSET1"));
    EXPECT_EQ(CardSetSheetName(3), QStringLiteral("CARDSET3"));
    EXPECT_EQ(CardSetPreviewName(0), QStringLiteral("CSPREVIEW4"));
    EXPECT_EQ(CardSetPreviewName(1), QStringLiteral("CSPREVIEW2"));
    EXPECT_EQ(CardSetPreviewName(2), QStringLiteral("CSPREVIEW1"));
    EXPECT_EQ(CardSetPreviewName(3), QStringLiteral("CSPREVIEW3"));
    for (int outside : {-1, 4, 7, 1 << 30}) {
        EXPECT_EQ(CardSetSheetName(outside), QStringLiteral("CARDSET1")) << outside;
        EXPECT_EQ(CardSetPreviewName(outside), QStringLiteral("CSPREVIEW1")) << outside;
    }
}

TEST(LoadCardSet, CutsFacesRowByRowThenAddsTheSingles) {
    auto library = Library(Sheet(923, 384));
    ASSERT_NE(library, nullptr);
    auto load = Load(*library);
    EXPECT_TRUE(load->Messages.isEmpty());
    ASSERT_EQ(load->List.Count(), 60);
    for (int k = 0; k < 52; ++k) {
        EXPECT_EQ(load->List.Image(k).size(), QSize(kW, kH));
        EXPECT_EQ(Centre(load->List, k), CellColour(k) | 0xFF000000u) << k;
    }
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(Centre(load->List, 52 + i), SingleColour(i)) << i;
}

TEST(LoadCardSet, IgnoresPixelsBeyondTheLastWholeCell) {
    auto exact = Library(Sheet(923, 384));
    auto larger = Library(Sheet(930, 390));
    ASSERT_NE(exact, nullptr);
    ASSERT_NE(larger, nullptr);
    auto a = Load(*exact);
    auto b = Load(*larger);
    ASSERT_EQ(b->List.Count(), 60);
    EXPECT_TRUE(b->Messages.isEmpty());
    for (int k = 0; k < 60; ++k)
        EXPECT_EQ(a->List.Image(k), b->List.Image(k)) << k;
}

TEST(LoadCardSet, ExtraCellsMoveBehindTheSingles) {
    // 14 x 5 cells: 70 faces, the last 18 of them pushed behind index 59.
    auto library = Library(Sheet(14 * kW, 5 * kH));
    ASSERT_NE(library, nullptr);
    auto load = Load(*library);
    ASSERT_EQ(load->List.Count(), 78);
    for (int k = 0; k < 52; ++k)
        EXPECT_EQ(Centre(load->List, k), CellColour(k) | 0xFF000000u);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(Centre(load->List, 52 + i), SingleColour(i));
    for (int k = 52; k < 70; ++k) {
        EXPECT_EQ(Centre(load->List, k + 8), CellColour(k) | 0xFF000000u) << k;
    }
}

TEST(LoadCardSet, LoadingTwiceReplacesTheImages) {
    auto library = Library(Sheet(923, 384));
    ASSERT_NE(library, nullptr);
    TLoad load;
    auto note = [&](const QString& m) { load.Messages.append(m); };
    LoadCardSet(load.List, *library, QStringLiteral("CARDSET1"), note);
    LoadCardSet(load.List, *library, QStringLiteral("CARDSET1"), note);
    EXPECT_EQ(load.List.Count(), 60);
    EXPECT_TRUE(load.Messages.isEmpty());
}

TEST(LoadCardSet, AMissingSheetFailsEachSingleOnce) {
    auto library = Library(QImage());
    ASSERT_NE(library, nullptr);
    auto load = Load(*library);
    EXPECT_EQ(load->List.Count(), 0);
    EXPECT_EQ(load->Messages, QStringList(8, QStringLiteral("Unable to load image.")));
}

TEST(LoadCardSet, AMissingSingleIsReportedAndLeavesABlankPlace) {
    auto library = Library(Sheet(923, 384), {"CARDBASEA"});
    ASSERT_NE(library, nullptr);
    auto load = Load(*library);
    EXPECT_EQ(load->Messages, QStringList{QStringLiteral("Unable to load image.")});
    ASSERT_EQ(load->List.Count(), 60);
    const QImage& blank = load->List.Image(55);
    for (int y = 0; y < kH; y += 7) {
        for (int x = 0; x < kW; x += 5)
            EXPECT_EQ(qAlpha(blank.pixel(x, y)), 0);
    }
    // The pictures after it keep their places.
    EXPECT_EQ(Centre(load->List, 56), SingleColour(4));
    EXPECT_EQ(Centre(load->List, 59), SingleColour(7));
}

TEST(LoadCardSet, PixelsOfTheSheetsCornerColourShowTheTable) {
    QImage sheet = Sheet(923, 384);
    // Inside the queen of hearts (cell 37): one pixel of exactly the mask
    // colour and one that differs from it by one step.
    const QPoint origin(11 * kW, 2 * kH);
    sheet.setPixel(origin + QPoint(30, 40), kMask);
    sheet.setPixel(origin + QPoint(31, 40), qRgb(255, 1, 255));
    auto library = Library(sheet);
    ASSERT_NE(library, nullptr);
    auto load = Load(*library);
    const QImage& queen = load->List.Image(37);
    EXPECT_EQ(qAlpha(queen.pixel(30, 40)), 0);
    EXPECT_EQ(qAlpha(queen.pixel(31, 40)), 255);
    EXPECT_EQ(qAlpha(queen.pixel(0, 0)), 0);  // the cell's corner has the sheet's colour
    EXPECT_EQ(qAlpha(queen.pixel(1, 0)), 255);
}

TEST(AddCardImage, InsertsBeforeTheImageAtTheIndex) {
    TCardImages list;
    EXPECT_TRUE(list.AddCardImage(Single(0), 0, 0, 0));
    EXPECT_TRUE(list.AddCardImage(Single(1), 1, 0, 0));
    EXPECT_TRUE(list.AddCardImage(Single(2), 1, 0, 0));
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(Centre(list, 0), SingleColour(0));
    EXPECT_EQ(Centre(list, 1), SingleColour(2));
    EXPECT_EQ(Centre(list, 2), SingleColour(1));
    // At most Count(): beyond it, or a null bitmap, nothing is added.
    EXPECT_FALSE(list.AddCardImage(Single(3), 4, 0, 0));
    EXPECT_FALSE(list.AddCardImage(Single(3), -1, 0, 0));
    EXPECT_FALSE(list.AddCardImage(QImage(), 0, 0, 0));
    EXPECT_EQ(list.Count(), 3);
}

TEST(AddCardImage, CutsOtherSizesAtTheCellAndFillsTheRestWithTheMask) {
    // 100 x 100: the cell at column 1, row 1 starts at (71, 96) and holds
    // only 29 x 4 pixels of the bitmap.
    QImage odd(100, 100, QImage::Format_RGB32);
    odd.fill(qRgb(9, 9, 9));
    odd.setPixel(0, 0, qRgb(50, 60, 70));
    odd.setPixel(80, 98, qRgb(200, 100, 0));
    TCardImages list;
    ASSERT_TRUE(list.AddCardImage(odd, 0, 1, 1));
    const QImage& cell = list.Image(0);
    ASSERT_EQ(cell.size(), QSize(kW, kH));
    EXPECT_EQ(cell.pixel(9, 2), qRgb(200, 100, 0));
    EXPECT_EQ(cell.pixel(0, 0), qRgb(9, 9, 9));
    EXPECT_EQ(qAlpha(cell.pixel(40, 40)), 0);  // outside the bitmap
    // An explicit mask colour wins over the corner pixel.
    ASSERT_TRUE(list.AddCardImage(odd, 0, 0, 0, qRgb(9, 9, 9)));
    EXPECT_EQ(qAlpha(list.Image(0).pixel(5, 5)), 0);
    EXPECT_EQ(list.Image(0).pixel(0, 0), qRgb(50, 60, 70));
}

TEST(LoadCardSet, LoadsEverySetOfTheBuiltLibrary) {
    auto library = TResourceModule::Open(TRISK_CARDSET_DLL);
    ASSERT_NE(library, nullptr);
    for (int cardSet = 0; cardSet < 4; ++cardSet) {
        auto load = Load(*library, CardSetSheetName(cardSet));
        EXPECT_TRUE(load->Messages.isEmpty()) << cardSet;
        ASSERT_EQ(load->List.Count(), 60) << cardSet;
        for (int k = 0; k < 59; ++k) {
            // Card corners are free, card centres solid.
            EXPECT_EQ(qAlpha(load->List.Image(k).pixel(0, 0)), 0) << cardSet << " " << k;
            EXPECT_EQ(qAlpha(Centre(load->List, k)), 255) << cardSet << " " << k;
        }
    }
}

}  // namespace
}  // namespace trisk

namespace trisk {
namespace {

// The drawing that fits the scale: the 71 x 96 one up to 1 and where the
// library has nothing larger (or only something damaged), else the smallest
// larger one, made smaller for a fractional scale.
TEST(LargerDrawings, FitTheScaleOrFallBackToTheSmallOnes) {
    QImage back(2 * kW, 2 * kH, QImage::Format_ARGB32);
    back.fill(qRgb(7, 8, 9));
    auto library = Library(Sheet(923, 384), {},
                           {{"#10", "CARDSET1_3X", Png(LargeSheet(3))},
                            {"#10", "CARDBACK_2X", Png(back)},
                            {"#10", "CARDBASE_2X", Png(back.copy(0, 0, kW, kH))},
                            {"#10", "CARDBASEA_3X", QByteArray("\x89PNG\r\n\x1a\nbroken")}});
    auto plain = Library(Sheet(923, 384));
    ASSERT_NE(library, nullptr);
    ASSERT_NE(plain, nullptr);
    auto load = Load(*library);
    auto without = Load(*plain);
    ASSERT_EQ(load->List.Count(), 60);

    for (int k = 0; k < 60; ++k) {
        for (double scale : {0.5, 1.0, 2.0, 3.0})
            EXPECT_EQ(&without->List.Image(k, scale), &without->List.Image(k)) << k;
        EXPECT_EQ(&load->List.Image(k, 1.0), &load->List.Image(k)) << k;
    }
    // Faces from the only sheet there is, at 3, made smaller for 2 and 1.5.
    for (double scale : {2.0, 3.0, 1.5}) {
        const QImage& face = load->List.Image(5, scale);
        EXPECT_EQ(face.devicePixelRatio(), scale);
        EXPECT_EQ(face.size(), QSize(std::lround(kW * scale), std::lround(kH * scale)));
        const QRgb c = CellColour(5);
        EXPECT_EQ(face.pixel(face.width() / 2, face.height() / 2),
                  qRgb(qRed(c) / 2, qGreen(c) / 2, qBlue(c) / 2));
    }
    // The back at 2 for 2, and for 3 too when nothing larger exists; the
    // marker of the wrong size and the damaged one are not used.
    EXPECT_EQ(load->List.Image(52, 2.0).size(), QSize(2 * kW, 2 * kH));
    EXPECT_EQ(load->List.Image(52, 3.0).devicePixelRatio(), 2.0);
    EXPECT_EQ(load->List.Image(52, 3.0).pixel(kW, kH), qRgb(7, 8, 9));
    for (int single : {53, 55, 59})
        EXPECT_EQ(&load->List.Image(single, 2.0), &load->List.Image(single)) << single;

    // A library forgotten draws from the small images only.
    load->List.ForgetLibrary();
    EXPECT_EQ(&load->List.Image(5, 2.0), &load->List.Image(5));
}

}  // namespace
}  // namespace trisk
