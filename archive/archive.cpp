#include "archive/archive.h"

#include <sqlite3.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "archive/archive_schema.h"

namespace kelvora::archive {

namespace {

// Long enough for another process to finish filing the largest visit.
constexpr int kBusyTimeoutMs = 60000;

std::optional<PointHistory> loadPointHistory(Database& db, qint64 pointId, double threshold) {
    Statement point(db.handle(),
                    "SELECT name, limit_ohm, baseline_visit_id FROM point WHERE id = ?1");
    if (!point.bind(1, pointId).step()) {
        return std::nullopt;
    }
    PointHistory history;
    history.pointId = pointId;
    history.name = point.text(0);
    history.ownLimit = point.optionalReal(1);
    history.baselineVisitId = point.int64(2);
    Statement rows(db.handle(),
                   "SELECT v.id, v.date, r.number, r.r, r.r_text, r.rc, r.rc_text, r.rp, "
                   "r.rp_text, v.weather, v.soil_condition, v.limit_ohm "
                   "FROM reading r JOIN visit v ON v.id = r.visit_id WHERE r.point_id = ?1 "
                   "ORDER BY v.date, v.id, r.number");
    rows.bind(1, pointId);
    while (rows.step()) {
        PointVisit visit;
        visit.visitId = rows.int64(0);
        if (!history.visits.empty() && history.visits.back().visitId == visit.visitId) {
            visit.readings = history.visits.back().readings + 1;
            history.visits.pop_back();  // the highest record number is the point's value
        }
        visit.date = rows.text(1);
        visit.record = rows.integer(2);
        visit.ohms = rows.optionalReal(3);
        visit.text = rows.text(4);
        visit.rc = rows.optionalReal(5);
        visit.rcText = rows.text(6);
        visit.rp = rows.optionalReal(7);
        visit.rpText = rows.text(8);
        visit.weather = rows.text(9);
        visit.soilCondition = rows.text(10);
        visit.limitOhm = history.ownLimit.value_or(rows.real(11));
        history.visits.push_back(visit);
    }
    std::vector<PointValue> values;
    int baseline = 0;
    for (const PointVisit& visit : history.visits) {
        if (visit.visitId == history.baselineVisitId) {
            baseline = int(values.size());
        }
        values.push_back({visit.ohms, visit.text.startsWith(QLatin1String("OL")), visit.limitOhm});
    }
    const std::vector<PointChange> changes = changesOf(values, baseline, threshold);
    for (size_t k = 0; k < changes.size(); ++k) {
        history.visits[k].change = changes[k];
    }
    return history;
}

}  // namespace

QString defaultArchivePath() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/archive.sqlite");
}

std::unique_ptr<Archive> Archive::open(const QString& path, QString* error, Access access) {
    const QFileInfo info(path);
    const bool exists = info.exists() && info.size() > 0;
    const auto refuse = [&](const QString& why) {
        *error = path + QStringLiteral(": ") + why;
        return nullptr;
    };
    if (info.exists() && !info.isFile()) {
        return refuse(QStringLiteral("not a file"));
    }
    if (exists) {
        // Checked on a read-only connection, so a file that is not ours is never written.
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            return refuse(QStringLiteral("cannot read it: ") + file.errorString());
        }
        // Beside a write-ahead log the main file may be short until SQLite recovers it.
        const bool logged = QFileInfo::exists(path + QStringLiteral("-wal"));
        QString problem = sqliteHeaderProblem(file.read(100), logged ? -1 : info.size());
        Database probe;
        if (problem.isEmpty() && !probe.open(path, SQLITE_OPEN_READONLY)) {
            problem = probe.error();
        }
        if (problem.isEmpty()) {
            // Another process may be making or migrating it.
            sqlite3_busy_timeout(probe.handle(), kBusyTimeoutMs);
        }
        if (problem.isEmpty()) {
            problem = archiveProblem(probe);
        }
        if (!problem.isEmpty()) {
            return refuse(QStringLiteral("not a Kelvora archive: ") + problem);
        }
    } else if (access == Access::ReadOnly) {
        return refuse(QStringLiteral("no such archive"));
    } else {
        QDir().mkpath(info.absolutePath());
    }
    std::unique_ptr<Archive> archive(new Archive(path));
    // The owner's write bit too: the administrator may write anything, yet a file made
    // read-only is meant to stay as it is.
    const bool writeProtected =
        exists && (!info.isWritable() || !(info.permissions() & QFileDevice::WriteOwner));
    if (access == Access::ReadOnly) {
        archive->readOnlyReason_ = QStringLiteral("the archive was opened for reading only");
    } else if (writeProtected) {
        archive->readOnlyReason_ = path + QStringLiteral(": the file is read-only");
    }
    Database& db = archive->db_;
    const int flags =
        archive->readOnly() ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    if (!db.open(path, flags)) {
        return refuse(QStringLiteral("cannot open it: ") + db.error());
    }
    sqlite3_busy_timeout(db.handle(), kBusyTimeoutMs);
    if (!db.exec("PRAGMA foreign_keys = ON")) {
        return refuse(db.error());
    }
    if (!archive->readOnly() && db.readOnly()) {
        archive->readOnlyReason_ = path + QStringLiteral(": the file cannot be written");
    }
    if (!archive->readOnly()) {
        // A killed process loses nothing committed in WAL mode with synchronous NORMAL.
        QString why;
        if (!db.exec("PRAGMA journal_mode = WAL") || !db.exec("PRAGMA synchronous = NORMAL") ||
            !migrateArchive(db, &why)) {
            return refuse(why.isEmpty() ? db.error() : why);
        }
    } else if (db.scalar("PRAGMA user_version").value_or(0) != kArchiveSchemaVersion) {
        return refuse(QStringLiteral("not a Kelvora archive, and read-only"));
    }
    return archive;
}

