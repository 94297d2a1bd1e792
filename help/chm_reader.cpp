#include "help/chm_reader.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QTemporaryFile>

#include <chm_lib.h>

#include <string>

#ifdef __linux__
#include <sys/mman.h>
#include <unistd.h>
#endif

#include "help/chm_check.h"

namespace trisk {
namespace {

constexpr int kMaxSitemapItems = 10000;
constexpr int kMaxSitemapDepth = 64;

QString DecodeText(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) return text;
    return QString::fromLatin1(bytes);
}

// The internal form of a path: as CHMLib stores it.
std::string ChmName(const QString& path) {
    if (path.startsWith(u'/') || path.startsWith(QLatin1String("::"))) return path.toStdString();
    return (u'/' + path).toStdString();
}

int EnumerateInto(chmFile*, chmUnitInfo* unit, void* context) {
    static_cast<std::vector<std::string>*>(context)->emplace_back(unit->path);
    return CHM_ENUMERATOR_CONTINUE;
}

ChmError Error(ChmError::Kind kind, const QString& detail) {
    return ChmError{kind, detail};
}

// CHMLib opens files by name: give it a private copy of the checked bytes.
chmFile* OpenCopy(const QByteArray& bytes, std::unique_ptr<QTemporaryFile>* temp) {
#ifdef __linux__
    const int fd = memfd_create("trisk-help", MFD_CLOEXEC);
    if (fd >= 0) {
        qsizetype written = 0;
        while (written < bytes.size()) {
            const ssize_t n = ::write(fd, bytes.constData() + written,
                                      static_cast<size_t>(bytes.size() - written));
            if (n <= 0) break;
            written += n;
        }
        const QByteArray path = "/proc/self/fd/" + QByteArray::number(fd);
        chmFile* handle = nullptr;
        const bool usable = written == bytes.size() && ::access(path.constData(), R_OK) == 0;
        if (usable) handle = chm_open(path.constData());
        ::close(fd);
        if (usable) return handle;
    }
#endif
    auto file = std::make_unique<QTemporaryFile>();
    if (!file->open() || file->write(bytes) != bytes.size() || !file->flush()) return nullptr;
    chmFile* handle = chm_open(QFile::encodeName(file->fileName()).constData());
    *temp = std::move(file);
    return handle;
}

}  // namespace

struct ChmFile::Data {
    chm::CheckedContainer checked;
    chmFile* handle = nullptr;
    std::unique_ptr<QTemporaryFile> temp;
    QStringList entries;
    ~Data() {
        if (handle) chm_close(handle);
    }
};

ChmFile::ChmFile(std::unique_ptr<Data> data) : data_(std::move(data)) {}
ChmFile::~ChmFile() = default;

std::unique_ptr<ChmFile> ChmFile::Open(const QString& path, ChmError* error) {
    ChmError ignored;
    ChmError& result = error ? *error : ignored;
    const QFileInfo info(path);
    if (!info.exists()) {
        result = Error(ChmError::Kind::kMissing, QStringLiteral("the file does not exist"));
        return nullptr;
    }
    QFile file(path);
    // Only a regular file is opened: a FIFO would block the open.
    if (!info.isFile() || !file.open(QIODevice::ReadOnly)) {
        result = Error(ChmError::Kind::kUnreadable, QStringLiteral("the file cannot be read"));
        return nullptr;
    }
    if (file.size() > kMaxChmFileSize) {
        result = Error(ChmError::Kind::kTooLarge, QStringLiteral("the file is too large"));
        return nullptr;
    }
    const QByteArray bytes = file.read(kMaxChmFileSize + 1);
    if (bytes.size() > kMaxChmFileSize) {
        result = Error(ChmError::Kind::kTooLarge, QStringLiteral("the file is too large"));
        return nullptr;
    }
    if (file.error() != QFileDevice::NoError) {
        result = Error(ChmError::Kind::kUnreadable, QStringLiteral("the file cannot be read"));
        return nullptr;
    }
    return FromBytes(bytes, error);
}

