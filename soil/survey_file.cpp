#include "soil/survey_file.h"

#include <QFile>
#include <QStringList>
#include <cmath>

#include "formats/csv_reader.h"

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

void take(SurveyFile& survey, std::optional<double> spacing, std::optional<double> rho) {
    ++survey.rows;
    if (spacing && rho && *spacing > 0 && *rho > 0) {
        survey.points.push_back({*spacing, *rho, 0});
    }
}

// The record CSV: a survey row is one whose ρ text column is filled; its numbers stand in the
// numeric columns "ρ/Ωm" and "ρLenght/m" (empty for an overload).
bool readRecordCsv(const Rows& rows, bool decimalComma, SurveyFile& survey) {
    const QStringList& header = rows.front();
    const qsizetype text = header.indexOf(QStringLiteral("ρ"));
    const qsizetype rho = header.indexOf(QStringLiteral("ρ/Ωm"));
    const qsizetype spacing = header.indexOf(QStringLiteral("ρLenght/m"));
    if (text < 0 || rho < 0 || spacing < 0) {
        return false;
    }
    for (size_t r = 1; r < rows.size(); ++r) {
        const QStringList& row = rows[r];
        if (row.size() > std::max({text, rho, spacing}) && !row[text].trimmed().isEmpty()) {
            take(survey, numberIn(row[spacing], decimalComma), numberIn(row[rho], decimalComma));
        }
    }
    return true;
}

void readTwoColumns(const Rows& rows, bool decimalComma, SurveyFile& survey) {
    bool first = true;
    for (const QStringList& row : rows) {
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
        take(survey, spacing, rho);
    }
}

}  // namespace

std::optional<SurveyFile> parseSurveyCsv(const QByteArray& bytes, QString* error) {
    const CsvRows csv = readCsv(bytes);
    SurveyFile survey;
    // Where the fields are not separated by commas, a comma may be the decimal separator.
    const bool decimalComma = csv.separator != QLatin1Char(',');
    if (csv.rows.empty() || !readRecordCsv(csv.rows, decimalComma, survey)) {
        readTwoColumns(csv.rows, decimalComma, survey);
    }
    if (survey.points.empty()) {
        *error = survey.rows == 0
                     ? QStringLiteral("no survey rows (spacing and apparent resistivity)")
                     : QStringLiteral(
                           "none of its %1 survey rows has a positive spacing and "
                           "resistivity")
                           .arg(survey.rows);
        return std::nullopt;
    }
    return survey;
}

std::optional<SurveyFile> readSurveyFile(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read it: ") + file.errorString();
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        *error = QStringLiteral("cannot read it: ") + file.errorString();
        return std::nullopt;
    }
    return parseSurveyCsv(bytes, error);
}

}  // namespace kelvora::soil
