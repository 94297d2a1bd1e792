// The model follows src/lzx.c of CHMLib 0.40 (Debian's libchm1) decision by
// decision; the comments name the places it mirrors. Where CHMLib would
// return an error, or would read or write outside one of its arrays, the
// model fails (throws Fail internally, returns false outside).
#include "help/lzx_check.h"

#include <array>
#include <cstring>

namespace trisk::chm {
namespace {

// Constants of lzx.c.
constexpr int kMinMatch = 2;
constexpr int kNumChars = 256;
constexpr int kBlockVerbatim = 1;
constexpr int kBlockAligned = 2;
constexpr int kBlockUncompressed = 3;
constexpr int kNumPrimaryLengths = 7;
constexpr int kNumSecondaryLengths = 249;
constexpr int kLenTableSafety = 64;

constexpr std::array<uint8_t, 51> kExtraBits = {0,  0,  0,  0,  1,  1,  2,  2,  3,  3,  4,  4,  5,
                                                5,  6,  6,  7,  7,  8,  8,  9,  9,  10, 10, 11, 11,
                                                12, 12, 13, 13, 14, 14, 15, 15, 16, 16, 17, 17, 17,
                                                17, 17, 17, 17, 17, 17, 17, 17, 17, 17, 17, 17};

constexpr std::array<uint32_t, 51> kPositionBase = {
    0,       1,       2,       3,       4,       6,       8,      12,     16,     24,      32,
    48,      64,      96,      128,     192,     256,     384,    512,    768,    1024,    1536,
    2048,    3072,    4096,    6144,    8192,    12288,   16384,  24576,  32768,  49152,   65536,
    98304,   131072,  196608,  262144,  393216,  524288,  655360, 786432, 917504, 1048576, 1179648,
    1310720, 1441792, 1572864, 1703936, 1835008, 1966080, 2097152};

struct Fail {};

// LZX_DECLARE_TABLE: a decoding table and its code lengths, same sizes.
template <uint32_t MaxSymbols, uint32_t TableBits>
struct HuffTable {
    static constexpr uint32_t kMaxSymbols = MaxSymbols;
    static constexpr uint32_t kTableBits = TableBits;
    std::array<uint16_t, (1u << TableBits) + (MaxSymbols << 1)> table{};
    std::array<uint8_t, MaxSymbols + kLenTableSafety> len{};
};

using PreTree = HuffTable<20, 6>;
using MainTree = HuffTable<kNumChars + 50 * 8, 12>;
using LengthTree = HuffTable<kNumSecondaryLengths + 1, 12>;
using AlignedTree = HuffTable<8, 7>;

template <typename Array>
auto& At(Array& array, uint64_t index) {
    if (index >= array.size()) throw Fail{};
    return array[index];
}

// make_decode_table; false where it returns 1.
template <typename Tree>
bool MakeDecodeTable(Tree& tree) {
    const uint32_t nsyms = Tree::kMaxSymbols;
    const uint32_t nbits = Tree::kTableBits;
    auto& table = tree.table;
    auto& length = tree.len;
    uint16_t sym;
    uint32_t leaf;
    uint8_t bit_num = 1;
    uint32_t fill;
    uint32_t pos = 0;
    uint32_t table_mask = 1u << nbits;
    uint32_t bit_mask = table_mask >> 1;
    uint32_t next_symbol = bit_mask;

    while (bit_num <= nbits) {
        for (sym = 0; sym < nsyms; sym++) {
            if (At(length, sym) == bit_num) {
                leaf = pos;
                if ((pos += bit_mask) > table_mask) return false;
                fill = bit_mask;
                while (fill-- > 0)
                    At(table, leaf++) = sym;
            }
        }
        bit_mask >>= 1;
        bit_num++;
    }

    if (pos != table_mask) {
        for (sym = static_cast<uint16_t>(pos); sym < table_mask; sym++)
            At(table, sym) = 0;
        pos <<= 16;
        table_mask <<= 16;
        bit_mask = 1u << 15;
        while (bit_num <= 16) {
            for (sym = 0; sym < nsyms; sym++) {
                if (At(length, sym) == bit_num) {
                    leaf = pos >> 16;
                    for (fill = 0; fill < bit_num - nbits; fill++) {
                        if (At(table, leaf) == 0) {
                            At(table, uint64_t(next_symbol) << 1) = 0;
                            At(table, (uint64_t(next_symbol) << 1) + 1) = 0;
                            At(table, leaf) = static_cast<uint16_t>(next_symbol++);
                        }
                        leaf = uint32_t(At(table, leaf)) << 1;
                        if ((pos >> (15 - fill)) & 1) leaf++;
                    }
                    At(table, leaf) = sym;
                    if ((pos += bit_mask) > table_mask) return false;
                }
            }
            bit_mask >>= 1;
            bit_num++;
        }
    }

    if (pos == table_mask) return true;
    for (sym = 0; sym < nsyms; sym++) {
        if (At(length, sym)) return false;
    }
    return true;
}

}  // namespace

// struct LZXstate, without the window: only its size and position matter.
struct LzxModel::State {
    uint32_t window_size = 0;
    uint32_t window_posn = 0;
    uint32_t R0 = 1, R1 = 1, R2 = 1;
    uint16_t main_elements = 0;
    int header_read = 0;
    uint16_t block_type = 0;
    uint32_t block_length = 0;
    uint32_t block_remaining = 0;
    // Bytes decoded since the last reset. CHMLib's window is not cleared: a
    // match that reaches further back (or copies a byte onto itself) would
    // copy bytes that were never decoded, so the model refuses it; a sound
    // stream never does that.
    uint64_t written = 0;

