// The solver's own copy of the position: after any walk of actions and
// take-backs it must still match the position the rules left, down to its
// fingerprint.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "engine/rules.h"
#include "solver/search_state.h"

namespace trisk {
namespace {

TEST(SearchState, WalksKeepTheFingerprintAndThePackedFormTrue) {
    std::mt19937 random(77);
    for (int kind = 0; kind < kGameKinds; ++kind) {
        TSearchState state(DealtPosition(static_cast<TGameKind>(kind), 3 + kind));
        std::vector<TCode> actions;
        std::vector<TCode> applied;
        for (int step = 0; step < 3000; ++step) {
            // The actions are the legal moves of the rules and the stock, or
            // a single move that every winning line makes.
            state.LegalActions(actions);
            const std::vector<TMove> legal = LegalMoves(state.Position());
            if (actions.size() != 1 || actions[0] == kStockCode) {
                ASSERT_EQ(actions.size(), legal.size() + 1) << "kind " << kind << " step " << step;
            }
            for (const TCode code : actions) {
                const TAction action = state.ToAction(code);
                ASSERT_TRUE(action.IsStock ||
                            std::find(legal.begin(), legal.end(), action.Move) != legal.end());
            }
            // Mostly forward, sometimes back, so that moves and stock clicks
            // are taken back in every kind of position.
            if (!applied.empty() && random() % 4 == 0) {
                state.Undo(applied.back());
                applied.pop_back();
            } else {
                const TCode code = actions[random() % actions.size()];
                if (state.Apply(code)) applied.push_back(code);
            }
            const TSearchState fresh(state.Position());
            ASSERT_EQ(state.Key(), fresh.Key()) << "kind " << kind << " step " << step;
        }
        // Packing and unpacking elsewhere gives back the same position.
        std::vector<uint8_t> packed(TSearchState::kMaxPacked);
        packed.resize(state.Pack(packed.data()));
        const TKey key = state.Key();
        const TPosition position = state.Position();
        TSearchState other(DealtPosition(static_cast<TGameKind>(kind), 3 + kind));
        other.Unpack(packed.data());
        EXPECT_EQ(other.Key(), key);
        EXPECT_EQ(std::memcmp(&other.Position().Board.Deck, &position.Board.Deck, sizeof(TDeck)),
                  0);
    }
}

}  // namespace
}  // namespace trisk
