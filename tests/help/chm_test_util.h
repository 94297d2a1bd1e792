// Helpers of the help reader tests: the built help file and its sources, and
// a few ways to reach into a CHM file's structures to damage them.
#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstdint>

#include "help/chm_check.h"

namespace trisk::test {

inline QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

inline QByteArray BuiltHelpFile() {
    return ReadBytes(QStringLiteral(TRISK_HELP_CHM));
}

inline uint64_t GetU64(const QByteArray& bytes, qsizetype at) {
    uint64_t value = 0;
    for (int i = 7; i >= 0; --i)
        value = value << 8 | uint8_t(bytes[at + i]);
    return value;
}
inline uint32_t GetU32(const QByteArray& bytes, qsizetype at) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | uint8_t(bytes[at + i]);
    return value;
}
inline void PutU32(QByteArray& bytes, qsizetype at, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = char(value >> (8 * i));
}
inline void PutU64(QByteArray& bytes, qsizetype at, uint64_t value) {
    for (int i = 0; i < 8; ++i)
        bytes[at + i] = char(value >> (8 * i));
}

// Where things lie in a (sound) version 3 CHM file.
struct Layout {
    uint64_t dirOffset = 0;   // the ITSP header
    uint64_t chunks = 0;      // the first directory chunk
    uint32_t blockLen = 0;    // the size of a directory chunk
    uint64_t dataOffset = 0;  // the uncompressed section
};
inline Layout LayoutOf(const QByteArray& bytes) {
    Layout layout;
    layout.dirOffset = GetU64(bytes, 0x48);
    layout.dataOffset = GetU64(bytes, 0x58);
    layout.blockLen = GetU32(bytes, qsizetype(layout.dirOffset) + 0x10);
    layout.chunks = layout.dirOffset + 0x54;
    return layout;
}
// The file offset of the first byte of a unit of the uncompressed section.
inline qsizetype UnitOffset(const QByteArray& bytes, const char* name) {
    QString reason;
    auto checked = chm::CheckContainer(bytes, &reason);
    EXPECT_TRUE(checked) << reason.toStdString();
    if (!checked) return -1;
    auto unit = checked->Resolve(name);
    EXPECT_TRUE(unit && unit->space == 0) << name;
    if (!unit) return -1;
    return qsizetype(LayoutOf(bytes).dataOffset + unit->start);
}

inline const char kResetTable[] =
    "::DataSpace/Storage/MSCompressed/Transform/"
    "{7FC28940-9D31-11D0-9B27-00A0C91E9C7C}/InstanceData/ResetTable";
inline const char kControlData[] = "::DataSpace/Storage/MSCompressed/ControlData";
inline const char kContent[] = "::DataSpace/Storage/MSCompressed/Content";

}  // namespace trisk::test
