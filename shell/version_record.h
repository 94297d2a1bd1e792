// Reading a program file's version record: the layer that stands in for
// GetFileVersionInfo / VerQueryValue. The record is the ELF note laid out in
// shell/version_note.h; the file is read with every offset and size checked,
// so a damaged file yields no record or no value, never a read out of bounds.
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace trisk {

class TVersionRecord {
  public:
    // The record carried by the file at path; nothing when the file cannot be
    // read, is not an ELF file or has no record.
    static std::optional<TVersionRecord> Load(const QString& path);
    // A record from the descriptor bytes of its note.
    explicit TVersionRecord(QByteArray bytes) : bytes_(std::move(bytes)) {}

    // The value stored under key (compared without regard to case, as the
    // platform does), or nothing when the key is missing or the record is
    // damaged before it.
    std::optional<QByteArray> Query(const QString& key) const;

  private:
    QByteArray bytes_;
};

// The version string name ("FileVersion", "LegalCopyright") of the program
// file at path, looked up under the first entry of the record's translation
// table. "0" when the file has no record; empty when the translation table is
// shorter than one entry or the string is missing.
QString ReadVersionString(const QString& path, const QString& name);

}  // namespace trisk
