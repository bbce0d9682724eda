#include "formats/xls_strings.h"

#include <cstring>

#include "formats/biff8_records.h"

namespace kelvora {

namespace {

constexpr int kStringHeader = 3;  // character count and flags byte
// A table slot holds the reference + 1 in its low 28 bits and four bits of the text's hash
// above them, so most slots of other texts are passed over without reading those texts.
constexpr std::uint32_t kMaxChunks = 255;  // keeps every reference + 1 within 28 bits
constexpr int kTagShift = 28;
constexpr std::uint32_t kRefMask = (1u << kTagShift) - 1;

std::uint32_t slotValue(std::uint32_t ref, std::uint64_t hash) {
    return (std::uint32_t(hash >> 60) << kTagShift) | (ref + 1);
}

std::uint32_t entryTextSize(const char* encoded) {
    const std::uint32_t count = std::uint8_t(encoded[0]) | (std::uint8_t(encoded[1]) << 8);
    return kStringHeader + count * ((encoded[2] & 1) + 1);
}

std::uint64_t hashBytes(const char* data, std::uint32_t size) {
    std::uint64_t hash = 0x9E3779B97F4A7C15ull ^ size;
    std::uint32_t at = 0;
    for (; at + 8 <= size; at += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, data + at, 8);
        hash = (hash ^ word) * 0xFF51AFD7ED558CCDull;
        hash ^= hash >> 32;
    }
    std::uint64_t tail = 0;
    std::memcpy(&tail, data + at, size - at);
    hash = (hash ^ tail) * 0xC4CEB9FE1A85EC53ull;
    return hash ^ (hash >> 29);
}

}  // namespace

char* XlsStrings::reserve(std::uint32_t bytes) {
    if (used_ + bytes > kChunkSize) {
        if (chunks_.size() >= kMaxChunks) {
            return nullptr;
        }
        if (!chunks_.empty()) {
            chunkUsed_.push_back(used_);
        }
        // Not value-initialised: pages are only touched as texts fill them.
        chunks_.push_back(std::unique_ptr<char[]>(new char[kChunkSize]));
        used_ = 0;
    }
    return chunks_.back().get() + used_;
}

std::uint32_t XlsStrings::find(const char* encoded, std::uint32_t size, std::uint64_t hash) const {
    if (table_.empty()) {
        return kNoIndex;
    }
    const std::uint32_t tag = slotValue(0, hash) & ~kRefMask;
    const std::size_t mask = table_.size() - 1;
    for (std::size_t slot = hash & mask; table_[slot] != 0; slot = (slot + 1) & mask) {
        if ((table_[slot] & ~kRefMask) != tag) {
            continue;
        }
        const std::uint32_t ref = (table_[slot] & kRefMask) - 1;
        if (std::memcmp(this->encoded(ref), encoded, size) == 0) {
            return ref;
        }
    }
    return kNoIndex;
}

void XlsStrings::insert(std::uint32_t ref, std::uint64_t hash) {
    const std::size_t mask = table_.size() - 1;
    std::size_t slot = hash & mask;
    while (table_[slot] != 0) {
        slot = (slot + 1) & mask;
    }
    table_[slot] = slotValue(ref, hash);
}

void XlsStrings::growTable() {
    table_.assign(table_.empty() ? 1024 : table_.size() * 2, 0);
    // The texts in the order they were stored: the store is read once, front to back.
    for (std::uint32_t chunk = 0; chunk < chunks_.size(); ++chunk) {
        const std::uint32_t end = chunk < chunkUsed_.size() ? chunkUsed_[chunk] : used_;
        for (std::uint32_t at = 0; at < end;) {
            const std::uint32_t ref = (chunk << kChunkShift) | at;
            const char* text = encoded(ref);
            const std::uint32_t size = entryTextSize(text);
            insert(ref, hashBytes(text, size));
            at += kIndexBytes + size;
        }
    }
}

std::uint32_t XlsStrings::intern(const QString& text) {
    const bool compressed = biff8::fitsCompressed(text);
    const std::uint32_t textSize =
        kStringHeader + std::uint32_t(text.size()) * (compressed ? 1 : 2);
    // Encoded in place at the end of the store, and kept there only when it is new.
    char* at = reserve(kIndexBytes + textSize);
    if (at == nullptr) {
        return kNoIndex;
    }
    biff8::encodeSstString(text, compressed, at + kIndexBytes);
    const std::uint64_t hash = hashBytes(at + kIndexBytes, textSize);
    const std::uint32_t existing = find(at + kIndexBytes, textSize, hash);
    if (existing != kNoIndex) {
        return existing;
    }
    if ((count_ + 1) * 4 > table_.size() * 3) {
        growTable();
    }
    std::memcpy(at, &kNoIndex, kIndexBytes);
    const std::uint32_t ref = (std::uint32_t(chunks_.size() - 1) << kChunkShift) | used_;
    used_ += kIndexBytes + textSize;
    insert(ref, hash);
    ++count_;
    return ref;
}

std::uint32_t XlsStrings::index(std::uint32_t ref) const {
    std::uint32_t value = 0;
    std::memcpy(&value, entry(ref), kIndexBytes);
    return value;
}

void XlsStrings::setIndex(std::uint32_t ref, std::uint32_t index) {
    std::memcpy(chunks_[ref >> kChunkShift].get() + (ref & (kChunkSize - 1)), &index, kIndexBytes);
}

void XlsStrings::clear() {
    chunks_.clear();
    chunks_.shrink_to_fit();
    chunkUsed_.clear();
    used_ = kChunkSize;
    std::vector<std::uint32_t>().swap(table_);
    count_ = 0;
}

}  // namespace kelvora
