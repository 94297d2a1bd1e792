// Mirrors src/chm_lib.c of CHMLib 0.40 (Debian's libchm1): chm_open,
// chm_resolve_object, chm_enumerate and the compressed-section reading. The
// comments name the CHMLib function or structure that each part follows.
#include "help/chm_check.h"

#include <strings.h>

#include <algorithm>
#include <bit>
#include <set>

#include "help/lzx_check.h"

namespace trisk::chm {
namespace {

constexpr uint64_t kItsfV3Length = 0x60;  // chm_open always reads this much
constexpr uint64_t kItspLength = 0x54;
constexpr uint64_t kPmglHeaderLength = 0x14;
constexpr uint64_t kPmgiHeaderLength = 0x08;
constexpr uint64_t kResetTableLength = 0x28;
constexpr uint64_t kControlDataMinLength = 0x18;
constexpr uint64_t kMaxPathLength = 512;  // CHM_MAX_PATHLEN
// Stricter than CHMLib: the directory chunk sizes and frame size that real
// help files use (chmcmd and Microsoft's compiler write 4096 and 0x8000).
constexpr uint64_t kMinBlockLength = 64;
constexpr uint64_t kMaxBlockLength = 65536;
constexpr uint64_t kFrameLength = 0x8000;
constexpr uint64_t kCompressedBufferSlack = 6144;  // cbuffer = block_len + 6144
constexpr int kMaxCwordBytes = 10;
constexpr uint64_t kMaxSectionLength = uint64_t(16) << 20;
// Every lookup, ours and CHMLib's, walks from the index root down to a
// listing chunk: a deeper index (real files have two or three levels) or
// more chunks than a help file of the largest size holds in 4096-byte chunks
// would make each lookup slow (a chain of 900000 index chunks took a quarter
// of a second a page).
constexpr std::size_t kMaxIndexDepth = 16;
constexpr std::size_t kMaxDirectoryChunks = 16384;

const char kResetTablePath[] =
    "::DataSpace/Storage/MSCompressed/Transform/"
    "{7FC28940-9D31-11D0-9B27-00A0C91E9C7C}/InstanceData/ResetTable";
const char kControlDataPath[] = "::DataSpace/Storage/MSCompressed/ControlData";
const char kContentPath[] = "::DataSpace/Storage/MSCompressed/Content";

struct Refused {
    QString reason;
};

class Bytes {
  public:
    explicit Bytes(const QByteArray& file)
        : data_(reinterpret_cast<const uint8_t*>(file.constData())),
          size_(static_cast<uint64_t>(file.size())) {}
    uint64_t size() const { return size_; }
    const uint8_t* data() const { return data_; }
    bool Has(uint64_t offset, uint64_t length) const {
        return offset <= size_ && length <= size_ - offset;
    }
    uint32_t U32(uint64_t offset) const {
        Need(offset, 4);
        return uint32_t(data_[offset]) | uint32_t(data_[offset + 1]) << 8 |
               uint32_t(data_[offset + 2]) << 16 | uint32_t(data_[offset + 3]) << 24;
    }
    uint64_t U64(uint64_t offset) const {
        return uint64_t(U32(offset)) | uint64_t(U32(offset + 4)) << 32;
    }
    int32_t I32(uint64_t offset) const { return static_cast<int32_t>(U32(offset)); }
    bool Tag(uint64_t offset, const char (&tag)[5]) const {
        Need(offset, 4);
        return std::equal(tag, tag + 4, data_ + offset);
    }

  private:
    void Need(uint64_t offset, uint64_t length) const {
        if (!Has(offset, length)) throw Refused{QStringLiteral("a header lies past the end")};
    }
    const uint8_t* data_;
    uint64_t size_;
};

bool AddOverflows(uint64_t a, uint64_t b, uint64_t* sum) {
    return __builtin_add_overflow(a, b, sum);
}

// One directory chunk, read as CHMLib reads it: `base` is its first byte.
class ChunkReader {
  public:
    ChunkReader(const Bytes& bytes, uint64_t base, uint64_t end)
        : bytes_(bytes), pos_(base), end_(end) {}
    bool AtEnd() const { return pos_ >= end_; }
    // _chm_parse_cword, never past the end of the entries.
    uint64_t Cword() {
        uint64_t accum = 0;
        for (int i = 0; i < kMaxCwordBytes; ++i) {
            if (pos_ >= end_)
                throw Refused{QStringLiteral("a directory entry runs past its chunk")};
            const uint8_t temp = bytes_.data()[pos_++];
            if (temp < 0x80) return (accum << 7) + temp;
            accum <<= 7;
            accum += temp & 0x7f;
        }
        throw Refused{QStringLiteral("a directory entry has an overlong number")};
    }
    // The name of an entry (_chm_parse_UTF8): CHMLib copies the bytes and
    // ends them with a zero, so a name must not be empty (chm_enumerate
    // looks at its last character) nor hold a zero.
    std::string Name() {
        const uint64_t length = Cword();
        if (length == 0 || length > kMaxPathLength || length > end_ - pos_) {
            throw Refused{QStringLiteral("a directory entry has a bad name")};
        }
        std::string name(reinterpret_cast<const char*>(bytes_.data() + pos_), length);
        if (name.find('\0') != std::string::npos) {
            throw Refused{QStringLiteral("a directory entry has a bad name")};
        }
        pos_ += length;
        return name;
    }

