#include "archive/archive_history.h"

#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>

#include "formats/text_file.h"
#include "formats/xlsx_sheet_writer.h"

namespace kelvora::archive {

namespace {

QByteArray jsonString(const QString& text) {
    QByteArray out = "\"";
    for (const char c : text.toUtf8()) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (uchar(c) < 0x20) {
            out += "\\u00" + QByteArray::number(uchar(c), 16).rightJustified(2, '0');
        } else {
            out += c;
        }
    }
    return out + '"';
}

QString numberText(double value) {
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

QByteArray jsonNumber(const std::optional<double>& value) {
    return value ? numberText(*value).toUtf8() : QByteArray("null");
}

std::optional<double> pointLimit(const PointHistory& point) {
    if (point.ownLimit) {
        return point.ownLimit;
    }
    return point.latest() ? std::optional<double>(point.latest()->limitOhm) : std::nullopt;
}

QString optionalText(const std::optional<double>& value) {
    return value ? numberText(*value) : QString();
}

QString csvField(const QString& text) {
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r'))) {
        return text;
    }
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

// Columns of the export whose cells are numbers in the workbook.
constexpr int kNumberColumns[] = {2, 3, 5, 6, 9, 11, 12};

}  // namespace

QByteArray historyJson(const QString& site, double thresholdPercent,
                       const std::vector<PointHistory>& points) {
    QByteArray json = "{\"site\": " + jsonString(site) +
                      ", \"threshold_percent\": " + jsonNumber(thresholdPercent) +
                      ", \"points\": [";
    for (size_t p = 0; p < points.size(); ++p) {
        const PointHistory& point = points[p];
        json += (p > 0 ? ",\n  " : "\n  ") + QByteArray("{\"name\": ") + jsonString(point.name) +
                ", \"limit\": " + jsonNumber(pointLimit(point)) + ", \"visits\": [";
        for (size_t v = 0; v < point.visits.size(); ++v) {
            const PointVisit& visit = point.visits[v];
            const char* verdict = verdictName(visit.change.verdict);
            json += (v > 0 ? ",\n    " : "\n    ") + QByteArray("{\"date\": ") +
                    jsonString(visit.date) + ", \"record\": " + QByteArray::number(visit.record) +
                    ", \"value\": " + jsonNumber(visit.ohms) +
                    ", \"text\": " + jsonString(visit.text) + ", \"verdict\": " +
                    (visit.change.verdict == PointVerdict::NoReading
                         ? QByteArray("null")
                         : jsonString(QString::fromLatin1(verdict))) +
                    ", \"change_previous_percent\": " + jsonNumber(visit.change.fromPrevious) +
                    ", \"change_baseline_percent\": " + jsonNumber(visit.change.fromBaseline) +
                    ", \"flagged\": " + (visit.change.flagged() ? "true" : "false") + "}";
        }
        json += "]}";
    }
    return json + "]}\n";
}

std::vector<QStringList> historyRows(const std::vector<PointHistory>& points) {
    std::vector<QStringList> rows;
    rows.push_back({QStringLiteral("point"), QStringLiteral("date"), QStringLiteral("record"),
                    QStringLiteral("value_ohm"), QStringLiteral("text"), QStringLiteral("rc_ohm"),
                    QStringLiteral("rp_ohm"), QStringLiteral("weather"),
                    QStringLiteral("soil_condition"), QStringLiteral("limit_ohm"),
                    QStringLiteral("verdict"), QStringLiteral("change_previous_percent"),
                    QStringLiteral("change_baseline_percent"), QStringLiteral("flagged"),
                    QStringLiteral("baseline")});
    for (const PointHistory& point : points) {
        for (const PointVisit& visit : point.visits) {
            const bool baseline = point.baselineVisitId == 0
                                      ? &visit == &point.visits.front()
                                      : visit.visitId == point.baselineVisitId;
            rows.push_back(
                {point.name, visit.date, QString::number(visit.record), optionalText(visit.ohms),
                 visit.text, optionalText(visit.rc), optionalText(visit.rp), visit.weather,
                 visit.soilCondition, numberText(visit.limitOhm),
                 QString::fromLatin1(verdictName(visit.change.verdict)),
                 optionalText(visit.change.fromPrevious), optionalText(visit.change.fromBaseline),
                 visit.change.flagged() ? QStringLiteral("yes") : QString(),
                 baseline ? QStringLiteral("yes") : QString()});
        }
    }
    return rows;
}

QString writeHistoryCsv(const QString& path, const std::vector<PointHistory>& points) {
    QStringList lines;
    for (const QStringList& row : historyRows(points)) {
        QStringList fields;
        for (const QString& field : row) {
            fields << csvField(field);
        }
        lines << fields.join(QLatin1Char(','));
    }
    return writeTextFile(path, lines, QByteArrayLiteral("UTF-8"));
}

QString writeHistoryXlsx(const QString& path, const std::vector<PointHistory>& points) {
    QTemporaryDir scratch;
    if (!scratch.isValid()) {
        return QStringLiteral("no temporary folder: ") + scratch.errorString();
    }
    XlsxSheetWriter writer(path, scratch.path());
    writer.addSheet(QStringLiteral("history"));
    writer.freezeTopRow();
    const std::vector<QStringList> rows = historyRows(points);
    for (size_t r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < rows[r].size(); ++c) {
            const QString& cell = rows[r][c];
            const bool number = r > 0 && !cell.isEmpty() &&
                                std::find(std::begin(kNumberColumns), std::end(kNumberColumns),
                                          c) != std::end(kNumberColumns);
            if (number) {
                writer.writeNumber(int(r), c, cell.toDouble());
            } else {
                writer.writeText(int(r), c, cell, r == 0);
            }
        }
    }
    return writer.close();
}

}  // namespace kelvora::archive
