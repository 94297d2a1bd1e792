#include "solver/solver.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <random>

#include "solver/search_state.h"

namespace trisk {

namespace {

using TClock = std::chrono::steady_clock;

// ---------------------------------------------------------------------------
// The set of visited positions: open addressing over fingerprints, grown by
// doubling while the memory cap allows.

class TSeenSet {
  public:
    enum TInsert { Added, Known, Full };

    TSeenSet(size_t slots, uint64_t capBytes) : capBytes_(capBytes) { Resize(slots); }

    // otherBytes is what the rest of the search holds, so that growing never
    // takes the whole beyond the cap.
    TInsert Insert(TKey key, uint64_t otherBytes) {
        if (key.A == 0 && key.B == 0) key.A = 1;  // the all-zero pair marks a free slot
        if ((used_ + 1) * 4 > slots_.size() * 3) {
            const uint64_t grown = slots_.size() * 2 * sizeof(TKey);
            if (capBytes_ == 0 || Bytes() + grown + otherBytes <= capBytes_) {
                peak_ = std::max(peak_, Bytes() + grown + otherBytes);
                Resize(slots_.size() * 2);
            } else if ((used_ + 1) * 10 > slots_.size() * 9) {
                return Full;
            }
        }
        size_t i = static_cast<size_t>(key.A) & (slots_.size() - 1);
        for (;;) {
            TKey& slot = slots_[i];
            if (slot.A == 0 && slot.B == 0) {
                slot = key;
                ++used_;
                if (track_) filled_.push_back(i);
                return Added;
            }
            if (slot == key) return Known;
            i = (i + 1) & (slots_.size() - 1);
        }
    }

    bool Contains(TKey key) const {
        if (key.A == 0 && key.B == 0) key.A = 1;
        size_t i = static_cast<size_t>(key.A) & (slots_.size() - 1);
        for (;;) {
            const TKey& slot = slots_[i];
            if (slot.A == 0 && slot.B == 0) return false;
            if (slot == key) return true;
            i = (i + 1) & (slots_.size() - 1);
        }
    }

    // A set that is emptied often and stays small: remember the slots filled,
    // so that emptying it costs what was put in.
    void TrackFilled() { track_ = true; }
    void Clear() {
        if (filled_.size() * 4 > slots_.size()) {
            std::fill(slots_.begin(), slots_.end(), TKey{});
        } else {
            for (size_t i : filled_)
                slots_[i] = TKey{};
        }
        filled_.clear();
        used_ = 0;
    }

    uint64_t Bytes() const {
        return slots_.size() * sizeof(TKey) + filled_.capacity() * sizeof(size_t);
    }
    // The most held at once with the rest of the search, counting both the
    // old and the new table while growing.
    uint64_t PeakBytes() const { return peak_; }

  private:
    void Resize(size_t count) {
        std::vector<TKey> old(count);
        old.swap(slots_);
        const size_t mask = slots_.size() - 1;
        filled_.clear();
        for (const TKey& key : old) {
            if (key.A == 0 && key.B == 0) continue;
            size_t i = static_cast<size_t>(key.A) & mask;
            while (slots_[i].A != 0 || slots_[i].B != 0)
                i = (i + 1) & mask;
            slots_[i] = key;
            if (track_) filled_.push_back(i);
        }
    }

    uint64_t capBytes_;
    std::vector<TKey> slots_;
    size_t used_ = 0;
    uint64_t peak_ = 0;
    bool track_ = false;
    std::vector<size_t> filled_;
};

// ---------------------------------------------------------------------------
// Positions waiting to be expanded, as (parent node, action), grouped by
// score; within a score the last one queued comes out first.

class TQueue {
  public:
    static constexpr int kScores = 1 << 14;

