#include <QCryptographicHash>
#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <set>

#include "archive/archive.h"
#include "formats/replace_file.h"
#include "formats/write_target.h"

namespace kelvora::archive {

namespace {

using report::SiteField;

// The visit's own site fields, Tester to Remarks, in the order of their columns.
constexpr int kVisitFieldCount = report::Remarks - report::Tester + 1;

QJsonArray numbers(const std::vector<double>& values) {
    QJsonArray array;
    for (const double value : values) {
        array.append(value);
    }
    return array;
}

QJsonArray optionalNumbers(const std::vector<std::optional<double>>& values) {
    QJsonArray array;
    for (const std::optional<double>& value : values) {
        array.append(value ? QJsonValue(*value) : QJsonValue());
    }
    return array;
}

QString soilModelJson(const soil::SoilModel& model) {
    const QJsonObject object{
        {QStringLiteral("rho"), numbers(model.earth.rho)},
        {QStringLiteral("thickness"), numbers(model.earth.thickness)},
        {QStringLiteral("rho_sigma"), optionalNumbers(model.rhoSigma)},
        {QStringLiteral("thickness_sigma"), optionalNumbers(model.thicknessSigma)},
        {QStringLiteral("errors_percent"), numbers(model.errorsPercent)},
        {QStringLiteral("rms_percent"), model.rmsPercent},
        {QStringLiteral("converged"), model.converged}};
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

soil::SoilModel soilModelOf(const QString& json) {
    const QJsonObject object = QJsonDocument::fromJson(json.toUtf8()).object();
    const auto list = [&](const char* key) {
        std::vector<double> values;
        for (const QJsonValue& value : object.value(QLatin1String(key)).toArray()) {
            values.push_back(value.toDouble());
        }
        return values;
    };
    const auto optionalList = [&](const char* key) {
        std::vector<std::optional<double>> values;
        for (const QJsonValue& value : object.value(QLatin1String(key)).toArray()) {
            values.push_back(value.isDouble() ? std::optional<double>(value.toDouble())
                                              : std::nullopt);
        }
        return values;
    };
    soil::SoilModel model;
    model.earth.rho = list("rho");
    model.earth.thickness = list("thickness");
    model.rhoSigma = optionalList("rho_sigma");
    model.thicknessSigma = optionalList("thickness_sigma");
    model.errorsPercent = list("errors_percent");
    model.rmsPercent = object.value(QLatin1String("rms_percent")).toDouble();
    model.converged = object.value(QLatin1String("converged")).toBool();
    return model;
}

}  // namespace

QString contentKey(const std::vector<report::ReportRecord>& records) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const report::ReportRecord& record : records) {
        QString line = QStringLiteral("%1|%2|%3")
                           .arg(record.number)
                           .arg(int(record.missing))
                           .arg(int(record.mode));
        for (int slot = 0; slot < kValueSlotCount; ++slot) {
            const std::optional<double>& number = record.numbers[size_t(slot)];
            line += QLatin1Char('\x1f') + record.texts[size_t(slot)] + QLatin1Char('\x1e') +
                    (number ? QString::number(*number, 'g', 17) : QString());
        }
        hash.addData((line + QLatin1Char('\n')).toUtf8());
    }
    return QString::fromLatin1(hash.result().toHex());
}

qint64 Archive::ensureSite(const VisitInput& visit, bool updateFields) {
    const QString& name = visit.site[report::Project];
    Statement insert(db_.handle(), "INSERT INTO site (name) VALUES (?1) ON CONFLICT DO NOTHING");
    if (!insert.bind(1, name).run()) {
        db_.setError(insert.error());
        return 0;
    }
    const bool created = db_.changes() > 0;
    const qint64 id = siteId(name).value_or(0);
    if (id != 0 && (updateFields || created)) {
        Statement update(db_.handle(),
                         "UPDATE site SET location = ?2, electrode = ?3, tester = ?4, "
                         "reviewer = ?5, instrument_model = ?6, instrument_number = ?7, "
                         "calibration_due = ?8, weather = ?9, temperature = ?10, "
                         "soil_condition = ?11, remarks = ?12, limit_ohm = ?13 WHERE id = ?1");
        update.bind(1, id)
            .bind(2, visit.site[report::Location])
            .bind(3, visit.site[report::Electrode]);
        for (int k = 0; k < kVisitFieldCount; ++k) {
            update.bind(4 + k, visit.site[size_t(report::Tester + k)]);
        }
        if (!update.bind(13, visit.limitOhm).run()) {
            db_.setError(update.error());
            return 0;
        }
    }
    return id;
}

