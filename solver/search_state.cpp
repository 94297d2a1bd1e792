#include "solver/search_state.h"

#include <algorithm>
#include <cstring>

namespace trisk {

namespace {

// Fingerprints.
//
// Two positions are the same for the game when every pile in play holds the
// same (suit, rank) sequence, the deck has the same present flags (its slots
// never change their cards, so the flags say exactly what the stock holds and
// in which order it deals) and PassesLeft is the same. Which physical copy of
// a card lies where is not part of the position: the copies carry no identity.
//
// A position is fingerprinted with 128 bits built from one pseudo-random word
// pair per (pile, height, card), per present deck slot and for PassesLeft.
// Two different positions share a fingerprint with a chance of about n^2/2^129
// for n positions visited, far below anything a search of this size can meet.

uint64_t Mix(uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

TKey Token(uint32_t place, uint32_t height, uint32_t code) {
    const uint64_t packed =
        (static_cast<uint64_t>(place) << 40) | (static_cast<uint64_t>(height) << 20) | code;
    return TKey{Mix(packed ^ 0x5851F42D4C957F2Dull), Mix(packed ^ 0x14057B7EF767814Full)};
}

void Flip(TKey& key, const TKey& token) {
    key.A ^= token.A;
    key.B ^= token.B;
}

constexpr uint32_t kDeckPlace = 1000;
constexpr uint32_t kPassesPlace = 1001;
constexpr uint32_t kUnplacedPlace = 1002;
constexpr uint32_t kRoundPlace = 1003;
// A stock click's record starts with the two key parts it changes.
constexpr size_t kKeys = 2 * sizeof(TKey);
constexpr uint8_t kNoCard = kSuits * kRanks;
// Every set of suits that the foundations can show.
constexpr size_t kShownSuits = size_t{1} << kSuits;
// The rounds of the stock remembered at once (see StockRound).
constexpr size_t kRounds = 4096;
// The most stock clicks folded into one action (the code has 8 bits for them,
// and 255 would make kStockCode).
constexpr int kMaxClicks = 254;

uint8_t CardCode(const TCard& card) {
    return static_cast<uint8_t>(card.Suit * kRanks + card.Rank);
}

bool IsCompound(TCode code) {
    return (code & kCompound) != 0 && code < kNoAction;
}
int Clicks(TCode code) {
    return (code >> 7) & 0xFF;
}
TCode CompoundCode(int clicks, int waste, int to) {
    return static_cast<TCode>(kCompound | clicks << 7 | waste << 5 | to);
}

}  // namespace

TSearchState::TSearchState(const TPosition& start) : work_(start), kind_(start.Kind) {
    if (!IsValidGameKind(kind_)) {
        valid_ = false;
        return;
    }
    for (int g = 0; g < kGroups; ++g) {
        if (g == GroupWaste) wasteFirst_ = static_cast<int>(piles_.size());
        for (int p = 0; p < PilesInGroup(kind_, g); ++p) {
            if (MayReceive(kind_, g)) targets_.push_back(static_cast<int>(piles_.size()));
            piles_.push_back({g, p});
            pickUp_.push_back(MayPickUp(kind_, g));
            foundation_.push_back(IsFoundation(kind_, g));
            // The four corners of Napoleon's Tomb play the same part: a King
            // may open any empty one and every rule treats them alike, so two
            // positions whose corners differ only in order are the same.
            symmetric_.push_back(IsTomb(kind_) && g == GroupCorner);
        }
    }
    for (const TPileRef& ref : piles_) {
        bool gap = false;
        for (const TCard& card : work_.Board.Pile(kind_, ref.Group, ref.Pile).Cards) {
            if (card.Present && (gap || card.Suit >= kSuits || card.Rank >= kRanks)) valid_ = false;
            if (!card.Present) gap = true;
        }
    }
    for (const TCard& card : work_.Board.Deck.Cards) {
        if (card.Suit >= kSuits || card.Rank >= kRanks) valid_ = false;
    }
    if (!valid_) return;

    compress_ = !IsPassLimited(kind_);
    wasteCount_ = static_cast<int>(piles_.size()) - wasteFirst_;
    if (compress_ && (wasteCount_ > 4 || piles_.size() > 32)) valid_ = false;
    if (!valid_) return;
    slotOrder_.assign(kDeckSize, 0);
    for (int s = 0; s < kDeckSize; ++s) {
        for (int t = s + 1; t < kDeckSize; ++t) {
            if (CardCode(work_.Board.Deck.Cards[t]) == CardCode(work_.Board.Deck.Cards[s]))
                ++slotOrder_[s];
        }
    }

    cards_.resize(piles_.size());
    unplaced_.resize(piles_.size());
    for (int i = 0; i < static_cast<int>(piles_.size()); ++i)
        ReadPile(i);
    start_ = cards_;
    standard_ = StandardCards();
    memo_.assign(piles_.size() * piles_.size() * (kNoCard + 1) * (kNoCard + 1), 0);
    openMemo_.assign(piles_.size() * piles_.size() * (kNoCard + 1) * kShownSuits, 0);
    if (compress_) rounds_.resize(kRounds);
    for (int i = 0; i < static_cast<int>(piles_.size()); ++i) {
        if (foundation_[i]) foundations_.push_back(i);
    }
    Rekey();
}

// Every card twice in the game and in the deck's slots, and no suit on two
// foundations: what a dealt game keeps all along, and what the forced moves
// below rely on. A position from a damaged file may lack it.
bool TSearchState::StandardCards() const {
    int inGame[kNoCard] = {};
    int inSlots[kNoCard] = {};
    for (const TCard& slot : work_.Board.Deck.Cards) {
        ++inSlots[CardCode(slot)];
        if (slot.Present) ++inGame[CardCode(slot)];
    }
    bool suitShown[kSuits] = {};
    for (size_t i = 0; i < piles_.size(); ++i) {
        const TPileCards& pile = cards_[i];
        for (int h = 0; h < pile.Count; ++h) {
            ++inGame[pile.Cards[h]];
            if (foundation_[i] && pile.Cards[h] / kRanks != pile.Cards[0] / kRanks) return false;
        }
        if (foundation_[i] && pile.Count > 0) {
            if (suitShown[pile.Cards[0] / kRanks]) return false;
            suitShown[pile.Cards[0] / kRanks] = true;
        }
    }
    for (int code = 0; code < kNoCard; ++code) {
        if (inGame[code] != 2 || inSlots[code] != 2) return false;
    }
    return true;
}

void TSearchState::ReadPile(int index) {
    const TPile& pile = work_.Board.Pile(kind_, piles_[index].Group, piles_[index].Pile);
    TPileCards& cards = cards_[index];
    cards.Count = 0;
    for (const TCard& card : pile.Cards) {
        if (!card.Present) break;
        cards.Cards[cards.Count++] = CardCode(card);
    }
}

// Writes the compact copy of a pile back into the working position; before
// is how many cards the working pile holds now.
void TSearchState::WritePile(int index, int before) {
    const TPileCards& cards = cards_[index];
    TPile& pile = work_.Board.Pile(kind_, piles_[index].Group, piles_[index].Pile);
    for (int h = 0; h < std::max(before, cards.Count); ++h) {
        TCard& slot = pile.Cards[h];
        if (h < cards.Count) {
            slot.Suit = static_cast<uint8_t>(cards.Cards[h] / kRanks);
            slot.Rank = static_cast<uint8_t>(cards.Cards[h] % kRanks);
            slot.Present = 1;
        } else {
            slot.Present = 0;
        }
    }
}

uint8_t TSearchState::Top(int index) const {
    const TPileCards& cards = cards_[index];
    return cards.Count > 0 ? cards.Cards[cards.Count - 1] : kNoCard;
}

// Diamond never compares suits, and a card that has left the stock and the
// waste never goes back into the stock: so the suit of a card on a Diamond
// table pile or on the centre can never change what happens next, and only
// its rank is fingerprinted. Waste cards keep their suit, which decides the
// deck slot they return to at the redeal.
TKey TSearchState::PileToken(int index, int height, uint8_t card) const {
    const uint32_t code = kind_ == gkDiamond && index < wasteFirst_ ? card % kRanks : card;
    return Token(symmetric_[index] ? kUnplacedPlace : index, height, code);
}

void TSearchState::FlipCard(int index, int height, uint8_t card) {
    const TKey token = PileToken(index, height, card);
    Flip(symmetric_[index] ? unplaced_[index] : placed_, token);
    if (index >= wasteFirst_) Flip(stock_, token);
}

void TSearchState::Rekey() {
    placed_ = TKey{};
    stock_ = TKey{};
    for (int i = 0; i < static_cast<int>(piles_.size()); ++i) {
        unplaced_[i] = TKey{};
        for (int h = 0; h < cards_[i].Count; ++h)
            FlipCard(i, h, cards_[i].Cards[h]);
    }
    for (int s = 0; s < kDeckSize; ++s) {
        if (!work_.Board.Deck.Cards[s].Present) continue;
        Flip(placed_, Token(kDeckPlace, s, 0));
        Flip(stock_, Token(kDeckPlace, s, 0));
    }
    Flip(placed_, Token(kPassesPlace, 0, static_cast<uint32_t>(work_.PassesLeft + 2)));
}

// The piles that are not told apart by their place enter by a sum, which
// does not depend on their order. Where the stock goes round without end,
// the positions of one round of the stock are one position (see CycleKey).
TKey TSearchState::Key() const {
    TKey key = placed_;
    TKey round;
    if (compress_ && CycleKey(round)) {
        Flip(key, stock_);
        Flip(key, round);
    }
    for (size_t i = 0; i < piles_.size(); ++i) {
        if (!symmetric_[i]) continue;
        key.A += unplaced_[i].A;
        key.B += unplaced_[i].B;
    }
    return key;
}

// The fingerprint with every turn of the stock told apart.
TKey TSearchState::RawKey() const {
    TKey key = placed_;
    for (size_t i = 0; i < piles_.size(); ++i) {
        if (!symmetric_[i]) continue;
        key.A += unplaced_[i].A;
        key.B += unplaced_[i].B;
    }
    return key;
}

// In the complicated game and in Diamond a redeal gathers every waste card
// while the stock is empty, and each card goes back to the highest empty
// slot of its suit and rank: so the redeal always forms the stock from the
// same slots for the same cards, whatever the order they lay in. From then
// on the clicks go round: the stock deals those slots in order, a card a
// waste pile in turn, until it is empty, and the next click redeals them
// alike. All the positions of that round, with the same table, can reach
// each other by stock clicks alone: for the question whether the game can
// be won they are one position, and the search's actions (StockRound) reach
// every card of the round from any of them.
//
// True when the position is one of a round: the stock and the waste piles
// hold exactly such a stock dealt part of the way. key is then what stands
// for the slots of that stock.
bool TSearchState::CycleKey(TKey& key) const {
    const TDeck& deck = work_.Board.Deck;
    int count[kNoCard] = {};
    int inStock = 0;
    for (const TCard& card : deck.Cards) {
        if (!card.Present) continue;
        ++count[CardCode(card)];
        ++inStock;
    }
    int dealt = 0;
    for (int w = wasteFirst_; w < static_cast<int>(piles_.size()); ++w) {
        for (int h = 0; h < cards_[w].Count; ++h)
            ++count[cards_[w].Cards[h]];
        dealt += cards_[w].Count;
    }
    const int total = inStock + dealt;
    // A round deals a card to every waste pile with each click, until the
    // stock runs out; right after a redeal the first click has been made.
    if (dealt == 0 || (dealt % wasteCount_ != 0 && dealt != total)) return false;
    key = Token(kRoundPlace, kDeckSize, 0);
    int index = 0;
    for (int s = 0; s < kDeckSize; ++s) {
        const TCard& card = deck.Cards[s];
        const uint8_t code = CardCode(card);
        if (slotOrder_[s] >= count[code]) {
            if (card.Present) return false;
            continue;
        }
        // Slot s is one that the redeal fills: the index-th of the stock.
        if (index < dealt) {
            if (card.Present) return false;
            const TPileCards& waste = cards_[wasteFirst_ + index % wasteCount_];
            const int h = index / wasteCount_;
            if (h >= waste.Count || waste.Cards[h] != code) return false;
        } else if (!card.Present) {
            return false;
        }
        ++index;
        Flip(key, Token(kRoundPlace, s, 0));
    }
    return index == total;
}

// Moves the top card of pile from onto pile to, in the working position
// through the rules and in the compact copy and the fingerprint.
void TSearchState::ShiftTop(int from, int to) {
    ApplyMove(work_, piles_[from], piles_[to], faults_);
    TPileCards& source = cards_[from];
    TPileCards& target = cards_[to];
    const uint8_t card = source.Cards[--source.Count];
    FlipCard(from, source.Count, card);
    FlipCard(to, target.Count, card);
    target.Cards[target.Count++] = card;
}

bool TSearchState::Apply(TCode code) {
    if (code == kNoAction) return true;
    if (IsCompound(code)) {
        for (int i = 0; i < Clicks(code); ++i) {
            if (!Apply(kStockCode)) {
                while (i-- > 0)
                    Undo(kStockCode);
                return false;
            }
        }
        ShiftTop(From(code), To(code));
        return true;
    }
    if (code != kStockCode) {
        ShiftTop(From(code), To(code));
        return true;
    }

    // A stock click touches the deck, the waste piles and PassesLeft: keep
    // them so that the click can be taken back.
    const size_t mark = undo_.size();
    undoMarks_.push_back(mark);
    undo_.resize(mark + kKeys + sizeof(int32_t) + kDeckSize / 8);
    uint8_t* record = undo_.data() + mark;
    std::memcpy(record, &placed_, sizeof(TKey));
    std::memcpy(record + sizeof(TKey), &stock_, sizeof(TKey));
    std::memcpy(record + kKeys, &work_.PassesLeft, sizeof(int32_t));
    uint8_t* flags = record + kKeys + sizeof(int32_t);
    std::memset(flags, 0, kDeckSize / 8);
    for (int s = 0; s < kDeckSize; ++s) {
        if (work_.Board.Deck.Cards[s].Present) flags[s / 8] |= static_cast<uint8_t>(1 << (s % 8));
    }
    for (int w = wasteFirst_; w < static_cast<int>(piles_.size()); ++w) {
        const TPileCards& waste = cards_[w];
        undo_.push_back(static_cast<uint8_t>(waste.Count));
        undo_.insert(undo_.end(), waste.Cards, waste.Cards + waste.Count);
    }

    record = undo_.data() + mark;  // the vector may have moved
    flags = record + kKeys + sizeof(int32_t);
    const TStockClick click = ApplyStockClick(work_, faults_);
    faults_.Faults.clear();
    if (click.Lost) {
        // Losing deals and gathers nothing; what it leaves is no better than
        // the position before it, which is searched anyway.
        Undo(kStockCode);
        return false;
    }
    for (int w = wasteFirst_; w < static_cast<int>(piles_.size()); ++w) {
        for (int h = 0; h < cards_[w].Count; ++h)
            FlipCard(w, h, cards_[w].Cards[h]);
        ReadPile(w);
        for (int h = 0; h < cards_[w].Count; ++h)
            FlipCard(w, h, cards_[w].Cards[h]);
    }
    for (int s = 0; s < kDeckSize; ++s) {
        if (((flags[s / 8] >> (s % 8)) & 1) != work_.Board.Deck.Cards[s].Present) {
            Flip(placed_, Token(kDeckPlace, s, 0));
            Flip(stock_, Token(kDeckPlace, s, 0));
        }
    }
    int32_t passesBefore = 0;
    std::memcpy(&passesBefore, record + kKeys, sizeof(int32_t));
    if (passesBefore != work_.PassesLeft) {
        Flip(placed_, Token(kPassesPlace, 0, static_cast<uint32_t>(passesBefore + 2)));
        Flip(placed_, Token(kPassesPlace, 0, static_cast<uint32_t>(work_.PassesLeft + 2)));
    }
    return true;
}

bool TSearchState::ApplyKeepingClicks(TCode code, int& clicks) {
    const int wanted = IsCompound(code) ? Clicks(code) : 0;
    for (; clicks > wanted; --clicks)
        Undo(kStockCode);
    if (!IsCompound(code)) return Apply(code);
    for (; clicks < wanted; ++clicks) {
        if (!Apply(kStockCode)) return false;
    }
    ShiftTop(From(code), To(code));
    return true;
}

void TSearchState::UndoKeepingClicks(TCode code) {
    if (IsCompound(code))
        ShiftTop(To(code), From(code));
    else
        Undo(code);
}

void TSearchState::DropClicks(int& clicks) {
    for (; clicks > 0; --clicks)
        Undo(kStockCode);
}

void TSearchState::Undo(TCode code) {
    if (code == kNoAction) return;
    if (code != kStockCode) {
        // The card on top of the target goes back on top of its source.
        ShiftTop(To(code), From(code));
        if (IsCompound(code)) {
            for (int i = 0; i < Clicks(code); ++i)
                Undo(kStockCode);
        }
        return;
    }

    const size_t mark = undoMarks_.back();
    undoMarks_.pop_back();
    const uint8_t* record = undo_.data() + mark;
    std::memcpy(&placed_, record, sizeof(TKey));
    std::memcpy(&stock_, record + sizeof(TKey), sizeof(TKey));
    std::memcpy(&work_.PassesLeft, record + kKeys, sizeof(int32_t));
    const uint8_t* flags = record + kKeys + sizeof(int32_t);
    for (int s = 0; s < kDeckSize; ++s)
        work_.Board.Deck.Cards[s].Present = (flags[s / 8] >> (s % 8)) & 1;
    const uint8_t* p = flags + kDeckSize / 8;
    for (int w = wasteFirst_; w < static_cast<int>(piles_.size()); ++w) {
        TPileCards& waste = cards_[w];
        const int before = waste.Count;
        waste.Count = *p++;
        std::memcpy(waste.Cards, p, waste.Count);
        p += waste.Count;
        WritePile(w, before);
    }
    undo_.resize(mark);
}

// The packed form: PassesLeft, the deck's present flags, and for each pile how
// many of its bottom cards it still shares with the start and the cards above
// them.
size_t TSearchState::Pack(uint8_t* out) const {
    uint8_t* p = out;
    std::memcpy(p, &work_.PassesLeft, sizeof(int32_t));
    p += sizeof(int32_t);
    std::memset(p, 0, kDeckSize / 8);
    for (int s = 0; s < kDeckSize; ++s) {
        if (work_.Board.Deck.Cards[s].Present) p[s / 8] |= static_cast<uint8_t>(1 << (s % 8));
    }
    p += kDeckSize / 8;
    for (size_t i = 0; i < piles_.size(); ++i) {
        const TPileCards& now = cards_[i];
        const TPileCards& then = start_[i];
        int shared = 0;
        while (shared < now.Count && shared < then.Count && now.Cards[shared] == then.Cards[shared])
            ++shared;
        *p++ = static_cast<uint8_t>(shared);
        *p++ = static_cast<uint8_t>(now.Count - shared);
        std::memcpy(p, now.Cards + shared, now.Count - shared);
        p += now.Count - shared;
    }
    return static_cast<size_t>(p - out);
}

void TSearchState::Unpack(const uint8_t* p) {
    std::memcpy(&work_.PassesLeft, p, sizeof(int32_t));
    p += sizeof(int32_t);
    for (int s = 0; s < kDeckSize; ++s)
        work_.Board.Deck.Cards[s].Present = (p[s / 8] >> (s % 8)) & 1;
    p += kDeckSize / 8;
    for (size_t i = 0; i < piles_.size(); ++i) {
        TPileCards& cards = cards_[i];
        const int before = cards.Count;
        const int shared = *p++;
        const int extra = *p++;
        std::memcpy(cards.Cards, start_[i].Cards, shared);
        std::memcpy(cards.Cards + shared, p, extra);
        p += extra;
        cards.Count = shared + extra;
        WritePile(static_cast<int>(i), before);
    }
    undo_.clear();
    undoMarks_.clear();
    Rekey();
}

// Whether the top card of pile from may go onto pile to, as the rules say.
// The answers are remembered: a rule looks only at the two piles, their top
// cards and whether they are empty, so the answer for the same two top cards
// is the same. A move onto an empty foundation is the one exception: there
// the rules also look at the other foundations, for a King opening a corner
// where no corner shows its suit, so those answers are remembered for the
// suits that the foundations show as well.
bool TSearchState::Drops(int from, int to) {
    uint8_t& known = DropSlot(from, Top(from), to);
    if (known == 0) known = CanDrop(work_, piles_[from], piles_[to]) ? 2 : 1;
    return known == 2;
}

// Where Drops remembers whether card, on top of pile from, may go onto to:
// 0 not known yet, 1 no, 2 yes.
uint8_t& TSearchState::DropSlot(int from, uint8_t card, int to) {
    const size_t n = piles_.size();
    const size_t pair = static_cast<size_t>(from) * n + static_cast<size_t>(to);
    if (foundation_[to] && cards_[to].Count == 0) {
        unsigned shown = 0;
        for (const int f : foundations_) {
            if (cards_[f].Count > 0) shown |= 1u << (Top(f) / kRanks);
        }
        return openMemo_[(pair * (kNoCard + 1) + card) * kShownSuits + shown];
    }
    return memo_[(pair * (kNoCard + 1) + card) * (kNoCard + 1) + Top(to)];
}

// A move onto a corner of the classical and simplified games that no winning
// line can do without, taken alone instead of branching. The card X goes onto
// its suit's corner, where cards never leave again, and both copies of the
// card one above X (the only card that could ever be put onto X elsewhere)
// are already on the corners. Every winning line then puts X onto that corner
// too, and nothing else fits there before it; doing it now only empties X's
// place earlier, which adds moves and takes none away. One exception: a waste
// card could go back into the stock at a redeal, where it shifts every later
// card onto another waste pile, so a waste card is forced only in the last
// pass, when no redeal is left.
bool TSearchState::ForcedFoundationMove(TCode code) const {
    if (!standard_ || !IsPassLimited(kind_) || !ToFoundation(code)) return false;
    const int from = From(code);
    if (piles_[from].Group == GroupWaste && work_.PassesLeft > 1) return false;
    const uint8_t card = Top(from);
    const uint8_t above =
        static_cast<uint8_t>(card / kRanks * kRanks + (card % kRanks + 1) % kRanks);
    int copies = 0;
    for (size_t i = 0; i < piles_.size(); ++i) {
        if (!foundation_[i]) continue;
        const TPileCards& pile = cards_[i];
        copies += static_cast<int>(std::count(pile.Cards, pile.Cards + pile.Count, above));
    }
    return copies == 2;
}

void TSearchState::LegalActions(std::vector<TCode>& actions, bool rounds) {
    actions.clear();
    const int count = static_cast<int>(piles_.size());
    for (int from = 0; from < count; ++from) {
        if (cards_[from].Count == 0 || !pickUp_[from]) continue;
        for (const int to : targets_) {
            if (to == from || !Drops(from, to)) continue;
            const TCode code = static_cast<TCode>(from << 8 | to);
            if (ForcedFoundationMove(code)) {
                actions.assign(1, code);
                return;
            }
            actions.push_back(code);
        }
    }
    if (compress_ && rounds)
        StockRound(actions);
    else
        actions.push_back(kStockCode);
}

// The moves off the waste piles that stock clicks lead to: clicks until the
// stock comes round to a position met before (the first click of a round
// after a part-way stock, or the same position one round later), and at
// each of those positions every legal move of a waste pile's top card, as
// one action with its clicks. Positions linked by stock clicks alone are
// never searched one by one, and a game is won only by a move.
//
// What the waste piles show at each click of the round depends only on the
// stock and the waste piles, which many positions share (every move that
// leaves them alone keeps them): so each round's top cards are remembered by
// the stock's fingerprint, and a round met again costs no clicks, as long as
// Drops already knows every answer it needs.
void TSearchState::StockRound(std::vector<TCode>& actions) {
    TRound& remembered = rounds_[stock_.A % rounds_.size()];
    if (remembered.Clicks > 0 && remembered.Stock == stock_ && RoundFrom(remembered, actions))
        return;

    TRound fresh;
    fresh.Stock = stock_;
    bool fits = true;
    round_.clear();
    int clicks = 0;
    const int count = static_cast<int>(piles_.size());
    for (;;) {
        if (clicks > 0) {
            const size_t at = static_cast<size_t>(clicks - 1) * static_cast<size_t>(wasteCount_);
            fits = fits && at + static_cast<size_t>(wasteCount_) <= sizeof fresh.Tops;
            for (int w = wasteFirst_; w < count; ++w) {
                if (fits) fresh.Tops[at + static_cast<size_t>(w - wasteFirst_)] = Top(w);
                if (cards_[w].Count == 0) continue;
                for (const int to : targets_) {
                    if (to != w && Drops(w, to))
                        actions.push_back(CompoundCode(clicks, w - wasteFirst_, to));
                }
            }
            fresh.Clicks = static_cast<uint8_t>(clicks);
        }
        round_.push_back(RawKey());
        if (clicks == kMaxClicks || !Apply(kStockCode)) break;
        ++clicks;
        if (std::find(round_.begin(), round_.end(), RawKey()) != round_.end()) break;
    }
    while (clicks-- > 0)
        Undo(kStockCode);
    if (fits && fresh.Clicks > 0) remembered = fresh;
}

// The actions of a remembered round, in the order StockRound finds them;
// false (and nothing added) when Drops has not yet answered one of them.
bool TSearchState::RoundFrom(const TRound& round, std::vector<TCode>& actions) {
    const size_t before = actions.size();
    for (int clicks = 1; clicks <= round.Clicks; ++clicks) {
        for (int w = 0; w < wasteCount_; ++w) {
            const uint8_t card =
                round.Tops[static_cast<size_t>(clicks - 1) * static_cast<size_t>(wasteCount_) +
                           static_cast<size_t>(w)];
            if (card == kNoCard) continue;
            for (const int to : targets_) {
                if (to == wasteFirst_ + w) continue;
                const uint8_t known = DropSlot(wasteFirst_ + w, card, to);
                if (known == 0) {
                    actions.resize(before);
                    return false;
                }
                if (known == 2) actions.push_back(CompoundCode(clicks, w, to));
            }
        }
    }
    return true;
}

int TSearchState::From(TCode code) const {
    return IsCompound(code) ? wasteFirst_ + ((code >> 5) & 3) : code >> 8;
}

int TSearchState::To(TCode code) const {
    return IsCompound(code) ? code & 0x1F : code & 0xFF;
}

bool TSearchState::ToFoundation(TCode code) const {
    return code != kStockCode && code != kNoAction && foundation_[To(code)] &&
           !foundation_[From(code)];
}

bool TSearchState::FromFoundation(TCode code) const {
    return code != kStockCode && code != kNoAction && foundation_[From(code)];
}

int TSearchState::OnFoundations() const {
    int count = 0;
    for (size_t i = 0; i < piles_.size(); ++i) {
        if (foundation_[i]) count += cards_[i].Count;
    }
    return count;
}

bool TSearchState::IsWon() const {
    if (work_.Board.Deck.HasCards()) return false;
    for (size_t i = 0; i < piles_.size(); ++i) {
        if (!foundation_[i] && cards_[i].Count > 0) return false;
    }
    return trisk::IsWon(work_);
}

void TSearchState::AppendActions(TCode code, std::vector<TAction>& out) const {
    if (code == kNoAction) return;
    if (code == kStockCode) {
        out.push_back(TAction::StockClick());
        return;
    }
    for (int i = IsCompound(code) ? Clicks(code) : 0; i > 0; --i)
        out.push_back(TAction::StockClick());
    out.push_back(TAction::MoveOf(piles_[From(code)], piles_[To(code)]));
}

int TSearchState::Score(bool wary) const {
    return kind_ == gkDiamond ? DiamondScore(wary) : TombScore();
}

// Napoleon's Tomb: cards on the corners above all; cards still in the
// reserves and the next card of a suit's corner lying deep count against.
int TSearchState::TombScore() const {
    int onCorners = 0;
    int inReserves = 0;
    int depth = 0;
    int next[kSuits];
    std::fill(next, next + kSuits, -1);
    bool opened[kSuits] = {};
    for (size_t i = 0; i < piles_.size(); ++i) {
        const TPileCards& pile = cards_[i];
        if (foundation_[i]) {
            onCorners += pile.Count;
            if (pile.Count > 0) {
                const int suit = pile.Cards[0] / kRanks;
                opened[suit] = true;
                if (pile.Count < 2 * kRanks)
                    next[suit] = suit * kRanks + kRanks - 1 - pile.Count % kRanks;
            }
        } else if (piles_[i].Group == GroupInner) {
            inReserves += pile.Count;
        }
    }
    for (int suit = 0; suit < kSuits; ++suit) {
        if (!opened[suit]) next[suit] = suit * kRanks + kRanks - 1;  // its King
    }
    for (size_t i = 0; i < piles_.size(); ++i) {
        if (foundation_[i]) continue;
        const TPileCards& pile = cards_[i];
        for (int h = 0; h < pile.Count; ++h) {
            if (next[pile.Cards[h] / kRanks] == pile.Cards[h]) depth += pile.Count - 1 - h;
        }
    }
    // How far the stock has gone round: later is better at the same progress.
    const int dealt =
        (5 - work_.PassesLeft) * kDeckSize + kDeckSize - work_.Board.Deck.CountCards();
    const int passes = IsPassLimited(kind_) ? dealt : 0;
    return 40 * onCorners - 4 * inReserves - 2 * depth + passes;
}

// Diamond: cards on the centre above all. An outer pile can give its cards
// only to its inner pile and two corners: once those are empty it is stuck,
// so cards on outer piles count against, stranded ones much more. Cards of
// the rank the centre takes next lying deep count against too.
int TSearchState::DiamondScore(bool wary) const {
    int onCentre = 0;
    int onWaste = 0;
    int onOuter = 0;
    int stranded = 0;
    int depth = 0;
    int next = -1;
    for (size_t i = 0; i < piles_.size(); ++i) {
        if (foundation_[i] && cards_[i].Count > 0)
            next = (Top(static_cast<int>(i)) % kRanks + 1) % kRanks;
    }
    for (size_t i = 0; i < piles_.size(); ++i) {
        const TPileCards& pile = cards_[i];
        const int group = piles_[i].Group;
        if (foundation_[i]) {
            onCentre += pile.Count;
            continue;
        }
        if (group == GroupWaste) {
            onWaste += pile.Count;
            continue;
        }
        if (group == GroupOuter) onOuter += pile.Count;
        if (next >= 0) {
            for (int h = 0; h < pile.Count; ++h) {
                if (pile.Cards[h] % kRanks == next) depth += pile.Count - 1 - h;
            }
        }
    }
    // Outer pile p touches inner pile p and corners p and p + 1.
    for (size_t i = 0; i < piles_.size(); ++i) {
        if (piles_[i].Group != GroupOuter || cards_[i].Count == 0) continue;
        const int p = piles_[i].Pile;
        int open = 0;
        for (size_t j = 0; j < piles_.size(); ++j) {
            const TPileRef& ref = piles_[j];
            const bool touches =
                (ref.Group == GroupInner && ref.Pile == p) ||
                (ref.Group == GroupCorner && (ref.Pile == p || ref.Pile == (p + 1) % 4));
            if (touches && cards_[j].Count > 0) ++open;
        }
        if (open == 0)
            stranded += cards_[i].Count;
        else if (open == 1)
            stranded += 1;
    }
    if (wary) return 40 * onCentre - onWaste - 40 * onOuter - 80 * stranded - depth;
    return 40 * onCentre - onWaste - 5 * onOuter - 40 * stranded - depth;
}

}  // namespace trisk