    // The bytes that a push with this score would add.
    uint64_t PushCost(int score) const {
        if (buckets_.empty()) return kScores * sizeof(std::vector<uint64_t>);
        const std::vector<uint64_t>& bucket = buckets_[Bucket(score)];
        if (bucket.size() < bucket.capacity()) return 0;
        return Grown(bucket) * sizeof(uint64_t);  // the old buffer is held until copied
    }
    void Push(int score, uint64_t parent, TCode code) {
        score = Bucket(score);
        if (buckets_.empty()) buckets_.resize(kScores);
        std::vector<uint64_t>& bucket = buckets_[score];
        if (bucket.size() == bucket.capacity()) {
            const size_t grown = Grown(bucket);
            bytes_ += (grown - bucket.capacity()) * sizeof(uint64_t);
            bucket.reserve(grown);
        }
        bucket.push_back(parent << 16 | code);
        best_ = std::max(best_, score);
        ++size_;
    }
    bool Empty() const { return size_ == 0; }
    void Pop(uint64_t& parent, TCode& code) {
        while (buckets_[best_].empty())
            --best_;
        const uint64_t entry = buckets_[best_].back();
        buckets_[best_].pop_back();
        --size_;
        parent = entry >> 16;
        code = static_cast<TCode>(entry & 0xFFFF);
    }
    uint64_t Bytes() const { return bytes_ + buckets_.size() * sizeof(std::vector<uint64_t>); }

  private:
    static int Bucket(int score) { return std::clamp(score + kScores / 2, 0, kScores - 1); }
    static size_t Grown(const std::vector<uint64_t>& bucket) {
        return std::max<size_t>(bucket.capacity() + bucket.capacity() / 2, 16);
    }

    std::vector<std::vector<uint64_t>> buckets_;
    int best_ = 0;
    size_t size_ = 0;
    uint64_t bytes_ = 0;
};

// The positions kept by the search: each as the node it was reached from, the
// action that led to it and its packed form, one after the other in blocks
// that never move (so that growing never copies, nor holds two copies of,
// what is already kept). A node is named by where it starts.

class TNodeStore {
  public:
    static constexpr size_t kBlock = 1 << 20;
    static constexpr size_t kHeader = sizeof(uint64_t) + sizeof(TCode);
    static constexpr size_t kMaxNode = kHeader + TSearchState::kMaxPacked;

    // The bytes that adding a node may take.
    uint64_t AddCost() const {
        if (!blocks_.empty() && used_ + kMaxNode <= kBlock) return 0;
        return kBlock + (blocks_.size() == blocks_.capacity() ? blocks_.size() * 2 * 8 + 64 : 0);
    }
    uint64_t Add(uint64_t parent, TCode via, const TSearchState& state) {
        if (blocks_.empty() || used_ + kMaxNode > kBlock) {
            blocks_.push_back(std::make_unique<uint8_t[]>(kBlock));
            used_ = 0;
        }
        const uint64_t node = (blocks_.size() - 1) * kBlock + used_;
        uint8_t* p = blocks_.back().get() + used_;
        std::memcpy(p, &parent, sizeof(parent));
        std::memcpy(p + sizeof(parent), &via, sizeof(via));
        used_ += kHeader + state.Pack(p + kHeader);
        return node;
    }
    uint64_t Parent(uint64_t node) const {
        uint64_t parent = 0;
        std::memcpy(&parent, At(node), sizeof(parent));
        return parent;
    }
    TCode Via(uint64_t node) const {
        TCode via = 0;
        std::memcpy(&via, At(node) + sizeof(uint64_t), sizeof(via));
        return via;
    }
    const uint8_t* Packed(uint64_t node) const { return At(node) + kHeader; }
    uint64_t Bytes() const { return blocks_.size() * kBlock + blocks_.capacity() * 8; }

  private:
    const uint8_t* At(uint64_t node) const { return blocks_[node / kBlock].get() + node % kBlock; }

