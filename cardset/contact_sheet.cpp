// cardset-contact-sheet DLL OUT.png
// Draws every card set of a card-set library as the table shows it (loaded
// through LoadCardSet onto the green table) with the eight single pictures
// and the selection mask laid over a face, to look at the whole library at a
// glance.
#include <QGuiApplication>
#include <QPainter>

#include <cstdio>

#include "table/card_images.h"
#include "table/resource_module.h"

namespace {

constexpr int kW = 71;
constexpr int kH = 96;
constexpr int kGap = 4;
constexpr int kLabel = 22;

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: cardset-contact-sheet DLL OUT.png\n");
        return 2;
    }
    auto library = trisk::TResourceModule::Open(QString::fromLocal8Bit(argv[1]));
    if (!library) {
        std::fprintf(stderr, "cannot open %s\n", argv[1]);
        return 1;
    }
    const QStringList names = library->StringTableStrings();
    const int blockHeight = kLabel + 5 * (kH + kGap);
    QImage sheet(kGap + 13 * (kW + kGap), 4 * blockHeight + kGap, QImage::Format_RGB32);
    sheet.fill(QColor(0, 128, 0));
    QPainter painter(&sheet);
    painter.setPen(Qt::white);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(14);
    painter.setFont(font);

    int failures = 0;
    for (int set = 1; set <= 4; ++set) {
        trisk::TCardImages list;
        trisk::LoadCardSet(list, *library, QStringLiteral("CARDSET%1").arg(set),
                           [&](const QString& message) {
                               std::fprintf(stderr, "set %d: %s\n", set, qPrintable(message));
                               ++failures;
                           });
        const int top = (set - 1) * blockHeight;
        painter.drawText(kGap, top + kLabel - 6,
                         QStringLiteral("CARDSET%1  %2").arg(set).arg(names.value(set - 1)));
        for (int k = 0; k < list.Count(); ++k) {
            // Faces by suit and rank, then the singles on a fifth row with
            // the mask once more over the king of hearts.
            const int row = k < 52 ? k / 13 : 4;
            const int column = k < 52 ? k % 13 : k - 52;
            const QPoint at(kGap + column * (kW + kGap), top + kLabel + row * (kH + kGap));
            painter.drawImage(at, list.Image(k));
        }
        if (list.Count() == 60) {
            const QPoint at(kGap + 9 * (kW + kGap), top + kLabel + 4 * (kH + kGap));
            painter.drawImage(at, list.Image(2 * 13 + 12));
            painter.drawImage(at, list.Image(59));
        }
    }
    painter.end();
    if (!sheet.save(QString::fromLocal8Bit(argv[2]), "PNG")) return 1;
    return failures == 0 ? 0 : 1;
}
