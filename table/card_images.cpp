#include "card_images.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

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

// The whole scales the library may carry beside 1.
constexpr int kLargestScale = 3;

QString ScaledName(const QString& name, int scale) {
    return QStringLiteral("%1_%2X").arg(name).arg(scale);
}

}  // namespace

QImage DecodeSizedPng(const QByteArray& png, QSize size) {
    QBuffer buffer;
    buffer.setData(png);
    if (!buffer.open(QIODevice::ReadOnly)) return {};
    QImageReader reader(&buffer, "png");
    reader.setAutoTransform(false);
    if (reader.size() != size) return {};
    QImage image = reader.read();
    if (image.size() != size) return {};
    image.convertTo(QImage::Format_ARGB32_Premultiplied);
    return image;
}

QImage LargerPicture(const TResourceModule& library, const QString& name, QSize size,
                     double ratio) {
    const int wanted = std::clamp(static_cast<int>(std::ceil(ratio - 1e-6)), 2, kLargestScale);
    for (int scale : {wanted, wanted == 2 ? 3 : 2}) {
        const auto png = library.Resource(kRtRcData, ScaledName(name, scale));
        QImage image = png ? DecodeSizedPng(*png, size * scale) : QImage();
        if (image.isNull()) continue;
        if (ratio < scale - 1e-6) {
            image = image.scaled((QSizeF(size) * ratio).toSize(), Qt::IgnoreAspectRatio,
                                 Qt::SmoothTransformation);
            image.setDevicePixelRatio(ratio);
        } else {
            image.setDevicePixelRatio(scale);
        }
        return image;
    }
    return {};
}

void TCardImages::Clear() {
    images_.clear();
    DropLarger();
}

void TCardImages::SetSource(const TResourceModule* library, const QString& sheetName) {
    library_ = library;
    sheetName_ = sheetName;
    DropLarger();
}

void TCardImages::DropLarger() const {
    variantScale_ = 0;
    variant_.clear();
    scaledFor_ = 0;
    scaled_.clear();
}

void TCardImages::LoadVariant(int wanted) const {
    variantScale_ = wanted;
    variant_ = QList<QImage>(images_.size());
    scaledFor_ = 0;
    scaled_.clear();
    // Only a whole list has its faces and pictures at their usual indices.
    if (library_ == nullptr || images_.size() != kFaceCount + int(kSingleImages.size())) return;
    // Each picture from the smallest scale not below the one wanted that the
    // library has, else from the largest below it.
    std::vector<int> scales;
    for (int scale = wanted; scale <= kLargestScale; ++scale)
        scales.push_back(scale);
    for (int scale = wanted - 1; scale >= 2; --scale)
        scales.push_back(scale);
    // cells x rows pictures of one scale from a PNG named after name.
    auto load = [&](const QString& name, int cells, int rows, auto&& use) {
        for (int scale : scales) {
            const auto png = library_->Resource(kRtRcData, ScaledName(name, scale));
            const QSize card(kCardWidth * scale, kCardHeight * scale);
            QImage image =
                png ? DecodeSizedPng(*png, QSize(cells * card.width(), rows * card.height()))
                    : QImage();
            if (image.isNull()) continue;
            image.setDevicePixelRatio(scale);
            use(image, card);
            return;
        }
    };
    // The sheet's cells where the 71 x 96 list has faces, in the same order.
    load(sheetName_, 13, 4, [this](const QImage& sheet, QSize card) {
        for (int k = 0; k < kFaceCount; ++k) {
            variant_[k] =
                sheet.copy(QRect(QPoint((k % 13) * card.width(), (k / 13) * card.height()), card));
            variant_[k].setDevicePixelRatio(sheet.devicePixelRatio());
        }
    });
    for (int i = 0; i < int(kSingleImages.size()); ++i) {
        load(QString::fromLatin1(kSingleImages[i]), 1, 1,
             [this, i](const QImage& image, QSize) { variant_[kFaceCount + i] = image; });
    }
}

const QImage& TCardImages::Image(int index, double scale) const {
    // A scale that differs from a whole one by rounding only counts as it.
    constexpr double kSlack = 1e-6;
    if (!(scale > 1.0 + kSlack) || library_ == nullptr) return images_[index];
    // The smallest whole scale not below the one asked for; beyond the largest
    // the painter enlarges the largest.
    const int whole = std::min(kLargestScale, static_cast<int>(std::ceil(scale - kSlack)));
    if (variantScale_ != whole) LoadVariant(whole);
    const QImage& large = variant_[index];
    if (large.isNull()) return images_[index];
    if (scale >= large.devicePixelRatio() - kSlack) return large;
    if (scaledFor_ != scale) {
        scaledFor_ = scale;
        scaled_ = QList<QImage>(images_.size());
    }
    QImage& small = scaled_[index];
    if (small.isNull()) {
        const QSize size(static_cast<int>(std::lround(kCardWidth * scale)),
                         static_cast<int>(std::lround(kCardHeight * scale)));
        small = large.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        small.setDevicePixelRatio(scale);
    }
    return small;
}

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
    DropLarger();
    return true;
}

void LoadCardSet(TCardImages& list, const TResourceModule& library, const QString& sheetName,
                 const std::function<void(const QString&)>& showMessage) {
    const QImage sheet = library.LoadBitmap(sheetName);
    list.Clear();
    list.SetSource(&library, sheetName);
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
