#include "formats/csv_reader.h"

#include <QString>

namespace kelvora {

namespace {

// A semicolon or a tab in the first line, outside quotes, is the separator (a comma there may
// be a decimal comma); a comma otherwise.
QChar separatorOf(const QString& text) {
    bool quoted = false;
    bool semicolon = false, tab = false;
    for (const QChar c : text) {
        if (c == QLatin1Char('"')) {
            quoted = !quoted;
        } else if (!quoted && (c == QLatin1Char('\n') || c == QLatin1Char('\r'))) {
            break;
        } else if (!quoted) {
            semicolon = semicolon || c == QLatin1Char(';');
            tab = tab || c == QLatin1Char('\t');
        }
    }
    return semicolon ? QLatin1Char(';') : tab ? QLatin1Char('\t') : QLatin1Char(',');
}

}  // namespace

CsvRows readCsv(const QByteArray& bytes) {
    QString text = QString::fromUtf8(bytes);
    if (text.startsWith(QChar(0xFEFF))) {
        text.remove(0, 1);
    }
    CsvRows csv{separatorOf(text), {}};
    QStringList row;
    QString field;
    bool quoted = false;
    for (qsizetype k = 0; k < text.size(); ++k) {
        const QChar c = text[k];
        if (quoted) {
            if (c != QLatin1Char('"')) {
                field += c;
            } else if (k + 1 < text.size() && text[k + 1] == QLatin1Char('"')) {
                field += c;
                ++k;
            } else {
                quoted = false;
            }
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == csv.separator) {
            row << field;
            field.clear();
        } else if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
            if (c == QLatin1Char('\r') && k + 1 < text.size() && text[k + 1] == QLatin1Char('\n')) {
                ++k;
            }
            row << field;
            csv.rows.push_back(row);
            row.clear();
            field.clear();
        } else {
            field += c;
        }
    }
    if (!field.isEmpty() || !row.isEmpty()) {
        row << field;
        csv.rows.push_back(row);
    }
    return csv;
}

}  // namespace kelvora
