#pragma once

#include <QByteArray>
#include <QIODevice>
#include <cstdint>

namespace kelvora {

// Collects a stream of little-endian records in a buffer. Without a device the buffer is the
// whole output; with one, the buffer goes out to it whenever a record ends and the buffer holds
// kFlushAt bytes or more (or at a checkpoint()), so a large file is written through a bounded
// amount of memory.
class ByteSink {
public:
    static constexpr qsizetype kFlushAt = 64 * 1024;

    explicit ByteSink(QByteArray& buffer, QIODevice* device = nullptr)
        : buffer_(buffer), device_(device) {}

    void append(const char* data, qsizetype size) { buffer_.append(data, size); }
    void appendZeros(qsizetype count) { buffer_.append(count, '\0'); }
    void appendU8(std::uint8_t value) { buffer_.append(static_cast<char>(value)); }
    void appendU16(std::uint16_t value) {
        const char bytes[2] = {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)};
        buffer_.append(bytes, 2);
    }
    void appendU32(std::uint32_t value) {
        appendU16(static_cast<std::uint16_t>(value & 0xFFFF));
        appendU16(static_cast<std::uint16_t>(value >> 16));
    }

    // Bytes written so far, counted from the start of the output.
    qint64 position() const { return flushed_ + buffer_.size(); }

    // A record whose length is filled in by endRecord().
    void beginRecord(std::uint16_t id) {
        recordStart_ = buffer_.size();
        appendU16(id);
        appendU16(0);
    }
    void endRecord();
    int recordDataSize() const { return int(buffer_.size() - recordStart_ - 4); }
    int offsetInRecord() const { return int(buffer_.size() - recordStart_); }

    void appendRecord(std::uint16_t id, const QByteArray& data) {
        beginRecord(id);
        buffer_.append(data);
        endRecord();
    }

    // Lets the buffer go out if it is full; for output that is not made of records.
    void checkpoint() {
        if (device_ && buffer_.size() >= kFlushAt) {
            flush();
        }
    }

    // Sends what is left in the buffer; false if any write to the device failed.
    bool finish();
    bool ok() const { return ok_; }

private:
    void flush();

    QByteArray& buffer_;
    QIODevice* device_;
    qint64 flushed_ = 0;
    qsizetype recordStart_ = 0;
    bool ok_ = true;
};

}  // namespace kelvora
