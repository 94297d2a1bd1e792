#include "shell/zoom_store.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "history/file_store.h"

namespace trisk {

namespace {
// "300\n" is the longest valid file; a few bytes more are read to tell it
// from a longer one.
constexpr size_t kLongestFile = 8;
}  // namespace

int NextZoomStep(int percent, int direction) {
    if (direction > 0) {
        for (const int step : kZoomSteps) {
            if (step > percent) return step;
        }
    } else {
        for (auto step = kZoomSteps.rbegin(); step != kZoomSteps.rend(); ++step) {
            if (*step < percent) return *step;
        }
    }
    return percent;
}

QString ZoomFilePath() {
    // The same folder as the preferences, wherever QSettings keeps them.
    const QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "Vemodo",
                             "Solitaire Trisk");
    return QFileInfo(settings.fileName()).absolutePath() + "/Solitaire Trisk zoom";
}

int ReadZoomFile(TFileStore& files, const std::string& path) {
    const std::unique_ptr<TByteSource> source = files.OpenForReading(path);
    if (!source || source->Size() > kLongestFile) return 100;
    uint8_t bytes[kLongestFile + 1];
    const size_t count = source->Read(bytes, sizeof bytes);
    if (source->Failed() || count > kLongestFile || count < 2 || bytes[count - 1] != '\n')
        return 100;
    int percent = 0;
    for (size_t i = 0; i + 1 < count; ++i) {
        if (bytes[i] < '0' || bytes[i] > '9') return 100;
        percent = percent * 10 + (bytes[i] - '0');
    }
    const bool known = std::find(kZoomSteps.begin(), kZoomSteps.end(), percent) != kZoomSteps.end();
    return known ? percent : 100;
}

bool WriteZoomFile(TFileStore& files, const std::string& path, int percent) {
    // The folder is there once the preferences have been written; the first
    // zoom of a fresh account may come before that.
    QDir().mkpath(QFileInfo(QString::fromStdString(path)).absolutePath());
    const std::string text = std::to_string(percent) + "\n";
    return files.WriteFileAtomically(path, std::vector<uint8_t>(text.begin(), text.end()));
}

}  // namespace trisk
