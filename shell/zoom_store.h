// The table's zoom: its steps and the small file that keeps it across runs,
// beside the preferences but outside them. The file holds the zoom in percent
// as decimal digits and a line end; a missing, damaged or unknown value reads
// as 100 %.
#pragma once

#include <QString>

#include <array>
#include <string>

namespace trisk {

class TFileStore;

// The zoom steps in percent, smallest first; Ctrl+Plus and Ctrl+Minus go one
// step at a time.
inline constexpr std::array<int, 7> kZoomSteps{100, 125, 150, 175, 200, 250, 300};

// The step after percent in direction (+1 larger, -1 smaller), or percent
// itself at either end. A percent between steps goes to the nearest one that
// way.
int NextZoomStep(int percent, int direction);

// The zoom file in the folder of the preferences file.
QString ZoomFilePath();

// The stored zoom in percent: one of kZoomSteps, 100 when the file is
// missing, too long or holds anything else.
int ReadZoomFile(TFileStore& files, const std::string& path);
// Replaces the file as a whole; false when it could not be written.
bool WriteZoomFile(TFileStore& files, const std::string& path, int percent);

}  // namespace trisk