    std::vector<std::unique_ptr<uint8_t[]>> blocks_;
    size_t used_ = 0;
};

// ---------------------------------------------------------------------------
// The search. Two searches share the budget, taking turns:
//
// - A best-first search, which is complete: the positions met but not yet
//   expanded wait in a queue ordered by a score of how promising they look;
//   the best is expanded next, ties going to the one met last. Every position
//   is queued once (the seen set). When the queue runs empty, every position
//   reachable from the start has been expanded and the game cannot be won.
// - Probes: single lines played until they reach nothing new, half of them
//   from the start and half from a random point of the best line so far
//   (the one that put most cards on the foundations), and nested probes,
//   which choose each action of their line by a probe after every choice.
//   They prove nothing, but a winning line is often rare among the lines of
//   a deal, and many tries that keep what worked find one sooner than any
//   order of the complete search.

// How the searches share the work, by game. In Napoleon's Tomb the probes
// find nearly every win: a line that gets anywhere is rare, and its shape
// (which cards to play at once and which to hold back) is found by trying,
// not by a score. In Diamond, where almost every line goes on for a long
// time, the scored searches do better: the complete search and probes that
// follow the score. Half of the probes' actions go to nested probes, except
// in Complicated, whose wins came no sooner with them.
struct TStyle {
    uint64_t CompleteTurn = 0;
    uint64_t ProbeTurn = 0;
    bool Greedy = false;
    // The share of the probes' actions, in percent, spent on nested probes.
    uint64_t NestedShare = 0;
};
constexpr TStyle kPassLimitedStyle{512, 4096, false, 50};
constexpr TStyle kComplicatedStyle{512, 4096, false, 0};
constexpr TStyle kDiamondStyle{2048, 2048, true, 50};
constexpr int kGreedyNoise = 1;

class TSolver {
  public:
    static constexpr size_t kProbeLength = 5000;
    // How eager a probe is to click the stock while moves are still possible,
    // in thousandths; each probe draws one.
    static constexpr int kEagerness[] = {0, 0, 0, 50, 100, 200, 300};
    // Nested probes start only after this many actions of the others: most
    // deals fall to the cheap probes in a fraction of a second, sooner than
    // one nested probe ends.
    static constexpr uint64_t kNestedAfter = 20000;

    TSolver(const TPosition& start, const TSolverLimits& limits, const std::atomic<bool>* cancel,
            bool wary)
        : state_(start),
          wary_(wary),
          style_(IsPassLimited(start.Kind) ? kPassLimitedStyle
                 : IsTomb(start.Kind)      ? kComplicatedStyle
                                           : kDiamondStyle),
          limits_(limits),
          cancel_(cancel),
          seen_(1u << 14, limits.MaxMemoryBytes),
          probeSeen_(1u << 14, 0) {
        // Sized once: a probe never holds more positions than the table takes.
        probeSeen_.TrackFilled();
        lineSeen_.TrackFilled();
        path_.reserve(kProbeLength);
        best_.reserve(kProbeLength);
        if (style_.NestedShare > 0) {
            line_.reserve(kProbeLength);
            stepBest_.reserve(kProbeLength);
            follow_.reserve(kProbeLength);
        }
        order_.reserve(1024);
    }

    TSolveResult Run();

  private:
    enum class TStep { Going, Won, Exhausted, Stopped };

    TStep ExpandNext();
    TStep Probe();
    bool RandomStep(int eagerness, const TSeenSet* line);
    TStep NestedProbe();
    TStep KeepIfBest();
    bool Inject();
    bool Keep(uint64_t parent, TCode via, uint64_t& node);
    bool Count();

    uint64_t HeldBytes() const {
        return seen_.Bytes() + probeSeen_.Bytes() + lineSeen_.Bytes() + queue_.Bytes() +
               nodes_.Bytes() + state_.Bytes() + here_.capacity() +
               (path_.capacity() + best_.capacity() + order_.capacity() + line_.capacity() +
                choices_.capacity() + stepBest_.capacity() + follow_.capacity()) *
                   sizeof(TCode);
    }
    bool WithinLimits();
    bool Afford(uint64_t more);
    TSolveResult Finish();

    TSearchState state_;
    const bool wary_;  // how positions are scored (see TSearchState::Score)
    const TStyle style_;
    const TSolverLimits limits_;
    const std::atomic<bool>* cancel_;
    std::chrono::nanoseconds Now() const {
        return limits_.Clock ? limits_.Clock() : TClock::now().time_since_epoch();
    }
    std::chrono::nanoseconds started_ = Now();