qint64 Archive::ensurePoint(qint64 siteId, const QString& name) {
    Statement insert(db_.handle(),
                     "INSERT INTO point (site_id, name) VALUES (?1, ?2) ON CONFLICT DO NOTHING");
    if (!insert.bind(1, siteId).bind(2, name).run()) {
        db_.setError(insert.error());
        return 0;
    }
    return pointId(siteId, name).value_or(0);
}

std::optional<FilingResult> Archive::file(const VisitInput& visit, QString* error) {
    if (!writable(error)) {
        return std::nullopt;
    }
    Transaction transaction(db_);
    std::optional<FilingResult> result;
    if (transaction.begun()) {
        result = fileInTransaction(visit, contentKey(visit.records), true, true, error);
    } else {
        *error = db_.error();
    }
    if (result && result->added && !transaction.commit()) {
        *error = db_.error();
        return std::nullopt;
    }
    return result;  // nothing added: rolled back, the site's fields included
}

std::optional<int> Archive::fileAll(const std::vector<VisitInput>& visits, QString* error) {
    if (!writable(error)) {
        return std::nullopt;
    }
    Transaction transaction(db_);
    int added = 0;
    std::set<qint64> sites;
    for (const VisitInput& visit : visits) {
        const std::optional<FilingResult> result =
            transaction.begun()
                ? fileInTransaction(visit, contentKey(visit.records), true, false, error)
                : std::nullopt;
        if (!result) {
            *error = error->isEmpty() ? db_.error() : *error;
            return std::nullopt;
        }
        added += int(result->added);
        sites.insert(siteId(visit.site[report::Project]).value_or(0));
    }
    for (const qint64 site : sites) {
        if (!refreshFlags(site)) {
            *error = db_.error();
            return std::nullopt;
        }
    }
    if (!transaction.commit()) {
        *error = db_.error();
        return std::nullopt;
    }
    return added;
}

std::optional<FilingResult> Archive::fileInTransaction(const VisitInput& visit, const QString& key,
                                                       bool updateSite, bool refresh,
                                                       QString* error) {
    const QString& name = visit.site[report::Project];
    const QString& date = visit.site[report::TestDate];
    if (name.trimmed().isEmpty()) {
        *error = QStringLiteral("the site has no name");
        return std::nullopt;
    }
    if (!QDate::fromString(date, Qt::ISODate).isValid() || date.size() != 10) {
        *error = QStringLiteral("the date \"%1\" is not a date (YYYY-MM-DD)").arg(date);
        return std::nullopt;
    }
    for (const auto& [number, point] : visit.points) {
        if (number < 1 || number > int(visit.records.size())) {
            *error = QStringLiteral("record %1 is not in the visit (it has %2)")
                         .arg(number)
                         .arg(visit.records.size());
            return std::nullopt;
        }
    }
    FilingResult result;
    const qint64 site = ensureSite(visit, updateSite);
    Statement known(db_.handle(),
                    "SELECT id FROM visit WHERE site_id = ?1 AND date = ?2 AND content_key = ?3");
    if (site != 0 && known.bind(1, site).bind(2, date).bind(3, key).step()) {
        result.visitId = known.int64(0);
        return result;
    }
    Statement insert(db_.handle(),
                     "INSERT INTO visit (site_id, date, tester, reviewer, instrument_model, "
                     "instrument_number, calibration_due, weather, temperature, soil_condition, "
                     "remarks, limit_ohm, source, content_key, filed_at) "
                     "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15)");
    insert.bind(1, site).bind(2, date);
    for (int k = 0; k < kVisitFieldCount; ++k) {
        insert.bind(3 + k, visit.site[size_t(report::Tester + k)]);
    }
    insert.bind(12, visit.limitOhm).bind(13, visit.source).bind(14, key);
    insert.bind(15, QDateTime::currentDateTimeUtc().toString(Qt::ISODate));
    if (site == 0 || !known.ok() || !insert.run()) {
        *error = site == 0 ? db_.error() : known.ok() ? insert.error() : known.error();
        return std::nullopt;
    }
    result.added = true;
    result.visitId = db_.lastInsertId();
    std::map<QString, qint64> pointIds;
    for (const auto& [number, point] : visit.points) {
        if (!point.isEmpty() && pointIds.count(point) == 0 &&
            (pointIds[point] = ensurePoint(site, point)) == 0) {
            *error = db_.error();
            return std::nullopt;
        }
    }
    Statement reading(db_.handle(),
                      "INSERT INTO reading (visit_id, number, mode, missing, r_text, rho_text, "
                      "rho_length_text, rc_text, rp_text, i_text, v_text, r, rho, rho_length, "
                      "rc, rp, i, v, note, point_id) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, "
                      "?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17, ?18, ?19, ?20)");
    for (const report::ReportRecord& record : visit.records) {
        reading.bind(1, result.visitId).bind(2, record.number).bind(3, int(record.mode));
        reading.bind(4, int(record.missing));
        for (int slot = 0; slot < kValueSlotCount; ++slot) {
            reading.bind(5 + slot, record.texts[size_t(slot)]);
            reading.bind(12 + slot, record.numbers[size_t(slot)]);
        }
        const auto note = visit.notes.find(record.number);
        reading.bind(19, note != visit.notes.end() ? note->second : QString());
        const auto point = visit.points.find(record.number);
        if (point != visit.points.end() && !point->second.isEmpty()) {
            reading.bind(20, pointIds[point->second]);
        }
        if (!reading.run()) {
            *error = reading.error();
            return std::nullopt;
        }
        ++result.readings;
    }
    Statement soilPoint(db_.handle(),
                        "INSERT INTO soil_point (visit_id, k, spacing, rho, record) "
                        "VALUES (?1, ?2, ?3, ?4, ?5)");
    for (size_t k = 0; k < visit.soil.used.size(); ++k) {
        const soil::SoilPoint& used = visit.soil.used[k];
        soilPoint.bind(1, result.visitId).bind(2, qint64(k)).bind(3, used.spacing);
        if (!soilPoint.bind(4, used.rho).bind(5, used.record).run()) {
            *error = soilPoint.error();
            return std::nullopt;
        }
    }
    if (visit.soil.model || !visit.soil.used.empty() || !visit.soil.problem.isEmpty()) {
        Statement model(db_.handle(),
                        "INSERT INTO soil_model (visit_id, model, problem) VALUES (?1, ?2, ?3)");
        model.bind(1, result.visitId).bind(3, visit.soil.problem);
        model.bind(2, visit.soil.model ? soilModelJson(*visit.soil.model) : QString());
        if (!model.run()) {
            *error = model.error();
            return std::nullopt;
        }
    }
    if (refresh) {
        Statement flagged(db_.handle(),
                          "SELECT name FROM point WHERE site_id = ?1 AND flagged ORDER BY name");
        if (!refreshFlags(site)) {
            *error = db_.error();
            return std::nullopt;
        }
        flagged.bind(1, site);
        while (flagged.step()) {
            result.flaggedPoints << flagged.text(0);
        }
    }
    return result;
}

