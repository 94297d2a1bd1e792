// The guard in front of CHMLib. CHMLib (libchm, not ours) trusts the file it
// opens: a wrong offset, a directory chunk whose entries run past its end, a
// loop of chunks, a zero in the compression parameters or a damaged LZX
// stream make it read out of bounds, divide by zero or loop for ever. Before
// the reader hands a file to CHMLib, CheckContainer walks every structure
// that CHMLib would walk, the way CHMLib walks it (the ITSF and ITSP headers,
// each directory chunk reachable from the index root and from the chain of
// listing chunks, the reset table, the LZX control data, and every LZX frame
// through LzxModel), checking each offset, size and index on the way. Only a
// file that passes goes to CHMLib; anything else is refused with a reason.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace trisk::chm {

// One directory entry, as CHMLib's struct chmUnitInfo holds it.
struct Unit {
    std::string path;
    uint64_t space = 0;  // 0 uncompressed section, 1 compressed section
    uint64_t start = 0;
    uint64_t length = 0;
};

class CheckedContainer {
  public:
    // The entries in the order in which chm_enumerate reports them.
    const std::vector<Unit>& Units() const { return units_; }
    // chm_resolve_object, step for step.
    std::optional<Unit> Resolve(const std::string& path) const;
    // Whether a unit's bytes can be read through CHMLib: inside the file for
    // the uncompressed section, inside the checked frames for the compressed
    // one.
    bool Readable(const Unit& unit) const;

  private:
    friend std::optional<CheckedContainer> CheckContainer(const QByteArray&, QString*);

    struct Entry {
        std::string name;
        Unit unit;          // listing chunks
        uint64_t page = 0;  // index chunks
    };
    struct Chunk {
        bool listing = false;  // PMGL; otherwise PMGI
        int32_t next = -1;
        std::vector<Entry> entries;
    };
    std::map<int64_t, Chunk> chunks_;
    int64_t root_ = -1;
    std::vector<Unit> units_;
    uint64_t file_size_ = 0;
    uint64_t data_offset_ = 0;
    bool compression_ = false;
    uint64_t compressed_readable_ = 0;
};

// The checked view of a file, or nothing with the reason in `reason` (which
// starts "not a help file" when the file is not an ITSF archive at all).
std::optional<CheckedContainer> CheckContainer(const QByteArray& file, QString* reason);

}  // namespace trisk::chm