  private:
    const Bytes& bytes_;
    uint64_t pos_;
    uint64_t end_;
};

}  // namespace

std::optional<Unit> CheckedContainer::Resolve(const std::string& path) const {
    // chm_resolve_object: from the index root down the index chunks to a
    // listing chunk, whose entries are searched in order. Every chunk on the
    // way was checked, and the index chunks form no loop.
    int64_t page = root_;
    std::size_t steps = 0;
    while (page != -1) {
        auto chunk = chunks_.find(page);
        if (chunk == chunks_.end() || ++steps > chunks_.size()) return std::nullopt;
        if (chunk->second.listing) {
            for (const Entry& entry : chunk->second.entries) {
                if (strcasecmp(entry.name.c_str(), path.c_str()) == 0) return entry.unit;
            }
            return std::nullopt;
        }
        // _chm_find_in_PMGI
        int64_t next = -1;
        for (const Entry& entry : chunk->second.entries) {
            if (strcasecmp(entry.name.c_str(), path.c_str()) > 0) break;
            next = static_cast<int64_t>(entry.page);
        }
        page = next;
    }
    return std::nullopt;
}

bool CheckedContainer::Readable(const Unit& unit) const {
    uint64_t end = 0;
    if (unit.space == 0) {
        uint64_t start = 0;
        return !AddOverflows(data_offset_, unit.start, &start) &&
               !AddOverflows(start, unit.length, &end) && end <= file_size_;
    }
    return compression_ && !AddOverflows(unit.start, unit.length, &end) &&
           end <= compressed_readable_;
}

std::optional<CheckedContainer> CheckContainer(const QByteArray& file, QString* reason) {
    const Bytes bytes(file);
    CheckedContainer result;
    result.file_size_ = bytes.size();
    try {
        // ---- chm_open: the ITSF header (_unmarshal_itsf_header) ----
        if (!bytes.Has(0, 4) || !bytes.Tag(0, "ITSF")) {
            throw Refused{QStringLiteral("not a help file (no ITSF header)")};
        }
        if (!bytes.Has(0, kItsfV3Length)) throw Refused{QStringLiteral("the file is truncated")};
        const int32_t version = bytes.I32(4);
        const int32_t header_length = bytes.I32(8);
        if (!((version == 2 && header_length >= 0x58) || (version == 3 && header_length >= 0x60))) {
            throw Refused{QStringLiteral("unknown ITSF header version")};
        }
        const uint64_t dir_offset = bytes.U64(0x48);
        const uint64_t dir_len = bytes.U64(0x50);
        uint64_t data_offset = 0;
        if (version == 3) {
            data_offset = bytes.U64(0x58);
        } else if (AddOverflows(dir_offset, dir_len, &data_offset)) {
            throw Refused{QStringLiteral("bad directory size")};
        }
        if (data_offset > bytes.size()) throw Refused{QStringLiteral("the data lies past the end")};
        result.data_offset_ = data_offset;

        // ---- the ITSP header (_unmarshal_itsp_header) ----
        if (!bytes.Has(dir_offset, kItspLength) || !bytes.Tag(dir_offset, "ITSP") ||
            bytes.I32(dir_offset + 4) != 1 || bytes.I32(dir_offset + 8) != int32_t(kItspLength)) {
            throw Refused{QStringLiteral("no directory header")};
        }
        const uint64_t block_len = bytes.U32(dir_offset + 0x10);
        const int32_t index_root = bytes.I32(dir_offset + 0x1c);
        const int32_t index_head = bytes.I32(dir_offset + 0x20);
        if (block_len < kMinBlockLength || block_len > kMaxBlockLength) {
            throw Refused{QStringLiteral("bad directory chunk size")};
        }
        // dir_offset += header_len; chunk k lies at dir_offset + k * block_len.
        const uint64_t chunks_start = dir_offset + kItspLength;
        const uint64_t chunk_count =
            chunks_start < bytes.size() ? (bytes.size() - chunks_start) / block_len : 0;
        auto in_range = [&](int64_t page) { return page >= 0 && uint64_t(page) < chunk_count; };
        // if index_root <= -1, the sole listing chunk is the root
        const int64_t root = index_root <= -1 ? index_head : index_root;
        if (!in_range(index_head) || !in_range(root)) {
            throw Refused{QStringLiteral("bad directory index")};
        }
        result.root_ = root;

        // _unmarshal_pmgl_header / _unmarshal_pmgi_header and the entries
        // that _chm_find_in_PMGL, _chm_find_in_PMGI and chm_enumerate scan.
        auto parse_chunk = [&](int64_t page) -> const CheckedContainer::Chunk& {
            auto known = result.chunks_.find(page);
            if (known != result.chunks_.end()) return known->second;
            if (result.chunks_.size() >= kMaxDirectoryChunks) {
                throw Refused{QStringLiteral("the directory has too many chunks")};
            }
            const uint64_t base = chunks_start + uint64_t(page) * block_len;
            CheckedContainer::Chunk chunk;
            uint64_t header_length = 0;
            if (bytes.Tag(base, "PMGL")) {
                chunk.listing = true;
                header_length = kPmglHeaderLength;
                chunk.next = bytes.I32(base + 0x10);
            } else if (bytes.Tag(base, "PMGI")) {
                header_length = kPmgiHeaderLength;
            } else {
                throw Refused{QStringLiteral("a directory chunk is damaged")};
            }
            const uint64_t free_space = bytes.U32(base + 4);
            if (free_space > block_len - header_length) {
                throw Refused{QStringLiteral("a directory chunk is damaged")};
            }
            // CHMLib scans while cur < end; the entries must end exactly there.
            ChunkReader reader(bytes, base + header_length, base + block_len - free_space);
            while (!reader.AtEnd()) {
                CheckedContainer::Entry entry;
                entry.name = reader.Name();
                if (chunk.listing) {
                    entry.unit.path = entry.name;
                    entry.unit.space = reader.Cword();
                    entry.unit.start = reader.Cword();
                    entry.unit.length = reader.Cword();
                    // CHMLib takes any space but 0 as compressed, and would
                    // read a third space with compression data it never set.
                    if (entry.unit.space > 1) {
                        throw Refused{QStringLiteral("a directory entry names an unknown section")};
                    }
                } else {
                    entry.page = reader.Cword();
                    if (!in_range(
                            static_cast<int64_t>(std::min<uint64_t>(entry.page, INT64_MAX)))) {
                        throw Refused{QStringLiteral("a directory index points nowhere")};
                    }
                }
                chunk.entries.push_back(std::move(entry));
            }
            return result.chunks_.emplace(page, std::move(chunk)).first->second;
        };

        // chm_enumerate: the listing chunks from index_head along block_next.
        std::set<int64_t> chained;
        for (int64_t page = index_head; page != -1;) {
            if (!in_range(page) || !chained.insert(page).second) {
                throw Refused{QStringLiteral("the directory chunks are not a proper chain")};
            }
            const auto& chunk = parse_chunk(page);
            if (!chunk.listing) throw Refused{QStringLiteral("a directory chunk is damaged")};
            for (const auto& entry : chunk.entries)
                result.units_.push_back(entry.unit);
            page = chunk.next;
        }

        // chm_resolve_object: every chunk that the index can lead to, and no
        // loop among them (CHMLib would follow it for ever).
        std::map<int64_t, int> state;  // 1 on the current path, 2 done
        std::vector<std::pair<int64_t, std::size_t>> stack{{root, 0}};
        state[root] = 1;
        while (!stack.empty()) {
            auto& [page, next_child] = stack.back();
            const auto& chunk = parse_chunk(page);
            if (chunk.listing || next_child >= chunk.entries.size()) {
                state[page] = 2;
                stack.pop_back();
                continue;
            }
            const int64_t child = static_cast<int64_t>(chunk.entries[next_child++].page);
            int& child_state = state[child];
            if (child_state == 1) throw Refused{QStringLiteral("the directory index loops")};
            if (child_state == 0) {
                if (stack.size() >= kMaxIndexDepth) {
                    throw Refused{QStringLiteral("the directory index is too deep")};
                }
                child_state = 1;
                stack.emplace_back(child, 0);
            }
        }

        // ---- chm_open: the compressed section ----
        // chm_retrieve_object on the uncompressed section: what CHMLib gets.
        auto retrieve = [&](const Unit& unit, uint64_t length) -> QByteArray {
            if (unit.length == 0) return {};
            length = std::min(length, unit.length);
            uint64_t offset = 0;
            if (AddOverflows(data_offset, unit.start, &offset) || offset >= bytes.size()) return {};
            length = std::min(length, bytes.size() - offset);
            return QByteArray(reinterpret_cast<const char*>(bytes.data() + offset),
                              static_cast<qsizetype>(length));
        };
        const auto rt = result.Resolve(kResetTablePath);
        const auto cn = result.Resolve(kContentPath);
        const auto lz = result.Resolve(kControlDataPath);
        bool compression = rt && rt->space == 0 && cn && cn->space == 0 && lz && lz->space == 0;
        QByteArray reset_table;
        if (compression) {
            reset_table = retrieve(*rt, kResetTableLength);
            // _unmarshal_lzxc_reset_table: version 2 or no compression
            if (uint64_t(reset_table.size()) != kResetTableLength ||
                Bytes(reset_table).U32(0) != 2) {
                compression = false;
            }
        }
        if (compression) {
            // _unmarshal_lzxc_control_data; where it fails CHMLib divides by
            // values it never read, so any fault here refuses the file.
            if (lz->length < kControlDataMinLength || lz->length > 256) {
                throw Refused{QStringLiteral("bad compression parameters")};
            }
            const QByteArray control = retrieve(*lz, lz->length);
            if (uint64_t(control.size()) != lz->length) {
                throw Refused{QStringLiteral("bad compression parameters")};
            }
            const Bytes c(control);
            const uint32_t control_version = c.U32(8);
            uint32_t reset_interval = c.U32(12);
            uint32_t window_size = c.U32(16);
            const uint32_t windows_per_reset = c.U32(20);
            if (control_version == 2) {
                reset_interval *= 0x8000u;
                window_size *= 0x8000u;
            }
            if (window_size == 0 || reset_interval == 0 || window_size == 1 ||
                reset_interval % (window_size / 2) != 0 || !c.Tag(4, "LZXC")) {
                throw Refused{QStringLiteral("bad compression parameters")};
            }
            // reset_blkcount, in CHMLib's 32-bit arithmetic; a 0 would be a
            // division by zero in _chm_decompress_block.
            const uint32_t reset_blocks = reset_interval / (window_size / 2) * windows_per_reset;
            const int window_bits = std::countr_zero(window_size);  // ffs(window_size) - 1
            if (reset_blocks == 0 || !std::has_single_bit(window_size) || window_bits < 15 ||
                window_bits > 21) {
                throw Refused{QStringLiteral("bad compression parameters")};
            }

            const Bytes table(reset_table);
            const uint32_t block_count = table.U32(4);
            const uint64_t table_offset = table.U32(12);
            const uint64_t uncompressed_len = table.U64(16);
            const uint64_t compressed_len = table.U64(24);
            const uint64_t frame_len = table.U64(32);
            if (frame_len != kFrameLength)
                throw Refused{QStringLiteral("bad compression parameters")};
            // More than any help file holds, and a bound on the work below.
            if (uncompressed_len > kMaxSectionLength ||
                uncompressed_len > uint64_t(bytes.size()) * 64 + (uint64_t(1) << 20)) {
                throw Refused{QStringLiteral("bad compression parameters")};
            }
            const uint64_t frames = (uncompressed_len + frame_len - 1) / frame_len;
            if (block_count < frames || block_count > frames + 1) {
                throw Refused{QStringLiteral("bad reset table")};
            }
            const uint64_t buffer_size = frame_len + kCompressedBufferSlack;
            LzxModel model(window_bits);
            for (uint64_t block = 0; block < frames; ++block) {
                // _chm_get_cmpblock_bounds, with the table inside its unit.
                const uint64_t entry = table_offset + block * 8;
                const bool last = block >= uint64_t(block_count) - 1;
                if (entry + (last ? 8 : 16) > rt->length) {
                    throw Refused{QStringLiteral("bad reset table")};
                }
                uint64_t at = 0;
                if (AddOverflows(data_offset, rt->start, &at) || AddOverflows(at, entry, &at) ||
                    !bytes.Has(at, last ? 8 : 16)) {
                    throw Refused{QStringLiteral("bad reset table")};
                }
                const uint64_t start = bytes.U64(at);
                const uint64_t end = last ? compressed_len : bytes.U64(at + 8);
                if (end < start || end - start > buffer_size || end > cn->length) {
                    throw Refused{QStringLiteral("bad reset table")};
                }
                uint64_t file_start = 0;
                if (AddOverflows(data_offset, cn->start, &file_start) ||
                    AddOverflows(file_start, start, &file_start) ||
                    !bytes.Has(file_start, end - start)) {
                    throw Refused{QStringLiteral("the compressed section is truncated")};
                }
                if (block % reset_blocks == 0) model.Reset();
                if (!model.Decompress(bytes.data() + file_start, end - start, buffer_size,
                                      static_cast<int>(frame_len))) {
                    throw Refused{QStringLiteral("the compressed section is damaged")};
                }
            }
            result.compression_ = true;
            result.compressed_readable_ = uncompressed_len;
        }
        return result;
    } catch (const Refused& refused) {
        if (reason) *reason = refused.reason;
        return std::nullopt;
    }
}

}  // namespace trisk::chm
