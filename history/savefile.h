// The saved-game file ".kxr" as bytes: a little-endian header and the history
// entries, each with the board block of the saved game kind only. Version 1.3
// is written; 1.1, 1.2 and 1.3 are read. Reading and writing the file itself
// is the file store's (history/file_store.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/board.h"
#include "history/file_store.h"
#include "history/history.h"

namespace trisk {

constexpr size_t kTombEntrySize = 12 + sizeof(TDeck) + sizeof(TPile) * kGroups * kTombPilesPerGroup;
constexpr size_t kDiamondEntrySize =
    12 + sizeof(TDeck) + sizeof(TPile) * kGroups * kDiamondPilesPerGroup;
static_assert(kTombEntrySize == 8128 && kDiamondEntrySize == 6568);

struct TSavedGame {
    int MajorVersion = 1;
    int MinorVersion = 3;
    TGameKind Kind = gkTriskClassic;
    int32_t MoveIndex = 0;
    int32_t ActionCount = 0;
    // Files before 1.3 carry no time; they load with the clock at zero.
    uint32_t Elapsed = 0;
    THistory History;
};

enum class TLoadStatus { Ok, WrongFormat, TooNew };

std::vector<uint8_t> SerializeGame(TGameKind kind, int32_t moveIndex, int32_t actionCount,
                                   uint32_t elapsed, const THistory& history);
// The same bytes into a sink as they are made; false when the sink failed.
bool WriteGame(TByteSink& out, TGameKind kind, int32_t moveIndex, int32_t actionCount,
               uint32_t elapsed, const THistory& history);

// Reads and checks a whole file image. Nothing is trusted: every count and
// offset is checked against the size, and card bytes against their ranges.
// out is filled only as far as needed to describe a refusal (the versions).
TLoadStatus ParseSavedGame(const uint8_t* data, size_t size, TSavedGame& out);
// The same, reading the file as it goes: only the history it becomes is held.
TLoadStatus ReadSavedGame(TByteSource& in, TSavedGame& out);

}  // namespace trisk
