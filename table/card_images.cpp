#include "card_images.h"

#include <QPainter>

#include <array>

#include "resource_module.h"

namespace trisk {
namespace {

constexpr int kCardWidth = 71;
constexpr int kCardHeight = 96;
constexpr int kFaceCount = 52;

const QString kUnableToLoad = QStringLiteral("Unable to load image.");

// The single pictures in list order, at 52 to 59.
constexpr std::array<const char*, 8> kSingleImages = {
    "CARDBACK",  "CARDBASE", "CARDBASEALL", "CARDBASEA",
    "CARDBASEK", "REDEAL",   "ENDGAME",     "CARDMASK",
};

}  // namespace

QString CardSetSheetName(int cardSet) {
    switch (cardSet) {
        case 0:
            return QStringLiteral("CARDSET4");
        case 1:
            return QStringLiteral("CARDSET2");
        case 3:
            return QStringLiteral("CARDSET3");
        default:
            return QStringLiteral("CARDSET1");
    }
}

QString CardSetPreviewName(int cardSet) {
    switch (cardSet) {
        case 0:
            return QStringLiteral("CSPREVIEW4");
        case 1:
            return QStringLiteral("CSPREVIEW2");
        case 3:
            return QStringLiteral("CSPREVIEW3");
        default:
            return QStringLiteral("CSPREVIEW1");
    }
}

bool TCardImages::AddCardImage(const QImage& bitmap, int index, int column, int row,
                               std::optional<QRgb> maskColour) {
    if (bitmap.isNull() || index < 0 || index > images_.size()) return false;
    const QRgb mask = (maskColour ? *maskColour : bitmap.pixel(0, 0)) & RGB_MASK;

    QImage image;
    if (bitmap.width() == kCardWidth && bitmap.height() == kCardHeight) {
        image = bitmap.convertToFormat(QImage::Format_ARGB32);
    } else {
        // Cut one cell; whatever of it lies outside the bitmap stays in the
        // mask colour and so shows nothing.
        image = QImage(kCardWidth, kCardHeight, QImage::Format_ARGB32);
        image.fill(mask | 0xFF000000u);
        QPainter painter(&image);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(QPoint(0, 0), bitmap.convertToFormat(QImage::Format_RGB32),
                          QRect(column * kCardWidth, row * kCardHeight, kCardWidth, kCardHeight));
    }
    if (image.isNull()) return false;

    // Pixels of the mask colour become transparent, every other one opaque:
    // bitmaps from the library carry no alpha of their own.
    for (int y = 0; y < kCardHeight; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < kCardWidth; ++x) {
            const QRgb colour = line[x] & RGB_MASK;
            line[x] = colour == mask ? 0u : colour | 0xFF000000u;
        }
    }
    // Alpha is only ever 0 or 255, so the premultiplied format holds the same
    // pixels and paints fastest.
    image.reinterpretAsFormat(QImage::Format_ARGB32_Premultiplied);
    images_.insert(index, image);
    return true;
}

void LoadCardSet(TCardImages& list, const TResourceModule& library, const QString& sheetName,
                 const std::function<void(const QString&)>& showMessage) {
    const QImage sheet = library.LoadBitmap(sheetName);
    list.Clear();
    if (!sheet.isNull()) {
        // One mask colour for every cell: the top-left pixel of the sheet.
        const QRgb mask = sheet.pixel(0, 0);
        const int columns = sheet.width() / kCardWidth;
        const int rows = sheet.height() / kCardHeight;
        int k = 0;
        for (int row = 0; row < rows; ++row) {
            for (int column = 0; column < columns; ++column) {
                if (!list.AddCardImage(sheet, k, column, row, mask)) showMessage(kUnableToLoad);
                ++k;
            }
        }
    }
    for (int i = 0; i < int(kSingleImages.size()); ++i) {
        const int index = kFaceCount + i;
        const QImage bitmap = library.LoadBitmap(QString::fromLatin1(kSingleImages[i]));
        if (list.AddCardImage(bitmap, index, 1, 1)) continue;
        showMessage(kUnableToLoad);
        // A picture the library lacks keeps its place as a blank image, so
        // the pictures after it stay at their indices.
        if (bitmap.isNull() && index <= list.Count()) {
            QImage blank(kCardWidth, kCardHeight, QImage::Format_RGB32);
            blank.fill(Qt::black);
            list.AddCardImage(blank, index, 1, 1);
        }
    }
}

}  // namespace trisk