    PreTree pretree;
    MainTree maintree;
    LengthTree lengthtree;
    AlignedTree alignedtree;

    // The bit stream of one Decompress call (INIT_BITSTREAM and friends).
    const uint8_t* input = nullptr;
    std::size_t input_size = 0;
    std::size_t buffer_size = 0;
    std::size_t inpos = 0;
    uint32_t bitbuf = 0;
    int bitsleft = 0;
    // One bit for every bit of bitbuf that came from a byte past the frame:
    // CHMLib reads whatever its buffer holds there, so no such bit may decide
    // anything.
    uint32_t taint = 0;

    void InitBitstream() {
        bitsleft = 0;
        bitbuf = 0;
        taint = 0;
    }
    uint8_t Byte(std::size_t index, uint32_t& stale) const {
        if (index >= buffer_size) throw Fail{};  // outside CHMLib's buffer
        if (index >= input_size) {
            stale = 0xFF;
            return 0;
        }
        stale = 0;
        return input[index];
    }
    // ENSURE_BITS
    void EnsureBits(int n) {
        while (bitsleft < n) {
            uint32_t stale0 = 0, stale1 = 0;
            const uint32_t b0 = Byte(inpos, stale0);
            const uint32_t b1 = Byte(inpos + 1, stale1);
            const int shift = 32 - 16 - bitsleft;
            if (shift < 0) throw Fail{};
            bitbuf |= ((b1 << 8) | b0) << shift;
            taint |= ((stale1 << 8) | stale0) << shift;
            bitsleft += 16;
            inpos += 2;
        }
    }
    // PEEK_BITS
    uint32_t PeekBits(int n) const { return n == 0 ? 0 : bitbuf >> (32 - n); }
    // REMOVE_BITS, refusing to use bits from past the frame.
    void RemoveBits(int n) {
        if (n < 0 || n > bitsleft) throw Fail{};
        if (n == 0) return;
        if (n >= 32) {
            if (taint != 0) throw Fail{};
            bitbuf = 0;
            taint = 0;
        } else {
            if ((taint >> (32 - n)) != 0) throw Fail{};
            bitbuf <<= n;
            taint <<= n;
        }
        bitsleft -= n;
    }
    // READ_BITS
    uint32_t ReadBits(int n) {
        EnsureBits(n);
        const uint32_t value = PeekBits(n);
        RemoveBits(n);
        return value;
    }
    // READ_HUFFSYM
    template <typename Tree>
    uint32_t ReadHuffSym(Tree& tree) {
        EnsureBits(16);
        uint32_t i = At(tree.table, PeekBits(Tree::kTableBits));
        if (i >= Tree::kMaxSymbols) {
            uint32_t j = 1u << (32 - Tree::kTableBits);
            do {
                j >>= 1;
                i <<= 1;
                if (taint & j) throw Fail{};
                i |= (bitbuf & j) ? 1 : 0;
                if (!j) throw Fail{};  // DECR_ILLEGALDATA
            } while ((i = At(tree.table, i)) >= Tree::kMaxSymbols);
        }
        const int length = At(tree.len, i);
        RemoveBits(length);
        return i;
    }
    // lzx_read_lens
    template <typename Tree>
    void ReadLengths(Tree& lens_tree, uint32_t first, uint32_t last) {
        auto& lens = lens_tree.len;
        for (uint32_t x = 0; x < 20; x++)
            At(pretree.len, x) = static_cast<uint8_t>(ReadBits(4));
        if (!MakeDecodeTable(pretree)) throw Fail{};
        for (uint32_t x = first; x < last;) {
            int z = static_cast<int>(ReadHuffSym(pretree));
            if (z == 17) {
                uint32_t y = ReadBits(4) + 4;
                while (y--)
                    At(lens, x++) = 0;
            } else if (z == 18) {
                uint32_t y = ReadBits(5) + 20;
                while (y--)
                    At(lens, x++) = 0;
            } else if (z == 19) {
                uint32_t y = ReadBits(1) + 4;
                z = static_cast<int>(ReadHuffSym(pretree));
                z = At(lens, x) - z;
                if (z < 0) z += 17;
                while (y--)
                    At(lens, x++) = static_cast<uint8_t>(z);
            } else {
                z = At(lens, x) - z;
                if (z < 0) z += 17;
                At(lens, x++) = static_cast<uint8_t>(z);
            }
        }
    }
    // One match of a verbatim or aligned block: the window checks of the
    // copy in LZXdecompress.
    void CopyMatch(uint32_t match_offset, int match_length, int& this_run) {
        // rundest = window + window_posn; runsrc = rundest - match_offset;
        // the wrapped part is read at runsrc + window_size.
        if (uint64_t(match_offset) > uint64_t(window_posn) + window_size) throw Fail{};
        if (match_offset == 0 || match_offset > written || match_offset > window_size) {
            throw Fail{};
        }
        window_posn += static_cast<uint32_t>(match_length);
        if (window_posn > window_size) throw Fail{};
        written += static_cast<uint64_t>(match_length);
        this_run -= match_length;
    }

