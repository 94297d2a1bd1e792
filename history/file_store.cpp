#include "history/file_store.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

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

bool TFileStore::RenameFile(const std::string& from, const std::string& to) {
    // Never replace what is already there, not even a link planted between a
    // check and the rename: the kernel refuses atomically where it can.
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    struct stat st;
    if (::lstat(to.c_str(), &st) == 0) return false;
    return std::rename(from.c_str(), to.c_str()) == 0;
}

}  // namespace trisk
