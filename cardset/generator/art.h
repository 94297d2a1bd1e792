// The pictures of the card-set library: face sheets rendered from SVG decks,
// and the back, pile markers, stock pictures and selection mask that we draw
// ourselves. Every picture is an opaque RGB image whose transparent parts are
// painted in one mask colour, the colour of its pixel (0, 0).
#pragma once

#include <QImage>
#include <QString>

namespace trisk::cardset {

constexpr int kCardWidth = 71;
constexpr int kCardHeight = 96;
constexpr int kSheetColumns = 13;
constexpr int kSheetRows = 4;

// The colour that stands for "transparent" in every picture. It never occurs
// in an opaque pixel: Flatten moves such pixels one step away from it.
constexpr QRgb kMaskColour = 0xFFFF00FF;
// The table the cards lie on; half-covered edge pixels are blended with it.
constexpr QRgb kTableColour = 0xFF008000;

// Turns an antialiased ARGB drawing into a masked RGB picture: pixels less
// than half covered become the mask colour, the others are laid over the
// table colour.
QImage Flatten(const QImage& argb);

// Every picture also comes at whole multiples of its size (scale 2 and 3) for
// screens with more pixels per point. Those are drawn from the same sources,
// not enlarged, and keep their antialiased edges as alpha instead of the mask
// colour.

// Renders the 52 faces of an SVG deck (element ids "1_club" .. "king_spade")
// into a 13 x 4 sheet, suits clubs, diamonds, hearts, spades from top to
// bottom. A null image and an error text when the deck cannot be used.
QImage RenderFaceSheet(const QString& svgPath, int scale, QString* error);

enum class TPicture { Back, Base, BaseAll, BaseAce, BaseKing, Redeal, EndGame, SelectionMask };
QImage DrawPicture(TPicture picture, int scale);

// A preview for the card-set chooser: four faces of a sheet of that scale on
// the table colour, 160 x 212 pixels times the scale.
QImage MakePreview(const QImage& sheet, int scale);

}  // namespace trisk::cardset