std::unique_ptr<ChmFile> ChmFile::FromBytes(const QByteArray& bytes, ChmError* error) {
    ChmError ignored;
    ChmError& result = error ? *error : ignored;
    result = ChmError{};
    if (bytes.size() > kMaxChmFileSize) {
        result = Error(ChmError::Kind::kTooLarge, QStringLiteral("the file is too large"));
        return nullptr;
    }
    QString reason;
    auto checked = chm::CheckContainer(bytes, &reason);
    if (!checked) {
        const bool not_chm = !bytes.startsWith("ITSF");
        result = Error(not_chm ? ChmError::Kind::kNotChm : ChmError::Kind::kDamaged, reason);
        return nullptr;
    }

    // Every entry must be there in full: a file cut short or with a broken
    // compressed section would open but show nothing.
    for (const chm::Unit& unit : checked->Units()) {
        if (unit.length > 0 && !checked->Readable(unit)) {
            result =
                Error(ChmError::Kind::kDamaged, QStringLiteral("parts of the file are missing"));
            return nullptr;
        }
    }

    auto data = std::make_unique<Data>();
    data->checked = std::move(*checked);
    data->handle = OpenCopy(bytes, &data->temp);
    if (!data->handle) {
        result = Error(ChmError::Kind::kDamaged, QStringLiteral("CHMLib cannot open it"));
        return nullptr;
    }
    // CHMLib must see the directory that was checked.
    std::vector<std::string> listed;
    if (!chm_enumerate(data->handle, CHM_ENUMERATE_ALL, &EnumerateInto, &listed) ||
        listed.size() != data->checked.Units().size()) {
        result = Error(ChmError::Kind::kDamaged, QStringLiteral("the directory cannot be read"));
        return nullptr;
    }
    for (std::size_t i = 0; i < listed.size(); ++i) {
        if (listed[i] != data->checked.Units()[i].path) {
            result =
                Error(ChmError::Kind::kDamaged, QStringLiteral("the directory cannot be read"));
            return nullptr;
        }
        data->entries.append(QString::fromUtf8(listed[i].data(), qsizetype(listed[i].size())));
    }

    std::unique_ptr<ChmFile> chm(new ChmFile(std::move(data)));
    if (auto system = chm->Read(QStringLiteral("/#SYSTEM"))) {
        if (auto info = ParseChmSystem(*system)) chm->system_ = *info;
    }
    return chm;
}

QStringList ChmFile::Entries() const {
    return data_->entries;
}

QStringList ChmFile::Files() const {
    QStringList files;
    for (const QString& entry : data_->entries) {
        if (!entry.startsWith(u'/') || entry.endsWith(u'/') ||
            entry.startsWith(QLatin1String("/#")) || entry.startsWith(QLatin1String("/$"))) {
            continue;
        }
        files.append(entry);
    }
    return files;
}

bool ChmFile::Contains(const QString& path) const {
    return data_->checked.Resolve(ChmName(path)).has_value();
}

std::optional<QByteArray> ChmFile::Read(const QString& path, QString* error) const {
    auto fail = [error](const QString& why) -> std::optional<QByteArray> {
        if (error) *error = why;
        return std::nullopt;
    };
    const std::string name = ChmName(path);
    const auto unit = data_->checked.Resolve(name);
    if (!unit) return fail(QStringLiteral("not in the help file"));
    chmUnitInfo info{};
    if (chm_resolve_object(data_->handle, name.c_str(), &info) != CHM_RESOLVE_SUCCESS ||
        info.start != unit->start || info.length != unit->length ||
        uint64_t(info.space) != unit->space) {
        return fail(QStringLiteral("the directory cannot be read"));
    }
    if (!data_->checked.Readable(*unit) || unit->length > uint64_t(kMaxChmFileSize) * 4) {
        return fail(QStringLiteral("the entry lies outside the file"));
    }
    if (unit->length == 0) return QByteArray();
    QByteArray bytes(static_cast<qsizetype>(unit->length), Qt::Uninitialized);
    const LONGINT64 got =
        chm_retrieve_object(data_->handle, &info, reinterpret_cast<unsigned char*>(bytes.data()), 0,
                            static_cast<LONGINT64>(unit->length));
    if (got != static_cast<LONGINT64>(unit->length)) {
        return fail(QStringLiteral("the entry cannot be read completely"));
    }
    return bytes;
}

QString ChmFile::DefaultTopic() const {
    if (system_.defaultTopic.trimmed().isEmpty()) return {};
    return NormalizeChmPath(system_.defaultTopic);
}

