// Where saved games are read from and written to. The game never calls the
// platform's file functions itself: it goes through this interface, which the
// platform file behind PlatformFileStore() implements.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace trisk {

// A file read from its start to its end, a piece at a time, so that a large
// file never has to be held whole.
class TByteSource {
  public:
    virtual ~TByteSource() = default;
    // Fills into with up to count bytes and returns how many; fewer than
    // asked only at the end of the file or on a read error.
    virtual size_t Read(uint8_t* into, size_t count) = 0;
    // The size the file had when it was opened.
    virtual uint64_t Size() const = 0;
    // True once a read has failed (not merely reached the end).
    virtual bool Failed() const = 0;
};

// Where a file's bytes go, in order, as they are made. Put returns false once
// writing has failed; later calls change nothing.
class TByteSink {
  public:
    virtual ~TByteSink() = default;
    virtual bool Put(const void* bytes, size_t count) = 0;
};

// Makes a file's bytes into the sink; false when the sink failed. A writer may
// be called more than once for one save and must give the same bytes each time.
using TByteWriter = std::function<bool(TByteSink&)>;

class TFileStore {
  public:
    virtual ~TFileStore() = default;

    virtual bool Exists(const std::string& path) = 0;
    // The file's bytes, or false when it cannot be opened or read, is not a
    // regular file, or holds more than limit bytes (also when it grows past
    // the limit while being read).
    bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes,
                       size_t limit = kMaxWholeFile);
    static constexpr size_t kMaxWholeFile = size_t{64} << 20;
    // The file opened for reading, or nothing when it cannot be opened or is
    // not a regular file.
    virtual std::unique_ptr<TByteSource> OpenForReading(const std::string& path) = 0;
    // Replaces the file with the bytes as a whole: the old file stays untouched
    // until the new one is complete on disk, and on any failure.
    virtual bool WriteFileAtomically(const std::string& path, const TByteWriter& write) = 0;
    // The same for bytes already in memory.
    bool WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes) {
        return WriteFileAtomically(
            path, [&bytes](TByteSink& sink) { return sink.Put(bytes.data(), bytes.size()); });
    }
};

// The file system of the machine the program runs on: one store shared by
// the callers that need no other, or a store of their own.
TFileStore& PlatformFileStore();
std::unique_ptr<TFileStore> NewPlatformFileStore();

}  // namespace trisk
