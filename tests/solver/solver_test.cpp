// The solver's verdicts checked against the rules alone: winning lines are
// replayed move by move, "not winnable" is compared with a plain exhaustive
// search on small positions, and the limits and cancelling stop the search.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <unordered_set>
#include <vector>

#include "engine/rules.h"
#include "sanitized.h"
#include "solver/loss_proof.h"
#include "solver/solver.h"

namespace trisk {
namespace {

using namespace std::chrono_literals;

// The exhaustive comparisons below take a third of their positions under the
// sanitizers, and ask for a third of the findings.
constexpr int kShare = kSanitized ? 3 : 1;

// Replays a line: every move must be one that LegalMoves lists, no stock
// click may lose, the game must not be won before the last action and must
// be won after it.
::testing::AssertionResult ReplaysToWin(TPosition position, const std::vector<TAction>& line) {
    TFaultLog faults;
    for (size_t i = 0; i < line.size(); ++i) {
        if (IsWon(position)) return ::testing::AssertionFailure() << "won before action " << i;
        if (line[i].IsStock) {
            if (ApplyStockClick(position, faults).Lost)
                return ::testing::AssertionFailure() << "action " << i << " loses";
            continue;
        }
        const std::vector<TMove> legal = LegalMoves(position);
        if (std::find(legal.begin(), legal.end(), line[i].Move) == legal.end())
            return ::testing::AssertionFailure() << "action " << i << " is no legal move";
        ApplyMove(position, line[i].Move.From, line[i].Move.To, faults);
    }
    if (!IsWon(position)) return ::testing::AssertionFailure() << "not won after the line";
    if (!faults.Empty()) return ::testing::AssertionFailure() << "the rules reported a fault";
    return ::testing::AssertionSuccess();
}

// Every card byte of the kind's piles, the deck's present flags and
// PassesLeft: two positions with the same string are the same position.
std::string FullKey(const TPosition& position) {
    std::string key;
    for (int g = 0; g < kGroups; ++g) {
        for (int p = 0; p < PilesInGroup(position.Kind, g); ++p) {
            for (const TCard& card : position.Board.Pile(position.Kind, g, p).Cards) {
                if (!card.Present) break;
                key += static_cast<char>('A' + card.Suit * kRanks + card.Rank);
            }
            key += '/';
        }
    }
    for (const TCard& card : position.Board.Deck.Cards)
        key += card.Present ? '1' : '0';
    return key + std::to_string(position.PassesLeft);
}

enum class TBrute { Winnable, NotWinnable, TooBig };

// Every position that the rules reach from the start, through every action
// they allow (lost stock clicks included), with no pruning and no symmetry.
TBrute BruteForce(const TPosition& start, size_t cap) {
    std::unordered_set<std::string> seen{FullKey(start)};
    std::vector<TPosition> stack{start};
    TFaultLog faults;
    bool won = false;
    // Positions are large: each child is built once in place and kept only
    // when it is new.
    TPosition position;
    TPosition child;
    const auto keep = [&] {
        if (seen.insert(FullKey(child)).second) stack.push_back(child);
    };
    while (!stack.empty()) {
        position = stack.back();
        stack.pop_back();
        won = won || IsWon(position);
        for (const TMove& move : LegalMoves(position)) {
            child = position;
            ApplyMove(child, move.From, move.To, faults);
            keep();
        }
        child = position;
        ApplyStockClick(child, faults);
        keep();
        if (seen.size() > cap) return TBrute::TooBig;
    }
    return won ? TBrute::Winnable : TBrute::NotWinnable;
}

// A small position. Napoleon's Tomb: near the end of a game, each corner
// holding a run and the cards left lying at random; one suit may keep up to
// 15 cards back, so that both copies of a card are still in play. Diamond:
// a few cards in a row of ranks, from one to the next possibly missing, with
// the first of them on the centre; the other cards are simply not in the
// game (the rules never count them, and a deck slot whose card is elsewhere
// is just empty), which keeps the centre from being taken apart again.
TPosition SmallPosition(TGameKind kind, std::mt19937& random) {
    TPosition position = DealtPosition(kind, random());
    TBoard& board = position.Board;
    board.ClearBlock(kind);
    for (TCard& slot : board.Deck.Cards)
        slot.Present = 0;
    const auto pick = [&random](int n) { return static_cast<int>(random() % n); };

    std::vector<TCard> left;
    if (IsTomb(kind)) {
        int corners[kSuits] = {0, 1, 2, 3};
        std::shuffle(corners, corners + kSuits, random);
        const int wide = pick(kSuits);
        for (int suit = 0; suit < kSuits; ++suit) {
            const int back = suit == wide ? pick(16) : pick(3);
            for (int i = 0; i < 2 * kRanks; ++i) {
                const TCard card = TCard::Make(suit, kRanks - 1 - i % kRanks);
                if (i < 2 * kRanks - back)
                    board.Pile(kind, GroupCorner, corners[suit]).Cards[i] = card;
                else
                    left.push_back(card);
            }
        }
        position.PassesLeft = IsPassLimited(kind) ? 1 + pick(2) : 5;
    } else {
        const int first = pick(kRanks);
        const int count = 4 + pick(4);
        for (int i = 0; i < count; ++i) {
            const int rank = (first + i + (pick(8) == 0 ? 1 : 0)) % kRanks;
            left.push_back(TCard::Make(pick(kSuits), rank));
        }
        board.Pile(kind, GroupSingle, 0).Cards[0] = left.front();
        left.erase(left.begin());
        position.PassesLeft = 5;
    }

    // Reserves and waste piles, which only give cards, hold most of them.
    const int groups[] = {GroupInner, GroupInner, GroupInner,  GroupWaste,
                          GroupWaste, GroupOuter, GroupSingle, GroupCorner};
    for (const TCard& card : left) {
        if (pick(3) == 0) {
            // Into the stock: one of the two deck slots of this card.
            for (TCard& slot : board.Deck.Cards) {
                if (!slot.Present && slot.Suit == card.Suit && slot.Rank == card.Rank) {
                    slot.Present = 1;
                    break;
                }
            }
            continue;
        }
        int group = 0;
        do {
            group = groups[pick(std::size(groups))];
        } while (IsFoundation(kind, group));
        TPile& pile = board.Pile(kind, group, pick(PilesInGroup(kind, group)));
        *std::find_if(pile.Cards, pile.Cards + kDeckSize,
                      [](const TCard& slot) { return !slot.Present; }) = card;
    }
    return position;
}

// The extra moves of the simplified game leave small positions practically
// always winnable; the other kinds must show both verdicts.
TEST(Solver, AgreesWithAnExhaustiveSearchOnSmallPositions) {
    std::mt19937 random(20261209);
    TSolverLimits limits;
    limits.MaxPositions = 200000;
    for (int kind = 0; kind < kGameKinds; ++kind) {
        int decided[2] = {};
        for (int tries = 0; tries < 60 / kShare; ++tries) {
            const TPosition position = SmallPosition(static_cast<TGameKind>(kind), random);
            const TBrute brute = BruteForce(position, 3000);
            if (brute == TBrute::TooBig) continue;
            const TSolveResult result = Solve(position, limits);
            if (brute == TBrute::Winnable) {
                ASSERT_EQ(result.Verdict, TVerdict::Winnable)
                    << "kind " << kind << " try " << tries;
                ASSERT_TRUE(ReplaysToWin(position, result.Line));
            } else {
                ASSERT_EQ(result.Verdict, TVerdict::NotWinnable)
                    << "kind " << kind << " try " << tries;
            }
            ++decided[brute == TBrute::Winnable ? 0 : 1];
        }
        EXPECT_GE(decided[0], 5 / kShare) << "kind " << kind;
        if (kind != gkTriskLite) {
            EXPECT_GE(decided[1], 5 / kShare) << "kind " << kind;
        }
    }
}

// Both copies of some card lie off the foundations.
bool BothCopiesInPlay(const TPosition& position) {
    int count[kSuits * kRanks] = {};
    for (const TCard& slot : position.Board.Deck.Cards)
        count[slot.Suit * kRanks + slot.Rank] += slot.Present;
    for (int g = 0; g < kGroups; ++g) {
        if (IsFoundation(position.Kind, g)) continue;
        for (int p = 0; p < PilesInGroup(position.Kind, g); ++p) {
            for (const TCard& card : position.Board.Pile(position.Kind, g, p).Cards)
                count[card.Suit * kRanks + card.Rank] += card.Present;
        }
    }
    return std::find(std::begin(count), std::end(count), 2) != std::end(count);
}

// The relaxation may only ever call a position lost that the exhaustive
// search finds lost; and on these positions it must find proofs often,
// with both copies of a card in play among them, or it proves nothing.
TEST(LossProof, NeverContradictsAnExhaustiveSearch) {
    std::mt19937 random(20261210);
    for (int kind = 0; kind < kGameKinds; ++kind) {
        int proofs = 0;
        int lost = 0;
        int twoCopies = 0;
        for (int tries = 0; tries < 150 / kShare; ++tries) {
            const TPosition position = SmallPosition(static_cast<TGameKind>(kind), random);
            const TBrute brute = BruteForce(position, 3000);
            if (brute == TBrute::TooBig) continue;
            lost += brute == TBrute::NotWinnable;
            const TLossProof proof = ProveLoss(position);
            if (!proof.Proved) continue;
            ASSERT_EQ(brute, TBrute::NotWinnable) << "kind " << kind << " try " << tries;
            EXPECT_FALSE(proof.Stranded.empty());
            ++proofs;
            twoCopies += BothCopiesInPlay(position);
        }
        // How often proofs come is counted in the plain build only: the
        // sanitized run sees too few positions for a share to mean much.
        if (kSanitized) continue;
        if (kind != gkTriskLite) {
            EXPECT_GE(proofs, lost / 3) << "kind " << kind;
        }
        if (kind == gkTriskClassic || kind == gkDiamond) {
            EXPECT_GE(twoCopies, 1) << "kind " << kind;
        }
    }
}

// The claim that links the two games, checked on the rules themselves: on
// the same cards, every Classical move is a Simplified move, so a Classical
// win is a Simplified win and a Simplified loss a Classical loss; and what
// SolveLinked carries over between them agrees with the exhaustive search.
TEST(LinkedGames, ClassicalWinsAreSimplifiedWinsAndSimplifiedLossesClassicalLosses) {
    std::mt19937 random(20261211);
    TSolverLimits limits;
    limits.MaxPositions = 200000;
    int compared = 0;
    for (int tries = 0; tries < 60 / kShare; ++tries) {
        TPosition classical = SmallPosition(gkTriskClassic, random);
        TPosition simplified = classical;
        simplified.Kind = gkTriskLite;
        for (const TMove& move : LegalMoves(classical)) {
            const std::vector<TMove> more = LegalMoves(simplified);
            ASSERT_NE(std::find(more.begin(), more.end(), move), more.end());
        }
        const TBrute hard = BruteForce(classical, 3000);
        const TBrute easy = BruteForce(simplified, 20000);
        if (hard == TBrute::TooBig || easy == TBrute::TooBig) continue;
        ++compared;
        if (hard == TBrute::Winnable) {
            EXPECT_EQ(easy, TBrute::Winnable) << "try " << tries;
        }
        const TSolveResult linked = SolveLinked(simplified, limits);
        EXPECT_EQ(linked.Verdict == TVerdict::Winnable, easy == TBrute::Winnable);
    }
    EXPECT_GE(compared, 10 / kShare);

    // Dealt games: the same cards, and a Classical winning line wins the
    // Simplified game move for move.
    TSolverLimits dealt;
    dealt.TimeLimit = 20s;
    for (const uint32_t number : {8u, 10u}) {
        const TPosition classical = DealtPosition(gkTriskClassic, number);
        TPosition simplified = DealtPosition(gkTriskLite, number);
        EXPECT_EQ(std::memcmp(&classical.Board.TombPiles, &simplified.Board.TombPiles,
                              sizeof(classical.Board.TombPiles)),
                  0);
        const TSolveResult result = Solve(classical, dealt);
        ASSERT_EQ(result.Verdict, TVerdict::Winnable);
        EXPECT_TRUE(ReplaysToWin(simplified, result.Line));
    }
}

TEST(Solver, WinningLinesOfDealtGamesReplayToAWin) {
    const struct {
        TGameKind Kind;
        uint32_t Number;
    } deals[] = {{gkTriskLite, 3},
                 {gkTriskLite, 28},
                 {gkTriskClassic, 8},
                 {gkTriskClassic, 10},
                 {gkDiamond, 9},
                 {gkDiamond, 10},
                 // Won by a nested probe: its line joins the chosen actions
                 // and the probe that reached the end.
                 {gkTriskClassic, 27}};
    TSolverLimits limits;
    limits.TimeLimit = 20s;
    for (const auto& deal : deals) {
        const TPosition position = DealtPosition(deal.Kind, deal.Number);
        const TSolveResult result = Solve(position, limits);
        ASSERT_EQ(result.Verdict, TVerdict::Winnable) << deal.Kind << " " << deal.Number;
        EXPECT_TRUE(ReplaysToWin(position, result.Line)) << deal.Kind << " " << deal.Number;
        EXPECT_TRUE(LineWins(position, result.Line));
    }
}

// The first dealt game proved lost: every position reachable from the deal
// visited, the rounds of the stock merged. (A search with every turn of the
// stock told apart and no cut-offs visits 1 816 876 positions and agrees.)
TEST(Solver, ADealtComplicatedGameIsProvedLostByVisitingEveryPosition) {
    const TSolveResult result = Solve(DealtPosition(gkTriskStrong, 662), {});
    EXPECT_EQ(result.Verdict, TVerdict::NotWinnable);
    EXPECT_EQ(result.Method, TMethod::Search);
    EXPECT_GT(result.Positions, 10000u);
    EXPECT_TRUE(result.Line.empty());
}

TEST(Solver, AWonPositionIsWinnableWithAnEmptyLine) {
    TPosition position = DealtPosition(gkDiamond, 1);
    position.Board.ClearBlock(gkDiamond);
    for (TCard& slot : position.Board.Deck.Cards) {
        position.Board.Pile(gkDiamond, GroupSingle, 0).Cards[&slot - position.Board.Deck.Cards] =
            TCard::Make(slot.Suit, slot.Rank);
        slot.Present = 0;
    }
    const TSolveResult result = Solve(position, {});
    EXPECT_EQ(result.Verdict, TVerdict::Winnable);
    EXPECT_TRUE(result.Line.empty());
}

TEST(Solver, APileWithAGapIsRefused) {
    TPosition position = DealtPosition(gkTriskClassic, 5);
    position.Board.Pile(gkTriskClassic, GroupInner, 0).Cards[3].Present = 0;
    const TSolveResult result = Solve(position, {});
    EXPECT_EQ(result.Verdict, TVerdict::Undetermined);
    EXPECT_EQ(result.Stop, TStopReason::BadPosition);
}

// A game that can never be won and never be proved lost in a short search:
// a dealt game with one of its cards missing, other than an Ace. The corner
// of that suit can never get past the missing card, so the cards of its suit
// below it in the second run can never leave the table.
TPosition Hopeless() {
    TPosition position = DealtPosition(gkTriskClassic, 2);
    for (int p = 0;; ++p) {
        TPile& reserve = position.Board.Pile(gkTriskClassic, GroupInner, p);
        if (reserve.Cards[9].Rank != 0) {
            reserve.Cards[9].Present = 0;
            return position;
        }
    }
}

TEST(Solver, LimitsStopTheSearchUndetermined) {
    const TPosition position = Hopeless();

    TSolverLimits few;
    few.MaxPositions = 25;
    TSolveResult result = Solve(position, few);
    EXPECT_EQ(result.Verdict, TVerdict::Undetermined);
    EXPECT_EQ(result.Stop, TStopReason::Positions);
    EXPECT_EQ(result.Positions, 25u);

    TSolverLimits brief;
    brief.TimeLimit = 200ms;
    const auto started = std::chrono::steady_clock::now();
    result = Solve(position, brief);
    EXPECT_EQ(result.Stop, TStopReason::Time);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 1500ms);

