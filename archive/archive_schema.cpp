#include "archive/archive_schema.h"

#include <QtEndian>

namespace kelvora::archive {

namespace {

// Migration k brings user_version k to k + 1; a new schema is migration 0 and on.
const char* const kMigrations[] = {
    R"sql(
CREATE TABLE meta (key TEXT PRIMARY KEY, value) WITHOUT ROWID;
CREATE TABLE site (
    id INTEGER PRIMARY KEY,
    name TEXT NOT NULL UNIQUE,
    location TEXT, electrode TEXT, tester TEXT, reviewer TEXT, instrument_model TEXT,
    instrument_number TEXT, calibration_due TEXT, weather TEXT, temperature TEXT,
    soil_condition TEXT, remarks TEXT, limit_ohm REAL);
CREATE TABLE visit (
    id INTEGER PRIMARY KEY,
    site_id INTEGER NOT NULL REFERENCES site(id) ON DELETE CASCADE,
    date TEXT NOT NULL,
    tester TEXT, reviewer TEXT, instrument_model TEXT, instrument_number TEXT,
    calibration_due TEXT, weather TEXT, temperature TEXT, soil_condition TEXT, remarks TEXT,
    limit_ohm REAL NOT NULL,
    source TEXT,
    content_key TEXT NOT NULL,
    filed_at TEXT,
    UNIQUE (site_id, date, content_key));
CREATE TABLE point (
    id INTEGER PRIMARY KEY,
    site_id INTEGER NOT NULL REFERENCES site(id) ON DELETE CASCADE,
    name TEXT NOT NULL,
    limit_ohm REAL,
    baseline_visit_id INTEGER REFERENCES visit(id) ON DELETE SET NULL,
    flagged INTEGER NOT NULL DEFAULT 0,  -- of its latest visit, for the site list
    UNIQUE (site_id, name));
CREATE INDEX point_baseline ON point(baseline_visit_id) WHERE baseline_visit_id IS NOT NULL;
CREATE TABLE reading (
    visit_id INTEGER NOT NULL REFERENCES visit(id) ON DELETE CASCADE,
    number INTEGER NOT NULL,
    mode INTEGER NOT NULL,
    missing INTEGER NOT NULL,
    r_text TEXT, rho_text TEXT, rho_length_text TEXT, rc_text TEXT, rp_text TEXT, i_text TEXT,
    v_text TEXT,
    r REAL, rho REAL, rho_length REAL, rc REAL, rp REAL, i REAL, v REAL,
    note TEXT,
    point_id INTEGER REFERENCES point(id) ON DELETE SET NULL,
    PRIMARY KEY (visit_id, number)) WITHOUT ROWID;
CREATE INDEX reading_point ON reading(point_id) WHERE point_id IS NOT NULL;
CREATE TABLE soil_point (
    visit_id INTEGER NOT NULL REFERENCES visit(id) ON DELETE CASCADE,
    k INTEGER NOT NULL, spacing REAL NOT NULL, rho REAL NOT NULL, record INTEGER NOT NULL,
    PRIMARY KEY (visit_id, k)) WITHOUT ROWID;
CREATE TABLE soil_model (
    visit_id INTEGER PRIMARY KEY REFERENCES visit(id) ON DELETE CASCADE,
    model TEXT,    -- JSON of the chosen layered model, NULL for none
    problem TEXT);
)sql",
};
constexpr int kMigrationCount = int(sizeof(kMigrations) / sizeof(kMigrations[0]));
static_assert(kMigrationCount == kArchiveSchemaVersion, "one migration per schema version");

constexpr int kHeaderSize = 100;

}  // namespace

QString sqliteHeaderProblem(const QByteArray& header, qint64 fileSize) {
    if (header.size() < kHeaderSize || !header.startsWith(QByteArray("SQLite format 3", 16))) {
        return QStringLiteral("not an SQLite database");
    }
    const auto* bytes = reinterpret_cast<const uchar*>(header.constData());
    qint64 pageSize = qFromBigEndian<quint16>(bytes + 16);
    if (pageSize == 1) {
        pageSize = 65536;
    }
    if (pageSize < 512 || (pageSize & (pageSize - 1)) != 0) {
        return QStringLiteral("not an SQLite database (page size %1)").arg(pageSize);
    }
    // The page count in the header is valid while its change counter matches.
    const quint32 pages = qFromBigEndian<quint32>(bytes + 28);
    const bool countValid =
        qFromBigEndian<quint32>(bytes + 24) == qFromBigEndian<quint32>(bytes + 92);
    // fileSize < 0: not known for sure (a write-ahead log holds pages yet to be written back).
    if (fileSize >= 0 &&
        (fileSize % pageSize != 0 || (countValid && fileSize < qint64(pages) * pageSize))) {
        return QStringLiteral("the file is truncated (%1 bytes)").arg(fileSize);
    }
    return {};
}

QString archiveProblem(Database& db) {
    const std::optional<qint64> id = db.scalar("PRAGMA application_id");
    const std::optional<qint64> version = db.scalar("PRAGMA user_version");
    const std::optional<qint64> tables = db.scalar("SELECT count(*) FROM sqlite_schema");
    if (!id || !version || !tables) {
        return db.error().isEmpty() ? QStringLiteral("not an SQLite database") : db.error();
    }
    // An empty database is an archive whose making was cut short (WAL is set before the
    // schema): it is made now.
    if (*id == 0 && *version == 0 && *tables == 0) {
        return {};
    }
    if (*id != kArchiveApplicationId) {
        return QStringLiteral("another program's database, not a Kelvora archive");
    }
    if (*version > kArchiveSchemaVersion) {
        return QStringLiteral("an archive of a newer Kelvora (schema %1; this one knows up to %2)")
            .arg(*version)
            .arg(kArchiveSchemaVersion);
    }
    return {};
}

bool migrateArchive(Database& db, QString* error) {
    if (db.scalar("PRAGMA user_version").value_or(-1) == kArchiveSchemaVersion) {
        return true;
    }
    Transaction transaction(db);
    // Another process may have migrated it while this one waited for the lock.
    const qint64 version = db.scalar("PRAGMA user_version").value_or(-1);
    const qint64 id = db.scalar("PRAGMA application_id").value_or(-1);
    bool ok = transaction.begun() && version >= 0;
    if (ok && version == 0 && id == 0) {
        ok = db.scalar("SELECT count(*) FROM sqlite_schema").value_or(-1) == 0;
        if (!ok) {
            db.setError(QStringLiteral("another program's database, not a Kelvora archive"));
        }
    }
    for (qint64 k = version; ok && k < kMigrationCount; ++k) {
        ok = db.exec(kMigrations[k]);
    }
    if (ok) {
        // Pragmas take no parameters; these are constants.
        ok = db.exec(
            QByteArray("PRAGMA application_id = " + QByteArray::number(kArchiveApplicationId) +
                       ";PRAGMA user_version = " + QByteArray::number(kArchiveSchemaVersion))
                .constData());
    }
    if (!ok || !transaction.commit()) {
        *error = db.error();
        return false;
    }
    return true;
}

}  // namespace kelvora::archive
