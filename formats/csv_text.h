#pragma once

#include <QByteArray>
#include <QString>

namespace kelvora {

// The text of a CSV file and the encoding it was read in: UTF-8 (with or without a byte-order
// mark), UTF-16 of either byte order (by its mark), or GBK, the ANSI code page a Chinese
// spreadsheet re-saves in. Bytes that are none of these are read as UTF-8 was before, with
// the encoding named as unknown, so a header that does not match can say why.
struct CsvText {
    QString text;
    QString encoding;  // "UTF-8", "UTF-16LE", "UTF-16BE", "GBK" or "an unknown encoding"
};
CsvText decodeCsvText(const QByteArray& bytes);

}  // namespace kelvora
