// The solver's own copy of the position: after any walk of actions and
// take-backs it must still match the position the rules left, down to its
// fingerprint.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <random>
#include <vector>

#include "engine/rules.h"
#include "sanitized.h"
#include "solver/search_state.h"

namespace trisk {
namespace {

TEST(SearchState, WalksKeepTheFingerprintAndThePackedFormTrue) {
    std::mt19937 random(77);
    for (int kind = 0; kind < kGameKinds; ++kind) {
        TSearchState state(DealtPosition(static_cast<TGameKind>(kind), 3 + kind));
        std::vector<TCode> actions;
        std::vector<TCode> applied;
        for (int step = 0; step < (kSanitized ? 1000 : 3000); ++step) {
            // The actions are the legal moves of the rules and the stock, or
            // a single move that every winning line makes. Where the stock
            // goes round without end, the stock is replaced by clicks folded
            // into the moves of waste cards they bring up.
            state.LegalActions(actions);
            const std::vector<TMove> legal = LegalMoves(state.Position());
            size_t plain = 0;
            size_t stock = 0;
            for (const TCode code : actions) {
                std::vector<TAction> steps;
                state.AppendActions(code, steps);
                ASSERT_FALSE(steps.empty());
                if (steps.size() == 1) {
                    stock += steps[0].IsStock;
                    plain += !steps[0].IsStock;
                    ASSERT_TRUE(steps[0].IsStock || std::find(legal.begin(), legal.end(),
                                                              steps[0].Move) != legal.end());
                    continue;
                }
                TPosition clicked = state.Position();
                TFaultLog faults;
                for (size_t i = 0; i + 1 < steps.size(); ++i) {
                    ASSERT_TRUE(steps[i].IsStock);
                    ASSERT_FALSE(ApplyStockClick(clicked, faults).Lost);
                }
                const TMove move = steps.back().Move;
                ASSERT_EQ(move.From.Group, GroupWaste);
                ASSERT_TRUE(CanDrop(clicked, move.From, move.To));
            }
            if (actions.size() != 1 || stock == 1) {
                ASSERT_EQ(plain, legal.size()) << "kind " << kind << " step " << step;
                ASSERT_EQ(stock, IsPassLimited(static_cast<TGameKind>(kind)) ? 1u : 0u);
            }
            // Mostly forward, sometimes back, so that moves and stock clicks
            // are taken back in every kind of position.
            if (!applied.empty() && random() % 4 == 0) {
                state.Undo(applied.back());
                applied.pop_back();
            } else {
                const TCode code = actions.empty() || random() % 5 == 0
                                       ? kStockCode
                                       : actions[random() % actions.size()];
                if (state.Apply(code)) applied.push_back(code);
            }
            // A state that has just read the position, with nothing
            // remembered from earlier positions, agrees on the fingerprint
            // and on the actions.
            TSearchState fresh(state.Position());
            ASSERT_EQ(state.Key(), fresh.Key()) << "kind " << kind << " step " << step;
            std::vector<TCode> again;
            state.LegalActions(actions);
            fresh.LegalActions(again);
            ASSERT_EQ(actions, again) << "kind " << kind << " step " << step;
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

// Whether stock clicks alone lead from one position to the other.
bool ClicksLead(const TPosition& from, const TPosition& to) {
    TSearchState state(from);
    const TKey target = TSearchState(to).RawKey();
    for (int click = 0; click < 2 * kDeckSize; ++click) {
        if (state.RawKey() == target) return true;
        if (!state.Apply(kStockCode)) return false;
    }
    return false;
}

// Where the stock goes round without end, positions are merged into one
// fingerprint when stock clicks lead from each to the other; every other
// pair met on a walk with many stock clicks keeps fingerprints apart.
TEST(SearchState, OnlyPositionsOfOneRoundOfTheStockShareAFingerprint) {
    std::mt19937 random(11);
    for (const TGameKind kind : {gkTriskStrong, gkDiamond}) {
        TSearchState state(DealtPosition(kind, 11));
        std::map<std::pair<uint64_t, uint64_t>, TPosition> met;
        std::vector<TCode> actions;
        int merged = 0;
        for (int step = 0; step < 400; ++step) {
            state.LegalActions(actions, false);
            const TCode code = random() % 3 ? kStockCode : actions[random() % actions.size()];
            ASSERT_TRUE(state.Apply(code));
            state.KeepApplied();
            const TKey key = state.Key();
            const auto [known, added] = met.emplace(std::pair{key.A, key.B}, state.Position());
            if (added || TSearchState(known->second).RawKey() == state.RawKey()) continue;
            ++merged;
            ASSERT_TRUE(ClicksLead(known->second, state.Position())) << "kind " << kind;
            ASSERT_TRUE(ClicksLead(state.Position(), known->second)) << "kind " << kind;
        }
        EXPECT_GT(merged, 10) << "kind " << kind;
    }
}

}  // namespace
}  // namespace trisk