    void Decompress(int outlen);
};

void LzxModel::State::Decompress(int outlen) {
    uint32_t R0 = this->R0, R1 = this->R1, R2 = this->R2;
    uint32_t window_posn = this->window_posn;
    int togo = outlen;

    InitBitstream();
    if (!header_read) {
        uint32_t k = ReadBits(1);
        if (k) {
            ReadBits(16);
            ReadBits(16);
        }
        header_read = 1;
    }

    this->window_posn = window_posn;
    while (togo > 0) {
        if (block_remaining == 0) {
            if (block_type == kBlockUncompressed) {
                if (block_length & 1) inpos++;
                InitBitstream();
            }
            block_type = static_cast<uint16_t>(ReadBits(3));
            uint32_t i = ReadBits(16);
            uint32_t j = ReadBits(8);
            block_remaining = block_length = (i << 8) | j;

            switch (block_type) {
                case kBlockAligned:
                    for (i = 0; i < 8; i++)
                        At(alignedtree.len, i) = static_cast<uint8_t>(ReadBits(3));
                    if (!MakeDecodeTable(alignedtree)) throw Fail{};
                    [[fallthrough]];
                case kBlockVerbatim:
                    ReadLengths(maintree, 0, 256);
                    ReadLengths(maintree, 256, main_elements);
                    if (!MakeDecodeTable(maintree)) throw Fail{};
                    ReadLengths(lengthtree, 0, kNumSecondaryLengths);
                    if (!MakeDecodeTable(lengthtree)) throw Fail{};
                    break;
                case kBlockUncompressed: {
                    EnsureBits(16);
                    if (bitsleft > 16) {
                        if (inpos < 2) throw Fail{};
                        inpos -= 2;
                    }
                    if (inpos + 12 > input_size) throw Fail{};  // R0..R2 from past the frame
                    auto word = [this](std::size_t at) {
                        return uint32_t(input[at]) | uint32_t(input[at + 1]) << 8 |
                               uint32_t(input[at + 2]) << 16 | uint32_t(input[at + 3]) << 24;
                    };
                    R0 = word(inpos);
                    R1 = word(inpos + 4);
                    R2 = word(inpos + 8);
                    inpos += 12;
                    break;
                }
                default:
                    throw Fail{};
            }
        }

        // buffer exhaustion check
        if (inpos > input_size) {
            if (inpos > input_size + 2 || bitsleft < 16) throw Fail{};
        }

        int this_run;
        while ((this_run = static_cast<int>(block_remaining)) > 0 && togo > 0) {
            if (this_run > togo) this_run = togo;
            togo -= this_run;
            block_remaining -= static_cast<uint32_t>(this_run);

            window_posn &= window_size - 1;
            if (uint64_t(window_posn) + uint64_t(this_run) > window_size) throw Fail{};

            switch (block_type) {
                case kBlockVerbatim:
                case kBlockAligned: {
                    this->window_posn = window_posn;
                    const bool aligned = block_type == kBlockAligned;
                    while (this_run > 0) {
                        int main_element = static_cast<int>(ReadHuffSym(maintree));
                        if (main_element < kNumChars) {
                            // a literal: window[window_posn++] = main_element
                            if (this->window_posn >= window_size) throw Fail{};
                            this->window_posn++;
                            written++;
                            this_run--;
                            continue;
                        }
                        main_element -= kNumChars;
                        int match_length = main_element & kNumPrimaryLengths;
                        if (match_length == kNumPrimaryLengths) {
                            match_length += static_cast<int>(ReadHuffSym(lengthtree));
                        }
                        match_length += kMinMatch;
                        uint32_t match_offset = static_cast<uint32_t>(main_element >> 3);
                        if (match_offset > 2) {
                            if (!aligned) {
                                if (match_offset != 3) {
                                    const int extra = At(kExtraBits, match_offset);
                                    const uint32_t verbatim_bits = ReadBits(extra);
                                    match_offset =
                                        At(kPositionBase, match_offset) - 2 + verbatim_bits;
                                } else {
                                    match_offset = 1;
                                }
                            } else {
                                int extra = At(kExtraBits, match_offset);
                                match_offset = At(kPositionBase, match_offset) - 2;
                                if (extra > 3) {
                                    extra -= 3;
                                    const uint32_t verbatim_bits = ReadBits(extra);
                                    match_offset += verbatim_bits << 3;
                                    match_offset += ReadHuffSym(alignedtree);
                                } else if (extra == 3) {
                                    match_offset += ReadHuffSym(alignedtree);
                                } else if (extra > 0) {
                                    match_offset += ReadBits(extra);
                                } else {
                                    match_offset = 1;
                                }
                            }
                            R2 = R1;
                            R1 = R0;
                            R0 = match_offset;
                        } else if (match_offset == 0) {
                            match_offset = R0;
                        } else if (match_offset == 1) {
                            match_offset = R1;
                            R1 = R0;
                            R0 = match_offset;
                        } else {
                            match_offset = R2;
                            R2 = R0;
                            R0 = match_offset;
                        }
                        CopyMatch(match_offset, match_length, this_run);
                    }
                    window_posn = this->window_posn;
                    break;
                }
                case kBlockUncompressed:
                    if (inpos + static_cast<std::size_t>(this_run) > input_size) throw Fail{};
                    inpos += static_cast<std::size_t>(this_run);
                    written += static_cast<uint64_t>(this_run);
                    window_posn += static_cast<uint32_t>(this_run);
                    break;
                default:
                    throw Fail{};
            }
        }
    }

    if (togo != 0) throw Fail{};
    // memcpy(outpos, window + (window_posn ? window_posn : window_size) - outlen, outlen)
    const uint32_t end = window_posn ? window_posn : window_size;
    if (uint64_t(end) < uint64_t(outlen) || end > window_size) throw Fail{};

    this->window_posn = window_posn;
    this->R0 = R0;
    this->R1 = R1;
    this->R2 = R2;
}

LzxModel::LzxModel(int windowBits) : state_(std::make_unique<State>()) {
    // LZXinit
    if (windowBits < 15 || windowBits > 21) {
        state_.reset();
        return;
    }
    int posn_slots;
    if (windowBits == 20) {
        posn_slots = 42;
    } else if (windowBits == 21) {
        posn_slots = 50;
    } else {
        posn_slots = windowBits << 1;
    }
    state_->window_size = 1u << windowBits;
    state_->main_elements = static_cast<uint16_t>(kNumChars + (posn_slots << 3));
    Reset();
}

LzxModel::~LzxModel() = default;

void LzxModel::Reset() {
    if (!state_) return;
    // LZXreset
    State& s = *state_;
    s.R0 = s.R1 = s.R2 = 1;
    s.header_read = 0;
    s.block_remaining = 0;
    s.block_type = 0;
    s.window_posn = 0;
    s.written = 0;
    s.maintree.len.fill(0);
    s.lengthtree.len.fill(0);
}

bool LzxModel::Decompress(const uint8_t* input, std::size_t inputSize, std::size_t bufferSize,
                          int outputSize) {
    if (!state_ || outputSize <= 0 || inputSize > bufferSize) return false;
    State& s = *state_;
    s.input = input;
    s.input_size = inputSize;
    s.buffer_size = bufferSize;
    s.inpos = 0;
    try {
        s.Decompress(outputSize);
        return true;
    } catch (const Fail&) {
        return false;
    }
}

}  // namespace trisk::chm
