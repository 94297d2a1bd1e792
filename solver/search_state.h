// The position as the solver works on it: a working TPosition that only the
// engine's rules change, beside a compact copy of its piles from which the
// solver reads cards, fingerprints the position, scores it and packs it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/rules.h"
#include "solver/solver.h"

namespace trisk {

// 128 bits that stand for a position (see FullKey in search_state.cpp).
struct TKey {
    uint64_t A = 0;
    uint64_t B = 0;
    bool operator==(const TKey&) const = default;
};

// An action inside the search: a stock click, a move between two piles named
// by their index in the list of piles in play (from * 256 + to), or in the
// games whose stock goes round without end a number of stock clicks followed
// by a move off a waste pile (kCompound, the clicks, the waste pile, the
// target).
using TCode = uint16_t;
constexpr TCode kStockCode = 0xFFFF;
constexpr TCode kNoAction = 0xFFFE;
constexpr TCode kCompound = 0x8000;

class TSearchState {
  public:
    // The most bytes Pack can add.
    static constexpr size_t kMaxPacked = 4 + kDeckSize / 8 + 2 * 32 + kDeckSize;

    explicit TSearchState(const TPosition& start);

    // False for a position the search cannot take back moves on faithfully:
    // a pile with a gap between its cards, or a card byte out of range.
    bool Valid() const { return valid_; }

    // The fingerprint: the positions of one round of a stock that goes round
    // without end count as one (see CycleKey in search_state.cpp).
    TKey Key() const;
    // The fingerprint with every turn of the stock told apart.
    TKey RawKey() const;
    // Carries out an action through the rules. A stock click that would lose
    // the game is not carried out (false).
    bool Apply(TCode code);
    // Takes back the last action carried out.
    void Undo(TCode code);
    // Apply and Undo for the actions of one position taken one after the
    // other in the order of LegalActions: the stock clicks of a move that
    // comes with clicks stay carried out when the move is taken back
    // (clicks counts them), so that the next such move needs only the
    // clicks it has more. DropClicks takes them back at the end.
    bool ApplyKeepingClicks(TCode code, int& clicks);
    void UndoKeepingClicks(TCode code);
    void DropClicks(int& clicks);
    // Forgets how to take back the actions carried out so far.
    void KeepApplied() {
        undo_.clear();
        undoMarks_.clear();
    }

    // The actions of the position, in the order of the piles: every legal
    // move, then the stock. A move that can be proved to be part of every
    // winning line comes alone. Where the stock goes round without end there
    // is no stock action when rounds is true: each move off a waste pile
    // comes once for every turn of the stock that shows its card, with the
    // clicks it takes.
    void LegalActions(std::vector<TCode>& actions, bool rounds = true);
    bool ToFoundation(TCode code) const;
    bool FromFoundation(TCode code) const;
    int OnFoundations() const;
    bool IsWon() const;
    // How promising the position looks; higher is better. Diamond has a
    // second way of looking (wary true) that fears cards left on the outer
    // piles far more: some deals are won only by clearing them early, others
    // only by not doing so.
    int Score(bool wary = false) const;

    // Writes the position in packed form (at most kMaxPacked bytes) and
    // returns its length; Unpack puts the working position back into a
    // packed state.
    size_t Pack(uint8_t* out) const;
    void Unpack(const uint8_t* packed);

    // The actions of the rules that the search's action stands for.
    void AppendActions(TCode code, std::vector<TAction>& out) const;
    const TPosition& Position() const { return work_; }
    uint64_t Bytes() const {
        return memo_.capacity() + openMemo_.capacity() + undo_.capacity() +
               rounds_.capacity() * sizeof(TRound);
    }

  private:
    struct TPileCards {
        int Count = 0;
        uint8_t Cards[kDeckSize] = {};
    };

    bool StandardCards() const;
    int From(TCode code) const;
    int To(TCode code) const;
    bool CycleKey(TKey& key) const;
    // One round of the stock: the waste piles' top cards after each of its
    // clicks (kNoCard for an empty pile), remembered by the fingerprint of
    // the stock and the waste piles.
    struct TRound {
        TKey Stock;
        uint8_t Clicks = 0;
        uint8_t Tops[128] = {};
    };
    void StockRound(std::vector<TCode>& actions);
    bool RoundFrom(const TRound& round, std::vector<TCode>& actions);
    uint8_t& DropSlot(int from, uint8_t card, int to);
    void ReadPile(int index);
    void WritePile(int index, int before);
    TKey PileToken(int index, int height, uint8_t card) const;
    void FlipCard(int index, int height, uint8_t card);
    void ShiftTop(int from, int to);
    void Rekey();
    bool Drops(int from, int to);
    bool ForcedFoundationMove(TCode code) const;
    int TombScore() const;
    int DiamondScore(bool wary) const;
    uint8_t Top(int index) const;

    TPosition work_;
    TGameKind kind_;
    bool valid_ = true;
    bool standard_ = false;
    // The stock goes round without end: stock clicks are folded into the
    // moves off the waste piles (see StockRound).
    bool compress_ = false;
    int wasteCount_ = 0;
    std::vector<TPileRef> piles_;
    std::vector<uint8_t> pickUp_;
    // The piles that may ever take a card, in order.
    std::vector<int> targets_;
    std::vector<uint8_t> foundation_;
    std::vector<int> foundations_;
    std::vector<uint8_t> symmetric_;
    int wasteFirst_ = 0;  // the waste piles are the last ones of piles_
    std::vector<TPileCards> cards_;
    std::vector<TPileCards> start_;

    // The fingerprint in parts: the piles that are told apart by their place,
    // the deck and PassesLeft; and one part for each of the piles that are
    // not (see Key).
    TKey placed_;
    std::vector<TKey> unplaced_;
    // The part of placed_ that the deck and the waste piles make.
    TKey stock_;
    // Per deck slot: 0 for the higher of the two slots of its card, 1 for
    // the lower (the order in which a redeal fills them).
    std::vector<uint8_t> slotOrder_;
    std::vector<TKey> round_;
    std::vector<TRound> rounds_;

    // What Drops has learnt: for two top cards, and for a card and the suits
    // the foundations show when the target is an empty foundation.
    std::vector<uint8_t> memo_;
    std::vector<uint8_t> openMemo_;
    std::vector<uint8_t> undo_;
    std::vector<size_t> undoMarks_;
    TFaultLog faults_;
};

}  // namespace trisk
