#include "resource_module.h"

#include "table/program_folder.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <vector>

namespace trisk {
namespace {

// Larger files are refused before they are read: the card-set library is a
// few megabytes.
constexpr qint64 kMaxModuleSize = 256LL * 1024 * 1024;
// Bounds the work a crafted directory can cause: directories may share
// sub-directories, so entries are counted as they are visited.
constexpr int kMaxDirectoryEntries = 100000;
constexpr int kMaxSections = 96;
// Resource names are words such as "CARDSET1": a longer name, or more name
// text in all than a library could sensibly hold, is damage (without the
// bound, thousands of entries naming one long string decode gigabytes).
constexpr uint32_t kMaxNameLength = 256;
constexpr qint64 kMaxNameUnits = qint64(1) << 20;
constexpr uint32_t kHighBit = 0x80000000u;

// Little-endian reads that fail instead of leaving the buffer.
class TBytes {
  public:
    TBytes(const char* data, qint64 size) : data_(data), size_(size) {}
    qint64 Size() const { return size_; }
    bool Has(qint64 offset, qint64 length) const {
        return offset >= 0 && length >= 0 && offset <= size_ && length <= size_ - offset;
    }
    bool U16(qint64 offset, uint32_t& out) const {
        if (!Has(offset, 2)) return false;
        const auto* p = reinterpret_cast<const unsigned char*>(data_ + offset);
        out = p[0] | (p[1] << 8);
        return true;
    }
    bool U32(qint64 offset, uint32_t& out) const {
        if (!Has(offset, 4)) return false;
        const auto* p = reinterpret_cast<const unsigned char*>(data_ + offset);
        out = static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
              (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
        return true;
    }
    const char* At(qint64 offset) const { return data_ + offset; }

  private:
    const char* data_;
    qint64 size_;
};

struct TSection {
    uint32_t VirtualAddress = 0;
    uint32_t Size = 0;  // bytes present in the file and in the image
    uint32_t RawOffset = 0;
};

// A resource name or type: a string or a 16-bit number.
struct TKey {
    bool Named = false;
    uint32_t Id = 0;
    QString Name;

    bool Matches(const TKey& other) const {
        if (Named != other.Named) return false;
        return Named ? Name.compare(other.Name, Qt::CaseInsensitive) == 0 : Id == other.Id;
    }
};

// "#123" names a numeric id, anything else a string, as FindResource takes it.
TKey KeyFromText(const QString& text) {
    TKey key;
    if (text.startsWith(QLatin1Char('#'))) {
        bool ok = false;
        const uint32_t id = text.mid(1).toUInt(&ok);
        if (ok && id <= 0xFFFF) {
            key.Id = id;
            return key;
        }
    }
    key.Named = true;
    key.Name = text;
    return key;
}

TKey KeyFromId(uint32_t id) {
    TKey key;
    key.Id = id;
    return key;
}

// One resource: its type, its name and where the data of its first language
// lies in the file.
struct TItem {
    TKey Type;
    TKey Name;
    qint64 Offset = 0;
    qint64 Size = 0;
};

}  // namespace

struct TResourceModule::Data {
    // The file mapped into memory, when Bytes is a view of it (declared
    // first, so that the view goes before the mapping does).
    std::unique_ptr<QFile> Mapping;
    QByteArray Bytes;
    std::vector<TItem> Items;

    const TItem* Find(const TKey& type, const TKey& name) const {
        for (const TItem& item : Items) {
            if (item.Type.Matches(type) && item.Name.Matches(name)) return &item;
        }
        return nullptr;
    }
};

namespace {

class TParser {
  public:
    explicit TParser(const QByteArray& bytes) : file_(bytes.constData(), bytes.size()) {}

    bool Parse(std::vector<TItem>& items) { return ReadHeaders() && ReadTypes(items); }

