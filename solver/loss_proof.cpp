#include "solver/loss_proof.h"

#include <algorithm>
#include <array>

namespace trisk {

namespace {

constexpr int kCodes = kSuits * kRanks;
constexpr int kRun = 2 * kRanks;  // a Tomb corner: King down to Ace, twice
constexpr int kStock = -1;

int SuitOf(int code) {
    return code / kRanks;
}
int RankOf(int code) {
    return code % kRanks;
}
// The card of the same suit one rank lower (below an Ace lies the King).
int BelowInSuit(int code) {
    return SuitOf(code) * kRanks + (RankOf(code) + kRanks - 1) % kRanks;
}
// The rank of place j of a corner: King first.
int RankAt(int j) {
    return kRanks - 1 - j % kRanks;
}

// The relaxed game over the cards of one position. Each card in play is an
// item, named by where it lies; the predicates only ever turn from false to
// true, so sweeping until nothing changes reaches their least fixed point.
class TRelaxed {
  public:
    explicit TRelaxed(const TPosition& position);
    bool Usable() const { return usable_; }
    TLossProof Prove();

  private:
    struct TItem {
        int Code = 0;
        int Pile = kStock;  // index into piles_, kStock for the stock
        int Height = 0;
    };

    bool Sweep();
    void Expose();
    bool Exposed(const TItem& item) const {
        return exposed_[static_cast<size_t>(&item - items_.data())] != 0;
    }
    bool Emptyable(int pile) const;
    bool LeavesTomb(const TItem& item) const;
    bool GroupEmptyable(int group, int only) const;
    bool BuildTakes(const TItem& item) const;
    bool CornerTakes(int code) const;
    bool ReachesCentre(const TItem& item) const;
    bool CentreTakes(int rank) const;
    bool LeavesDiamond(const TItem& item) const;
    bool Reaches(const TItem& item) const;
    int GroupOf(const TItem& item) const {
        return item.Pile == kStock ? GroupWaste : piles_[item.Pile].Group;
    }
    void UpdateCorners();
    bool DiamondFeeds(int target, const TItem& item) const;

    const TPosition& position_;
    TGameKind kind_;
    bool usable_ = true;
    std::vector<TPileRef> piles_;
    // Items are kept pile after pile, bottom first, the stock last; these
    // name them by pile, by card and by rank.
    struct TRange {
        const int* First;
        const int* Last;
        const int* begin() const { return First; }
        const int* end() const { return Last; }
        size_t size() const { return static_cast<size_t>(Last - First); }
        int operator[](size_t i) const { return First[i]; }
    };
    TRange PileItems(size_t pile) const {
        return {indices_.data() + pileStart_[pile], indices_.data() + pileStart_[pile + 1]};
    }
    TRange CodeItems(size_t code) const {
        return {byCode_.data() + codeStart_[code], byCode_.data() + codeStart_[code + 1]};
    }
    TRange RankItems(size_t rank) const {
        return {byRank_.data() + rankStart_[rank], byRank_.data() + rankStart_[rank + 1]};
    }
    std::vector<int> indices_;
    std::vector<int> pileStart_;
    std::vector<int> byCode_;
    std::vector<int> byRank_;
    std::array<int, kCodes + 1> codeStart_{};
    std::array<int, kRanks + 1> rankStart_{};
    std::vector<TItem> items_;
    // Diamond: whether a card on pile a may ever go onto pile b when the
    // ranks fit (a * piles + b), as the rules say.
    const std::vector<char>* feeds_ = nullptr;
    std::vector<char> leave_;
    // Whether the item may come to the top of its pile, as leave_ stood at
    // the start of the sweep (see Expose).
    std::vector<char> exposed_;
    std::vector<char> reach_;  // Diamond: may reach the centre
    // Napoleon's Tomb, per card: a copy may lie on top of an outer pile or
    // the Ace pile some time, where the card one above may go onto it.
    std::vector<char> onBuild_;
    bool stockDeals_ = false;
    std::vector<char> gathered_;  // per pile: a waste pile that a redeal gathers again