    TSeenSet seen_;
    TQueue queue_;
    TNodeStore nodes_;
    uint64_t current_ = 0;

    TSeenSet probeSeen_;
    std::vector<TCode> path_;
    std::vector<TCode> best_;
    int bestValue_ = -1;
    // The nested probe: the positions of its line, the line, the position
    // where it chooses, the actions it chooses from, the best probe of this
    // step and the probe it follows.
    TSeenSet lineSeen_{1u << 14, 0};
    std::vector<TCode> line_;
    std::vector<uint8_t> here_ = std::vector<uint8_t>(TSearchState::kMaxPacked);
    std::vector<TCode> choices_;
    std::vector<TCode> stepBest_;
    std::vector<TCode> follow_;
    uint64_t nestedSteps_ = 0;
    uint64_t steps_ = 0;
    std::vector<TCode> order_;
    std::mt19937_64 random_{0x7269736B};

    TSolveResult result_;
    bool cutting_ = false;
};

// Counts one more position visited; false when that is one too many.
bool TSolver::Count() {
    if (limits_.MaxPositions > 0 && result_.Positions >= limits_.MaxPositions) {
        result_.Stop = TStopReason::Positions;
        return false;
    }
    ++result_.Positions;
    return true;
}

bool TSolver::WithinLimits() {
    if (cancel_ && cancel_->load(std::memory_order_relaxed)) {
        result_.Stop = TStopReason::Cancelled;
        return false;
    }
    if (limits_.TimeLimit.count() > 0 && Now() - started_ >= limits_.TimeLimit) {
        result_.Stop = TStopReason::Time;
        return false;
    }
    const uint64_t held = HeldBytes();
    result_.PeakBytes = std::max(result_.PeakBytes, held);
    if (limits_.MaxMemoryBytes > 0 && held > limits_.MaxMemoryBytes) {
        result_.Stop = TStopReason::Memory;
        return false;
    }
    return true;
}

// Every store of the search grows only after asking whether the memory cap
// allows it.
bool TSolver::Afford(uint64_t more) {
    const uint64_t after = HeldBytes() + more;
    if (limits_.MaxMemoryBytes > 0 && after > limits_.MaxMemoryBytes) {
        result_.Stop = TStopReason::Memory;
        return false;
    }
    result_.PeakBytes = std::max(result_.PeakBytes, after);
    return true;
}

bool TSolver::Keep(uint64_t parent, TCode via, uint64_t& node) {
    if (!Afford(nodes_.AddCost())) return false;
    node = nodes_.Add(parent, via, state_);
    return true;
}

// Expands the best queued position: queues each new position one action away.
TSolver::TStep TSolver::ExpandNext() {
    if (queue_.Empty()) return TStep::Exhausted;
    TCode via = kStockCode;
    uint64_t parent = 0;
    queue_.Pop(parent, via);
    state_.Unpack(nodes_.Packed(parent));
    current_ = parent;
    if (via != kNoAction) {
        state_.Apply(via);
        // A position whose relaxed game is lost has no winning line: none of
        // the positions after it needs a visit for its sake. Positions just
        // after a stock click are not asked: a card more on the waste seldom
        // strands anything, and they are most of those expanded.
        if (cutting_ && via != kStockCode && ProveLoss(state_.Position()).Proved) {
            ++result_.Cut;
            return TStep::Going;
        }
        if (!Keep(parent, via, current_)) return TStep::Stopped;
    }

    // The moves that come with stock clicks come in the order of their
    // clicks: each needs only the clicks it has more than the one before.
    state_.LegalActions(order_);
    int clicks = 0;
    for (const TCode code : order_) {
        if (!state_.ApplyKeepingClicks(code, clicks)) continue;
        const TSeenSet::TInsert inserted = seen_.Insert(state_.Key(), HeldBytes() - seen_.Bytes());
        if (inserted == TSeenSet::Full) {
            result_.Stop = TStopReason::Memory;
            return TStep::Stopped;
        }
        if (inserted == TSeenSet::Added) {
            if (!Count()) return TStep::Stopped;
            if (state_.IsWon()) {
                path_.assign(1, code);
                for (uint64_t n = current_; n != 0; n = nodes_.Parent(n))
                    path_.push_back(nodes_.Via(n));
                for (auto it = path_.rbegin(); it != path_.rend(); ++it)
                    state_.AppendActions(*it, result_.Line);
                return TStep::Won;
            }
            const int score = state_.Score(wary_);
            if (!Afford(queue_.PushCost(score))) return TStep::Stopped;
            queue_.Push(score, current_, code);
        }
        state_.UndoKeepingClicks(code);
    }
    state_.DropClicks(clicks);
    return TStep::Going;
}

// One random line, from the start or from a point on the best line found so
// far, until nothing new can be reached. Each line has its own eagerness to
// click the stock while moves are still possible: some deals are won by
// playing every card that can go somewhere, others by holding cards back.
// A probe plays as a player does, a stock click at a time, and tells every
// turn of the stock apart; the complete search folds the clicks of a stock
// that goes round without end into the moves they lead to.
TSolver::TStep TSolver::Probe() {
    state_.Unpack(nodes_.Packed(0));
    probeSeen_.Clear();
    probeSeen_.Insert(state_.RawKey(), 0);
    path_.clear();
    if (!best_.empty() && random_() % 2 == 0) {
        const size_t keep = random_() % (best_.size() + 1);
        for (size_t i = 0; i < keep; ++i) {
            state_.Apply(best_[i]);
            state_.KeepApplied();
            probeSeen_.Insert(state_.RawKey(), 0);
            path_.push_back(best_[i]);
        }
    }
    const int eagerness = kEagerness[random_() % std::size(kEagerness)];

    while (path_.size() < kProbeLength) {
        if (!RandomStep(eagerness, nullptr)) break;
        if (!Count()) return TStep::Stopped;
        if (++steps_ % 256 == 0 && !WithinLimits()) return TStep::Stopped;
        if (state_.IsWon()) {
            for (const TCode code : path_)
                state_.AppendActions(code, result_.Line);
            return TStep::Won;
        }
    }
    return KeepIfBest();
}

// A line that put at least as many cards on the foundations as the best so
// far (path_, ending in the working position) becomes the best line, the one
// later probes restart from; a better one is handed to the complete search.
TSolver::TStep TSolver::KeepIfBest() {
    const int value = state_.OnFoundations();
    if (value >= bestValue_) {
        if (value > bestValue_ && !Inject()) return TStep::Stopped;
        bestValue_ = value;
        best_ = path_;
    }
    return TStep::Going;
}

// One step of a random line: the action the line's order picks among those
// that lead to a position new to the line (and, when given, new to line too).
// False when there is none.
bool TSolver::RandomStep(int eagerness, const TSeenSet* line) {
    const auto known = [&] {
        return probeSeen_.Contains(state_.RawKey()) || (line && line->Contains(state_.RawKey()));
    };
    // Cards onto a foundation first, then the other moves in a random
    // order, then the stock (sometimes before the other moves), and
    // taking a card off a foundation last.
    state_.LegalActions(order_, false);
    const auto onto = std::stable_partition(
        order_.begin(), order_.end(), [this](TCode code) { return state_.ToFoundation(code); });
    const auto moves = std::stable_partition(onto, order_.end(), [this](TCode code) {
        return code != kStockCode && !state_.FromFoundation(code);
    });
    const auto stock =
        std::stable_partition(moves, order_.end(), [](TCode code) { return code == kStockCode; });
    std::shuffle(order_.begin(), onto, random_);
    std::shuffle(onto, moves, random_);
    order_.erase(stock, order_.end());
    if (moves != stock && static_cast<int>(random_() % 1000) < eagerness)
        std::rotate(onto, moves, stock);
    bool moved = false;
    if (style_.Greedy) {
        // The action to the best scored new position, ties broken at random.
        int bestScore = INT32_MIN;
        TCode chosen = kNoAction;
        for (const TCode code : order_) {
            if (!state_.Apply(code)) continue;
            if (!known()) {
                const int score = state_.Score(wary_) + static_cast<int>(random_() % kGreedyNoise);
                if (score > bestScore) {
                    bestScore = score;
                    chosen = code;
                }
            }
            state_.Undo(code);
        }
        if (chosen != kNoAction) {
            state_.Apply(chosen);
            probeSeen_.Insert(state_.RawKey(), 0);
            path_.push_back(chosen);
            state_.KeepApplied();
            moved = true;
        }
    } else {
        // The first action in the order that leads somewhere new.
        for (const TCode code : order_) {
            if (!state_.Apply(code)) continue;
            if (!(line && line->Contains(state_.RawKey())) &&
                probeSeen_.Insert(state_.RawKey(), 0) == TSeenSet::Added) {
                moved = true;
                path_.push_back(code);
                state_.KeepApplied();
                break;
            }
            state_.Undo(code);
        }
    }
    return moved;
}

// A nested probe (a nested rollout of level one, as Bjarnason, Fern and
// Tadepalli played Klondike): the line is built from the start one action at
// a time. At each step every action is tried with one random probe after it,
// and the line goes on with the action whose probe put most cards on the
// foundations, or along the best probe of an earlier step while no probe of
// this step does better. A probe never comes back to a position of the line.
// It costs as many probes as the line has actions and choices, but wins many
// deals that any number of single probes practically never wins.
TSolver::TStep TSolver::NestedProbe() {
    state_.Unpack(nodes_.Packed(0));
    lineSeen_.Clear();
    lineSeen_.Insert(state_.RawKey(), 0);
    line_.clear();
    follow_.clear();
    size_t followAt = 0;
    int followValue = -1;
    while (line_.size() < kProbeLength) {
        state_.Pack(here_.data());
        state_.LegalActions(choices_, false);
        int stepValue = -1;
        stepBest_.clear();
        for (const TCode choice : choices_) {
            state_.Unpack(here_.data());
            if (!state_.Apply(choice)) continue;
            state_.KeepApplied();
            if (lineSeen_.Contains(state_.RawKey())) continue;
            probeSeen_.Clear();
            probeSeen_.Insert(state_.RawKey(), 0);
            path_.assign(1, choice);
            const int eagerness = kEagerness[random_() % std::size(kEagerness)];
            bool won = state_.IsWon();
            while (!won && path_.size() < kProbeLength && RandomStep(eagerness, &lineSeen_)) {
                if (!Count()) return TStep::Stopped;
                if (++steps_ % 256 == 0 && !WithinLimits()) return TStep::Stopped;
                won = state_.IsWon();
            }
            if (won) {
                for (const TCode code : line_)
                    state_.AppendActions(code, result_.Line);
                for (const TCode code : path_)
                    state_.AppendActions(code, result_.Line);
                return TStep::Won;
            }
            if (const int value = state_.OnFoundations(); value > stepValue) {
                stepValue = value;
                stepBest_ = path_;
            }
        }
        state_.Unpack(here_.data());
        if (followAt >= follow_.size() || stepValue > followValue) {
            if (stepBest_.empty()) break;
            follow_.swap(stepBest_);
            followAt = 0;
            followValue = stepValue;
        }
        const TCode next = follow_[followAt++];
        state_.Apply(next);
        state_.KeepApplied();
        lineSeen_.Insert(state_.RawKey(), 0);
        line_.push_back(next);
    }
    path_ = line_;
    return KeepIfBest();
}

// Hands the positions of a probe's line to the complete search: those it has
// not met yet are queued with their scores, so that it looks around the best
// lines found so far too. Each position of the line is kept as a node, the
// parent of the next.
bool TSolver::Inject() {
    state_.Unpack(nodes_.Packed(0));
    uint64_t parent = 0;
    for (const TCode code : path_) {
        state_.Apply(code);
        state_.KeepApplied();
        const TSeenSet::TInsert inserted = seen_.Insert(state_.Key(), HeldBytes() - seen_.Bytes());
        if (inserted == TSeenSet::Full) {
            result_.Stop = TStopReason::Memory;
            return false;
        }
        if (inserted == TSeenSet::Added) {
            const int score = state_.Score(wary_);
            if (!Afford(queue_.PushCost(score))) return false;
            queue_.Push(score, parent, code);
        }
        if (!Keep(parent, code, parent)) return false;
    }
    return true;
}

TSolveResult TSolver::Finish() {
    result_.Milliseconds = static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Now() - started_).count());
    result_.PeakBytes = std::max({result_.PeakBytes, HeldBytes(), seen_.PeakBytes()});
    result_.MostOnFoundations = std::max(result_.MostOnFoundations, bestValue_);
    return result_;
}

