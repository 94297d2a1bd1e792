// The POSIX file system behind TFileStore.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "history/file_store.h"

namespace trisk {

namespace {

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    bytes.clear();
    uint8_t buffer[65536];
    bool ok = true;
    for (;;) {
        const size_t got = std::fread(buffer, 1, sizeof buffer, file);
        bytes.insert(bytes.end(), buffer, buffer + got);
        if (got < sizeof buffer) {
            ok = !std::ferror(file);
            break;
        }
    }
    std::fclose(file);
    return ok;
}

// Writes the bytes to a temporary file beside path and renames it over path
// once everything was written and synced; the old file stays untouched on any
// failure.
bool WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::string temp = path + ".XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0) return false;
    // mkstemp creates the file for the owner only; a saved game gets the usual
    // permissions, or those of the file it replaces.
    struct stat existing {};
    const mode_t umaskValue = umask(0);
    umask(umaskValue);
    fchmod(fd,
           stat(path.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : (0666 & ~umaskValue));
    size_t written = 0;
    bool ok = true;
    while (ok && written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n > 0) {
            written += static_cast<size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            ok = false;
        }
    }
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && std::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) std::remove(temp.c_str());
    return ok;
}

class TPosixFileStore : public TFileStore {
  public:
    bool Exists(const std::string& path) override {
        struct stat info {};
        return stat(path.c_str(), &info) == 0;
    }
    bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes) override {
        return trisk::ReadWholeFile(path, bytes);
    }
    bool WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes) override {
        return trisk::WriteFileAtomically(path, bytes);
    }
};

}  // namespace

TFileStore& PlatformFileStore() {
    static TPosixFileStore store;
    return store;
}

}  // namespace trisk
