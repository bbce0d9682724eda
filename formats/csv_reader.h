#pragma once

#include <QByteArray>
#include <QChar>
#include <QStringList>
#include <vector>

namespace kelvora {

// The rows of a CSV text (UTF-8, a byte-order mark dropped) as RFC 4180 has them: quotes
// around a field, "" for a quote inside, CR LF or LF between rows. The separator is the first
// semicolon, comma or tab of the first line (a comma when there is none).
struct CsvRows {
    QChar separator;
    std::vector<QStringList> rows;
};
CsvRows readCsv(const QByteArray& bytes);

}  // namespace kelvora