TSolveResult TSolver::Run() {
    if (!state_.Valid()) {
        result_.Stop = TStopReason::BadPosition;
        return Finish();
    }
    seen_.Insert(state_.Key(), 0);
    result_.Positions = 1;
    result_.MostOnFoundations = state_.OnFoundations();
    if (state_.IsWon()) {
        result_.Verdict = TVerdict::Winnable;
        return Finish();
    }
    result_.Proof = ProveLoss(state_.Position());
    if (result_.Proof.Proved) {
        result_.Verdict = TVerdict::NotWinnable;
        result_.Method = TMethod::Relaxation;
        return Finish();
    }
    result_.Proof = {};
    // In Napoleon's Tomb the relaxation cuts off a few percent of the
    // positions expanded; in Diamond, whose cards go nearly anywhere, it
    // practically never does and would only slow the search.
    cutting_ = IsTomb(state_.Position().Kind);
    uint64_t root = 0;
    if (!Keep(0, kNoAction, root) || !Afford(queue_.PushCost(0))) return Finish();
    queue_.Push(0, 0, kNoAction);
    random_.seed(state_.Key().A);

    // The two searches take turns; a turn of the complete search is a number
    // of expansions, one of the probes a number of actions.
    for (;;) {
        for (uint64_t i = 0; i < style_.CompleteTurn; ++i) {
            if (i % 64 == 0 && !WithinLimits()) return Finish();
            switch (ExpandNext()) {
                case TStep::Going:
                    break;
                case TStep::Won:
                    result_.Verdict = TVerdict::Winnable;
                    return Finish();
                case TStep::Exhausted:
                    result_.Verdict = TVerdict::NotWinnable;
                    return Finish();
                case TStep::Stopped:
                    return Finish();
            }
        }
        // A probe that finds nothing new at all still counts as one action.
        for (const uint64_t end = steps_ + style_.ProbeTurn; steps_ < end; ++steps_) {
            if (!WithinLimits()) return Finish();
            const uint64_t before = steps_;
            const bool nested = steps_ >= kNestedAfter &&
                                nestedSteps_ * 100 < (steps_ - kNestedAfter) * style_.NestedShare;
            const TStep step = nested ? NestedProbe() : Probe();
            if (nested) nestedSteps_ += steps_ - before;
            switch (step) {
                case TStep::Won:
                    result_.Verdict = TVerdict::Winnable;
                    return Finish();
                case TStep::Stopped:
                    return Finish();
                default:
                    break;
            }
        }
    }
}

}  // namespace

