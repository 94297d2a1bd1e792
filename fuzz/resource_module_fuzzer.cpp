// libFuzzer target for the card-set library reader: any bytes given to
// TResourceModule must be refused or read without stepping outside them.
// Everything the window reads is read: names of every type, every resource,
// every bitmap decoded, every string, a card set with its larger PNG drawings.
#include <QByteArray>

#include <cstddef>
#include <cstdint>

#include "table/card_images.h"
#include "table/resource_module.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto module = trisk::TResourceModule::FromBytes(
        QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (!module) return 0;
    for (uint16_t type : {trisk::kRtBitmap, trisk::kRtString, trisk::kRtRcData}) {
        for (const QString& name : module->Names(type)) {
            const auto bytes = module->Resource(type, name);
            if (type == trisk::kRtBitmap && bytes) (void)trisk::DecodeDib(*bytes);
        }
    }
    for (const QString& name : module->Names(QStringLiteral("WAVE"))) {
        (void)module->Resource(QStringLiteral("WAVE"), name);
    }
    (void)module->LoadBitmap(QStringLiteral("CARDSET1"));
    // A card set as the table loads it, and its larger drawings at a whole
    // and a fractional scale.
    trisk::TCardImages images;
    trisk::LoadCardSet(images, *module, QStringLiteral("CARDSET1"), [](const QString&) {});
    for (double scale : {2.0, 1.5, 3.0}) {
        for (int i = 0; i < images.Count(); ++i)
            (void)images.Image(i, scale);
    }
    (void)trisk::LargerPicture(*module, QStringLiteral("CARDBACK"), QSize(71, 96), 1.5);
    (void)module->LoadBitmap(QStringLiteral("#1"));
    (void)module->StringTableStrings();
    return 0;
}
