#include "history/solver/solver.h"

#include <algorithm>
#include <cstring>
#include <random>

#include "history/solver/search_state.h"

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
        return (Grown(bucket) - bucket.capacity()) * sizeof(uint64_t);
    }
    void Push(int score, uint32_t parent, TCode code) {
        score = Bucket(score);
        if (buckets_.empty()) buckets_.resize(kScores);
        std::vector<uint64_t>& bucket = buckets_[score];
        if (bucket.size() == bucket.capacity()) {
            const size_t grown = Grown(bucket);
            bytes_ += (grown - bucket.capacity()) * sizeof(uint64_t);
            bucket.reserve(grown);
        }
        bucket.push_back(static_cast<uint64_t>(parent) << 16 | code);
        best_ = std::max(best_, score);
        ++size_;
    }
    bool Empty() const { return size_ == 0; }
    void Pop(uint32_t& parent, TCode& code) {
        while (buckets_[best_].empty())
            --best_;
        const uint64_t entry = buckets_[best_].back();
        buckets_[best_].pop_back();
        --size_;
        parent = static_cast<uint32_t>(entry >> 16);
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

// An expanded position: where its packed form starts in the state store, and
// the position it was reached from by which action.
struct TNode {
    uint64_t State = 0;
    uint32_t Parent = 0;
    TCode Via = kStockCode;
};

// ---------------------------------------------------------------------------
// The search. Two searches share the budget, taking turns:
//
// - A best-first search, which is complete: the positions met but not yet
//   expanded wait in a queue ordered by a score of how promising they look;
//   the best is expanded next, ties going to the one met last. Every position
//   is queued once (the seen set). When the queue runs empty, every position
//   reachable from the start has been expanded and the game cannot be won.
// - Probes: single lines played from the start, cards onto the foundations
//   first and otherwise a random action that leads somewhere new, the stock
//   only when nothing else does. They prove nothing, but in the games with
//   few passes a line that goes anywhere at all is rare, and many cheap
//   random tries find one sooner than any ordering of the complete search.

class TSolver {
  public:
    static constexpr size_t kProbeLength = 5000;

    TSolver(const TPosition& start, const TSolverLimits& limits, const std::atomic<bool>* cancel)
        : state_(start),
          limits_(limits),
          cancel_(cancel),
          seen_(1u << 14, limits.MaxMemoryBytes),
          probeSeen_(1u << 14, 0) {
        // Sized once: a probe never holds more positions than the table takes.
        probeSeen_.TrackFilled();
        path_.reserve(kProbeLength);
        order_.reserve(1024);
    }

    TSolveResult Run();

  private:
    enum class TStep { Going, Won, Exhausted, Stopped };

    TStep ExpandNext();
    TStep Probe(uint64_t budget);
    bool Pack(uint32_t parent, TCode via);
    void Unpack(uint32_t node);
    bool Count();

    uint64_t HeldBytes() const {
        return seen_.Bytes() + probeSeen_.Bytes() + queue_.Bytes() +
               nodes_.capacity() * sizeof(TNode) + states_.capacity() + state_.Bytes() +
               path_.capacity() * sizeof(TCode) + order_.capacity() * sizeof(TCode);
    }
    bool WithinLimits();
    bool Afford(uint64_t more);
    template <typename T>
    bool Reserve(std::vector<T>& items, size_t more);
    TSolveResult Finish();

    TSearchState state_;
    const TSolverLimits limits_;
    const std::atomic<bool>* cancel_;
    TClock::time_point started_ = TClock::now();

    TSeenSet seen_;
    TQueue queue_;
    std::vector<TNode> nodes_;
    std::vector<uint8_t> states_;
    uint32_t current_ = 0;

    TSeenSet probeSeen_;
    std::vector<TCode> path_;
    std::vector<TCode> order_;
    std::mt19937_64 random_{0x7269736B};

    TSolveResult result_;
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
    if (limits_.TimeLimit.count() > 0 && TClock::now() - started_ >= limits_.TimeLimit) {
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

// Room for more items; the stores grow by a quarter at a time rather than
// doubling, so that they can come close to the cap.
template <typename T>
bool TSolver::Reserve(std::vector<T>& items, size_t more) {
    if (items.size() + more <= items.capacity()) return true;
    const size_t grown =
        std::max(items.size() + more, items.capacity() + items.capacity() / 4 + 256);
    if (!Afford((grown - items.capacity()) * sizeof(T))) return false;
    items.reserve(grown);
    return true;
}

bool TSolver::Pack(uint32_t parent, TCode via) {
    if (!Reserve(states_, TSearchState::kMaxPacked) || !Reserve(nodes_, 1)) return false;
    nodes_.push_back({states_.size(), parent, via});
    state_.Pack(states_);
    return true;
}

void TSolver::Unpack(uint32_t node) {
    state_.Unpack(states_.data() + nodes_[node].State);
}

// Expands the best queued position: queues each new position one action away.
TSolver::TStep TSolver::ExpandNext() {
    if (queue_.Empty()) return TStep::Exhausted;
    TCode via = kStockCode;
    uint32_t parent = 0;
    queue_.Pop(parent, via);
    Unpack(parent);
    current_ = parent;
    if (via != kNoAction) {
        state_.Apply(via);
        current_ = static_cast<uint32_t>(nodes_.size());
        if (!Pack(parent, via)) return TStep::Stopped;
    }

    state_.LegalActions(order_);
    for (const TCode code : order_) {
        if (!state_.Apply(code)) continue;
        const TSeenSet::TInsert inserted = seen_.Insert(state_.Key(), HeldBytes() - seen_.Bytes());
        if (inserted == TSeenSet::Full) {
            result_.Stop = TStopReason::Memory;
            return TStep::Stopped;
        }
        if (inserted == TSeenSet::Added) {
            if (!Count()) return TStep::Stopped;
            if (state_.IsWon()) {
                result_.Line.push_back(state_.ToAction(code));
                for (uint32_t n = current_; n != 0; n = nodes_[n].Parent)
                    result_.Line.push_back(state_.ToAction(nodes_[n].Via));
                std::reverse(result_.Line.begin(), result_.Line.end());
                return TStep::Won;
            }
            const int score = state_.Score();
            if (!Afford(queue_.PushCost(score))) return TStep::Stopped;
            queue_.Push(score, current_, code);
        }
        state_.Undo(code);
    }
    return TStep::Going;
}

// One random line from the start, at most budget actions long.
TSolver::TStep TSolver::Probe(uint64_t budget) {
    Unpack(0);
    probeSeen_.Clear();
    probeSeen_.Insert(state_.Key(), 0);
    path_.clear();
    while (path_.size() < std::min<uint64_t>(budget, kProbeLength)) {
        state_.LegalActions(order_);
        // Cards onto a foundation first, then the other moves in a random
        // order, the stock last.
        const auto foundations = std::stable_partition(
            order_.begin(), order_.end(), [this](TCode code) { return state_.ToFoundation(code); });
        const auto stock = std::stable_partition(foundations, order_.end(),
                                                 [](TCode code) { return code != kStockCode; });
        std::shuffle(order_.begin(), foundations, random_);
        std::shuffle(foundations, stock, random_);
        bool moved = false;
        for (const TCode code : order_) {
            if (!state_.Apply(code)) continue;
            if (probeSeen_.Insert(state_.Key(), 0) == TSeenSet::Added) {
                moved = true;
                path_.push_back(code);
                state_.KeepApplied();
                break;
            }
            state_.Undo(code);
        }
        if (!moved) return TStep::Going;
        if (!Count()) return TStep::Stopped;
        if (state_.IsWon()) {
            for (const TCode code : path_)
                result_.Line.push_back(state_.ToAction(code));
            return TStep::Won;
        }
    }
    return TStep::Going;
}

TSolveResult TSolver::Finish() {
    result_.Milliseconds = static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(TClock::now() - started_).count());
    result_.PeakBytes = std::max({result_.PeakBytes, HeldBytes(), seen_.PeakBytes()});
    return result_;
}

TSolveResult TSolver::Run() {
    if (!state_.Valid()) {
        result_.Stop = TStopReason::BadPosition;
        return Finish();
    }
    seen_.Insert(state_.Key(), 0);
    result_.Positions = 1;
    if (state_.IsWon()) {
        result_.Verdict = TVerdict::Winnable;
        return Finish();
    }
    if (!Pack(0, kStockCode) || !Afford(queue_.PushCost(0))) return Finish();
    queue_.Push(0, 0, kNoAction);
    random_.seed(state_.Key().A);

    // The two searches take turns of about the same work each: one expansion
    // of the complete search against one action of the probes.
    constexpr uint64_t kTurn = 2048;
    for (;;) {
        for (uint64_t i = 0; i < kTurn; ++i) {
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
        for (uint64_t done = 0; done < kTurn;) {
            if (!WithinLimits()) return Finish();
            const TStep step = Probe(kProbeLength);
            if (step == TStep::Won) {
                result_.Verdict = TVerdict::Winnable;
                return Finish();
            }
            if (step == TStep::Stopped) return Finish();
            done += path_.size() + 1;
        }
    }
}

}  // namespace

TSolveResult Solve(const TPosition& position, const TSolverLimits& limits,
                   const std::atomic<bool>* cancel) {
    TSolver solver(position, limits, cancel);
    return solver.Run();
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
