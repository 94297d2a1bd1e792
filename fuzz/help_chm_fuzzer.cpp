// libFuzzer target for the help reader behind the help viewer: any bytes
// given to ChmFile must be refused with an error or read without stepping
// outside them. CHMLib (libchm as installed, not instrumented) sees only the
// files that the reader's guard passed; what it then does to our buffers is
// watched by AddressSanitizer's interceptors, and a crash, a hang or a
// division by zero inside it counts as a finding too.
//
// The same bytes also go through the parsers of the #SYSTEM record and of the
// contents sitemap, which the reader otherwise only reaches inside a sound
// file. Seeds: fuzz/seeds/help/ (a small help file compiled with chmcmd and a
// sitemap); the built build/bin/Help.chm is a good one too.
#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

#include "help/chm_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    (void)trisk::ParseChmSystem(bytes);
    (void)trisk::ParseChmSitemap(bytes);
    (void)trisk::NormalizeChmPath(QString::fromUtf8(bytes.left(256)));

    trisk::ChmError error;
    auto chm = trisk::ChmFile::FromBytes(bytes, &error);
    if (!chm) {
        if (error.kind == trisk::ChmError::Kind::kNone || error.detail.isEmpty()) __builtin_trap();
        return 0;
    }
    // Everything the viewer reads: every entry, the start page, the contents.
    for (const QString& entry : chm->Entries())
        (void)chm->Read(entry);
    (void)chm->Read(chm->DefaultTopic());
    (void)chm->Title();
    (void)chm->Contents();
    return 0;
}
