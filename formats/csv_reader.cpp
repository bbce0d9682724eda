#include "formats/csv_reader.h"

#include <QString>

#include "formats/csv_text.h"

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
    const CsvText decoded = decodeCsvText(bytes);
    const QString& text = decoded.text;
    CsvRows csv{separatorOf(text), {}, {}, decoded.encoding, {}};
    QStringList row;
    QString field;
    bool quoted = false;
    int line = 1, rowLine = 1, quoteLine = 1;
    const auto endRow = [&] {
        row << field;
        if (!csv.rows.empty() && row.size() > csv.rows.front().size()) {
            csv.error = QStringLiteral("line %1: %2 fields, more than the %3 of the first row")
                            .arg(rowLine)
                            .arg(row.size())
                            .arg(csv.rows.front().size());
        }
        csv.rows.push_back(row);
        csv.lines.push_back(rowLine);
        row.clear();
        field.clear();
        rowLine = line;
    };
    for (qsizetype k = 0; k < text.size() && csv.error.isEmpty(); ++k) {
        const QChar c = text[k];
        if (c == QLatin1Char('\n') ||
            (c == QLatin1Char('\r') &&
             (k + 1 == text.size() || text[k + 1] != QLatin1Char('\n')))) {
            ++line;
        }
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
            quoteLine = line;
        } else if (c == csv.separator) {
            row << field;
            field.clear();
        } else if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
            if (c == QLatin1Char('\r') && k + 1 < text.size() && text[k + 1] == QLatin1Char('\n')) {
                ++k;
                ++line;
            }
            endRow();
        } else {
            field += c;
        }
    }
    if (csv.error.isEmpty() && quoted) {
        csv.error = QStringLiteral("line %1: a quote opened there is not closed").arg(quoteLine);
    }
    if (csv.error.isEmpty() && (!field.isEmpty() || !row.isEmpty())) {
        endRow();
    }
    if (!csv.error.isEmpty()) {
        csv.rows.clear();
        csv.lines.clear();
    }
    return csv;
}

}  // namespace kelvora