  private:
    bool ReadHeaders() {
        uint32_t magic = 0, peOffset = 0, signature = 0;
        if (!file_.U16(0, magic) || magic != 0x5A4D) return false;  // "MZ"
        if (!file_.U32(0x3C, peOffset)) return false;
        if (!file_.U32(peOffset, signature) || signature != 0x00004550) return false;  // "PE\0\0"
        const qint64 coff = qint64(peOffset) + 4;
        uint32_t sectionCount = 0, optionalSize = 0;
        if (!file_.U16(coff + 2, sectionCount) || !file_.U16(coff + 16, optionalSize)) return false;
        const qint64 optional = coff + 20;
        if (!file_.Has(optional, optionalSize)) return false;

        uint32_t optionalMagic = 0;
        if (!file_.U16(optional, optionalMagic)) return false;
        qint64 countField = 0, directories = 0;
        if (optionalMagic == 0x10B) {  // PE32
            countField = 92;
            directories = 96;
        } else if (optionalMagic == 0x20B) {  // PE32+
            countField = 108;
            directories = 112;
        } else {
            return false;
        }
        uint32_t directoryCount = 0;
        if (countField + 4 > optionalSize || !file_.U32(optional + countField, directoryCount)) {
            return false;
        }
        // Entry 2 of the data directories is the resource directory.
        constexpr int kResourceEntry = 2;
        if (directoryCount <= kResourceEntry) return false;
        const qint64 entry = directories + kResourceEntry * 8;
        if (entry + 8 > optionalSize) return false;
        uint32_t resourceRva = 0, resourceSize = 0;
        if (!file_.U32(optional + entry, resourceRva) ||
            !file_.U32(optional + entry + 4, resourceSize)) {
            return false;
        }
        if (resourceRva == 0 || resourceSize < 16) return false;

        if (sectionCount > kMaxSections) return false;
        const qint64 table = optional + optionalSize;
        if (!file_.Has(table, qint64(sectionCount) * 40)) return false;
        for (uint32_t i = 0; i < sectionCount; ++i) {
            const qint64 header = table + qint64(i) * 40;
            uint32_t virtualSize = 0, virtualAddress = 0, rawSize = 0, rawOffset = 0;
            file_.U32(header + 8, virtualSize);
            file_.U32(header + 12, virtualAddress);
            file_.U32(header + 16, rawSize);
            file_.U32(header + 20, rawOffset);
            // Bytes past the virtual size are file padding, not part of the
            // image; bytes past the raw size are zeros that the file lacks.
            TSection section;
            section.VirtualAddress = virtualAddress;
            section.Size = virtualSize != 0 ? std::min(virtualSize, rawSize) : rawSize;
            section.RawOffset = rawOffset;
            // A section whose data the file does not hold is damage.
            if (!file_.Has(rawOffset, rawSize)) return false;
            sections_.push_back(section);
        }

        // The directory tree may use at most what the data directory claims
        // and what its section holds.
        const TSection* home = SectionOf(resourceRva);
        if (home == nullptr) return false;
        const qint64 inSection = qint64(home->VirtualAddress) + home->Size - resourceRva;
        rsrcOffset_ = qint64(home->RawOffset) + (qint64(resourceRva) - home->VirtualAddress);
        rsrcSize_ = std::min<qint64>(resourceSize, inSection);
        return true;
    }

    const TSection* SectionOf(uint32_t rva) const {
        for (const TSection& section : sections_) {
            if (rva >= section.VirtualAddress &&
                qint64(rva) - section.VirtualAddress < qint64(section.Size)) {
                return &section;
            }
        }
        return nullptr;
    }

    // File offset of `size` bytes at `rva`, all within one section.
    bool MapRva(uint32_t rva, uint32_t size, qint64& offset) const {
        for (const TSection& section : sections_) {
            const qint64 start = qint64(rva) - section.VirtualAddress;
            if (start >= 0 && start <= section.Size && qint64(size) <= section.Size - start) {
                offset = qint64(section.RawOffset) + start;
                return true;
            }
        }
        return false;
    }

    // Reads `length` bytes at an offset into the resource directory.
    bool InTree(qint64 offset, qint64 length) const {
        return offset >= 0 && length >= 0 && offset <= rsrcSize_ && length <= rsrcSize_ - offset;
    }
    bool TreeU16(qint64 offset, uint32_t& out) const {
        return InTree(offset, 2) && file_.U16(rsrcOffset_ + offset, out);
    }
    bool TreeU32(qint64 offset, uint32_t& out) const {
        return InTree(offset, 4) && file_.U32(rsrcOffset_ + offset, out);
    }

    struct TEntry {
        TKey Key;
        bool Directory = false;
        uint32_t Target = 0;
    };