bool Archive::writable(QString* error) const {
    if (readOnly()) {
        *error = readOnlyReason_;
        return false;
    }
    return true;
}

double Archive::thresholdPercent() {
    Statement statement(db_.handle(), "SELECT value FROM meta WHERE key = 'threshold_percent'");
    return statement.step() ? statement.real(0) : kDefaultThresholdPercent;
}

bool Archive::setThresholdPercent(double percent, QString* error) {
    if (!writable(error)) {
        return false;
    }
    Transaction transaction(db_);
    Statement set(db_.handle(),
                  "INSERT INTO meta (key, value) VALUES ('threshold_percent', ?1) "
                  "ON CONFLICT(key) DO UPDATE SET value = excluded.value");
    bool ok = transaction.begun() && set.bind(1, percent).run();
    Statement sites(db_.handle(), "SELECT id FROM site");
    while (ok && sites.step()) {
        ok = refreshFlags(sites.int64(0));
    }
    ok = ok && sites.ok() && transaction.commit();
    if (!ok) {
        *error = set.ok() ? db_.error() : set.error();
    }
    return ok;
}

std::vector<SiteSummary> Archive::sites(const QString& filter) {
    std::vector<SiteSummary> sites;
    Statement rows(db_.handle(),
                   "SELECT s.id, s.name, s.location, count(p.id), total(p.flagged) FROM site s "
                   "LEFT JOIN point p ON p.site_id = s.id GROUP BY s.id ORDER BY s.name");
    while (rows.step()) {
        const QString name = rows.text(1);
        if (name.contains(filter, Qt::CaseInsensitive)) {
            sites.push_back({rows.int64(0), name, rows.text(2), rows.integer(3), rows.integer(4)});
        }
    }
    return sites;
}

std::optional<qint64> Archive::siteId(const QString& name) {
    Statement row(db_.handle(), "SELECT id FROM site WHERE name = ?1");
    return row.bind(1, name).step() ? std::optional<qint64>(row.int64(0)) : std::nullopt;
}

std::optional<qint64> Archive::pointId(qint64 siteId, const QString& name) {
    Statement row(db_.handle(), "SELECT id FROM point WHERE site_id = ?1 AND name = ?2");
    return row.bind(1, siteId).bind(2, name).step() ? std::optional<qint64>(row.int64(0))
                                                    : std::nullopt;
}

std::optional<qint64> Archive::siteOfPoint(qint64 pointId) {
    Statement row(db_.handle(), "SELECT site_id FROM point WHERE id = ?1");
    return row.bind(1, pointId).step() ? std::optional<qint64>(row.int64(0)) : std::nullopt;
}