std::optional<VisitInput> Archive::loadVisit(qint64 visitId, QString* key) {
    Statement row(db_.handle(),
                  "SELECT s.name, s.location, s.electrode, v.date, v.tester, v.reviewer, "
                  "v.instrument_model, v.instrument_number, v.calibration_due, v.weather, "
                  "v.temperature, v.soil_condition, v.remarks, v.limit_ohm, v.source, "
                  "v.content_key FROM visit v JOIN site s ON s.id = v.site_id WHERE v.id = ?1");
    if (!row.bind(1, visitId).step()) {
        return std::nullopt;
    }
    VisitInput visit;
    for (int field = 0; field < report::kSiteFieldCount; ++field) {
        visit.site[size_t(field)] = row.text(field);
    }
    visit.limitOhm = row.real(13);
    visit.source = row.text(14);
    if (key != nullptr) {
        *key = row.text(15);
    }
    Statement readings(db_.handle(),
                       "SELECT r.number, r.mode, r.missing, r.r_text, r.rho_text, "
                       "r.rho_length_text, r.rc_text, r.rp_text, r.i_text, r.v_text, r.r, r.rho, "
                       "r.rho_length, r.rc, r.rp, r.i, r.v, r.note, p.name FROM reading r "
                       "LEFT JOIN point p ON p.id = r.point_id WHERE r.visit_id = ?1 "
                       "ORDER BY r.number");
    readings.bind(1, visitId);
    while (readings.step()) {
        report::ReportRecord record;
        record.number = readings.integer(0);
        record.mode = MeasuringMode(readings.integer(1));
        record.missing = readings.integer(2) != 0;
        for (int slot = 0; slot < kValueSlotCount; ++slot) {
            record.texts[size_t(slot)] = readings.text(3 + slot);
            record.numbers[size_t(slot)] = readings.optionalReal(10 + slot);
        }
        if (!readings.isNull(17)) {
            visit.notes[record.number] = readings.text(17);
        }
        if (!readings.isNull(18)) {
            visit.points[record.number] = readings.text(18);
        }
        visit.records.push_back(record);
    }
    Statement soilPoints(db_.handle(),
                         "SELECT spacing, rho, record FROM soil_point WHERE visit_id = ?1 "
                         "ORDER BY k");
    soilPoints.bind(1, visitId);
    while (soilPoints.step()) {
        visit.soil.used.push_back({soilPoints.real(0), soilPoints.real(1), soilPoints.integer(2)});
    }
    Statement model(db_.handle(), "SELECT model, problem FROM soil_model WHERE visit_id = ?1");
    if (model.bind(1, visitId).step()) {
        if (!model.isNull(0)) {
            visit.soil.model = soilModelOf(model.text(0));
        }
        visit.soil.problem = model.text(1);
    }
    return visit;
}