    // Napoleon's Tomb: how many places of each suit's corner are filled now,
    // whether a King may find an empty corner, and which places may be
    // filled some time.
    std::array<int, kSuits> filled_{};
    std::array<size_t, kSuits> cornerPile_{};
    std::array<std::array<char, kRun>, kSuits> avail_{};
    bool kingsOpen_ = false;
};

TRelaxed::TRelaxed(const TPosition& position) : position_(position), kind_(position.Kind) {
    if (!IsValidGameKind(kind_)) {
        usable_ = false;
        return;
    }
    for (int g = 0; g < kGroups; ++g) {
        for (int p = 0; p < PilesInGroup(kind_, g); ++p)
            piles_.push_back({g, p});
    }
    pileStart_.assign(piles_.size() + 1, 0);
    items_.reserve(kDeckSize + 8);
    gathered_.assign(piles_.size(), 0);
    for (size_t i = 0; i < piles_.size(); ++i) {
        pileStart_[i] = static_cast<int>(items_.size());
        const TPile& pile = position_.Board.Pile(kind_, piles_[i].Group, piles_[i].Pile);
        bool gap = false;
        for (const TCard& card : pile.Cards) {
            if (!card.Present) {
                gap = true;
                continue;
            }
            if (gap || card.Suit >= kSuits || card.Rank >= kRanks) {
                usable_ = false;
                return;
            }
            items_.push_back({card.Suit * kRanks + card.Rank, static_cast<int>(i),
                              static_cast<int>(items_.size()) - pileStart_[i]});
        }
    }
    pileStart_[piles_.size()] = static_cast<int>(items_.size());
    for (const TCard& card : position_.Board.Deck.Cards) {
        if (!card.Present) continue;
        if (card.Suit >= kSuits || card.Rank >= kRanks) {
            usable_ = false;
            return;
        }
        items_.push_back({card.Suit * kRanks + card.Rank, kStock, 0});
    }

    indices_.resize(items_.size());
    byCode_.resize(items_.size());
    byRank_.resize(items_.size());
    for (size_t i = 0; i < items_.size(); ++i) {
        indices_[i] = static_cast<int>(i);
        ++codeStart_[static_cast<size_t>(items_[i].Code) + 1];
        ++rankStart_[static_cast<size_t>(RankOf(items_[i].Code)) + 1];
    }
    for (int c = 0; c < kCodes; ++c)
        codeStart_[c + 1] += codeStart_[c];
    for (int r = 0; r < kRanks; ++r)
        rankStart_[r + 1] += rankStart_[r];
    {
        std::array<int, kCodes> codeFill{};
        std::array<int, kRanks> rankFill{};
        for (size_t i = 0; i < items_.size(); ++i) {
            const int code = items_[i].Code;
            byCode_[codeStart_[code] + codeFill[code]++] = static_cast<int>(i);
            byRank_[rankStart_[RankOf(code)] + rankFill[RankOf(code)]++] = static_cast<int>(i);
        }
    }

    // Which cards the stock will still bring to the top of a waste pile: in
    // the pass-limited games every card of the stock while a pass is left,
    // and the waste piles that the next redeal gathers (piles 0 to
    // PassesLeft - 1, dealt again in the next pass); elsewhere everything,
    // as the stock goes round without end.
    const bool limited = IsPassLimited(kind_);
    const int passes = position_.PassesLeft;
    stockDeals_ = !limited || passes > 0;
    for (size_t i = 0; i < piles_.size(); ++i) {
        if (piles_[i].Group != GroupWaste) continue;
        gathered_[i] = !limited || (passes >= 2 && piles_[i].Pile <= std::min(passes - 1, 4));
    }

    if (IsTomb(kind_)) {
        // Every corner must hold one suit in its building order; a position
        // that breaks this is not one the rules make, and is left alone.
        std::array<bool, kSuits> seen{};
        bool anyEmpty = false;
        for (size_t i = 0; i < piles_.size(); ++i) {
            if (piles_[i].Group != GroupCorner) continue;
            const TRange cards = PileItems(i);
            if (cards.size() == 0) {
                anyEmpty = true;
                continue;
            }
            const int suit = SuitOf(items_[cards[0]].Code);
            if (seen[suit] || cards.size() > kRun) {
                usable_ = false;
                return;
            }
            seen[suit] = true;
            for (size_t h = 0; h < cards.size(); ++h) {
                if (items_[cards[h]].Code != suit * kRanks + RankAt(static_cast<int>(h))) {
                    usable_ = false;
                    return;
                }
            }
            filled_[static_cast<size_t>(suit)] = static_cast<int>(cards.size());
            cornerPile_[static_cast<size_t>(suit)] = i;
        }
        kingsOpen_ = anyEmpty;
        // A suit whose cards are not those of the first places of its
        // building order (a card missing, a third copy) can never be won as
        // a whole; such positions are not the rules' and are left alone.
        for (int s = 0; s < kSuits && usable_; ++s) {
            int count[kRanks] = {};
            int total = 0;
            for (const TItem& item : items_) {
                if (SuitOf(item.Code) != s) continue;
                ++count[RankOf(item.Code)];
                ++total;
            }
            for (int j = 0; j < total && j < kRun; ++j)
                --count[RankAt(j)];
            usable_ =
                total <= kRun && std::all_of(count, count + kRanks, [](int c) { return c == 0; });
        }
    }
    if (kind_ == gkDiamond) {
        // Two cards one rank apart on otherwise empty piles: the answer
        // depends only on the two piles.
        static const std::vector<char> feeds = [this] {
            std::vector<char> table(piles_.size() * piles_.size(), 0);
            TPosition probe;
            probe.Kind = gkDiamond;
            for (size_t a = 0; a < piles_.size(); ++a) {
                for (size_t b = 0; b < piles_.size(); ++b) {
                    if (a == b) continue;
                    probe.Board.ClearBlock(gkDiamond);
                    probe.Board.Pile(gkDiamond, piles_[a].Group, piles_[a].Pile).Cards[0] =
                        TCard::Make(0, 5);
                    probe.Board.Pile(gkDiamond, piles_[b].Group, piles_[b].Pile).Cards[0] =
                        TCard::Make(0, 4);
                    table[a * piles_.size() + b] = CanDrop(probe, piles_[a], piles_[b]);
                }
            }
            return table;
        }();
        feeds_ = &feeds;
    }
    leave_.assign(items_.size(), 0);
    reach_.assign(items_.size(), 0);
    exposed_.assign(items_.size(), 0);
    onBuild_.assign(kCodes, 0);
}

// A card may come to the top of its pile once every card above it may leave;
// cards of the stock while it still deals, and waste piles that a redeal
// gathers again, whatever lies on them. Worked out once a sweep: a card that
// the sweep finds able to leave uncovers the cards below it for the next
// sweep, and sweeping goes on until nothing changes, so the fixed point is
// the same as with every question asked afresh.
void TRelaxed::Expose() {
    for (size_t pile = 0; pile < piles_.size(); ++pile) {
        bool open = true;
        const TRange cards = PileItems(pile);
        for (size_t h = cards.size(); h-- > 0;) {
            exposed_[cards[h]] = open || gathered_[pile];
            open = open && leave_[cards[h]];
        }
    }
    for (size_t i = static_cast<size_t>(pileStart_[piles_.size()]); i < items_.size(); ++i)
        exposed_[i] = stockDeals_;
}

bool TRelaxed::Emptyable(int pile) const {
    for (const int i : PileItems(static_cast<size_t>(pile))) {
        if (!leave_[i]) return false;
    }
    return true;
}

// Whether the places of each corner may be filled some time. Place j wants
// the card of RankAt(j) once place j - 1 is filled (place 0, the King, an
// empty corner); and among the places filled from outside the corner, as
// many cards of that rank as places of that rank up to j: the second time a
// rank is wanted, both its copies must have been reachable.
void TRelaxed::UpdateCorners() {
    if (kind_ == gkTriskStrong && !kingsOpen_) {
        for (size_t i = 0; i < piles_.size() && !kingsOpen_; ++i)
            kingsOpen_ = piles_[i].Group == GroupCorner && Emptyable(static_cast<int>(i));
    }
    int reachable[kSuits][kRanks] = {};
    for (size_t i = 0; i < items_.size(); ++i) {
        const TItem& item = items_[i];
        const bool onCorner = item.Pile != kStock && piles_[item.Pile].Group == GroupCorner;
        // Corner cards of the pass-limited games never move; in the
        // complicated game they may leave and come back.
        if (onCorner && kind_ != gkTriskStrong) continue;
        if (exposed_[i]) ++reachable[SuitOf(item.Code)][RankOf(item.Code)];
    }
    for (int s = 0; s < kSuits; ++s) {
        int wanted[kRanks] = {};
        for (int j = 0; j < kRun; ++j) {
            if (j < filled_[s]) {
                avail_[s][j] = 1;
                continue;
            }
            const int rank = RankAt(j);
            ++wanted[rank];
            const bool before = j == 0 ? kingsOpen_ : avail_[s][j - 1] != 0;
            avail_[s][j] = before && reachable[s][rank] >= wanted[rank];
        }
    }
}

// Some place of the card's rank on its suit's corner may be filled, or may
// take the card next.
bool TRelaxed::CornerTakes(int code) const {
    const int s = SuitOf(code);
    for (const int j : {kRanks - 1 - RankOf(code), kRun - 1 - RankOf(code)}) {
        if (j < filled_[s]) {
            // Taken there already: only a corner that gives cards back can
            // take the card again, once the copy there has left.
            if (kind_ == gkTriskStrong && leave_[PileItems(cornerPile_[s])[static_cast<size_t>(j)]])
                return true;
            continue;
        }
        if (j == 0 ? kingsOpen_ : avail_[s][j - 1] != 0) return true;
    }
    return false;
}

bool TRelaxed::GroupEmptyable(int group, int only) const {
    for (size_t i = 0; i < piles_.size(); ++i) {
        if (piles_[i].Group == group && (only < 0 || piles_[i].Pile == only) &&
            Emptyable(static_cast<int>(i)))
            return true;
    }
    return false;
}

// Whether the card may go onto the outer piles or the Ace pile, which build
// up in suit: onto a copy of the card below it there (which must itself have
// come there, onBuild_), an Ace onto the empty Ace pile, or a card onto an
// empty outer pile from the reserve of its number (in the simplified game
// also from the Ace pile or the waste onto any).
bool TRelaxed::BuildTakes(const TItem& item) const {
    const int group = GroupOf(item);
    const bool fromSingle = group == GroupSingle;
    const bool fromCorner = group == GroupCorner;
    if (fromCorner && kind_ != gkTriskStrong) return false;
    if (RankOf(item.Code) == 0 && !fromSingle && GroupEmptyable(GroupSingle, -1)) return true;
    // The Ace pile takes from every pile but itself, the outer piles from all
    // but the corners and (but in the simplified game) the Ace pile.
    if (!fromSingle && onBuild_[BelowInSuit(item.Code)]) return true;
    if (fromCorner) return false;
    if (group == GroupInner && GroupEmptyable(GroupOuter, piles_[item.Pile].Pile)) return true;
    if (kind_ == gkTriskLite && (fromSingle || group == GroupWaste) &&
        (onBuild_[BelowInSuit(item.Code)] || GroupEmptyable(GroupOuter, -1)))
        return true;
    return false;
}

bool TRelaxed::LeavesTomb(const TItem& item) const {
    if (GroupOf(item) == GroupCorner && kind_ != gkTriskStrong) return false;
    return CornerTakes(item.Code) || BuildTakes(item);
}

// Diamond's centre takes a card of any rank while empty, then each rank one
// above the last.
bool TRelaxed::CentreTakes(int rank) const {
    for (size_t i = 0; i < piles_.size(); ++i) {
        if (piles_[i].Group == GroupSingle && Emptyable(static_cast<int>(i))) return true;
    }
    const int below = (rank + kRanks - 1) % kRanks;
    for (const int i : RankItems(static_cast<size_t>(below))) {
        if (reach_[i] || GroupOf(items_[i]) == GroupSingle) return true;
    }
    return false;
}

bool TRelaxed::ReachesCentre(const TItem& item) const {
    if (!IsTomb(kind_)) {
        // An outer card reaches the centre only by way of a pile it may
        // leave to first.
        const size_t index = static_cast<size_t>(&item - items_.data());
        return (GroupOf(item) != GroupOuter || leave_[index]) && Exposed(item) &&
               CentreTakes(RankOf(item.Code));
    }
    return Exposed(item) && CornerTakes(item.Code);
}

// Whether a card of the item's kind of place may ever be put onto target, a
// Diamond table pile, when ranks fit: from a neighbour of the target, from
// the waste or the stock, or from the centre onto an inner or corner pile.
bool TRelaxed::DiamondFeeds(int target, const TItem& item) const {
    if (item.Pile == kStock) return true;
    return (*feeds_)[static_cast<size_t>(item.Pile) * piles_.size() + static_cast<size_t>(target)];
}

bool TRelaxed::LeavesDiamond(const TItem& item) const {
    const int group = GroupOf(item);
    if (group == GroupWaste) return true;  // any empty pile or card one apart
    if (ReachesCentre(item)) return true;
    const int rank = RankOf(item.Code);
    for (size_t t = 0; t < piles_.size(); ++t) {
        const int tg = piles_[t].Group;
        if (tg == GroupSingle || tg == GroupWaste || static_cast<int>(t) == item.Pile) continue;
        if (!DiamondFeeds(static_cast<int>(t), item)) continue;
        // The target shows a card one rank apart some time: one that lies in
        // it now, or one that may come to it.
        for (const int other : {(rank + 1) % kRanks, (rank + kRanks - 1) % kRanks}) {
            for (const int i : RankItems(static_cast<size_t>(other))) {
                // A card that leaves may travel on through the centre and
                // its neighbours to almost any pile: where it goes first does
                // not bound where it lies later.
                if (leave_[i] || (items_[i].Pile == static_cast<int>(t) && Exposed(items_[i])))
                    return true;
            }
        }
    }
    return false;
}

bool TRelaxed::Sweep() {
    bool changed = false;
    Expose();
    if (IsTomb(kind_)) UpdateCorners();
    for (size_t i = 0; i < items_.size() && IsTomb(kind_); ++i) {
        const TItem& item = items_[i];
        if (onBuild_[item.Code] || !exposed_[i]) continue;
        const int group = GroupOf(item);
        const bool lies = item.Pile != kStock && (group == GroupOuter || group == GroupSingle);
        if (lies || BuildTakes(item)) {
            onBuild_[item.Code] = 1;
            changed = true;
        }
    }
    for (size_t i = 0; i < items_.size(); ++i) {
        const TItem& item = items_[i];
        if (!reach_[i] && !IsTomb(kind_) && ReachesCentre(item)) {
            reach_[i] = 1;
            changed = true;
        }
        if (leave_[i] || !Exposed(item)) continue;
        if (IsTomb(kind_) ? LeavesTomb(item) : LeavesDiamond(item)) {
            leave_[i] = 1;
            changed = true;
        }
    }
    return changed;
}

TLossProof TRelaxed::Prove() {
    TLossProof proof;
    if (!usable_) return proof;
    // Diamond's centre and its links are kept in reach_ by the sweeps; a Tomb
    // card reaches its corner when its suit's places allow.
    while (Sweep()) {
    }
    if (IsTomb(kind_)) UpdateCorners();

    const int foundation = IsTomb(kind_) ? GroupCorner : GroupSingle;
    std::vector<char> stranded(kCodes, 0);
    std::vector<char> blocking(kCodes, 0);
    if (IsTomb(kind_)) {
        // A won game has every card of a suit on its corner, the first places
        // of the building order: each of those places must be fillable.
        for (int s = 0; s < kSuits; ++s) {
            int count = 0;
            for (int r = 0; r < kRanks; ++r)
                count += static_cast<int>(CodeItems(static_cast<size_t>(s * kRanks + r)).size());
            for (int j = 0; j < count; ++j) {
                if (!avail_[s][j]) {
                    stranded[s * kRanks + RankAt(j)] = 1;
                    break;
                }
            }
        }
    } else {
        for (size_t i = 0; i < items_.size(); ++i) {
            if (GroupOf(items_[i]) != foundation && !reach_[i]) stranded[items_[i].Code] = 1;
        }
    }
    for (size_t i = 0; i < items_.size(); ++i) {
        const TItem& item = items_[i];
        if (!stranded[item.Code] || GroupOf(item) == foundation || item.Pile == kStock) continue;
        const TRange cards = PileItems(static_cast<size_t>(item.Pile));
        for (size_t h = static_cast<size_t>(item.Height) + 1; h < cards.size(); ++h) {
            if (!leave_[cards[h]]) blocking[items_[cards[h]].Code] = 1;
        }
    }
    for (int code = 0; code < kCodes; ++code) {
        if (stranded[code]) proof.Stranded.push_back(code);
        if (blocking[code]) proof.Blockers.push_back(code);
    }
    proof.Proved = !proof.Stranded.empty();
    return proof;
}

}  // namespace

TLossProof ProveLoss(const TPosition& position) {
    TRelaxed relaxed(position);
    return relaxed.Prove();
}

std::string CardListText(const std::vector<int>& cards) {
    static constexpr char kRankNames[] = "A23456789TJQK";
    std::string text;
    for (const int code : cards) {
        if (!text.empty()) text += ", ";
        text += kRankNames[RankOf(code)];
        text += static_cast<char>('0' + SuitOf(code));
    }
    return text;
}

}  // namespace trisk
