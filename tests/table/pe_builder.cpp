#include "pe_builder.h"

#include <algorithm>

namespace trisk::test {
namespace {

void Append16(QByteArray& out, uint32_t value) {
    out.append(char(value & 0xFF));
    out.append(char((value >> 8) & 0xFF));
}

void Append32(QByteArray& out, uint32_t value) {
    Append16(out, value & 0xFFFF);
    Append16(out, value >> 16);
}

struct TKeyText {
    bool Numeric;
    uint32_t Id;
    QString Name;
};

TKeyText Parse(const QString& text) {
    if (text.startsWith(QLatin1Char('#'))) return {true, text.mid(1).toUInt(), {}};
    return {false, 0, text};
}

constexpr uint32_t kSectionRva = 0x1000;
constexpr qint64 kRawOffset = 0x200;

}  // namespace

void Put16(QByteArray& bytes, qint64 at, uint32_t value) {
    bytes[at] = char(value & 0xFF);
    bytes[at + 1] = char((value >> 8) & 0xFF);
}

void Put32(QByteArray& bytes, qint64 at, uint32_t value) {
    Put16(bytes, at, value & 0xFFFF);
    Put16(bytes, at + 2, value >> 16);
}

uint32_t Get32(const QByteArray& bytes, qint64 at) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData() + at);
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

TBuiltModule BuildModule(const std::vector<TResourceSpec>& resources) {
    // Group by type, then name, keeping the order of first appearance;
    // named entries come before numbered ones at every level, as in a
    // linked module.
    struct TName {
        QString Key;
        std::vector<const TResourceSpec*> Languages;
    };
    struct TType {
        QString Key;
        std::vector<TName> Names;
    };
    std::vector<TType> types;
    for (const TResourceSpec& spec : resources) {
        auto type = std::find_if(types.begin(), types.end(),
                                 [&](const TType& t) { return t.Key == spec.Type; });
        if (type == types.end()) type = types.insert(types.end(), TType{spec.Type, {}});
        auto name = std::find_if(type->Names.begin(), type->Names.end(),
                                 [&](const TName& n) { return n.Key == spec.Name; });
        if (name == type->Names.end())
            name = type->Names.insert(type->Names.end(), {spec.Name, {}});
        name->Languages.push_back(&spec);
    }
    auto namedFirst = [](const QString& a, const QString& b) {
        return !a.startsWith(QLatin1Char('#')) && b.startsWith(QLatin1Char('#'));
    };
    std::stable_sort(types.begin(), types.end(),
                     [&](const TType& a, const TType& b) { return namedFirst(a.Key, b.Key); });
    for (TType& type : types) {
        std::stable_sort(type.Names.begin(), type.Names.end(),
                         [&](const TName& a, const TName& b) { return namedFirst(a.Key, b.Key); });
    }

    // Sizes of the directory part, then strings, then data entries, then data.
    qint64 directories = 16 + 8 * qint64(types.size());
    for (const TType& type : types) {
        directories += 16 + 8 * qint64(type.Names.size());
        for (const TName& name : type.Names)
            directories += 16 + 8 * qint64(name.Languages.size());
    }
    QByteArray tree(directories, '\0');
    QByteArray strings;
    QByteArray entries;
    QByteArray data;
    std::vector<std::pair<qint64, qint64>> dataFixups;  // (entry offset in `entries`, data offset)
    std::vector<std::pair<qint64, qint64>> stringFixups;  // (place in tree, offset in `strings`)

    auto writeKey = [&](qint64 at, const QString& text) {
        const TKeyText key = Parse(text);
        if (key.Numeric) {
            Put32(tree, at, key.Id);
            return;
        }
        stringFixups.emplace_back(at, strings.size());
        Append16(strings, uint32_t(key.Name.size()));
        for (QChar c : key.Name)
            Append16(strings, c.unicode());
    };
    auto writeHeader = [&](qint64 at, const std::vector<QString>& keys) {
        int named = 0;
        for (const QString& k : keys)
            named += k.startsWith(QLatin1Char('#')) ? 0 : 1;
        Put16(tree, at + 12, uint32_t(named));
        Put16(tree, at + 14, uint32_t(keys.size()) - uint32_t(named));
    };

    TBuiltModule built;
    qint64 next = 16 + 8 * qint64(types.size());
    std::vector<QString> typeKeys;
    for (const TType& t : types)
        typeKeys.push_back(t.Key);
    writeHeader(0, typeKeys);
    for (size_t ti = 0; ti < types.size(); ++ti) {
        const TType& type = types[ti];
        const qint64 nameDir = next;
        next += 16 + 8 * qint64(type.Names.size());
        writeKey(16 + 8 * qint64(ti), type.Key);
        Put32(tree, 16 + 8 * qint64(ti) + 4, 0x80000000u | uint32_t(nameDir));
        if (ti == 0) built.FirstNameDirectory = nameDir;
        std::vector<QString> nameKeys;
        for (const TName& n : type.Names)
            nameKeys.push_back(n.Key);
        writeHeader(nameDir, nameKeys);
        for (size_t ni = 0; ni < type.Names.size(); ++ni) {
            const TName& name = type.Names[ni];
            const qint64 languageDir = next;
            next += 16 + 8 * qint64(name.Languages.size());
            const qint64 at = nameDir + 16 + 8 * qint64(ni);
            writeKey(at, name.Key);
            Put32(tree, at + 4, 0x80000000u | uint32_t(languageDir));
            if (ti == 0 && ni == 0) built.FirstLanguageDirectory = languageDir;
            Put16(tree, languageDir + 14, uint32_t(name.Languages.size()));
            for (size_t li = 0; li < name.Languages.size(); ++li) {
                const TResourceSpec* spec = name.Languages[li];
                const qint64 entryAt = languageDir + 16 + 8 * qint64(li);
                Put32(tree, entryAt, spec->Language);
                // The data entry's place is fixed up once the strings are laid out.
                Put32(tree, entryAt + 4, uint32_t(entries.size()));
                dataFixups.emplace_back(entryAt + 4, data.size());
                QByteArray entry(16, '\0');
                Put32(entry, 0, uint32_t(data.size()));
                Put32(entry, 4, uint32_t(spec->Data.size()));
                entries.append(entry);
                data.append(spec->Data);
                while (data.size() % 8 != 0)
                    data.append('\0');
            }
        }
    }
    while (strings.size() % 8 != 0)
        strings.append('\0');
    const qint64 stringsAt = tree.size();
    const qint64 entriesAt = stringsAt + strings.size();
    const qint64 dataAt = entriesAt + entries.size();
    for (const auto& [place, offset] : stringFixups) {
        Put32(tree, place, 0x80000000u | uint32_t(stringsAt + offset));
    }
    for (const auto& [place, dataOffset] : dataFixups) {
        const qint64 entryOffset = entriesAt + Get32(tree, place);
        Put32(tree, place, uint32_t(entryOffset));
        Put32(entries, entryOffset - entriesAt, kSectionRva + uint32_t(dataAt + dataOffset));
    }
    QByteArray rsrc = tree + strings + entries + data;
    const uint32_t virtualSize = uint32_t(rsrc.size());
    while (rsrc.size() % 0x200 != 0)
        rsrc.append('\0');

    QByteArray& out = built.Bytes;
    out = QByteArray(kRawOffset, '\0');
    out[0] = 'M';
    out[1] = 'Z';
    built.PeHeader = 0x40;
    Put32(out, 0x3C, uint32_t(built.PeHeader));
    out[0x40] = 'P';
    out[0x41] = 'E';
    const qint64 coff = 0x44;
    Put16(out, coff, 0x8664);
    Put16(out, coff + 2, 1);     // one section
    Put16(out, coff + 16, 240);  // optional header of PE32+ with 16 directories
    Put16(out, coff + 18, 0x2022);
    const qint64 optional = coff + 20;
    Put16(out, optional, 0x20B);
    Put32(out, optional + 32, 0x1000);  // section alignment
    Put32(out, optional + 36, 0x200);   // file alignment
    Put32(out, optional + 56, kSectionRva + ((virtualSize + 0xFFF) & ~0xFFFu));
    Put32(out, optional + 60, uint32_t(kRawOffset));
    Put32(out, optional + 108, 16);
    built.ResourceEntry = optional + 112 + 2 * 8;
    Put32(out, built.ResourceEntry, kSectionRva);
    Put32(out, built.ResourceEntry + 4, virtualSize);
    built.SectionHeader = optional + 240;
    out.replace(built.SectionHeader, 6, ".rsrc\0", 6);
    Put32(out, built.SectionHeader + 8, virtualSize);
    Put32(out, built.SectionHeader + 12, kSectionRva);
    Put32(out, built.SectionHeader + 16, uint32_t(rsrc.size()));
    Put32(out, built.SectionHeader + 20, uint32_t(kRawOffset));
    Put32(out, built.SectionHeader + 36, 0x40000040);
    out.append(rsrc);

    built.Root = kRawOffset;
    built.FirstTypeEntry = kRawOffset + 16;
    built.FirstNameDirectory += kRawOffset;
    built.FirstLanguageDirectory += kRawOffset;
    built.FirstDataEntry = kRawOffset + entriesAt;
    return built;
}

