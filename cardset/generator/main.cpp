// trisk-cardset-gen DECKS_DIR OUT_DIR
// Writes every picture, preview and sound that cardset.rc names into OUT_DIR:
// face sheets rendered from the SVG decks in DECKS_DIR (normally
// /usr/share/carddecks), our own back and markers, PNG previews and WAVE
// sounds. The output depends only on the inputs, so the library it feeds is
// the same byte for byte on every build.
#include <QDir>
#include <QGuiApplication>

#include <array>
#include <cstdio>

#include "art.h"
#include "files.h"
#include "sounds.h"

namespace {

using namespace trisk::cardset;

// Card set n (1..4) -> the deck its faces come from. The names in the
// resource script follow the same order.
constexpr std::array<const char*, 4> kDecks = {
    "svg-standard/standard.svgz",
    "svg-penguins/penguins.svgz",
    "svg-tigullio-international/tigullio-international.svgz",
    "svg-dondorf/dondorf.svgz",
};

// The scales drawn beside the 71 x 96 pictures, as PNG with alpha under the
// picture's name and "_2X" or "_3X".
constexpr std::array<int, 2> kHigherScales = {2, 3};

QString ScaledName(const char* name, int scale) {
    return QStringLiteral("%1_%2X.png").arg(QString::fromLatin1(name)).arg(scale);
}

// Best compression: the PNGs make up most of the library.
bool WritePng(const QImage& image, const QString& path) {
    return image.save(path, "PNG", 0);
}

int Fail(const QString& message) {
    std::fprintf(stderr, "trisk-cardset-gen: %s\n", qPrintable(message));
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    // Rendering needs no display; the fonts come from fontconfig.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) return Fail(QStringLiteral("usage: trisk-cardset-gen DECKS_DIR OUT_DIR"));
    const QDir decks(args[1]);
    QDir out(args[2]);
    if (!out.mkpath(QStringLiteral("."))) return Fail(QStringLiteral("cannot create ") + args[2]);

    for (int set = 1; set <= 4; ++set) {
        QString error;
        const QString deck = decks.filePath(QString::fromLatin1(kDecks[set - 1]));
        const QImage sheet = RenderFaceSheet(deck, 1, &error);
        if (sheet.isNull()) return Fail(error);
        const QString sheetFile = out.filePath(QStringLiteral("CARDSET%1.bmp").arg(set));
        if (!WriteBmp24(sheet, sheetFile)) return Fail(QStringLiteral("cannot write ") + sheetFile);
        const QString previewFile = out.filePath(QStringLiteral("CSPREVIEW%1.png").arg(set));
        if (!MakePreview(sheet, 1).save(previewFile, "PNG")) {
            return Fail(QStringLiteral("cannot write ") + previewFile);
        }
        for (int scale : kHigherScales) {
            const QImage large = RenderFaceSheet(deck, scale, &error);
            if (large.isNull()) return Fail(error);
            const QByteArray sheetName = QByteArray("CARDSET") + QByteArray::number(set);
            const QByteArray previewName = QByteArray("CSPREVIEW") + QByteArray::number(set);
            const QString largeFile = out.filePath(ScaledName(sheetName.constData(), scale));
            if (!WritePng(large, largeFile))
                return Fail(QStringLiteral("cannot write ") + largeFile);
            const QString largePreview = out.filePath(ScaledName(previewName.constData(), scale));
            if (!WritePng(MakePreview(large, scale), largePreview)) {
                return Fail(QStringLiteral("cannot write ") + largePreview);
            }
        }
    }

    const std::array<std::pair<const char*, TPicture>, 8> pictures = {{
        {"CARDBACK", TPicture::Back},
        {"CARDBASE", TPicture::Base},
        {"CARDBASEALL", TPicture::BaseAll},
        {"CARDBASEA", TPicture::BaseAce},
        {"CARDBASEK", TPicture::BaseKing},
        {"REDEAL", TPicture::Redeal},
        {"ENDGAME", TPicture::EndGame},
        {"CARDMASK", TPicture::SelectionMask},
    }};
    for (const auto& [name, picture] : pictures) {
        const QString file = out.filePath(QString::fromLatin1(name) + QStringLiteral(".bmp"));
        if (!WriteBmp24(DrawPicture(picture, 1), file))
            return Fail(QStringLiteral("cannot write ") + file);
        for (int scale : kHigherScales) {
            const QString largeFile = out.filePath(ScaledName(name, scale));
            if (!WritePng(DrawPicture(picture, scale), largeFile)) {
                return Fail(QStringLiteral("cannot write ") + largeFile);
            }
        }
    }

    for (const char* name : {"DEAL", "UP", "DOWN", "DROP", "WRONG", "UNDO", "REDO", "GAMEWON"}) {
        const QString file = out.filePath(QString::fromLatin1(name) + QStringLiteral(".wav"));
        if (!WriteWave(SynthesizeSound(QString::fromLatin1(name)), kSampleRate, file)) {
            return Fail(QStringLiteral("cannot write ") + file);
        }
    }
    return 0;
}
