// Writing the generator's outputs in the formats windres takes in.
#pragma once

#include <QImage>
#include <QString>

#include <cstdint>
#include <vector>

namespace trisk::cardset {

// A 24-bit bottom-up BMP file (BITMAPFILEHEADER + BITMAPINFOHEADER, no
// palette, resolution fields zero) of an opaque image.
bool WriteBmp24(const QImage& image, const QString& path);

// A RIFF WAVE file: PCM, 16-bit, mono.
bool WriteWave(const std::vector<int16_t>& samples, int sampleRate, const QString& path);

}  // namespace trisk::cardset
