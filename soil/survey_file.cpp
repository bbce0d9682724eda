#include "soil/survey_file.h"

#include <QStringList>
#include <cmath>

#include "formats/csv_reader.h"
#include "formats/regular_file.h"
#include "records/reading_check.h"
#include "soil/plausible_earth.h"

namespace kelvora::soil {

namespace {

using Rows = std::vector<QStringList>;

std::optional<double> numberIn(QString field, bool decimalComma) {
    field = field.trimmed();
    if (decimalComma) {
        field.replace(QLatin1Char(','), QLatin1Char('.'));
    }
    bool ok = false;
    const double value = field.toDouble(&ok);  // the C locale's dot, whatever the user's locale
    return ok && std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

bool blank(const QStringList& row) {
    for (const QString& field : row) {
        if (!field.trimmed().isEmpty()) {
            return false;
        }
    }
    return true;
}

// A row that cannot be a reading is left out and named; `fault` is what is already known wrong.
void take(SurveyFile& survey, int line, std::optional<double> spacing, std::optional<double> rho,
          QString fault = {}) {
    ++survey.rows;
    if (fault.isEmpty() && spacing && rho) {
        fault = QString::fromLatin1(surveyPointFault(*spacing, *rho));
    }
    if (fault.isEmpty() && spacing && rho) {
        survey.points.push_back({*spacing, *rho, 0});
    } else if (!fault.isEmpty()) {
        survey.leftOut << QStringLiteral("line %1 (%2)").arg(line).arg(fault);
    }
}

// What is wrong with a non-empty field that holds no finite number.
QString numberFault(const QString& field, const char* what) {
    return field.trimmed().isEmpty()
               ? QString()
               : QStringLiteral("its %1 \"%2\" is not a finite number").arg(what, field.trimmed());
}

// The record CSV: a survey row is one whose ρ text column is filled; its numbers stand in the
// numeric columns "ρ/Ωm" and "ρLenght/m" (empty for an overload).
bool readRecordCsv(const CsvRows& csv, bool decimalComma, SurveyFile& survey) {
    const Rows& rows = csv.rows;
    const QStringList& header = rows.front();
    const qsizetype text = header.indexOf(QStringLiteral("ρ"));
    const qsizetype rho = header.indexOf(QStringLiteral("ρ/Ωm"));
    const qsizetype spacing = header.indexOf(QStringLiteral("ρLenght/m"));
    const qsizetype spacingText = header.indexOf(QStringLiteral("ρLenght"));
    if (text < 0 || rho < 0 || spacing < 0) {
        return false;
    }
    for (size_t r = 1; r < rows.size(); ++r) {
        const QStringList& row = rows[r];
        if (row.size() > std::max({text, rho, spacing}) && !row[text].trimmed().isEmpty()) {
            ReadingFault fault = checkReading(ValueSlot::Rho, row[text], row[rho], decimalComma);
            const char* what = "ρ";
            if (fault == ReadingFault::None && spacingText >= 0) {
                fault = checkReading(ValueSlot::RhoLength, row.value(spacingText), row[spacing],
                                     decimalComma);
                what = "ρLenght";
            }
            const std::optional<double> rhoValue = numberIn(row[rho], decimalComma);
            // An overload holds no number: a reading still, though not one to fit.
            take(survey, csv.lines[r], numberIn(row[spacing], decimalComma), rhoValue,
                 fault == ReadingFault::None
                     ? QString()
                     : QString::fromUtf8(what) + QLatin1Char(' ') + readingFaultText(fault));
        }
    }
    return true;
}

void readTwoColumns(const CsvRows& csv, bool decimalComma, SurveyFile& survey) {
    bool first = true;
    for (size_t r = 0; r < csv.rows.size(); ++r) {
        const QStringList& row = csv.rows[r];
        if (blank(row)) {
            continue;
        }
        const std::optional<double> spacing = numberIn(row.value(0), decimalComma);
        const std::optional<double> rho = numberIn(row.value(1), decimalComma);
        if (first && !(spacing && rho)) {
            first = false;
            continue;  // a header
        }
        first = false;
        QString fault = spacing ? QString() : numberFault(row.value(0), "spacing");
        fault = rho || !fault.isEmpty() ? fault : numberFault(row.value(1), "resistivity");
        if (fault.isEmpty() && !(spacing && rho)) {
            fault = spacing ? QStringLiteral("no resistivity") : QStringLiteral("no spacing");
        }
        take(survey, csv.lines[r], spacing, rho, fault);
    }
}

}  // namespace

std::optional<SurveyFile> parseSurveyCsv(const QByteArray& bytes, QString* error) {
    const CsvRows csv = readCsv(bytes);
    if (!csv.error.isEmpty()) {
        *error = csv.error;
        return std::nullopt;
    }
    SurveyFile survey;
    // Where the fields are not separated by commas, a comma may be the decimal separator.
    const bool decimalComma = csv.separator != QLatin1Char(',');
    if (csv.rows.empty() || !readRecordCsv(csv, decimalComma, survey)) {
        readTwoColumns(csv, decimalComma, survey);
    }
    if (survey.points.empty()) {
        *error = survey.rows == 0
                     ? QStringLiteral("no survey rows (spacing and apparent resistivity)")
                     : QStringLiteral(
                           "none of its %1 survey rows has a positive spacing and "
                           "resistivity")
                           .arg(survey.rows);
        if (csv.encoding != QLatin1String("UTF-8")) {
            *error += QStringLiteral(" (read as %1)").arg(csv.encoding);
        }
        return std::nullopt;
    }
    return survey;
}

std::optional<SurveyFile> readSurveyFile(const QString& path, QString* error) {
    const std::optional<QByteArray> bytes = readRegularFile(path, error);
    return bytes ? parseSurveyCsv(*bytes, error) : std::nullopt;
}

}  // namespace kelvora::soil
