#include "formats/biff8_records.h"

#include <algorithm>
#include <vector>

#include "formats/le_bytes.h"

namespace kelvora::biff8 {

namespace {

constexpr int kStringHeader = 3;  // character count and flags byte
constexpr std::uint8_t kFlagUtf16 = 0x01;

void putLe16(char* out, char16_t value) {
    out[0] = static_cast<char>(value & 0xFF);
    out[1] = static_cast<char>(value >> 8);
}

std::uint16_t readLe16(const char* in) {
    return static_cast<std::uint16_t>(std::uint8_t(in[0]) | (std::uint8_t(in[1]) << 8));
}

QByteArray encodedString(const QString& text) {
    const bool compressed = fitsCompressed(text);
    QByteArray out(kStringHeader + text.size() * (compressed ? 1 : 2), Qt::Uninitialized);
    encodeSstString(text, compressed, out.data());
    return out;
}

}  // namespace

void appendRecord(QByteArray& stream, std::uint16_t id, const QByteArray& data) {
    Q_ASSERT(data.size() <= kMaxRecordData);
    appendU16(stream, id);
    appendU16(stream, static_cast<std::uint16_t>(data.size()));
    stream.append(data);
}

bool fitsCompressed(const QString& text) {
    return std::all_of(text.cbegin(), text.cend(), [](QChar ch) { return ch.unicode() <= 0xFF; });
}

void encodeSstString(const QString& text, bool compressed, char* out) {
    putLe16(out, static_cast<char16_t>(text.size()));
    out[2] = static_cast<char>(compressed ? 0 : kFlagUtf16);
    out += kStringHeader;
    const QChar* chars = text.constData();
    const qsizetype size = text.size();
    if (compressed) {
        for (qsizetype k = 0; k < size; ++k) {
            out[k] = static_cast<char>(chars[k].unicode());
        }
        return;
    }
    for (qsizetype k = 0; k < size; ++k) {
        const char16_t unit = chars[k].unicode();
        if (QChar::isHighSurrogate(unit) && k + 1 < size && chars[k + 1].isLowSurrogate()) {
            putLe16(out + 2 * k, unit);
            ++k;
            putLe16(out + 2 * k, chars[k].unicode());
        } else {
            putLe16(out + 2 * k,
                    QChar::isSurrogate(unit) ? char16_t(QChar::ReplacementCharacter) : unit);
        }
    }
}

QByteArray shortString(const QString& text) {
    const QString clipped = text.left(255);
    const bool compressed = fitsCompressed(clipped);
    QByteArray out;
    appendU8(out, static_cast<std::uint8_t>(clipped.size()));
    appendU8(out, compressed ? 0 : kFlagUtf16);
    for (const QChar ch : clipped) {
        if (compressed) {
            appendU8(out, static_cast<std::uint8_t>(ch.unicode()));
        } else {
            appendU16(out, ch.unicode());
        }
    }
    return out;
}

int sstBucketSize(int stringCount) {
    return std::max(8, (stringCount + 127) / 128);
}

SstWriter::SstWriter(ByteSink& sink, std::uint32_t totalReferences, std::uint32_t stringCount)
    : sink_(sink), perBucket_(sstBucketSize(int(stringCount))) {
    buckets_.reserve(stringCount / perBucket_ + 1);
    sink_.beginRecord(kSst);
    sink_.appendU32(totalReferences);
    sink_.appendU32(stringCount);
}

void SstWriter::add(const char* encoded) {
    const int length = readLe16(encoded);
    const std::uint8_t flags = static_cast<std::uint8_t>(encoded[2]);
    const int unit = (flags & kFlagUtf16) ? 2 : 1;
    const char* chars = encoded + kStringHeader;
    Q_ASSERT(length > 0 && length <= kMaxStringChars);
    auto room = [this] { return kMaxRecordData - sink_.recordDataSize(); };
    auto continueRecord = [this] {
        sink_.endRecord();
        sink_.beginRecord(kContinue);
    };
    const int whole = kStringHeader + length * unit;
    // A string starts in a fresh CONTINUE when it does not fit here but would fit there, or
    // when not even its header and first (possibly surrogate-paired) character fit here.
    if (whole > room() && (whole <= kMaxRecordData || room() < kStringHeader + 2 * unit)) {
        continueRecord();
    }
    if (added_++ % perBucket_ == 0) {
        buckets_.push_back({static_cast<std::uint32_t>(sink_.position()),
                            static_cast<std::uint16_t>(sink_.offsetInRecord())});
    }
    sink_.append(encoded, kStringHeader);
    int done = 0;
    while (done < length) {
        int count = std::min(length - done, room() / unit);
        // Never part a surrogate pair over two records.
        if (count < length - done && count > 0 && unit == 2 &&
            QChar::isHighSurrogate(readLe16(chars + 2 * (done + count - 1)))) {
            --count;
        }
        sink_.append(chars + done * unit, qsizetype(count) * unit);
        done += count;
        if (done < length) {
            // The rest goes on in a CONTINUE that starts with its own flags byte. Note that
            // libfreexl 1.0.6 refuses a file with a string spread over three or more records
            // (more than about 8200 bytes of characters); Excel's own layout, xlrd and
            // LibreOffice take it. Record-table texts are far shorter.
            continueRecord();
            sink_.appendU8(flags);
        }
    }
}

void SstWriter::finish() {
    sink_.endRecord();
    sink_.beginRecord(kExtSst);
    sink_.appendU16(static_cast<std::uint16_t>(perBucket_));
    for (const SstBucket& bucket : buckets_) {
        sink_.appendU32(bucket.streamOffset);
        sink_.appendU16(bucket.recordOffset);
        sink_.appendU16(0);
    }
    sink_.endRecord();
}

void appendSst(QByteArray& stream, const QStringList& strings, std::uint32_t totalReferences) {
    ByteSink sink(stream);
    SstWriter writer(sink, totalReferences, static_cast<std::uint32_t>(strings.size()));
    for (const QString& text : strings) {
        writer.add(encodedString(text).constData());
    }
    writer.finish();
}

}  // namespace kelvora::biff8
