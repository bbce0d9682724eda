#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

#include "formats/byte_sink.h"

namespace kelvora::biff8 {

constexpr int kMaxRecordData = 8224;
constexpr int kMaxStringChars = 32767;  // the longest text a cell may hold

// Record ids used by the workbook writer.
enum RecordId : std::uint16_t {
    kBof = 0x0809,
    kEof = 0x000A,
    kCodePage = 0x0042,
    kWindow1 = 0x003D,
    kFont = 0x0031,
    kXf = 0x00E0,
    kStyle = 0x0293,
    kBoundSheet = 0x0085,
    kSst = 0x00FC,
    kContinue = 0x003C,
    kExtSst = 0x00FF,
    kWsBool = 0x0081,
    kDimensions = 0x0200,
    kLabelSst = 0x00FD,
    kBlank = 0x0201,
    kWindow2 = 0x023E,
};

// Appends one record; the data must not exceed kMaxRecordData bytes.
void appendRecord(QByteArray& stream, std::uint16_t id, const QByteArray& data);

// True when every UTF-16 unit is at most U+00FF, so the text may be stored one byte a character.
bool fitsCompressed(const QString& text);

// Writes the count (2), flags (1) and characters of a string-table string at `out`, which has
// room for 3 + size × (compressed ? 1 : 2) bytes. Unpaired surrogates become U+FFFD: readers
// decode the whole string table at once, and one malformed string would make them refuse the file.
void encodeSstString(const QString& text, bool compressed, char* out);

// A string with a one-byte character count (sheet and font names, at most 255 characters).
QByteArray shortString(const QString& text);

// Where the first string of each EXTSST bucket starts.
struct SstBucket {
    std::uint32_t streamOffset = 0;  // from the start of the stream
    std::uint16_t recordOffset = 0;  // from the start of its record, header included
};

// Writes the shared string table (SST, going on in CONTINUE records as needed) string by string,
// then its EXTSST index. Strings must be non-empty and at most kMaxStringChars long.
class SstWriter {
public:
    // totalReferences is the number of cells that refer to the table.
    SstWriter(ByteSink& sink, std::uint32_t totalReferences, std::uint32_t stringCount);
    // A string as encodeSstString writes it.
    void add(const char* encoded);
    void finish();

private:
    ByteSink& sink_;
    int perBucket_;
    std::uint32_t added_ = 0;
    std::vector<SstBucket> buckets_;
};

// The table of `strings` appended to `stream`, as SstWriter writes it.
void appendSst(QByteArray& stream, const QStringList& strings, std::uint32_t totalReferences);

// Strings per EXTSST bucket for a table of the given size.
int sstBucketSize(int stringCount);

}  // namespace kelvora::biff8