QByteArray Dib24(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const int rowBytes = (rgb.width() * 3 + 3) & ~3;
    QByteArray out;
    Append32(out, 40);
    Append32(out, uint32_t(rgb.width()));
    Append32(out, uint32_t(rgb.height()));
    Append16(out, 1);
    Append16(out, 24);
    Append32(out, 0);
    Append32(out, uint32_t(rowBytes * rgb.height()));
    for (int i = 0; i < 4; ++i)
        Append32(out, 0);
    for (int y = rgb.height() - 1; y >= 0; --y) {
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb p = rgb.pixel(x, y);
            out.append(char(qBlue(p)));
            out.append(char(qGreen(p)));
            out.append(char(qRed(p)));
        }
        for (int pad = rgb.width() * 3; pad < rowBytes; ++pad)
            out.append('\0');
    }
    return out;
}

QByteArray StringBlock(const std::vector<QString>& strings) {
    QByteArray out;
    for (int i = 0; i < 16; ++i) {
        const QString text = i < int(strings.size()) ? strings[i] : QString();
        Append16(out, uint32_t(text.size()));
        for (QChar c : text)
            Append16(out, c.unicode());
    }
    return out;
}

QByteArray WaveFile(int sampleRate, int channels, int bits, const QByteArray& samples) {
    QByteArray out("RIFF");
    Append32(out, uint32_t(4 + 24 + 8 + samples.size() + (samples.size() & 1)));
    out.append("WAVEfmt ");
    Append32(out, 16);
    Append16(out, 1);
    Append16(out, uint32_t(channels));
    Append32(out, uint32_t(sampleRate));
    Append32(out, uint32_t(sampleRate * channels * bits / 8));
    Append16(out, uint32_t(channels * bits / 8));
    Append16(out, uint32_t(bits));
    out.append("data");
    Append32(out, uint32_t(samples.size()));
    out.append(samples);
    if (samples.size() & 1) out.append('\0');
    return out;
}

}  // namespace trisk::test