    // One IMAGE_RESOURCE_DIRECTORY with its entries.
    bool ReadDirectory(uint32_t offset, std::vector<TEntry>& entries) {
        uint32_t named = 0, numbered = 0;
        if (!TreeU16(qint64(offset) + 12, named) || !TreeU16(qint64(offset) + 14, numbered)) {
            return false;
        }
        const qint64 count = qint64(named) + numbered;
        if (!InTree(qint64(offset) + 16, count * 8)) return false;
        visited_ += count;
        if (visited_ > kMaxDirectoryEntries) return false;
        entries.clear();
        for (qint64 i = 0; i < count; ++i) {
            const qint64 at = qint64(offset) + 16 + i * 8;
            uint32_t name = 0, target = 0;
            TreeU32(at, name);
            TreeU32(at + 4, target);
            TEntry entry;
            if (name & kHighBit) {
                entry.Key.Named = true;
                if (!ReadName(name & ~kHighBit, entry.Key.Name)) return false;
            } else {
                if (name > 0xFFFF) return false;
                entry.Key.Id = name;
            }
            entry.Directory = (target & kHighBit) != 0;
            entry.Target = target & ~kHighBit;
            entries.push_back(std::move(entry));
        }
        return true;
    }

    // IMAGE_RESOURCE_DIR_STRING_U: a 16-bit length and that many UTF-16 units.
    bool ReadName(uint32_t offset, QString& name) {
        uint32_t length = 0;
        if (!TreeU16(offset, length) || !InTree(qint64(offset) + 2, qint64(length) * 2)) {
            return false;
        }
        nameUnits_ += length;
        if (length > kMaxNameLength || nameUnits_ > kMaxNameUnits) return false;
        const char* units = file_.At(rsrcOffset_ + offset + 2);
        name.resize(length);
        for (uint32_t i = 0; i < length; ++i) {
            const auto* p = reinterpret_cast<const unsigned char*>(units + 2 * i);
            name[i] = QChar(static_cast<char16_t>(p[0] | (p[1] << 8)));
        }
        return true;
    }

    // The tree has exactly three levels: type, name, language. Anything
    // else (a leaf too early, a sub-directory too deep) refuses the file;
    // with the depth fixed, an entry pointing back at its own directory
    // cannot make the walk go round.
    bool ReadTypes(std::vector<TItem>& items) {
        std::vector<TEntry> types, names, languages;
        if (!ReadDirectory(0, types)) return false;
        for (const TEntry& type : types) {
            if (!type.Directory || !ReadDirectory(type.Target, names)) return false;
            for (const TEntry& name : names) {
                if (!name.Directory || !ReadDirectory(name.Target, languages)) return false;
                bool first = true;
                for (const TEntry& language : languages) {
                    qint64 offset = 0, size = 0;
                    if (language.Directory || !ReadData(language.Target, offset, size)) {
                        return false;
                    }
                    if (first) items.push_back({type.Key, name.Key, offset, size});
                    first = false;
                }
            }
        }
        return true;
    }

    // IMAGE_RESOURCE_DATA_ENTRY: the data's RVA and size.
    bool ReadData(uint32_t offset, qint64& fileOffset, qint64& size) const {
        uint32_t rva = 0, length = 0;
        if (!TreeU32(offset, rva) || !TreeU32(qint64(offset) + 4, length)) return false;
        if (!MapRva(rva, length, fileOffset)) return false;
        size = length;
        return true;
    }

    TBytes file_;
    std::vector<TSection> sections_;
    qint64 rsrcOffset_ = 0;
    qint64 rsrcSize_ = 0;
    qint64 visited_ = 0;
    qint64 nameUnits_ = 0;
};

}  // namespace

TResourceModule::TResourceModule(std::unique_ptr<Data> data) : data_(std::move(data)) {}
TResourceModule::~TResourceModule() = default;

std::unique_ptr<TResourceModule> TResourceModule::Open(const QString& path) {
    // Only a regular file is opened: a FIFO would block the open.
    if (!QFileInfo(path).isFile()) return nullptr;
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::ReadOnly) || file->size() > kMaxModuleSize) return nullptr;
    // Mapped rather than read: only the pages of the card set in use and of
    // the sounds played ever take memory. Any resource handed out is a copy,
    // so nothing outlives the mapping.
    const qint64 size = file->size();
    if (uchar* mapped = size > 0 ? file->map(0, size) : nullptr) {
        QByteArray view = QByteArray::fromRawData(reinterpret_cast<const char*>(mapped), size);
        return Make(std::move(view), std::move(file));
    }
    QByteArray bytes = file->readAll();
    if (bytes.size() != size) return nullptr;
    return FromBytes(std::move(bytes));
}

