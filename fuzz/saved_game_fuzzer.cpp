// libFuzzer target for the saved-game reader: any bytes must be either
// refused or turned into a history of real positions that writes back to a
// valid file.
#include <cstddef>
#include <cstdint>

#include "history/savefile.h"

namespace {

// Counted again here, apart from the reader: every card of the double deck
// exactly twice over the stock and the piles of the kind.
bool EveryCardTwice(trisk::TGameKind kind, const trisk::TSolData& entry) {
    int seen[trisk::kSuits][trisk::kRanks] = {};
    const auto count = [&](const trisk::TCard* cards) {
        for (int i = 0; i < trisk::kDeckSize; ++i) {
            if (cards[i].Present) ++seen[cards[i].Suit][cards[i].Rank];
        }
    };
    count(entry.Deck.Cards);
    for (int g = 0; g < trisk::kGroups; ++g) {
        for (int p = 0; p < trisk::kTombPilesPerGroup; ++p) {
            if (trisk::IsTomb(kind))
                count(entry.TombPiles[g][p].Cards);
            else if (p < trisk::kDiamondPilesPerGroup)
                count(entry.DiamondPiles[g][p].Cards);
        }
    }
    for (const auto& suit : seen) {
        for (int n : suit) {
            if (n != 2) return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    trisk::TSavedGame saved;
    if (trisk::ParseSavedGame(data, size, saved) != trisk::TLoadStatus::Ok) return 0;
    // What was accepted must describe itself consistently.
    if (saved.History.empty() || saved.MoveIndex < 0 ||
        static_cast<size_t>(saved.MoveIndex) >= saved.History.size())
        __builtin_trap();
    for (const trisk::TSolData& entry : saved.History) {
        if (!EveryCardTwice(saved.Kind, entry)) __builtin_trap();
    }
    const std::vector<uint8_t> again = trisk::SerializeGame(
        saved.Kind, saved.MoveIndex, saved.ActionCount, saved.Elapsed, saved.History);
    trisk::TSavedGame reread;
    if (trisk::ParseSavedGame(again.data(), again.size(), reread) != trisk::TLoadStatus::Ok)
        __builtin_trap();
    return 0;
}
