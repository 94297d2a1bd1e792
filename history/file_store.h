// Where saved games are read from and written to. The game never calls the
// platform's file functions itself: it goes through this interface, which the
// platform file behind PlatformFileStore() implements.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace trisk {

class TFileStore {
  public:
    virtual ~TFileStore() = default;

    virtual bool Exists(const std::string& path) = 0;
    // The file's bytes, or false when it cannot be opened or read.
    virtual bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes) = 0;
    // Replaces the file with the bytes as a whole: the old file stays untouched
    // until the new one is complete on disk, and on any failure.
    virtual bool WriteFileAtomically(const std::string& path,
                                     const std::vector<uint8_t>& bytes) = 0;
};

// The file system of the machine the program runs on.
TFileStore& PlatformFileStore();

}  // namespace trisk
