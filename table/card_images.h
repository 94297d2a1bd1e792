// IList: the 60 card images the table is drawn from (52 faces, the back, the
// pile markers, the redeal/end pictures and the selection mask), all 71 x 96.
// For screens with more pixels per point the library also carries every
// picture at two and three times the size ("CARDSET1_2X", "CARDBACK_3X", ...,
// PNG in RCDATA); the list decodes the one it needs when it is first drawn at
// such a scale.
#pragma once

#include <QtGui/qrgb.h>
#include <QImage>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

namespace trisk {

class TResourceModule;

// CardSet setting -> face sheet and preview: 0 "CARDSET4", 1 "CARDSET2",
// 2 "CARDSET1", 3 "CARDSET3"; any other value counts as 2.
QString CardSetSheetName(int cardSet);
QString CardSetPreviewName(int cardSet);

class TCardImages {
  public:
    int Count() const { return images_.size(); }
    bool Has(int index) const { return index >= 0 && index < images_.size(); }
    // The image with its mask colour turned transparent (alpha 0).
    const QImage& Image(int index) const { return images_[index]; }
    // The image to draw at a scale of device pixels per table pixel: the
    // 71 x 96 one up to 1; above it the smallest larger drawing in the
    // library, made smaller smoothly to the scale when it is not a whole one
    // (at most 3), with its device pixel ratio set to the scale it is for. The
    // 71 x 96 image where the library has no larger drawing.
    const QImage& Image(int index, double scale) const;
    void Clear();

    // Where the larger drawings come from: the library the list was loaded
    // from and the face sheet's name. The library must outlive the list or be
    // forgotten first.
    void SetSource(const TResourceModule* library, const QString& sheetName);
    void ForgetLibrary() { library_ = nullptr; }

    // Adds one image at index (at most Count()): a 71 x 96 bitmap whole,
    // anything else cut at (column * 71, row * 96). maskColour nothing means
    // the colour of the bitmap's pixel (0, 0). False when the bitmap is null
    // or the index lies beyond the list.
    bool AddCardImage(const QImage& bitmap, int index, int column, int row,
                      std::optional<QRgb> maskColour = std::nullopt);

  private:
    void LoadVariant(int wanted) const;
    void DropLarger() const;

    QList<QImage> images_;
    const TResourceModule* library_ = nullptr;
    QString sheetName_;
    // The larger drawings in use: the whole scale they were drawn at (0: none
    // loaded yet) with one image per index (null where the library has none),
    // and the same made smaller to a fractional scale, filled as drawn.
    mutable int variantScale_ = 0;
    mutable QList<QImage> variant_;
    mutable double scaledFor_ = 0;
    mutable QList<QImage> scaled_;
};

// Replaces the list's content with the face sheet sheetName cut row by row,
// then the eight single images at 52 to 59, and keeps the library as the
// source of the larger drawings. Every image that fails calls
// showMessage("Unable to load image.") and is left out. A single image that
// the library lacks is the exception: after the message a blank (fully
// transparent) image holds its index, so the images after it keep theirs.
// A PNG picture of exactly the size given, straight alpha turned
// premultiplied; a null image for anything else. The size is checked before
// any pixel is decoded.
QImage DecodeSizedPng(const QByteArray& png, QSize size);

// The picture name for a device pixel ratio above 1, from the library's
// larger drawings "NAME_2X" and "NAME_3X" of size times their scale: the
// smallest not below the ratio, else the largest, made smaller smoothly when
// above the ratio; its device pixel ratio set. A null image when the library
// has none that is sound.
QImage LargerPicture(const TResourceModule& library, const QString& name, QSize size, double ratio);

void LoadCardSet(TCardImages& list, const TResourceModule& library, const QString& sheetName,
                 const std::function<void(const QString&)>& showMessage);

}  // namespace trisk
