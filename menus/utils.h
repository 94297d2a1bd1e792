// Utils: the colour and bitmap helpers of the owner-drawn menus.
//
// Colours are TColor values: either a plain RGB value or a system colour. A
// system colour names a role of the application palette and is turned into
// the palette's current RGB value (ColorToRGB) before any arithmetic. The
// system colours map to these palette roles:
//   button face   -> QPalette::Button
//   highlight     -> QPalette::Highlight
//   button shadow -> QPalette::Dark (the role Qt's Windows theme fills from
//                    COLOR_BTNSHADOW; QPalette::Mid is a blend Qt computes)
//
// Unit state: FMonoBitmap, the one-bit scratch surface for disabled images,
// is made by InitializeUtils() and freed by FinalizeUtils() (see
// menus/vomenus.h for the one call that makes and frees the whole state of
// the menus library).
#pragma once

#include <QtGui/qrgb.h>
#include <QIcon>
#include <QImage>
#include <QList>
#include <QPalette>

#include <cstdint>

class QPainter;

namespace trisk {

class TColor {
  public:
    // RGB black.
    constexpr TColor() = default;

    static constexpr TColor FromRgb(int r, int g, int b) { return TColor(qRgb(r, g, b), kPlain); }
    static constexpr TColor FromRgb(QRgb rgb) { return TColor(rgb | 0xff000000u, kPlain); }
    static TColor FromQColor(const QColor& colour) { return FromRgb(colour.rgb()); }
    static constexpr TColor FromSystem(QPalette::ColorRole role) {
        return TColor(0xff000000u, static_cast<int>(role));
    }

    constexpr bool IsSystem() const { return role_ != kPlain; }
    // The role of a system colour (meaningless for a plain colour).
    constexpr QPalette::ColorRole SystemRole() const {
        return static_cast<QPalette::ColorRole>(role_);
    }
    // The RGB value of a plain colour (black for a system colour: use
    // ColorToRGB to resolve one).
    constexpr QRgb PlainRgb() const { return rgb_; }

    friend constexpr bool operator==(const TColor&, const TColor&) = default;

  private:
    static constexpr int kPlain = -1;
    constexpr TColor(QRgb rgb, int role) : rgb_(rgb), role_(role) {}

    QRgb rgb_ = 0xff000000u;
    int role_ = kPlain;
};

// The system colours the menus use.
inline constexpr TColor clBtnFace = TColor::FromSystem(QPalette::Button);
inline constexpr TColor clHighlight = TColor::FromSystem(QPalette::Highlight);
inline constexpr TColor clBtnShadow = TColor::FromSystem(QPalette::Dark);
inline constexpr TColor clBlack = TColor::FromRgb(0, 0, 0);
inline constexpr TColor clWhite = TColor::FromRgb(255, 255, 255);

// A plain colour unchanged; a system colour as the RGB value the application
// palette (QGuiApplication::palette(), active group) gives it now.
TColor ColorToRGB(TColor colour);
// The same as an opaque QColor, for painting.
QColor ToQColor(TColor colour);

int Min(int a, int b);
int Max(int a, int b);

// Each channel c becomes c + (255 - c) * (Percent / 100), computed in extended
// precision (long double; 64-bit mantissa on x86) and rounded to the nearest
// integer, ties to even. The result is a plain RGB colour. Percent is 0 to 100
// in every use; a larger one wraps each channel to 8 bits as the original's
// RGB(Byte, Byte, Byte) does.
TColor GetLightColor(TColor Color, std::uint8_t Percent);
// Each channel c becomes Max(0, c - Amount); a plain RGB colour.
TColor GetShadeColor(TColor Color, std::uint8_t Amount);
// GetLightColor(button face, 50).
TColor BtnHighlight();

// The toolkit's image list: images of one fixed size, drawn by index with
// their own transparency.
class TImageList {
  public:
    TImageList(int width, int height) : width_(width), height_(height) {}

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Count() const { return static_cast<int>(images_.size()); }
    // Adds an image and returns its index.
    int Add(const QIcon& image);
    // Draws image Index with its top left corner at (X, Y), at the device
    // pixel ratio of the painter's device. An index outside the list draws
    // nothing.
    void Draw(QPainter* Canvas, int X, int Y, int Index) const;

  private:
    int width_;
    int height_;
    QList<QIcon> images_;
};

// A one-bit bitmap: a QImage of Format_Mono whose colour table is
// {black, white}; "black" and "white" below are these two colours. Any other
// QImage is read the same way: a pixel darker than mid-grey counts as black.
QImage MakeMonoBitmap(int width, int height);  // all white
bool IsBlackPixel(const QImage& Bitmap, int x, int y);

// Makes Bitmap the size of the list's images, fills it white and draws image
// Index onto it at (0, 0) with the list's own transparency. Drawing a colour
// image onto a one-bit bitmap keeps white what is white and makes every other
// pixel black. Without Images, nothing happens.
void GetBmpFromImgList(QImage& Bitmap, const TImageList* Images, int Index);

// Paints in Color, at (X, Y) on ACanvas, every pixel where the one-bit Bitmap
// is black and leaves the canvas unchanged where it is white (the effect of
// the raster operation DSPDxax). The bitmap is drawn at the device pixel ratio
// of the painter's device, each of its pixels a sharp block of device pixels.
// The painter's state is restored afterwards.
void DrawMonoBmp(QPainter* ACanvas, const QImage& Bitmap, TColor Color, int X, int Y);
// DrawMonoBmp(ACanvas, *FMonoBitmap, Color, X, Y); nothing before
// InitializeUtils().
void DoDrawMonoBmp(QPainter* ACanvas, TColor Color, int X, int Y);

// Unit state: the scratch surface for disabled images; null outside
// InitializeUtils() ... FinalizeUtils().
extern QImage* FMonoBitmap;
// Makes FMonoBitmap (a one-bit bitmap, empty until first used). Calling it
// again while the state exists does nothing.
void InitializeUtils();
// Frees FMonoBitmap.
void FinalizeUtils();

}  // namespace trisk
