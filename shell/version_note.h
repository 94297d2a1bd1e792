// The program file's version record, laid out at compile time as an ELF note
// (owner "Trisk", type 1) so that the record travels inside the program file
// and can be read back from it without running it.
//
// The note's descriptor is a list of entries, each addressed by a path as in
// a Windows version record:
//   uint16 keySize (bytes, with the NUL), uint16 valueSize (bytes),
//   key (NUL-terminated, padded to 4 bytes), value (padded to 4 bytes).
// The record holds the translation table "\VarFileInfo\Translation" (one
// 16-bit language and one 16-bit code page, little-endian) and the strings
// "FileVersion" and "LegalCopyright" under "\StringFileInfo\<lang+cp>\".
// String values are UTF-8 with their terminating NUL.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace trisk::version_note {

constexpr char kSectionName[] = ".note.trisk.version";
constexpr char kOwner[] = "Trisk";
constexpr uint32_t kType = 1;

// US English, UTF-8.
constexpr uint16_t kLanguage = 0x0409;
constexpr uint16_t kCodePage = 65001;

constexpr char kTranslationKey[] = "\\VarFileInfo\\Translation";
constexpr char kFileVersionKey[] = "\\StringFileInfo\\0409FDE9\\FileVersion";
constexpr char kCopyrightKey[] = "\\StringFileInfo\\0409FDE9\\LegalCopyright";

constexpr std::size_t Pad4(std::size_t size) {
    return (size + 3) & ~std::size_t{3};
}

constexpr std::size_t EntrySize(std::size_t keySize, std::size_t valueSize) {
    return 4 + Pad4(keySize) + Pad4(valueSize);
}

namespace detail {

template <std::size_t Size>
struct TWriter {
    std::array<uint8_t, Size> Bytes{};
    std::size_t At = 0;

    constexpr void Put16(uint32_t value) {
        Bytes[At++] = static_cast<uint8_t>(value & 0xFF);
        Bytes[At++] = static_cast<uint8_t>((value >> 8) & 0xFF);
    }
    constexpr void Put32(uint32_t value) {
        Put16(value & 0xFFFF);
        Put16(value >> 16);
    }
    // size bytes of data, then zeros up to the next multiple of 4.
    constexpr void PutPadded(const char* data, std::size_t size) {
        for (std::size_t i = 0; i < size; ++i)
            Bytes[At++] = static_cast<uint8_t>(data[i]);
        At += Pad4(size) - size;
    }
    constexpr void PutEntry(const char* key, std::size_t keySize, const char* value,
                            std::size_t valueSize) {
        Put16(static_cast<uint32_t>(keySize));
        Put16(static_cast<uint32_t>(valueSize));
        PutPadded(key, keySize);
        PutPadded(value, valueSize);
    }
};

}  // namespace detail

// The whole note: header, owner and the record. The arrays are string
// literals, so their sizes count the terminating NUL.
template <std::size_t VersionSize, std::size_t CopyrightSize>
constexpr auto MakeVersionNote(const char (&fileVersion)[VersionSize],
                               const char (&copyright)[CopyrightSize]) {
    static_assert(VersionSize < 0x10000 && CopyrightSize < 0x10000);
    constexpr std::size_t descSize = EntrySize(sizeof kTranslationKey, 4) +
                                     EntrySize(sizeof kFileVersionKey, VersionSize) +
                                     EntrySize(sizeof kCopyrightKey, CopyrightSize);
    detail::TWriter<12 + Pad4(sizeof kOwner) + descSize> note;
    note.Put32(sizeof kOwner);
    note.Put32(static_cast<uint32_t>(descSize));
    note.Put32(kType);
    note.PutPadded(kOwner, sizeof kOwner);
    const char translation[4] = {
        static_cast<char>(kLanguage & 0xFF), static_cast<char>(kLanguage >> 8),
        static_cast<char>(kCodePage & 0xFF), static_cast<char>(kCodePage >> 8)};
    note.PutEntry(kTranslationKey, sizeof kTranslationKey, translation, 4);
    note.PutEntry(kFileVersionKey, sizeof kFileVersionKey, fileVersion, VersionSize);
    note.PutEntry(kCopyrightKey, sizeof kCopyrightKey, copyright, CopyrightSize);
    return note.Bytes;
}

}  // namespace trisk::version_note
