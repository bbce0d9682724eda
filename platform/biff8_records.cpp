#include "platform/biff8_records.h"

#include <algorithm>
#include <vector>

#include "platform/le_bytes.h"

namespace kelvora::biff8 {

namespace {

constexpr int kRecordHeader = 4;
constexpr int kStringHeader = 3;  // character count and flags byte
constexpr std::uint8_t kFlagUtf16 = 0x01;

// Writes records of unknown length: the length field is filled in when the record ends.
class RecordCursor {
public:
    explicit RecordCursor(QByteArray& stream) : stream_(stream) {}

    void begin(std::uint16_t id) {
        start_ = stream_.size();
        appendU16(stream_, id);
        appendU16(stream_, 0);
    }
    void end() {
        putU16(stream_, start_ + 2,
               static_cast<std::uint16_t>(stream_.size() - start_ - kRecordHeader));
    }
    void continueRecord() {
        end();
        begin(kContinue);
    }
    int room() const { return kMaxRecordData - int(stream_.size() - start_ - kRecordHeader); }
    int offsetInRecord() const { return int(stream_.size() - start_); }

private:
    QByteArray& stream_;
    qsizetype start_ = 0;
};

void appendChars(QByteArray& stream, const QString& text, int from, int count, bool compressed) {
    const QChar* chars = text.constData() + from;
    if (compressed) {
        for (int k = 0; k < count; ++k) {
            appendU8(stream, static_cast<std::uint8_t>(chars[k].unicode()));
        }
    } else {
        for (int k = 0; k < count; ++k) {
            appendU16(stream, chars[k].unicode());
        }
    }
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

QString wellFormedUtf16(const QString& text) {
    QString out = text;
    for (qsizetype k = 0; k < out.size(); ++k) {
        const QChar ch = out[k];
        if (ch.isHighSurrogate() && k + 1 < out.size() && out[k + 1].isLowSurrogate()) {
            ++k;  // a proper pair
        } else if (ch.isSurrogate()) {
            out[k] = QChar::ReplacementCharacter;
        }
    }
    return out;
}

QByteArray shortString(const QString& text) {
    const QString clipped = text.left(255);
    const bool compressed = fitsCompressed(clipped);
    QByteArray out;
    appendU8(out, static_cast<std::uint8_t>(clipped.size()));
    appendU8(out, compressed ? 0 : kFlagUtf16);
    appendChars(out, clipped, 0, int(clipped.size()), compressed);
    return out;
}

int sstBucketSize(int stringCount) {
    return std::max(8, (stringCount + 127) / 128);
}

void appendSst(QByteArray& stream, const QStringList& strings, std::uint32_t totalReferences) {
    const int perBucket = sstBucketSize(int(strings.size()));
    std::vector<SstBucket> buckets;
    buckets.reserve(strings.size() / perBucket + 1);

    RecordCursor record(stream);
    record.begin(kSst);
    appendU32(stream, totalReferences);
    appendU32(stream, static_cast<std::uint32_t>(strings.size()));

    for (int index = 0; index < strings.size(); ++index) {
        const QString& text = strings[index];
        Q_ASSERT(!text.isEmpty() && text.size() <= kMaxStringChars);
        const bool compressed = fitsCompressed(text);
        const int unit = compressed ? 1 : 2;
        const int length = int(text.size());
        const int whole = kStringHeader + length * unit;
        // A string starts in a fresh CONTINUE when it does not fit here but would fit there, or
        // when not even its header and first (possibly surrogate-paired) character fit here.
        if (whole > record.room() &&
            (whole <= kMaxRecordData || record.room() < kStringHeader + 2 * unit)) {
            record.continueRecord();
        }
        if (index % perBucket == 0) {
            buckets.push_back({static_cast<std::uint32_t>(stream.size()),
                               static_cast<std::uint16_t>(record.offsetInRecord())});
        }
        appendU16(stream, static_cast<std::uint16_t>(length));
        appendU8(stream, compressed ? 0 : kFlagUtf16);
        int done = 0;
        while (done < length) {
            int count = std::min(length - done, record.room() / unit);
            // Never part a surrogate pair over two records.
            if (count < length - done && count > 0 && text[done + count - 1].isHighSurrogate()) {
                --count;
            }
            appendChars(stream, text, done, count, compressed);
            done += count;
            if (done < length) {
                // The rest goes on in a CONTINUE that starts with its own flags byte. Note that
                // libfreexl 1.0.6 refuses a file with a string spread over three or more records
                // (more than about 8200 bytes of characters); Excel's own layout, xlrd and
                // LibreOffice take it. Record-table texts are far shorter.
                record.continueRecord();
                appendU8(stream, compressed ? 0 : kFlagUtf16);
            }
        }
    }
    record.end();

    QByteArray index;
    appendU16(index, static_cast<std::uint16_t>(perBucket));
    for (const SstBucket& bucket : buckets) {
        appendU32(index, bucket.streamOffset);
        appendU16(index, bucket.recordOffset);
        appendU16(index, 0);
    }
    appendRecord(stream, kExtSst, index);
}

}  // namespace kelvora::biff8
