#include "history/savefile.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace trisk {

namespace {

bool PutU32(TByteSink& out, uint32_t value) {
    uint8_t bytes[4];
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<uint8_t>(value >> (8 * i));
    return out.Put(bytes, sizeof bytes);
}

uint32_t GetU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// A card slot is three plain bytes (suit, rank, present), so runs of slots
// are copied as they are.
bool PutCards(TByteSink& out, const TCard* cards, size_t count) {
    return out.Put(cards, count * sizeof(TCard));
}

bool GetCards(const uint8_t* p, TCard* cards, size_t count) {
    for (size_t i = 0; i < count * sizeof(TCard); i += sizeof(TCard)) {
        if (p[i] > 3 || p[i + 1] > 12 || p[i + 2] > 1) return false;
    }
    std::memcpy(static_cast<void*>(cards), p, count * sizeof(TCard));
    return true;
}

size_t EntrySize(TGameKind kind) {
    return IsTomb(kind) ? kTombEntrySize : kDiamondEntrySize;
}

// The entry's fields in the file's order: the header of the entry, the deck and
// the block of the kind.
bool PutEntry(TByteSink& out, TGameKind kind, const TSolData& entry) {
    const bool ok = PutU32(out, static_cast<uint32_t>(entry.PassesLeft)) &&
                    PutU32(out, static_cast<uint32_t>(entry.SelGroup)) &&
                    PutU32(out, static_cast<uint32_t>(entry.SelPile)) &&
                    PutCards(out, entry.Deck.Cards, kDeckSize) &&
                    PutU32(out, entry.Deck.GameNumber);
    if (!ok) return false;
    if (IsTomb(kind))
        return PutCards(out, &entry.TombPiles[0][0].Cards[0],
                        kGroups * kTombPilesPerGroup * kDeckSize);
    return PutCards(out, &entry.DiamondPiles[0][0].Cards[0],
                    kGroups * kDiamondPilesPerGroup * kDeckSize);
}

class TVectorSink : public TByteSink {
  public:
    explicit TVectorSink(std::vector<uint8_t>& out) : out_(out) {}
    bool Put(const void* bytes, size_t count) override {
        const auto* p = static_cast<const uint8_t*>(bytes);
        out_.insert(out_.end(), p, p + count);
        return true;
    }

  private:
    std::vector<uint8_t>& out_;
};

// What every entry that the game records holds: each of the 52 cards exactly
// twice over the stock and the kind's piles, the cards of a pile in its lowest
// slots, nothing on a pile that the kind does not play, and a selection that
// names a group and a pile or none. An entry that fails is not a position of
// this game (a file of zeros among them), and the file is refused at it.
bool IsRealPosition(TGameKind kind, const TSolData& entry) {
    if (entry.SelGroup < -1 || entry.SelGroup >= kGroups || entry.SelPile < -1 ||
        entry.SelPile >= kTombPilesPerGroup)
        return false;
    int seen[kSuits][kRanks] = {};
    int total = 0;
    const auto count = [&](const TCard& card) {
        if (card.Present && ++seen[card.Suit][card.Rank] <= 2) ++total;
    };
    for (const TCard& card : entry.Deck.Cards)
        count(card);
    const int piles = IsTomb(kind) ? kTombPilesPerGroup : kDiamondPilesPerGroup;
    for (int g = 0; g < kGroups; ++g) {
        for (int p = 0; p < piles; ++p) {
            const TPile& pile = IsTomb(kind) ? entry.TombPiles[g][p] : entry.DiamondPiles[g][p];
            int size = 0;
            while (size < kDeckSize && pile.Cards[size].Present)
                count(pile.Cards[size++]);
            for (int i = size; i < kDeckSize; ++i) {
                if (pile.Cards[i].Present) return false;
            }
            if (size > 0 && !PileExists(kind, g, p)) return false;
        }
    }
    // 104 counted, none more than twice: each card exactly twice.
    if (total != kDeckSize) return false;
    for (const auto& suit : seen) {
        for (int n : suit) {
            if (n != 2) return false;
        }
    }
    return true;
}

// p points at kEntrySize bytes (checked by the caller).
bool GetEntry(const uint8_t* p, TGameKind kind, TSolData& entry) {
    entry.PassesLeft = static_cast<int32_t>(GetU32(p));
    entry.SelGroup = static_cast<int32_t>(GetU32(p + 4));
    entry.SelPile = static_cast<int32_t>(GetU32(p + 8));
    // The program only ever stores -1 (won) to 5; anything else would make a
    // stock click deal to piles that do not exist.
    if (entry.PassesLeft < -1 || entry.PassesLeft > 5) return false;
    if (!GetCards(p + 12, entry.Deck.Cards, kDeckSize)) return false;
    entry.Deck.GameNumber = GetU32(p + 12 + 312);
    const bool cards = IsTomb(kind) ? GetCards(p + 328, &entry.TombPiles[0][0].Cards[0],
                                               kGroups * kTombPilesPerGroup * kDeckSize)
                                    : GetCards(p + 328, &entry.DiamondPiles[0][0].Cards[0],
                                               kGroups * kDiamondPilesPerGroup * kDeckSize);
    return cards && IsRealPosition(kind, entry);
}

}  // namespace

