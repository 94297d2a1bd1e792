// The solver: searches the moves and stock clicks that the rules allow from a
// position for a line that wins the game. It answers with one of three
// verdicts and never guesses: a winning line, a proof that no line exists
// (every position reachable from the start was visited), or "undetermined"
// when a limit stopped the search first.
//
// Every legality question and every change of the position is asked of the
// engine's pure rules; the solver itself only decides in which order to try
// them and remembers where it has been.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "engine/rules.h"
#include "solver/loss_proof.h"

namespace trisk {

// One step of a line: a click on the stock or a card move.
struct TAction {
    bool IsStock = false;
    TMove Move{};

    static TAction StockClick() { return TAction{true, {}}; }
    static TAction MoveOf(TPileRef from, TPileRef to) { return TAction{false, {from, to}}; }
    bool operator==(const TAction&) const = default;
};

// Zero means "no limit" for each of them.
struct TSolverLimits {
    uint64_t MaxPositions = 0;
    uint64_t MaxMemoryBytes = 256ull << 20;
    std::chrono::milliseconds TimeLimit{0};
    // What the time limit and the result's Milliseconds count: the wall
    // clock when empty. trisk-tool counts the searching thread's own
    // processor time, so that a busy machine does not change its verdicts.
    std::chrono::nanoseconds (*Clock)() = nullptr;
};

enum class TVerdict { Winnable, NotWinnable, Undetermined };

// Why an undetermined search stopped.
enum class TStopReason { None, Positions, Memory, Time, Cancelled, BadPosition };

// How a verdict was reached.
enum class TMethod {
    Search,      // a line found, or every position visited (Positions of them)
    Relaxation,  // the relaxed game of ProveLoss shows the start lost (Proof)
    LinkedGame,  // the verdict of the simplified or classical game on the same deal
};

struct TSolveResult {
    TVerdict Verdict = TVerdict::Undetermined;
    TStopReason Stop = TStopReason::None;
    TMethod Method = TMethod::Search;
    // The relaxation's proof when Method is Relaxation.
    TLossProof Proof;
    // Positions whose relaxed game was lost, left unexpanded by the search.
    uint64_t Cut = 0;
    // The winning line from the given position; empty unless winnable.
    std::vector<TAction> Line;
    // Distinct positions visited, the start included.
    uint64_t Positions = 0;
    // The most cards on the foundations where a line of the search ended,
    // the start's own count at least: how near an undecided game came.
    int MostOnFoundations = 0;
    // Most memory held at once by the search's own tables and stacks.
    uint64_t PeakBytes = 0;
    uint64_t Milliseconds = 0;
};

// Searches from position. cancel, when given, is polled while searching: once
// it reads true the search stops soon with an undetermined verdict.
// A position whose piles have gaps between their cards cannot be replayed
// faithfully and is answered undetermined with TStopReason::BadPosition.
TSolveResult Solve(const TPosition& position, const TSolverLimits& limits,
                   const std::atomic<bool>* cancel = nullptr);

// Simplified and Classical deal the same cards and the Simplified rules only
// add moves, so a Classical winning line wins the Simplified game too and a
// Simplified game that cannot be won cannot be won as Classical either.
// A Simplified position is searched with three quarters of the time limit,
// then as Classical with what is left; a Classical one with the whole time
// limit, then as Simplified with what is left, if anything. The linked
// verdict counts only in the direction that carries over (Method is then
// LinkedGame). Other kinds are searched as Solve does.
TSolveResult SolveLinked(const TPosition& position, const TSolverLimits& limits);

// One action in the script language of trisk-tool play: "stock" or
// "move G P G2 P2".
std::string ActionText(const TAction& action);
// The line, one action a line.
void WriteScript(const std::vector<TAction>& line, std::ostream& out);

// Plays a line on a copy of position through the rules: true when every move
// is legal, no stock click loses and the last action leaves the game won.
bool LineWins(const TPosition& position, const std::vector<TAction>& line);

}  // namespace trisk
