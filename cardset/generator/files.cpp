#include "files.h"

#include <QByteArray>
#include <QFile>

namespace trisk::cardset {
namespace {

void Put16(QByteArray& out, uint32_t value) {
    out.append(static_cast<char>(value & 0xFF));
    out.append(static_cast<char>((value >> 8) & 0xFF));
}

void Put32(QByteArray& out, uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

bool WriteAll(const QByteArray& bytes, const QString& path) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size() && file.flush();
}

}  // namespace

bool WriteBmp24(const QImage& image, const QString& path) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const uint32_t rowBytes = (static_cast<uint32_t>(rgb.width()) * 3 + 3) & ~3u;
    const uint32_t pixelBytes = rowBytes * static_cast<uint32_t>(rgb.height());
    constexpr uint32_t kHeaders = 14 + 40;

    QByteArray out;
    out.reserve(static_cast<qsizetype>(kHeaders + pixelBytes));
    out.append("BM");
    Put32(out, kHeaders + pixelBytes);
    Put32(out, 0);  // reserved
    Put32(out, kHeaders);
    Put32(out, 40);  // BITMAPINFOHEADER
    Put32(out, static_cast<uint32_t>(rgb.width()));
    Put32(out, static_cast<uint32_t>(rgb.height()));  // positive: bottom-up rows
    Put16(out, 1);                                    // planes
    Put16(out, 24);                                   // bits per pixel
    Put32(out, 0);                                    // BI_RGB
    Put32(out, pixelBytes);
    Put32(out, 0);  // horizontal resolution: unspecified
    Put32(out, 0);  // vertical resolution
    Put32(out, 0);  // colours used
    Put32(out, 0);  // important colours
    for (int y = rgb.height() - 1; y >= 0; --y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            out.append(static_cast<char>(qBlue(line[x])));
            out.append(static_cast<char>(qGreen(line[x])));
            out.append(static_cast<char>(qRed(line[x])));
        }
        for (uint32_t pad = static_cast<uint32_t>(rgb.width()) * 3; pad < rowBytes; ++pad) {
            out.append('\0');
        }
    }
    return WriteAll(out, path);
}

bool WriteWave(const std::vector<int16_t>& samples, int sampleRate, const QString& path) {
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    QByteArray out;
    out.append("RIFF");
    Put32(out, 4 + (8 + 16) + (8 + dataBytes));
    out.append("WAVE");
    out.append("fmt ");
    Put32(out, 16);
    Put16(out, 1);  // PCM
    Put16(out, 1);  // mono
    Put32(out, static_cast<uint32_t>(sampleRate));
    Put32(out, static_cast<uint32_t>(sampleRate) * 2);  // bytes per second
    Put16(out, 2);                                      // block align
    Put16(out, 16);                                     // bits per sample
    out.append("data");
    Put32(out, dataBytes);
    for (int16_t sample : samples)
        Put16(out, static_cast<uint16_t>(sample));
    return WriteAll(out, path);
}

}  // namespace trisk::cardset