bool WriteGame(TByteSink& out, TGameKind kind, int32_t moveIndex, int32_t actionCount,
               uint32_t elapsed, const THistory& history) {
    static const uint8_t kMagic[4] = {'K', 'X', 1, 3};
    if (!out.Put(kMagic, sizeof kMagic) || !PutU32(out, static_cast<uint32_t>(kind)) ||
        !PutU32(out, static_cast<uint32_t>(moveIndex)) ||
        !PutU32(out, static_cast<uint32_t>(actionCount)) || !PutU32(out, elapsed) ||
        !PutU32(out, static_cast<uint32_t>(history.size())))
        return false;
    for (const TSolData& entry : history) {
        if (!PutEntry(out, kind, entry)) return false;
    }
    return true;
}

std::vector<uint8_t> SerializeGame(TGameKind kind, int32_t moveIndex, int32_t actionCount,
                                   uint32_t elapsed, const THistory& history) {
    std::vector<uint8_t> out;
    out.reserve(24 + history.size() * EntrySize(kind));
    TVectorSink sink(out);
    WriteGame(sink, kind, moveIndex, actionCount, elapsed, history);
    return out;
}

TLoadStatus ReadSavedGame(TByteSource& in, TSavedGame& out) {
    uint8_t head[24];
    if (in.Read(head, 4) < 4 || head[0] != 'K' || head[1] != 'X') return TLoadStatus::WrongFormat;
    out.MajorVersion = head[2];
    out.MinorVersion = head[3];
    if (out.MajorVersion > 1 || out.MinorVersion > 3) return TLoadStatus::TooNew;
    // Major or minor 0 passes the version test but has no known layout.
    if (out.MajorVersion == 0 || out.MinorVersion == 0) return TLoadStatus::WrongFormat;
    if (in.Read(head + 4, 4) < 4) return TLoadStatus::WrongFormat;
    const uint32_t kind = GetU32(head + 4);
    if (!IsValidGameKind(kind)) return TLoadStatus::WrongFormat;
    out.Kind = static_cast<TGameKind>(kind);
    out.History.clear();

    // Each entry is read into one scratch entry, kept in the cache, and
    // copied into the history from there: the history's memory is written
    // once, not cleared first and then filled, and the file is never held
    // whole. The block of the other kind stays as the scratch entry was
    // made, all zero.
    const auto raw = std::make_unique_for_overwrite<uint8_t[]>(kTombEntrySize);
    TSolData entry;
    const auto readEntry = [&](size_t entrySize) {
        return in.Read(raw.get(), entrySize) == entrySize && GetEntry(raw.get(), out.Kind, entry);
    };

    if (out.MinorVersion == 1) {
        // One entry, always with the Napoleon's Tomb block.
        if (out.Kind == gkDiamond || !readEntry(kTombEntrySize)) return TLoadStatus::WrongFormat;
        out.MoveIndex = 0;
        out.ActionCount = 0;
        out.Elapsed = 0;
        out.History.push_back(entry);
        return TLoadStatus::Ok;
    }

    const size_t header = out.MinorVersion == 3 ? 24 : 20;
    if (in.Read(head + 8, header - 8) < header - 8) return TLoadStatus::WrongFormat;
    out.MoveIndex = static_cast<int32_t>(GetU32(head + 8));
    out.ActionCount = static_cast<int32_t>(GetU32(head + 12));
    out.Elapsed = out.MinorVersion == 3 ? GetU32(head + 16) : 0;
    const int32_t count = static_cast<int32_t>(GetU32(head + header - 4));
    const size_t entrySize = EntrySize(out.Kind);
    // A count the file is too short for is refused before anything is read.
    const uint64_t body = in.Size() > header ? in.Size() - header : 0;
    if (count < 1 || static_cast<uint64_t>(count) > body / entrySize)
        return TLoadStatus::WrongFormat;
    if (out.MoveIndex < 0 || out.MoveIndex >= count) return TLoadStatus::WrongFormat;
    for (int32_t i = 0; i < count; ++i) {
        if (!readEntry(entrySize)) {
            out.History.clear();
            return TLoadStatus::WrongFormat;
        }
        out.History.push_back(entry);
    }
    return TLoadStatus::Ok;
}

namespace {

class TMemorySource : public TByteSource {
  public:
    TMemorySource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    size_t Read(uint8_t* into, size_t count) override {
        count = std::min(count, size_ - next_);
        if (count > 0) std::memcpy(into, data_ + next_, count);
        next_ += count;
        return count;
    }
    uint64_t Size() const override { return size_; }
    bool Failed() const override { return false; }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t next_ = 0;
};

}  // namespace

TLoadStatus ParseSavedGame(const uint8_t* data, size_t size, TSavedGame& out) {
    TMemorySource source(data, size);
    return ReadSavedGame(source, out);
}

}  // namespace trisk