std::vector<ChmContentsItem> ChmFile::Contents() const {
    QString file;
    if (!system_.contentsFile.isEmpty() && Contains(NormalizeChmPath(system_.contentsFile))) {
        file = NormalizeChmPath(system_.contentsFile);
    } else {
        for (const QString& entry : Files()) {
            if (entry.endsWith(QLatin1String(".hhc"), Qt::CaseInsensitive)) {
                file = entry;
                break;
            }
        }
    }
    if (file.isEmpty()) return {};
    const auto bytes = Read(file);
    if (!bytes) return {};
    return ParseChmSitemap(*bytes);
}

QString NormalizeChmPath(const QString& path) {
    QString p = path;
    const qsizetype storage = p.lastIndexOf(QLatin1String("::"));
    if (storage >= 0) p = p.mid(storage + 2);  // mk:@MSITStore:Help.chm::/page.html
    for (qsizetype i = 0; i < p.size(); ++i) {
        if (p[i] == u'#' || p[i] == u'?') {
            p.truncate(i);
            break;
        }
    }
    p.replace(u'\\', u'/');
    QStringList parts;
    for (const QString& part : p.split(u'/', Qt::SkipEmptyParts)) {
        if (part == QLatin1String(".")) continue;
        if (part == QLatin1String("..")) {
            if (!parts.isEmpty()) parts.removeLast();
            continue;
        }
        parts.append(part);
    }
    return u'/' + parts.join(u'/');
}

std::optional<ChmSystemInfo> ParseChmSystem(const QByteArray& system) {
    if (system.size() < 4) return std::nullopt;
    ChmSystemInfo info;
    bool seen[4] = {false, false, false, false};
    qsizetype pos = 4;
    const auto* data = reinterpret_cast<const uint8_t*>(system.constData());
    while (system.size() - pos >= 4) {
        const int code = data[pos] | data[pos + 1] << 8;
        const qsizetype length = data[pos + 2] | data[pos + 3] << 8;
        pos += 4;
        if (length > system.size() - pos) break;
        if (code >= 0 && code < 4 && !seen[code]) {
            seen[code] = true;
            QByteArray value = system.mid(pos, length);
            const qsizetype zero = value.indexOf('\0');
            if (zero >= 0) value.truncate(zero);
            const QString text = DecodeText(value);
            switch (code) {
                case 0:
                    info.contentsFile = text;
                    break;
                case 1:
                    info.indexFile = text;
                    break;
                case 2:
                    info.defaultTopic = text;
                    break;
                case 3:
                    info.title = text;
                    break;
            }
        }
        pos += length;
    }
    return info;
}

namespace {

QString DecodeEntities(const QString& text) {
    if (!text.contains(u'&')) return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'&') {
            out += text[i];
            continue;
        }
        qsizetype semi = -1;
        for (qsizetype j = i + 1; j < text.size() && j <= i + 10; ++j) {
            if (text[j] == u';') {
                semi = j;
                break;
            }
        }
        if (semi < 0) {
            out += text[i];
            continue;
        }
        const QString name = text.mid(i + 1, semi - i - 1);
        char32_t code = 0;
        if (name == QLatin1String("amp"))
            code = '&';
        else if (name == QLatin1String("lt"))
            code = '<';
        else if (name == QLatin1String("gt"))
            code = '>';
        else if (name == QLatin1String("quot"))
            code = '"';
        else if (name == QLatin1String("apos"))
            code = '\'';
        else if (name == QLatin1String("nbsp"))
            code = 0xA0;
        else if (name.startsWith(u'#')) {
            bool ok = false;
            const uint value = name.startsWith(QLatin1String("#x"), Qt::CaseInsensitive)
                                   ? name.mid(2).toUInt(&ok, 16)
                                   : name.mid(1).toUInt(&ok, 10);
            if (ok && value > 0 && value < 0x110000 && !(value >= 0xD800 && value < 0xE000)) {
                code = value;
            }
        }
        if (code == 0) {
            out += text[i];
            continue;
        }
        out += QString::fromUcs4(&code, 1);
        i = semi;
    }
    return out;
}