std::unique_ptr<TResourceModule> TResourceModule::FromBytes(QByteArray bytes) {
    return Make(std::move(bytes), nullptr);
}

std::unique_ptr<TResourceModule> TResourceModule::Make(QByteArray bytes,
                                                       std::unique_ptr<QFile> mapping) {
    if (bytes.size() > kMaxModuleSize) return nullptr;
    auto data = std::make_unique<Data>();
    data->Mapping = std::move(mapping);
    data->Bytes = std::move(bytes);
    TParser parser(data->Bytes);
    if (!parser.Parse(data->Items)) return nullptr;
    return std::unique_ptr<TResourceModule>(new TResourceModule(std::move(data)));
}

QStringList TResourceModule::Names(uint16_t type) const {
    QStringList names;
    const TKey key = KeyFromId(type);
    for (const auto& item : data_->Items) {
        if (item.Type.Matches(key) && item.Name.Named) names.append(item.Name.Name);
    }
    return names;
}

QStringList TResourceModule::Names(const QString& type) const {
    QStringList names;
    const TKey key = KeyFromText(type);
    for (const auto& item : data_->Items) {
        if (item.Type.Matches(key) && item.Name.Named) names.append(item.Name.Name);
    }
    return names;
}

std::optional<QByteArray> TResourceModule::Resource(uint16_t type, const QString& name) const {
    const TItem* item = data_->Find(KeyFromId(type), KeyFromText(name));
    if (item == nullptr) return std::nullopt;
    return QByteArray(data_->Bytes.constData() + item->Offset, item->Size);
}

std::optional<QByteArray> TResourceModule::Resource(const QString& type,
                                                    const QString& name) const {
    const TItem* item = data_->Find(KeyFromText(type), KeyFromText(name));
    if (item == nullptr) return std::nullopt;
    return QByteArray(data_->Bytes.constData() + item->Offset, item->Size);
}

QImage TResourceModule::LoadBitmap(const QString& name) const {
    const auto dib = Resource(kRtBitmap, name);
    return dib ? DecodeDib(*dib) : QImage();
}

QList<int> TResourceModule::StringBlocks() const {
    QList<int> blocks;
    const TKey key = KeyFromId(kRtString);
    for (const auto& item : data_->Items) {
        if (item.Type.Matches(key) && !item.Name.Named) blocks.append(int(item.Name.Id));
    }
    std::sort(blocks.begin(), blocks.end());
    blocks.erase(std::unique(blocks.begin(), blocks.end()), blocks.end());
    return blocks;
}

QString TResourceModule::LoadString(int id) const {
    if (id < 0 || id > 0xFFFF) return {};
    // Block n holds ids 16(n-1) .. 16(n-1)+15.
    const TItem* item = data_->Find(KeyFromId(kRtString), KeyFromId(uint32_t(id / 16 + 1)));
    if (item == nullptr) return {};
    const TBytes block(data_->Bytes.constData() + item->Offset, item->Size);
    qint64 at = 0;
    for (int index = 0; index <= id % 16; ++index) {
        uint32_t length = 0;
        if (!block.U16(at, length) || !block.Has(at + 2, qint64(length) * 2)) return {};
        if (index == id % 16) {
            QString text(qsizetype(length), Qt::Uninitialized);
            for (uint32_t i = 0; i < length; ++i) {
                uint32_t unit = 0;
                block.U16(at + 2 + 2 * qint64(i), unit);
                text[i] = QChar(static_cast<char16_t>(unit));
            }
            return text;
        }
        at += 2 + qint64(length) * 2;
    }
    return {};
}

QStringList TResourceModule::StringTableStrings() const {
    // LoadString into a 255-character buffer keeps at most 254 characters.
    constexpr int kBufferLength = 255;
    QStringList strings;
    for (int block : StringBlocks()) {
        for (int i = 0; i < 16; ++i) {
            const QString text = LoadString(16 * (block - 1) + i).left(kBufferLength - 1);
            if (!text.isEmpty()) strings.append(text);
        }
    }
    return strings;
}