    // The larger cap is reached only after the nested probes have started.
    for (const uint64_t cap : {3ull << 20, 8ull << 20}) {
        TSolverLimits small;
        small.MaxMemoryBytes = cap;
        result = Solve(position, small);
        EXPECT_EQ(result.Verdict, TVerdict::Undetermined);
        EXPECT_EQ(result.Stop, TStopReason::Memory);
        EXPECT_LE(result.PeakBytes, small.MaxMemoryBytes);
        EXPECT_GT(result.PeakBytes, small.MaxMemoryBytes / 2);
    }
}

TEST(Solver, CancellingFromAnotherThreadStopsTheSearchPromptly) {
    const TPosition position = Hopeless();
    std::atomic<bool> cancel{false};
    TSolveResult result;
    std::thread search([&] { result = Solve(position, {}, &cancel); });
    std::this_thread::sleep_for(100ms);
    const auto cancelled = std::chrono::steady_clock::now();
    cancel = true;
    search.join();
    EXPECT_LT(std::chrono::steady_clock::now() - cancelled, 500ms);
    EXPECT_EQ(result.Verdict, TVerdict::Undetermined);
    EXPECT_EQ(result.Stop, TStopReason::Cancelled);
}

TEST(Solver, ScriptLinesAreThoseOfTriskToolPlay) {
    std::ostringstream out;
    WriteScript({TAction::StockClick(), TAction::MoveOf({4, 2}, {1, 3})}, out);
    EXPECT_EQ(out.str(), "stock\nmove 4 2 1 3\n");
}

}  // namespace
}  // namespace trisk