// A tag: its lower-case name ("ul", "/ul", "object", "param") and attributes.
struct Tag {
    QString name;
    std::vector<std::pair<QString, QString>> attributes;
    QString Attribute(QLatin1String key) const {
        for (const auto& [name, value] : attributes) {
            if (name == key) return value;
        }
        return {};
    }
};

// Reads the tag that starts at text[pos] == '<'; pos ends after its '>'.
std::optional<Tag> ReadTag(const QString& text, qsizetype& pos) {
    const qsizetype size = text.size();
    ++pos;
    if (text.mid(pos, 3) == QLatin1String("!--")) {
        const qsizetype end = text.indexOf(QLatin1String("-->"), pos + 3);
        pos = end < 0 ? size : end + 3;
        return std::nullopt;
    }
    Tag tag;
    while (pos < size && (text[pos].isLetterOrNumber() || text[pos] == u'/' || text[pos] == u'!')) {
        tag.name += text[pos++].toLower();
    }
    while (pos < size && text[pos] != u'>') {
        if (text[pos].isSpace() || text[pos] == u'/') {
            ++pos;
            continue;
        }
        QString key;
        while (pos < size && !text[pos].isSpace() && text[pos] != u'=' && text[pos] != u'>') {
            key += text[pos++].toLower();
        }
        while (pos < size && text[pos].isSpace())
            ++pos;
        QString value;
        if (pos < size && text[pos] == u'=') {
            ++pos;
            while (pos < size && text[pos].isSpace())
                ++pos;
            if (pos < size && (text[pos] == u'"' || text[pos] == u'\'')) {
                const QChar quote = text[pos++];
                qsizetype end = text.indexOf(quote, pos);
                if (end < 0) end = size;
                value = text.mid(pos, end - pos);
                pos = end < size ? end + 1 : size;
            } else {
                const qsizetype begin = pos;
                while (pos < size && !text[pos].isSpace() && text[pos] != u'>')
                    ++pos;
                value = text.mid(begin, pos - begin);
            }
        }
        if (!key.isEmpty()) tag.attributes.emplace_back(key, DecodeEntities(value));
    }
    if (pos < size) ++pos;  // '>'
    return tag;
}

}  // namespace

std::vector<ChmContentsItem> ParseChmSitemap(const QByteArray& hhc) {
    const QString text = DecodeText(hhc);
    std::vector<ChmContentsItem> root;
    // The lists being filled, outermost first; each is the children of the
    // last item of the one before (or the same list again where a <UL> has
    // no item to belong to, or the nesting is too deep).
    std::vector<std::vector<ChmContentsItem>*> levels{&root};
    int items = 0;
    bool in_object = false;
    ChmContentsItem current;
    bool has_name = false, has_local = false;

    qsizetype pos = 0;
    while (pos < text.size() && items < kMaxSitemapItems) {
        if (text[pos] != u'<') {
            ++pos;
            continue;
        }
        const auto tag = ReadTag(text, pos);
        if (!tag) continue;
        if (tag->name == QLatin1String("ul")) {
            auto* list = levels.back();
            if (!list->empty() && levels.size() < std::size_t(kMaxSitemapDepth)) {
                levels.push_back(&list->back().children);
            } else {
                levels.push_back(list);
            }
        } else if (tag->name == QLatin1String("/ul")) {
            if (levels.size() > 1) levels.pop_back();
        } else if (tag->name == QLatin1String("object")) {
            in_object = tag->Attribute(QLatin1String("type"))
                            .contains(QLatin1String("text/sitemap"), Qt::CaseInsensitive);
            current = ChmContentsItem{};
            has_name = has_local = false;
        } else if (tag->name == QLatin1String("param") && in_object) {
            const QString key = tag->Attribute(QLatin1String("name")).trimmed().toLower();
            const QString value = tag->Attribute(QLatin1String("value"));
            if (key == QLatin1String("name") && !has_name) {
                current.name = value.trimmed();
                has_name = true;
            } else if (key == QLatin1String("local") && !has_local) {
                current.local = value.trimmed();
                has_local = true;
            }
        } else if (tag->name == QLatin1String("/object")) {
            if (in_object && (has_name || has_local)) {
                if (!has_name) current.name = current.local;
                levels.back()->push_back(std::move(current));
                ++items;
            }
            in_object = false;
        }
    }
    return root;
}

}  // namespace trisk
