// The reader behind the help viewer: a compiled HTML help file ("Help.chm")
// read with CHMLib. CHMLib only opens files by name and trusts what it reads,
// so the reader takes the whole file into memory, has chm::CheckContainer
// walk every structure CHMLib will walk, and only then gives CHMLib a private
// copy of exactly those checked bytes (an anonymous memory file, or a
// temporary file where there is none). Every failure is an error value; no
// input makes the reader crash, hang or read out of bounds.
//
// Not thread-safe: one ChmFile is used from one thread at a time.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

namespace trisk {

struct ChmError {
    enum class Kind {
        kNone,
        kMissing,     // no file at that path
        kUnreadable,  // the file cannot be read (rights, a folder, ...)
        kTooLarge,    // larger than any help file (see kMaxChmFileSize)
        kNotChm,      // not a compiled help file at all
        kDamaged,     // a help file, but damaged
    };
    Kind kind = Kind::kNone;
    QString detail;  // what was wrong, in a few words
};

// What the "#SYSTEM" record of a help file names.
struct ChmSystemInfo {
    QString contentsFile;  // code 0, e.g. "toc.hhc"
    QString indexFile;     // code 1
    QString defaultTopic;  // code 2, e.g. "index.html"
    QString title;         // code 3
};

// One entry of the contents (the .hhc sitemap).
struct ChmContentsItem {
    QString name;
    QString local;  // the page, as written in the sitemap ("rules.html#stock")
    std::vector<ChmContentsItem> children;
};

constexpr qint64 kMaxChmFileSize = qint64(64) << 20;

class ChmFile {
  public:
    static std::unique_ptr<ChmFile> Open(const QString& path, ChmError* error = nullptr);
    static std::unique_ptr<ChmFile> FromBytes(const QByteArray& bytes, ChmError* error = nullptr);

    ~ChmFile();
    ChmFile(const ChmFile&) = delete;
    ChmFile& operator=(const ChmFile&) = delete;

    // Every entry of the archive as CHMLib lists it, folders included
    // ("/", "/index.html", "/#SYSTEM", "::DataSpace/NameList", ...).
    QStringList Entries() const;
    // The files of the help itself: entries that start with "/" and are not
    // folders or the compiler's own records ("/#...", "/$...").
    QStringList Files() const;
    bool Contains(const QString& path) const;
    // The bytes of one entry (a path as Entries() gives it; "index.html" is
    // taken as "/index.html"); nothing, with a reason, when it is missing or
    // cannot be read.
    std::optional<QByteArray> Read(const QString& path, QString* error = nullptr) const;

    const ChmSystemInfo& System() const { return system_; }
    // The start page as a path ("/index.html"); empty when the file names none.
    QString DefaultTopic() const;
    QString Title() const { return system_.title; }
    // The contents as the .hhc file named by #SYSTEM (or the first .hhc) gives it.
    std::vector<ChmContentsItem> Contents() const;

  private:
    struct Data;
    explicit ChmFile(std::unique_ptr<Data> data);
    std::unique_ptr<Data> data_;
    ChmSystemInfo system_;
};

// "index.html" -> "/index.html"; "/a/../b.html" -> "/b.html"; fragments and
// queries dropped.
QString NormalizeChmPath(const QString& path);
// The #SYSTEM record; nothing when it is too short to hold its version.
std::optional<ChmSystemInfo> ParseChmSystem(const QByteArray& system);
// A sitemap (.hhc) file; whatever is not understood is skipped.
std::vector<ChmContentsItem> ParseChmSitemap(const QByteArray& hhc);

}  // namespace trisk
