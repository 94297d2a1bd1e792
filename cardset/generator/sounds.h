// The card sounds of the library, synthesised: no recorded samples. The same
// name always gives the same samples.
#pragma once

#include <QString>

#include <cstdint>
#include <vector>

namespace trisk::cardset {

constexpr int kSampleRate = 22050;

// 16-bit mono samples of "DEAL", "UP", "DOWN", "DROP", "WRONG", "UNDO",
// "REDO" or "GAMEWON"; empty for any other name.
std::vector<int16_t> SynthesizeSound(const QString& name);

}  // namespace trisk::cardset