// Diamond deals split in two: some are won only by clearing the outer piles
// early, others only by not doing so, and one search that looks both ways at
// once finds fewer of either. So a Diamond search with a time limit spends
// half of it scoring positions as usual, and if that does not decide, the
// rest on a new search that fears cards on the outer piles.
TSolveResult Solve(const TPosition& position, const TSolverLimits& limits,
                   const std::atomic<bool>* cancel) {
    if (position.Kind != gkDiamond || limits.TimeLimit.count() <= 0)
        return TSolver(position, limits, cancel, false).Run();
    TSolverLimits first = limits;
    first.TimeLimit = limits.TimeLimit / 2;
    TSolveResult usual = TSolver(position, first, cancel, false).Run();
    if (usual.Verdict != TVerdict::Undetermined ||
        (usual.Stop != TStopReason::Time && usual.Stop != TStopReason::Memory))
        return usual;
    TSolverLimits rest = limits;
    rest.TimeLimit = limits.TimeLimit - std::chrono::milliseconds(usual.Milliseconds);
    if (rest.TimeLimit.count() <= 0) return usual;
    TSolveResult wary = TSolver(position, rest, cancel, true).Run();
    wary.Milliseconds += usual.Milliseconds;
    wary.Positions += usual.Positions;
    wary.PeakBytes = std::max(wary.PeakBytes, usual.PeakBytes);
    wary.MostOnFoundations = std::max(wary.MostOnFoundations, usual.MostOnFoundations);
    return wary;
}

