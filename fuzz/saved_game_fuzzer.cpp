// libFuzzer target for the saved-game reader: any bytes must be either
// refused or turned into a history that writes back to a valid file.
#include <cstddef>
#include <cstdint>

#include "history/savefile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    trisk::TSavedGame saved;
    if (trisk::ParseSavedGame(data, size, saved) != trisk::TLoadStatus::Ok) return 0;
    // What was accepted must describe itself consistently.
    if (saved.History.empty() || saved.MoveIndex < 0 ||
        static_cast<size_t>(saved.MoveIndex) >= saved.History.size())
        __builtin_trap();
    const std::vector<uint8_t> again = trisk::SerializeGame(
        saved.Kind, saved.MoveIndex, saved.ActionCount, saved.Elapsed, saved.History);
    trisk::TSavedGame reread;
    if (trisk::ParseSavedGame(again.data(), again.size(), reread) != trisk::TLoadStatus::Ok)
        __builtin_trap();
    return 0;
}
