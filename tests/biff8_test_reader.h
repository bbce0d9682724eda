#pragma once

// A small, deliberately separate BIFF8 reader for tests: it walks records and decodes the shared
// string table the way a consumer must, recording every rule the writer broke.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

#include "platform/le_bytes.h"

namespace kelvora::testing {

struct BiffRecord {
    std::uint16_t id = 0;
    int offset = 0;  // of the record header in the stream
    QByteArray data;
};

// Records up to the end of the stream or the zero padding after the last one.
inline std::vector<BiffRecord> readBiffRecords(const QByteArray& stream) {
    std::vector<BiffRecord> records;
    int at = 0;
    while (at + 4 <= stream.size()) {
        const std::uint16_t id = readU16(stream, at);
        const std::uint16_t length = readU16(stream, at + 2);
        if (id == 0) {
            break;
        }
        records.push_back({id, at, stream.mid(at + 4, length)});
        at += 4 + length;
    }
    return records;
}

struct DecodedSst {
    std::uint32_t totalReferences = 0;
    std::uint32_t declaredStrings = 0;
    QStringList strings;
    std::vector<int> stringOffsets;  // stream offset of each string's character count
    std::vector<int> recordOffsets;  // the same, from the start of its record
    int continueRecords = 0;
    int splitStrings = 0;
    QStringList problems;
};

// Decodes the SST at records[first] and the CONTINUE records after it.
inline DecodedSst decodeSst(const std::vector<BiffRecord>& records, std::size_t first) {
    DecodedSst sst;
    std::size_t index = first;
    const QByteArray* data = &records[index].data;
    sst.totalReferences = readU32(*data, 0);
    sst.declaredStrings = readU32(*data, 4);
    int pos = 8;
    auto nextRecord = [&]() {
        ++index;
        if (index >= records.size() || records[index].id != 0x003C) {
            sst.problems << QStringLiteral("string runs past the last CONTINUE");
            return false;
        }
        ++sst.continueRecords;
        data = &records[index].data;
        pos = 0;
        return true;
    };
    for (std::uint32_t k = 0; k < sst.declaredStrings; ++k) {
        if (pos == data->size() && !nextRecord()) {
            return sst;
        }
        if (pos + 3 > data->size()) {
            sst.problems << QStringLiteral("string %1 header split over records").arg(k);
            return sst;
        }
        sst.stringOffsets.push_back(records[index].offset + 4 + pos);
        sst.recordOffsets.push_back(4 + pos);
        int remaining = readU16(*data, pos);
        std::uint8_t flags = static_cast<std::uint8_t>((*data)[pos + 2]);
        pos += 3;
        if (flags & ~0x01) {
            sst.problems << QStringLiteral("string %1 has rich text or phonetic flags").arg(k);
        }
        if (remaining == 0) {
            sst.problems << QStringLiteral("string %1 is empty").arg(k);
        } else if (pos == data->size()) {
            sst.problems << QStringLiteral("string %1 header without a character").arg(k);
        }
        QString text;
        bool split = false;
        while (remaining > 0) {
            if (pos == data->size()) {
                if (!nextRecord()) {
                    return sst;
                }
                flags = static_cast<std::uint8_t>((*data)[pos++]);
                split = true;
            }
            const int unit = (flags & 0x01) ? 2 : 1;
            if ((data->size() - pos) % unit != 0 && (data->size() - pos) / unit < remaining) {
                sst.problems << QStringLiteral("string %1 splits a UTF-16 unit").arg(k);
            }
            const int count = std::min<int>(remaining, int(data->size() - pos) / unit);
            for (int c = 0; c < count; ++c, pos += unit) {
                text.append(QChar(unit == 2 ? readU16(*data, pos)
                                            : static_cast<std::uint8_t>((*data)[pos])));
            }
            remaining -= count;
            if (remaining > 0 && count > 0 && text.back().isHighSurrogate()) {
                sst.problems << QStringLiteral("string %1 parts a surrogate pair").arg(k);
            }
            if (remaining > 0 && pos != data->size()) {
                pos = int(data->size());  // odd byte left: reported above
            }
        }
        sst.splitStrings += split ? 1 : 0;
        sst.strings << text;
    }
    if (pos != data->size()) {
        sst.problems << QStringLiteral("bytes left after the last string");
    }
    if (index + 1 < records.size() && records[index + 1].id == 0x003C) {
        sst.problems << QStringLiteral("CONTINUE after the last string");
    }
    return sst;
}

}  // namespace kelvora::testing