QImage DecodeDib(const QByteArray& dib) {
    // Pictures larger than this are not card images; refusing them early
    // keeps a damaged header from asking for gigabytes.
    constexpr int64_t kMaxSide = 16384;
    constexpr int64_t kMaxPixels = 16 * 1024 * 1024;

    const TBytes bytes(dib.constData(), dib.size());
    uint32_t headerSize = 0;
    if (!bytes.U32(0, headerSize) || !bytes.Has(0, headerSize)) return {};
    int64_t width = 0, height = 0;
    uint32_t bitCount = 0, compression = 0, coloursUsed = 0;
    int64_t paletteEntry = 4;
    int64_t masks = 0;
    if (headerSize == 12) {  // BITMAPCOREHEADER
        uint32_t w = 0, h = 0;
        bytes.U16(4, w);
        bytes.U16(6, h);
        bytes.U16(10, bitCount);
        width = w;
        height = h;
        paletteEntry = 3;
    } else if (headerSize >= 40 && headerSize <= 124) {  // BITMAPINFOHEADER and later
        uint32_t w = 0, h = 0;
        bytes.U32(4, w);
        bytes.U32(8, h);
        bytes.U16(14, bitCount);
        bytes.U32(16, compression);
        bytes.U32(32, coloursUsed);
        width = int32_t(w);
        height = int32_t(h);
        // With the plain header the colour masks follow it.
        if (headerSize == 40 && compression == 3) masks = 12;
        if (headerSize == 40 && compression == 6) masks = 16;
    } else {
        return {};
    }
    const int64_t rows = height < 0 ? -height : height;
    if (width <= 0 || rows == 0 || width > kMaxSide || rows > kMaxSide ||
        width * rows > kMaxPixels) {
        return {};
    }
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 &&
        bitCount != 32) {
        return {};
    }
    if (compression != 0 && compression != 1 && compression != 2 && compression != 3 &&
        compression != 6) {
        return {};
    }
    if (bitCount <= 8 && coloursUsed > (1u << bitCount)) return {};
    if (coloursUsed > 256) return {};
    const int64_t paletteCount = coloursUsed != 0 ? coloursUsed : bitCount <= 8 ? 1 << bitCount : 0;
    const int64_t bitsOffset = int64_t(headerSize) + masks + paletteCount * paletteEntry;
    if (bitsOffset > dib.size()) return {};
    if (compression == 0 || compression == 3 || compression == 6) {
        const int64_t rowBytes = (width * bitCount + 31) / 32 * 4;
        if (rowBytes * rows > int64_t(dib.size()) - bitsOffset) return {};
    }

    // The card set's own pictures are plain 24-bit bitmaps: they are wrapped
    // as they lie, rows padded to four bytes, bottom row first, which costs a
    // fraction of the general decoder.
    const auto* bits = reinterpret_cast<const uchar*>(dib.constData() + bitsOffset);
    if (bitCount == 24 && compression == 0 && reinterpret_cast<uintptr_t>(bits) % 4 == 0) {
        const int64_t rowBytes = (width * 24 + 31) / 32 * 4;
        const QImage view(bits, int(width), int(rows), qsizetype(rowBytes), QImage::Format_BGR888);
        QImage image = view.convertToFormat(QImage::Format_RGB32);
        return height > 0 ? std::move(image).mirrored() : image;
    }

    // A BITMAPFILEHEADER in front turns the resource into a .bmp file.
    QByteArray file;
    file.reserve(14 + dib.size());
    const uint32_t fileSize = uint32_t(14 + dib.size());
    const uint32_t offBits = uint32_t(14 + bitsOffset);
    const char header[14] = {'B',
                             'M',
                             char(fileSize & 0xFF),
                             char((fileSize >> 8) & 0xFF),
                             char((fileSize >> 16) & 0xFF),
                             char(fileSize >> 24),
                             0,
                             0,
                             0,
                             0,
                             char(offBits & 0xFF),
                             char((offBits >> 8) & 0xFF),
                             char((offBits >> 16) & 0xFF),
                             char(offBits >> 24)};
    file.append(header, sizeof header);
    file.append(dib);
    QImage image;
    if (!image.loadFromData(file, "BMP")) return {};
    return image;
}

QString CardSetLibraryPath() {
    const QString folder = ProgramFolder();
    return folder.isEmpty() ? QString() : folder + QStringLiteral("/cardset.dll");
}

}  // namespace trisk
