#pragma once

#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

namespace kelvora {

// The distinct texts of a sheet, each held once and already encoded as the string table stores
// it: character count (2), flags (1), then one byte a character when every character is at most
// U+00FF, else UTF-16LE with unpaired surrogates made U+FFFD. Encoded, a text takes less room
// than a string handle would, and equal texts are found by comparing bytes.
class XlsStrings {
public:
    static constexpr std::uint32_t kNoIndex = 0xFFFFFFFF;

    XlsStrings() = default;
    XlsStrings(const XlsStrings&) = delete;
    XlsStrings& operator=(const XlsStrings&) = delete;

    // The reference of `text` (non-empty, at most 32767 characters), adding it when new;
    // kNoIndex once the store is full.
    std::uint32_t intern(const QString& text);

    // The encoded text of a reference: count, flags, characters.
    const char* encoded(std::uint32_t ref) const { return entry(ref) + kIndexBytes; }

    // A number the writer keeps with each text: its place in the string table.
    std::uint32_t index(std::uint32_t ref) const;
    void setIndex(std::uint32_t ref, std::uint32_t index);

    void clear();

private:
    static constexpr int kIndexBytes = 4;
    static constexpr int kChunkShift = 20;  // 1 MiB chunks: no string is ever moved or copied
    static constexpr std::uint32_t kChunkSize = 1u << kChunkShift;

    const char* entry(std::uint32_t ref) const {
        return chunks_[ref >> kChunkShift].get() + (ref & (kChunkSize - 1));
    }
    char* reserve(std::uint32_t bytes);
    std::uint32_t find(const char* encoded, std::uint32_t size, std::uint64_t hash) const;
    void insert(std::uint32_t ref, std::uint64_t hash);
    void growTable();

    std::vector<std::unique_ptr<char[]>> chunks_;
    std::vector<std::uint32_t> chunkUsed_;  // bytes taken in each chunk but the last
    std::uint32_t used_ = kChunkSize;       // bytes taken in the last chunk
    std::vector<std::uint32_t> table_;      // see slotValue(); 0 for an empty slot
    std::uint32_t count_ = 0;
};

}  // namespace kelvora
