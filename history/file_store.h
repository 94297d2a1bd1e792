// Where saved games are read from and written to. The game never calls the
// platform's file functions itself: it goes through this interface, which the
// platform file behind PlatformFileStore() implements.
#pragma once

#include <cstddef>
#include <cstdint>
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

class TFileStore {
  public:
    virtual ~TFileStore() = default;

    virtual bool Exists(const std::string& path) = 0;
    // The file's bytes, or false when it cannot be opened or read.
    virtual bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes) = 0;
    // The file opened for reading, or nothing when it cannot be opened or is
    // not a regular file.
    virtual std::unique_ptr<TByteSource> OpenForReading(const std::string& path) = 0;
    // Replaces the file with the bytes as a whole: the old file stays untouched
    // until the new one is complete on disk, and on any failure.
    virtual bool WriteFileAtomically(const std::string& path,
                                     const std::vector<uint8_t>& bytes) = 0;
};

// The file system of the machine the program runs on.
TFileStore& PlatformFileStore();

}  // namespace trisk
