// A reader for resource-only PE modules such as "cardset.dll": the layer that
// stands in for LoadLibraryEx(AS_DATAFILE) / FindResource / LoadResource /
// LoadBitmap / EnumResourceNames / LoadString. Every offset and size in the
// file is checked before use; a damaged module is refused, never read out of
// bounds.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <optional>

class QFile;

namespace trisk {

// Numeric resource types used by the card-set library.
constexpr uint16_t kRtBitmap = 2;
constexpr uint16_t kRtString = 6;
constexpr uint16_t kRtRcData = 10;

class TResourceModule {
  public:
    // nullptr when the file cannot be read or is not a valid resource module.
    static std::unique_ptr<TResourceModule> Open(const QString& path);
    static std::unique_ptr<TResourceModule> FromBytes(QByteArray bytes);

    ~TResourceModule();
    TResourceModule(const TResourceModule&) = delete;
    TResourceModule& operator=(const TResourceModule&) = delete;

    // Names of the named resources of a type (numeric ids are left out).
    QStringList Names(uint16_t type) const;
    QStringList Names(const QString& type) const;
    // The raw data of a resource (first language found), or nothing.
    std::optional<QByteArray> Resource(uint16_t type, const QString& name) const;
    std::optional<QByteArray> Resource(const QString& type, const QString& name) const;
    // An RT_BITMAP resource decoded; a null image when missing or unreadable.
    QImage LoadBitmap(const QString& name) const;
    // The string-table blocks in id order; block n holds ids 16(n-1) .. 16(n-1)+15.
    QList<int> StringBlocks() const;
    // One string by id, or an empty string.
    QString LoadString(int id) const;
    // Every non-empty string of every block, in id order (the card-set names).
    QStringList StringTableStrings() const;

  private:
    struct Data;
    explicit TResourceModule(std::unique_ptr<Data> data);
    static std::unique_ptr<TResourceModule> Make(QByteArray bytes, std::unique_ptr<QFile> mapping);
    std::unique_ptr<Data> data_;
};

// An RT_BITMAP resource (a DIB: BITMAPINFOHEADER or BITMAPCOREHEADER, colour
// table, pixels) decoded; a null image when the header or sizes are not sound.
QImage DecodeDib(const QByteArray& dib);

// "cardset.dll" beside the running program.
QString CardSetLibraryPath();

}  // namespace trisk
