#pragma once

#include <QByteArray>
#include <QChar>
#include <QStringList>
#include <vector>

namespace kelvora {

// The rows of a CSV text (in an encoding decodeCsvText knows) as RFC 4180 has them: quotes
// around a field, "" for a quote inside, CR LF or LF between rows. The separator is the first
// semicolon, comma or tab of the first line (a comma when there is none). A quote left open or
// a row with more fields than the first is an error naming its line; no row is then given.
struct CsvRows {
    QChar separator;
    std::vector<QStringList> rows;
    std::vector<int> lines;  // the file's line where each row begins, from 1
    QString encoding;
    QString error;  // English, e.g. "line 7: a quote opened there is not closed"
};
CsvRows readCsv(const QByteArray& bytes);

}  // namespace kelvora
