// IList: the 60 card images the table is drawn from (52 faces, the back, the
// pile markers, the redeal/end pictures and the selection mask), all 71 x 96.
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
    void Clear() { images_.clear(); }

    // Adds one image at index (at most Count()): a 71 x 96 bitmap whole,
    // anything else cut at (column * 71, row * 96). maskColour nothing means
    // the colour of the bitmap's pixel (0, 0). False when the bitmap is null
    // or the index lies beyond the list.
    bool AddCardImage(const QImage& bitmap, int index, int column, int row,
                      std::optional<QRgb> maskColour = std::nullopt);

  private:
    QList<QImage> images_;
};

// Replaces the list's content with the face sheet sheetName cut row by row,
// then the eight single images at 52 to 59. Every image that fails calls
// showMessage("Unable to load image.") and is left out. A single image that
// the library lacks is the exception: after the message a blank (fully
// transparent) image holds its index, so the images after it keep theirs.
void LoadCardSet(TCardImages& list, const TResourceModule& library, const QString& sheetName,
                 const std::function<void(const QString&)>& showMessage);

}  // namespace trisk
