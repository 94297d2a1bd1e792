// The POSIX file system behind TFileStore.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "history/file_store.h"

namespace trisk {

namespace {

bool WriteAll(int fd, const uint8_t* bytes, size_t count) {
    size_t written = 0;
    while (written < count) {
        const ssize_t n = ::write(fd, bytes + written, count - written);
        if (n > 0) {
            written += static_cast<size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            return false;
        }
    }
    return true;
}

// The writer's bytes into fd through a buffer, so that a large file is never
// made whole in memory first.
class TFdSink : public TByteSink {
  public:
    explicit TFdSink(int fd)
        : fd_(fd), buffer_(std::make_unique_for_overwrite<uint8_t[]>(kBuffer)) {}
    bool Put(const void* bytes, size_t count) override {
        const auto* p = static_cast<const uint8_t*>(bytes);
        while (ok_ && count > 0) {
            if (used_ == kBuffer) ok_ = Flush();
            const size_t n = std::min(count, kBuffer - used_);
            std::memcpy(buffer_.get() + used_, p, n);
            used_ += n;
            p += n;
            count -= n;
        }
        return ok_;
    }
    bool Flush() {
        ok_ = ok_ && WriteAll(fd_, buffer_.get(), used_);
        used_ = 0;
        return ok_;
    }

  private:
    static constexpr size_t kBuffer = 1 << 20;
    int fd_;
    std::unique_ptr<uint8_t[]> buffer_;
    size_t used_ = 0;
    bool ok_ = true;
};

bool WriteAll(int fd, const TByteWriter& write) {
    TFdSink sink(fd);
    return write(sink) && sink.Flush();
}

// What a save may replace: nothing yet (the usual permissions of a new file),
// a regular file (its permission bits, never its set-id or sticky bits) or a
// link, which the save replaces as it would a missing file and never follows
// (its target keeps its bytes, and its mode is not taken). Anything else, a
// device node, a FIFO, a socket or a folder, is refused.
bool SavedFileMode(const std::string& path, mode_t& mode) {
    struct stat existing {};
    if (::lstat(path.c_str(), &existing) == 0 && !S_ISLNK(existing.st_mode)) {
        if (!S_ISREG(existing.st_mode)) return false;
        mode = existing.st_mode & 0777;
        return true;
    }
    const mode_t umaskValue = ::umask(0);
    ::umask(umaskValue);
    mode = 0666 & ~umaskValue;
    return true;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The old way, where unnamed files are not to be had: a named temporary file
// beside the target, renamed over it once complete.
bool WriteThroughNamedFile(const std::string& path, const TByteWriter& write, mode_t mode) {
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return false;
    bool ok = ::fchmod(fd, mode) == 0 && WriteAll(fd, write) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && std::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) std::remove(temp.c_str());
    return ok;
}

// Gives the complete unnamed file fd a name beside path and renames it over
// path. The name lives for the moment between the two calls only.
bool LinkOver(int fd, const std::string& path) {
    char procPath[64];
    std::snprintf(procPath, sizeof procPath, "/proc/self/fd/%d", fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string temp =
            path + ".saving-" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        if (::linkat(AT_FDCWD, procPath, AT_FDCWD, temp.c_str(), AT_SYMLINK_FOLLOW) != 0) {
            if (errno == EEXIST) continue;
            return false;
        }
        if (std::rename(temp.c_str(), path.c_str()) == 0) return true;
        ::unlink(temp.c_str());
        return false;
    }
    return false;
}

// The new bytes go into an unnamed file in the target's folder, which gets a
// name only once it is complete and synced, and is at once renamed over the
// target: a save killed half-way leaves nothing behind, and the old file stays
// as it was until the rename. Where the file system has no unnamed files (or
// /proc is missing), a named temporary file does the same with a trace left
// when killed.
bool WriteFileAtomically(const std::string& path, const TByteWriter& write) {
    mode_t mode = 0;
    if (!SavedFileMode(path, mode)) return false;
    const int fd = ::open(FolderOf(path).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0) {
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return false;
        return WriteThroughNamedFile(path, write, mode);
    }
    bool ok = ::fchmod(fd, mode) == 0 && WriteAll(fd, write) && ::fsync(fd) == 0;
    if (!ok) {
        ::close(fd);
        return false;
    }
    ok = LinkOver(fd, path);
    const int linkError = errno;
    ::close(fd);
    if (!ok && linkError == ENOENT) return WriteThroughNamedFile(path, write, mode);
    return ok;
}

// A regular file read through a buffer of its own, so that reading a large
// saved game entry by entry costs few system calls.
class TPosixByteSource : public TByteSource {
  public:
    TPosixByteSource(int fd, uint64_t size) : fd_(fd), size_(size) {}
    ~TPosixByteSource() override { ::close(fd_); }
    TPosixByteSource(const TPosixByteSource&) = delete;
    TPosixByteSource& operator=(const TPosixByteSource&) = delete;

    size_t Read(uint8_t* into, size_t count) override {
        size_t got = 0;
        while (got < count) {
            if (next_ == filled_ && !Fill()) break;
            const size_t n = std::min(count - got, filled_ - next_);
            std::memcpy(into + got, buffer_.get() + next_, n);
            next_ += n;
            got += n;
        }
        return got;
    }
    uint64_t Size() const override { return size_; }
    bool Failed() const override { return failed_; }

  private:
    static constexpr size_t kBuffer = 1 << 18;

    bool Fill() {
        if (ended_ || failed_) return false;
        if (!buffer_) buffer_ = std::make_unique_for_overwrite<uint8_t[]>(kBuffer);
        for (;;) {
            const ssize_t n = ::read(fd_, buffer_.get(), kBuffer);
            if (n > 0) {
                next_ = 0;
                filled_ = static_cast<size_t>(n);
                return true;
            }
            if (n == 0) {
                ended_ = true;
                return false;
            }
            if (errno != EINTR) {
                failed_ = true;
                return false;
            }
        }
    }

    int fd_;
    uint64_t size_;
    std::unique_ptr<uint8_t[]> buffer_;
    size_t next_ = 0;
    size_t filled_ = 0;
    bool ended_ = false;
    bool failed_ = false;
};

class TPosixFileStore : public TFileStore {
  public:
    bool Exists(const std::string& path) override {
        struct stat info {};
        return ::stat(path.c_str(), &info) == 0;
    }
    using TFileStore::WriteFileAtomically;
    bool WriteFileAtomically(const std::string& path, const TByteWriter& write) override {
        return trisk::WriteFileAtomically(path, write);
    }
    std::unique_ptr<TByteSource> OpenForReading(const std::string& path) override {
        // Without O_NONBLOCK, opening a FIFO waits for a writer that may
        // never come; what is not a regular file is refused before any read.
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
        if (fd < 0) return nullptr;
        struct stat info {};
        if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
            ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
            ::close(fd);
            return nullptr;
        }
        return std::make_unique<TPosixByteSource>(fd, static_cast<uint64_t>(info.st_size));
    }
};

}  // namespace

TFileStore& PlatformFileStore() {
    static TPosixFileStore store;
    return store;
}

std::unique_ptr<TFileStore> NewPlatformFileStore() {
    return std::make_unique<TPosixFileStore>();
}

}  // namespace trisk
