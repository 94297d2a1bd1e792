#include "menus/utils.h"

#include <QGuiApplication>
#include <QPaintDevice>
#include <QPainter>
#include <QPixmap>

#include <cfenv>
#include <cmath>

namespace trisk {

QImage* FMonoBitmap = nullptr;

TColor ColorToRGB(TColor colour) {
    if (!colour.IsSystem()) return colour;
    const QColor value = QGuiApplication::palette().color(QPalette::Active, colour.SystemRole());
    return TColor::FromRgb(value.rgb());
}

QColor ToQColor(TColor colour) {
    return QColor::fromRgb(ColorToRGB(colour).PlainRgb() | 0xff000000u);
}

int Min(int a, int b) {
    return a < b ? a : b;
}
int Max(int a, int b) {
    return a > b ? a : b;
}

namespace {

int LightChannel(int c, std::uint8_t Percent) {
    // c + (255 - c) * (Percent / 100) in extended precision; rintl rounds in
    // the current rounding mode, which is to nearest with ties to even unless
    // someone changed it, so make sure of it.
    const long double factor = static_cast<long double>(Percent) / 100.0L;
    const long double value =
        static_cast<long double>(c) + static_cast<long double>(255 - c) * factor;
    const int savedMode = std::fegetround();
    if (savedMode != FE_TONEAREST) std::fesetround(FE_TONEAREST);
    const long long rounded = std::llrintl(value);
    if (savedMode != FE_TONEAREST) std::fesetround(savedMode);
    return static_cast<int>(rounded & 0xff);
}

}  // namespace

TColor GetLightColor(TColor Color, std::uint8_t Percent) {
    const QRgb rgb = ColorToRGB(Color).PlainRgb();
    return TColor::FromRgb(LightChannel(qRed(rgb), Percent), LightChannel(qGreen(rgb), Percent),
                           LightChannel(qBlue(rgb), Percent));
}

TColor GetShadeColor(TColor Color, std::uint8_t Amount) {
    const QRgb rgb = ColorToRGB(Color).PlainRgb();
    return TColor::FromRgb(Max(0, qRed(rgb) - Amount), Max(0, qGreen(rgb) - Amount),
                           Max(0, qBlue(rgb) - Amount));
}

TColor BtnHighlight() {
    return GetLightColor(clBtnFace, 50);
}

// ---- TImageList ----

int TImageList::Add(const QIcon& image) {
    images_.append(image);
    return Count() - 1;
}

void TImageList::Draw(QPainter* Canvas, int X, int Y, int Index) const {
    if (!Canvas || Index < 0 || Index >= Count()) return;
    const qreal dpr = Canvas->device() ? Canvas->device()->devicePixelRatio() : 1.0;
    const QPixmap pixmap = images_[Index].pixmap(QSize(width_, height_), dpr);
    if (pixmap.isNull()) return;
    // The icon may give a smaller pixmap than asked; draw it into the image's
    // box as an image list would.
    Canvas->drawPixmap(QRect(X, Y, width_, height_), pixmap);
}

// ---- one-bit bitmaps ----

QImage MakeMonoBitmap(int width, int height) {
    QImage bitmap(Max(0, width), Max(0, height), QImage::Format_Mono);
    bitmap.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    bitmap.fill(1);
    return bitmap;
}

bool IsBlackPixel(const QImage& Bitmap, int x, int y) {
    if (!Bitmap.valid(x, y)) return false;
    return qGray(Bitmap.pixel(x, y)) < 128;
}

void GetBmpFromImgList(QImage& Bitmap, const TImageList* Images, int Index) {
    if (!Images) return;
    const int w = Max(0, Images->Width());
    const int h = Max(0, Images->Height());
    QImage colour(w, h, QImage::Format_ARGB32_Premultiplied);
    colour.fill(Qt::white);
    if (w > 0 && h > 0) {
        QPainter painter(&colour);
        Images->Draw(&painter, 0, 0, Index);
    }
    Bitmap = MakeMonoBitmap(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if ((colour.pixel(x, y) & 0x00ffffffu) != 0x00ffffffu) Bitmap.setPixel(x, y, 0);
        }
    }
}

void DrawMonoBmp(QPainter* ACanvas, const QImage& Bitmap, TColor Color, int X, int Y) {
    if (!ACanvas || Bitmap.isNull()) return;
    const qreal dpr = ACanvas->device() ? ACanvas->device()->devicePixelRatio() : 1.0;
    const int width = Max(1, static_cast<int>(std::ceil(Bitmap.width() * dpr - 1e-9)));
    const int height = Max(1, static_cast<int>(std::ceil(Bitmap.height() * dpr - 1e-9)));
    // Device pixel (x, y) of the drawn block shows bitmap pixel (x / dpr, y / dpr).
    QImage stamp(width, height, QImage::Format_ARGB32_Premultiplied);
    stamp.fill(Qt::transparent);
    const QRgb paint = ToQColor(Color).rgba();
    for (int y = 0; y < height; ++y) {
        const int sy = Min(Bitmap.height() - 1, static_cast<int>(y / dpr));
        for (int x = 0; x < width; ++x) {
            const int sx = Min(Bitmap.width() - 1, static_cast<int>(x / dpr));
            if (IsBlackPixel(Bitmap, sx, sy)) stamp.setPixel(x, y, paint);
        }
    }
    stamp.setDevicePixelRatio(dpr);
    ACanvas->save();
    ACanvas->setRenderHint(QPainter::SmoothPixmapTransform, false);
    ACanvas->setCompositionMode(QPainter::CompositionMode_SourceOver);
    ACanvas->setOpacity(1.0);
    ACanvas->drawImage(QPoint(X, Y), stamp);
    ACanvas->restore();
}

void DoDrawMonoBmp(QPainter* ACanvas, TColor Color, int X, int Y) {
    if (!FMonoBitmap) return;
    DrawMonoBmp(ACanvas, *FMonoBitmap, Color, X, Y);
}

void InitializeUtils() {
    if (!FMonoBitmap) FMonoBitmap = new QImage(MakeMonoBitmap(0, 0));
}

void FinalizeUtils() {
    delete FMonoBitmap;
    FMonoBitmap = nullptr;
}

}  // namespace trisk
