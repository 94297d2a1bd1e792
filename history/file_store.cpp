#include "history/file_store.h"

#include <sys/stat.h>
#include <cstdio>

namespace trisk {

bool TFileStore::ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes) {
    bytes.clear();
    const std::unique_ptr<TByteSource> source = OpenForReading(path);
    if (!source) return false;
    // One buffer of the size the file had when opened; a file that grew
    // meanwhile is read on to its end.
    bytes.resize(static_cast<size_t>(source->Size()));
    size_t got = 0;
    for (;;) {
        if (got == bytes.size()) bytes.resize(got + 65536);
        const size_t n = source->Read(bytes.data() + got, bytes.size() - got);
        got += n;
        if (n == 0 || source->Failed()) break;
    }
    bytes.resize(got);
    return !source->Failed();
}

bool TFileStore::RenameFile(const std::string& from, const std::string& to) {
    struct stat st;
    if (::lstat(to.c_str(), &st) == 0) return false;
    return std::rename(from.c_str(), to.c_str()) == 0;
}

}  // namespace trisk