std::optional<int> Archive::merge(const QString& otherPath, QString* error) {
    if (!writable(error)) {
        return std::nullopt;
    }
    std::unique_ptr<Archive> other = open(otherPath, error, Access::ReadOnly);
    if (!other) {
        return std::nullopt;
    }
    Transaction transaction(db_);
    if (!transaction.begun()) {
        *error = db_.error();
        return std::nullopt;
    }
    int added = 0;
    std::map<qint64, QString> touchedSites;  // our site id -> its name
    Statement visits(other->db_.handle(), "SELECT id FROM visit ORDER BY site_id, date, id");
    while (visits.step()) {
        QString key;
        const std::optional<VisitInput> visit = other->loadVisit(visits.int64(0), &key);
        // A site new here takes the other's fields; one already here keeps its own.
        const std::optional<FilingResult> result =
            visit ? fileInTransaction(*visit, key, false, false, error) : std::nullopt;
        if (!result) {
            return std::nullopt;
        }
        added += int(result->added);
        touchedSites[siteId(visit->site[report::Project]).value_or(0)] =
            visit->site[report::Project];
    }
    // Sites and points without a visit too; points' own limits and baselines where ours has none.
    Statement points(other->db_.handle(),
                     "SELECT s.name, p.name, p.limit_ohm, b.date, b.content_key FROM site s "
                     "LEFT JOIN point p ON p.site_id = s.id LEFT JOIN visit b ON b.id = "
                     "p.baseline_visit_id");
    Statement update(db_.handle(),
                     "UPDATE point SET limit_ohm = coalesce(limit_ohm, ?3), baseline_visit_id = "
                     "coalesce(baseline_visit_id, (SELECT id FROM visit WHERE site_id = "
                     "point.site_id AND date = ?4 AND content_key = ?5)) "
                     "WHERE site_id = (SELECT id FROM site WHERE name = ?1) AND name = ?2");
    bool ok = visits.ok();
    while (ok && points.step()) {
        const std::optional<VisitInput> site = other->siteDefaults(points.text(0));
        const qint64 id = site ? ensureSite(*site, false) : 0;
        ok = id != 0 && (points.isNull(1) || ensurePoint(id, points.text(1)) != 0);
        touchedSites[id] = points.text(0);
        update.bind(1, points.text(0)).bind(2, points.text(1)).bind(3, points.optionalReal(2));
        ok = ok && update.bind(4, points.text(3)).bind(5, points.text(4)).run();
    }
    for (auto it = touchedSites.begin(); ok && it != touchedSites.end(); ++it) {
        ok = refreshFlags(it->first);
    }
    if (!ok || !points.ok() || !transaction.commit()) {
        *error = !visits.ok() ? visits.error() : !update.ok() ? update.error() : db_.error();
        return std::nullopt;
    }
    return added;
}

bool Archive::backup(const QString& target, QString* error) {
    // A copy put over the archive itself would leave its log beside the wrong file.
    if (sameFile(target, path_)) {
        *error = target + QStringLiteral(": that is the archive itself");
        return false;
    }
    const QString partial = target + QStringLiteral(".partial");
    if (writeTargetFault(target) != WriteTargetFault::None ||
        writeTargetFault(partial) != WriteTargetFault::None) {
        *error = target + QStringLiteral(": not a regular file, left as it is");
        return false;
    }
    QFile::remove(partial);
    Statement vacuum(db_.handle(), "VACUUM INTO ?1");
    if (!vacuum.bind(1, partial).run()) {
        *error = target + QStringLiteral(": cannot write it: ") + vacuum.error();
        QFile::remove(partial);
        return false;
    }
    if (!replaceFile(partial, target)) {
        *error = target + QStringLiteral(": cannot put the copy in place");
        QFile::remove(partial);
        return false;
    }
    return true;
}

}  // namespace kelvora::archive