std::optional<VisitInput> Archive::siteDefaults(const QString& siteName) {
    Statement row(db_.handle(),
                  "SELECT name, location, electrode, '', tester, reviewer, instrument_model, "
                  "instrument_number, calibration_due, weather, temperature, soil_condition, "
                  "remarks, limit_ohm FROM site WHERE name = ?1");
    if (!row.bind(1, siteName).step()) {
        return std::nullopt;
    }
    VisitInput visit;
    for (int field = 0; field < report::kSiteFieldCount; ++field) {
        visit.site[size_t(field)] = row.text(field);
    }
    visit.site[report::TestDate].clear();
    visit.limitOhm = row.optionalReal(13).value_or(report::kDefaultLimitOhm);
    return visit;
}

QStringList Archive::pointNames(qint64 siteId) {
    QStringList names;
    Statement rows(db_.handle(), "SELECT name FROM point WHERE site_id = ?1 ORDER BY name");
    rows.bind(1, siteId);
    while (rows.step()) {
        names << rows.text(0);
    }
    return names;
}

std::map<int, QString> Archive::lastPointsOfRecords(qint64 siteId) {
    std::map<int, QString> points;
    Statement rows(db_.handle(),
                   "SELECT r.number, p.name FROM reading r JOIN point p ON p.id = r.point_id "
                   "WHERE r.visit_id = (SELECT id FROM visit WHERE site_id = ?1 "
                   "ORDER BY date DESC, id DESC LIMIT 1)");
    rows.bind(1, siteId);
    while (rows.step()) {
        points[rows.integer(0)] = rows.text(1);
    }
    return points;
}

std::optional<PointHistory> Archive::pointHistory(qint64 pointId) {
    return loadPointHistory(db_, pointId, thresholdPercent());
}

std::vector<PointHistory> Archive::siteHistory(qint64 siteId) {
    const double threshold = thresholdPercent();
    std::vector<PointHistory> points;
    Statement rows(db_.handle(), "SELECT id FROM point WHERE site_id = ?1 ORDER BY name");
    rows.bind(1, siteId);
    while (rows.step()) {
        if (std::optional<PointHistory> history = loadPointHistory(db_, rows.int64(0), threshold)) {
            points.push_back(std::move(*history));
        }
    }
    return points;
}

std::vector<VisitSummary> Archive::visits(qint64 siteId) {
    std::vector<VisitSummary> visits;
    Statement rows(db_.handle(),
                   "SELECT v.id, v.date, v.source, "
                   "(SELECT count(*) FROM reading r WHERE r.visit_id = v.id) "
                   "FROM visit v WHERE v.site_id = ?1 ORDER BY v.date, v.id");
    rows.bind(1, siteId);
    while (rows.step()) {
        visits.push_back({rows.int64(0), rows.text(1), rows.text(2), rows.integer(3)});
    }
    return visits;
}

std::optional<PointVisit> Archive::previousValue(const QString& siteName, const QString& pointName,
                                                 const QString& beforeDate) {
    const std::optional<qint64> site = siteId(siteName);
    const std::optional<qint64> point = site ? pointId(*site, pointName) : std::nullopt;
    const std::optional<PointHistory> history = point ? pointHistory(*point) : std::nullopt;
    if (history) {
        for (auto it = history->visits.rbegin(); it != history->visits.rend(); ++it) {
            if (beforeDate.isEmpty() || it->date < beforeDate) {
                return *it;
            }
        }
    }
    return std::nullopt;
}

bool Archive::refreshFlags(qint64 siteId) {
    const double threshold = thresholdPercent();
    Statement points(db_.handle(), "SELECT id FROM point WHERE site_id = ?1");
    Statement set(db_.handle(), "UPDATE point SET flagged = ?2 WHERE id = ?1 AND flagged <> ?2");
    points.bind(1, siteId);
    bool ok = true;
    while (ok && points.step()) {
        const std::optional<PointHistory> history =
            loadPointHistory(db_, points.int64(0), threshold);
        const bool flagged = history && history->latest() && history->latest()->change.flagged();
        ok = set.bind(1, points.int64(0)).bind(2, int(flagged)).run();
    }
    if (!ok || !points.ok()) {
        db_.setError(set.ok() ? points.error() : set.error());
        return false;
    }
    return true;
}

}  // namespace kelvora::archive