TSolveResult SolveLinked(const TPosition& position, const TSolverLimits& limits) {
    if (!IsPassLimited(position.Kind)) return Solve(position, limits);
    // Simplified hands a quarter of the time to the Classical search, whose
    // fewer moves often find a line sooner. Classical keeps all of it: a
    // Simplified game, with more moves, is practically never proved lost
    // where the Classical one is not, so it gets only time left over (a
    // search that ran out of memory).
    TSolverLimits first = limits;
    if (position.Kind == gkTriskLite) first.TimeLimit = limits.TimeLimit * 3 / 4;
    TSolveResult own = Solve(position, first);
    if (own.Verdict != TVerdict::Undetermined || own.Stop == TStopReason::BadPosition) return own;
    TSolverLimits rest = limits;
    if (limits.TimeLimit.count() > 0) {
        const auto used = std::chrono::milliseconds(own.Milliseconds);
        if (used + std::chrono::milliseconds(100) >= limits.TimeLimit) return own;
        rest.TimeLimit = limits.TimeLimit - used;
    }
    TPosition linked = position;
    linked.Kind = position.Kind == gkTriskLite ? gkTriskClassic : gkTriskLite;
    TSolveResult other = Solve(linked, rest);
    other.Milliseconds += own.Milliseconds;
    other.Positions += own.Positions;
    other.PeakBytes = std::max(other.PeakBytes, own.PeakBytes);
    // A classical line for the simplified game (checked move by move), a
    // simplified loss for the classical game; nothing else carries over.
    const bool carries = position.Kind == gkTriskLite
                             ? other.Verdict == TVerdict::Winnable && LineWins(position, other.Line)
                             : other.Verdict == TVerdict::NotWinnable;
    if (!carries) {
        own.Milliseconds = other.Milliseconds;
        own.Positions = other.Positions;
        own.PeakBytes = other.PeakBytes;
        return own;
    }
    other.Method = TMethod::LinkedGame;
    return other;
}

std::string ActionText(const TAction& action) {
    if (action.IsStock) return "stock";
    const TMove& m = action.Move;
    return "move " + std::to_string(m.From.Group) + " " + std::to_string(m.From.Pile) + " " +
           std::to_string(m.To.Group) + " " + std::to_string(m.To.Pile);
}

void WriteScript(const std::vector<TAction>& line, std::ostream& out) {
    for (const TAction& action : line)
        out << ActionText(action) << "\n";
}

bool LineWins(const TPosition& position, const std::vector<TAction>& line) {
    TPosition work = position;
    TFaultLog faults;
    for (const TAction& action : line) {
        if (IsWon(work)) return false;  // the game would already be over
        if (action.IsStock) {
            if (ApplyStockClick(work, faults).Lost) return false;
            continue;
        }
        const TMove& m = action.Move;
        if (m.From == m.To || !MayPickUp(work.Kind, m.From.Group) || !CanDrop(work, m.From, m.To))
            return false;
        ApplyMove(work, m.From, m.To, faults);
    }
    return IsWon(work) && faults.Empty();
}

}  // namespace trisk
