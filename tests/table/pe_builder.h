// Builds small resource-only PE32+ modules in memory, laid out the way
// windres and ld lay out "cardset.dll", so that tests can craft good and
// damaged modules and know where each structure lies.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <cstdint>
#include <vector>

namespace trisk::test {

struct TResourceSpec {
    QString Type;  // "#n" for a numeric type
    QString Name;  // "#n" for a numeric id
    QByteArray Data;
    uint16_t Language = 0x409;
};

struct TBuiltModule {
    QByteArray Bytes;
    // File offsets of interesting places, for targeted damage.
    qint64 PeHeader = 0;        // "PE\0\0"
    qint64 SectionHeader = 0;   // the one section header
    qint64 ResourceEntry = 0;   // the data-directory entry of the resources
    qint64 Root = 0;            // the root resource directory
    qint64 FirstTypeEntry = 0;  // the root's first entry
    qint64 FirstNameDirectory = 0;
    qint64 FirstLanguageDirectory = 0;
    qint64 FirstDataEntry = 0;
};

// One language per resource unless two specs share type and name.
TBuiltModule BuildModule(const std::vector<TResourceSpec>& resources);

// An RT_BITMAP resource (BITMAPINFOHEADER and 24-bit bottom-up rows).
QByteArray Dib24(const QImage& image);

// A string-table block: 16 length-prefixed UTF-16 strings.
QByteArray StringBlock(const std::vector<QString>& strings);

// A RIFF WAVE file of PCM samples.
QByteArray WaveFile(int sampleRate, int channels, int bits, const QByteArray& samples);

void Put16(QByteArray& bytes, qint64 at, uint32_t value);
void Put32(QByteArray& bytes, qint64 at, uint32_t value);
uint32_t Get32(const QByteArray& bytes, qint64 at);

}  // namespace trisk::test
