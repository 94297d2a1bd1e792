// A dry run of CHMLib's LZX decompressor. CHMLib (libchm, not ours) decodes
// the compressed section of a help file with the LZX code of cabextract 0.5,
// which trusts its input: a damaged stream can make it read before its window,
// past its input or past its tables. Before the reader lets CHMLib decompress
// anything, it runs every frame of the file through this model, which follows
// CHMLib's decoder step for step (same state, same bit buffer, same tables)
// but checks every index it would use. A stream the model accepts is decoded
// by CHMLib without leaving its buffers and without copying window bytes it
// never decoded (a match reaching back before the last reset); anything else
// is refused.
//
// The model does not produce the decoded bytes: no decision of the decoder
// depends on them, only on the bit stream and the state.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace trisk::chm {

class LzxModel {
  public:
    // windowBits as CHMLib computes it (ffs(window size) - 1); 15 to 21.
    explicit LzxModel(int windowBits);
    ~LzxModel();
    LzxModel(const LzxModel&) = delete;
    LzxModel& operator=(const LzxModel&) = delete;

    // LZXreset.
    void Reset();
    // LZXdecompress of one frame of `inputSize` bytes into `outputSize` bytes.
    // CHMLib keeps the frame at the start of a buffer of `bufferSize` bytes
    // and may read a few bytes past the frame while it fills its bit buffer;
    // those reads must stay inside that buffer, and no bit that comes from
    // them may be used. True when CHMLib would decode the frame without error
    // and within its buffers; the model's state then moves on as CHMLib's
    // does. After a false the model is left in an undefined state.
    bool Decompress(const uint8_t* input, std::size_t inputSize, std::size_t bufferSize,
                    int outputSize);

  private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace trisk::chm
