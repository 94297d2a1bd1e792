#include "history/file_store.h"

#include <algorithm>

namespace trisk {

bool TFileStore::ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes, size_t limit) {
    bytes.clear();
    const std::unique_ptr<TByteSource> source = OpenForReading(path);
    if (!source || source->Size() > limit) return false;
    // One buffer of the size the file had when opened; a file that grew
    // meanwhile is read on to its end or one byte past the limit.
    bytes.resize(static_cast<size_t>(source->Size()));
    size_t got = 0;
    for (;;) {
        if (got == bytes.size()) bytes.resize(got + std::min<size_t>(65536, limit - got + 1));
        const size_t n = source->Read(bytes.data() + got, bytes.size() - got);
        got += n;
        if (n == 0 || source->Failed() || got > limit) break;
    }
    bytes.resize(got);
    return !source->Failed() && got <= limit;
}

}  // namespace trisk
