#include "shell/version_record.h"

#include <QFile>

#include <algorithm>
#include <cstdint>

#include "shell/version_note.h"

namespace trisk {

namespace {

constexpr uint32_t kShtNote = 7;
constexpr uint16_t kShnXindex = 0xFFFF;
// Far more than any program has; larger values mean a damaged file.
constexpr qint64 kMaxSections = 0x10000;
constexpr qint64 kMaxNameTable = 1 << 20;
constexpr qint64 kMaxNoteSection = 1 << 16;

uint64_t Get(const QByteArray& bytes, qint64 at, int size) {
    uint64_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | static_cast<uint8_t>(bytes[at + i]);
    return value;
}

// size bytes at offset of file, or nothing when they lie beyond its end.
std::optional<QByteArray> ReadAt(QFile& file, uint64_t offset, uint64_t size) {
    if (offset > static_cast<uint64_t>(file.size()) ||
        size > static_cast<uint64_t>(file.size()) - offset || !file.seek(qint64(offset)))
        return std::nullopt;
    QByteArray bytes = file.read(qint64(size));
    if (bytes.size() != qint64(size)) return std::nullopt;
    return bytes;
}

// Where the fields of the ELF header and of a section header lie in the
// 32-bit and 64-bit layouts.
struct TElfLayout {
    int HeaderSize;
    int ShOff, ShEntSize, ShNum, ShStrNdx;
    int AddressSize;  // of e_shoff, sh_offset and sh_size
    int SectionHeaderSize;
    int SectionOffset, SectionSize, SectionLink;
};
constexpr TElfLayout kElf32 = {52, 0x20, 0x2E, 0x30, 0x32, 4, 40, 16, 20, 24};
constexpr TElfLayout kElf64 = {64, 0x28, 0x3A, 0x3C, 0x3E, 8, 64, 24, 32, 40};

struct TSection {
    uint32_t Name;
    uint32_t Type;
    uint64_t Offset;
    uint64_t Size;
    uint32_t Link;
};

// The descriptor of the first note of owner "Trisk" and the record's type in
// the bytes of a note section.
std::optional<QByteArray> FindRecordNote(const QByteArray& notes) {
    using namespace version_note;
    qint64 at = 0;
    while (notes.size() - at >= 12) {
        const uint64_t nameSize = Get(notes, at, 4);
        const uint64_t descSize = Get(notes, at + 4, 4);
        const uint64_t type = Get(notes, at + 8, 4);
        at += 12;
        if (Pad4(nameSize) > uint64_t(notes.size() - at)) return std::nullopt;
        const QByteArray name = notes.mid(at, qint64(nameSize));
        at += qint64(Pad4(nameSize));
        if (descSize > uint64_t(notes.size() - at)) return std::nullopt;
        if (type == kType && name == QByteArray(kOwner, sizeof kOwner))
            return notes.mid(at, qint64(descSize));
        at += std::min<qint64>(qint64(Pad4(descSize)), notes.size() - at);
    }
    return std::nullopt;
}

}  // namespace

std::optional<TVersionRecord> TVersionRecord::Load(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const std::optional<QByteArray> ident = ReadAt(file, 0, 16);
    if (!ident ||
        !ident->startsWith("\x7F"
                           "ELF") ||
        (*ident)[5] != 1)
        return std::nullopt;
    const TElfLayout* layout = (*ident)[4] == 1 ? &kElf32 : (*ident)[4] == 2 ? &kElf64 : nullptr;
    if (!layout) return std::nullopt;
    const std::optional<QByteArray> header = ReadAt(file, 0, layout->HeaderSize);
    if (!header) return std::nullopt;

    const uint64_t tableOffset = Get(*header, layout->ShOff, layout->AddressSize);
    const uint64_t entrySize = Get(*header, layout->ShEntSize, 2);
    uint64_t count = Get(*header, layout->ShNum, 2);
    uint64_t namesIndex = Get(*header, layout->ShStrNdx, 2);
    if (tableOffset == 0 || entrySize < uint64_t(layout->SectionHeaderSize)) return std::nullopt;

    auto sectionAt = [&](const QByteArray& entry) {
        return TSection{uint32_t(Get(entry, 0, 4)), uint32_t(Get(entry, 4, 4)),
                        Get(entry, layout->SectionOffset, layout->AddressSize),
                        Get(entry, layout->SectionSize, layout->AddressSize),
                        uint32_t(Get(entry, layout->SectionLink, 4))};
    };
    // Files with very many sections keep the count and the index of the name
    // table in section 0.
    if (count == 0 || namesIndex == kShnXindex) {
        const std::optional<QByteArray> first = ReadAt(file, tableOffset, entrySize);
        if (!first) return std::nullopt;
        const TSection zero = sectionAt(*first);
        if (count == 0) count = zero.Size;
        if (namesIndex == kShnXindex) namesIndex = zero.Link;
    }
    if (count == 0 || count > uint64_t(kMaxSections) || namesIndex >= count) return std::nullopt;
    const std::optional<QByteArray> table = ReadAt(file, tableOffset, count * entrySize);
    if (!table) return std::nullopt;
    auto section = [&](uint64_t index) {
        return sectionAt(table->mid(qint64(index * entrySize), qint64(entrySize)));
    };

    const TSection namesSection = section(namesIndex);
    if (namesSection.Size > uint64_t(kMaxNameTable)) return std::nullopt;
    const std::optional<QByteArray> names = ReadAt(file, namesSection.Offset, namesSection.Size);
    if (!names) return std::nullopt;
    const QByteArray wanted(version_note::kSectionName, sizeof version_note::kSectionName);
    for (uint64_t index = 0; index < count; ++index) {
        const TSection candidate = section(index);
        if (candidate.Type != kShtNote || candidate.Name >= uint64_t(names->size()) ||
            names->mid(candidate.Name, wanted.size()) != wanted)
            continue;
        if (candidate.Size > uint64_t(kMaxNoteSection)) return std::nullopt;
        const std::optional<QByteArray> notes = ReadAt(file, candidate.Offset, candidate.Size);
        if (!notes) return std::nullopt;
        std::optional<QByteArray> descriptor = FindRecordNote(*notes);
        if (!descriptor) return std::nullopt;
        return TVersionRecord(std::move(*descriptor));
    }
    return std::nullopt;
}

std::optional<QByteArray> TVersionRecord::Query(const QString& key) const {
    const QByteArray wanted = key.toUtf8();
    qint64 at = 0;
    while (bytes_.size() - at >= 4) {
        const qint64 keySize = qint64(Get(bytes_, at, 2));
        const qint64 valueSize = qint64(Get(bytes_, at + 2, 2));
        at += 4;
        if (keySize == 0 || qint64(version_note::Pad4(keySize)) > bytes_.size() - at)
            return std::nullopt;
        // The key without its NUL.
        const QByteArray entryKey = bytes_.mid(at, keySize).chopped(1);
        at += qint64(version_note::Pad4(keySize));
        if (valueSize > bytes_.size() - at) return std::nullopt;
        if (entryKey.compare(wanted, Qt::CaseInsensitive) == 0) return bytes_.mid(at, valueSize);
        at += std::min<qint64>(qint64(version_note::Pad4(valueSize)), bytes_.size() - at);
    }
    return std::nullopt;
}

QString ReadVersionString(const QString& path, const QString& name) {
    const std::optional<TVersionRecord> record = TVersionRecord::Load(path);
    if (!record) return QStringLiteral("0");
    const std::optional<QByteArray> translation = record->Query("\\VarFileInfo\\Translation");
    if (!translation || translation->size() < 4) return {};
    const uint32_t languageAndCodePage =
        uint32_t(Get(*translation, 0, 2)) << 16 | uint32_t(Get(*translation, 2, 2));
    // Language in the upper four digits, code page in the lower four.
    const QString hex =
        QString::number(languageAndCodePage, 16).rightJustified(8, QLatin1Char('0')).toUpper();
    const QString key = QStringLiteral("\\StringFileInfo\\%1\\%2").arg(hex, name);
    const std::optional<QByteArray> value = record->Query(key);
    if (!value) return {};
    // The value ends at its NUL.
    const qsizetype end = value->indexOf('\0');
    return QString::fromUtf8(end < 0 ? *value : value->left(end));
}

}  // namespace trisk
