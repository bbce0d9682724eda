#include "visit/report_records.h"

#include <QCoreApplication>
#include <cmath>

#include "formats/csv_reader.h"
#include "formats/regular_file.h"
#include "records/reading_check.h"
#include "soil/soil_selection.h"
#include "soil/soil_texts.h"

namespace kelvora::report {

namespace {

constexpr int kTextColumns = 8;  // NO. and the seven values; the numbers follow in the CSV

// The number of a CSV cell, nothing for an empty cell; where fields are not separated by
// commas (a spreadsheet re-saved it) the comma may be the decimal separator.
std::optional<double> csvNumber(QString field, bool decimalComma) {
    field = field.trimmed();
    if (decimalComma) {
        field.replace(QLatin1Char(','), QLatin1Char('.'));
    }
    bool ok = false;
    const double value = field.toDouble(&ok);
    return ok && std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

// The mode of a row by the value text that is filled: R, ρ, V or I.
MeasuringMode modeOfTexts(const ReportRecord& record) {
    if (!record.text(ValueSlot::R).isEmpty()) {
        return MeasuringMode::EarthResistance;
    }
    if (!record.text(ValueSlot::Rho).isEmpty()) {
        return MeasuringMode::SoilResistivity;
    }
    if (!record.text(ValueSlot::V).isEmpty()) {
        return MeasuringMode::EarthVoltage;
    }
    if (!record.text(ValueSlot::I).isEmpty()) {
        return MeasuringMode::ClampCurrent;
    }
    return MeasuringMode::Unrecognised;
}

ReportSoil soilOfPoints(std::vector<soil::SoilPoint> points, const soil::SoilModel* model,
                        const QString& problem) {
    ReportSoil soil;
    soil.used = std::move(points);
    if (model != nullptr) {
        soil.model = *model;
    }
    soil.problem = problem;
    return soil;
}

// Why the values of a row are not a reading, in the report's language; empty when they are.
QString unreadableReason(const QStringList& fields, bool decimalComma) {
    for (int slot = 0; slot < kValueSlotCount; ++slot) {
        const ValueSlot value = kValueSlots[size_t(slot)];
        const ReadingFault fault = checkReading(value, fields.value(slot + 1),
                                                fields.value(kTextColumns + slot), decimalComma);
        const char* const columns[] = {"R", "ρ", "ρLenght", "Rc", "Rp", "I", "V"};
        const QString column = QString::fromUtf8(columns[slot]);
        switch (fault) {
            case ReadingFault::None:
                continue;
            case ReadingFault::NotFinite:
                return QCoreApplication::translate("kelvora::report", "%1 的数值不是有限数")
                    .arg(column);
            case ReadingFault::Negative:
                return QCoreApplication::translate("kelvora::report", "%1 的数值为负").arg(column);
            case ReadingFault::BeyondMeter:
                return QCoreApplication::translate("kelvora::report", "%1 的数值超出仪器所能显示")
                    .arg(column);
            case ReadingFault::NotAReading:
                return QCoreApplication::translate("kelvora::report", "%1 的文字不是读数")
                    .arg(column);
            case ReadingFault::Disagrees:
                return QCoreApplication::translate("kelvora::report", "%1 的文字与数值不符")
                    .arg(column);
        }
    }
    return {};
}

}  // namespace

std::vector<ReportRecord> recordsOf(const RecordCells& cells, const RecordModel& records) {
    std::vector<ReportRecord> rows;
    // The model knows which rows a download filled or missed; an empty table still has a row.
    for (int number = 1; number <= records.count() && number < cells.rows; ++number) {
        const Record& record = records.record(number);
        ReportRecord row;
        row.number = number;
        row.missing = !record.received();
        row.mode = record.mode;
        for (int slot = 0; slot < kValueSlotCount; ++slot) {
            row.texts[size_t(slot)] = cells.text(number, slot + 1);
            const RecordValue& value = record.values[size_t(slot)];
            if (value.hasNumber()) {
                row.numbers[size_t(slot)] = value.number;
            }
        }
        rows.push_back(row);
    }
    return rows;
}

std::optional<std::vector<ReportRecord>> recordsFromCsv(const QByteArray& bytes, QString* error) {
    const CsvRows csv = readCsv(bytes);
    if (!csv.error.isEmpty()) {
        *error = csv.error;
        return std::nullopt;
    }
    const QStringList expected = {
        QStringLiteral("NO."), QStringLiteral("R"),  QStringLiteral("ρ"), QStringLiteral("ρLenght"),
        QStringLiteral("Rc"),  QStringLiteral("Rp"), QStringLiteral("I"), QStringLiteral("V")};
    if (csv.rows.empty() || csv.rows.front().mid(0, kTextColumns) != expected ||
        csv.rows.front().size() < kTextColumns + kValueSlotCount) {
        *error = QStringLiteral(
            "not a record CSV saved by Kelvora (its first row is not the "
            "record table's header)");
        if (csv.encoding != QLatin1String("UTF-8")) {
            *error +=
                QStringLiteral(", read as %1, not the UTF-8 Kelvora saves in").arg(csv.encoding);
        }
        return std::nullopt;
    }
    const bool decimalComma = csv.separator != QLatin1Char(',');
    std::vector<ReportRecord> records;
    for (size_t r = 1; r < csv.rows.size(); ++r) {
        const QStringList& fields = csv.rows[r];
        if (fields.size() <= 1 && fields.value(0).trimmed().isEmpty()) {
            continue;  // a blank line; a missed record is a row of empty fields
        }
        ReportRecord record;
        record.number = int(records.size()) + 1;  // row k is record k
        for (int slot = 0; slot < kValueSlotCount; ++slot) {
            record.texts[size_t(slot)] = fields.value(slot + 1).trimmed();
            record.numbers[size_t(slot)] =
                csvNumber(fields.value(kTextColumns + slot), decimalComma);
        }
        record.mode = modeOfTexts(record);
        const QString number = fields.value(0).trimmed();
        record.missing = number.isEmpty();
        if (!record.missing && number != QString::number(record.number)) {
            *error = QStringLiteral(
                         "row %1 holds record %2: the rows are not the records in "
                         "their order")
                         .arg(record.number)
                         .arg(number);
            return std::nullopt;
        }
        if (!record.missing) {
            record.unreadable = unreadableReason(fields, decimalComma);
            record.missing = !record.unreadable.isEmpty();
        }
        records.push_back(record);
    }
    if (records.empty()) {
        *error = QStringLiteral("the file holds no record");
        return std::nullopt;
    }
    return records;
}

ReportSoil soilOf(const soil::SoilSelection& selection) {
    return soilOfPoints(selection.usedPoints(), selection.chosenModel(),
                        soil::modelProblemText(selection));
}

ReportSoil soilOf(const std::vector<ReportRecord>& records) {
    std::vector<soil::SoilPoint> points;
    for (const ReportRecord& record : records) {
        const std::optional<double> rho = record.value(ValueSlot::Rho);
        const std::optional<double> spacing = record.value(ValueSlot::RhoLength);
        if (record.mode == MeasuringMode::SoilResistivity && rho && spacing && *rho > 0 &&
            *spacing > 0) {
            points.push_back({*spacing, *rho, record.number});
        }
    }
    const int layers = soil::SoilSelection::kDefaultLayers;
    const std::vector<soil::SoilModel> models = soil::fitSoilModels(points, layers);
    const soil::SoilModel* model = int(models.size()) == layers ? &models.back() : nullptr;
    const QString problem = soil::modelProblemText(layers, points, model);
    return soilOfPoints(std::move(points), model, problem);
}

std::optional<std::vector<ReportRecord>> recordsFromCsvFile(const QString& path, QString* error) {
    QString why;
    std::optional<std::vector<ReportRecord>> rows;
    if (const std::optional<QByteArray> bytes = readRegularFile(path, &why)) {
        rows = recordsFromCsv(*bytes, &why);
    }
    if (!rows) {
        *error = path + QStringLiteral(": ") + why;
    }
    return rows;
}

}  // namespace kelvora::report
