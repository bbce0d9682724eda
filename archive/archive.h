#pragma once

#include <QString>
#include <QStringList>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "archive/change_rule.h"
#include "archive/sqlite_db.h"
#include "visit/report_data.h"

namespace kelvora::archive {

// The archive file of this user: archive.sqlite in the application's data folder.
QString defaultArchivePath();

// One visit to file: the report's site block (Project is the site's name, TestDate the
// visit's date as YYYY-MM-DD), its limit, records, notes and soil survey, and which record
// belongs to which test point.
struct VisitInput {
    report::SiteFields site;
    double limitOhm = report::kDefaultLimitOhm;
    std::vector<report::ReportRecord> records;
    std::map<int, QString> notes;   // by record number
    std::map<int, QString> points;  // record number -> test point name; others belong to none
    report::ReportSoil soil;
    QString source;  // "download", or the name of the file imported
};

struct FilingResult {
    bool added = false;  // false: the same records for that site and date are there already
    qint64 visitId = 0;
    int readings = 0;
    QStringList flaggedPoints;  // the site's points flagged after filing
};

struct SiteSummary {
    qint64 id = 0;
    QString name;
    QString location;
    int points = 0;
    int flaggedPoints = 0;
};

// A point's value in one visit (its reading of the highest record number), with the change.
struct PointVisit {
    qint64 visitId = 0;
    QString date;
    int record = 0;
    std::optional<double> ohms;
    QString text;  // R as shown
    std::optional<double> rc, rp;
    QString rcText, rpText, weather, soilCondition;
    double limitOhm = 0;  // the one it is judged by: the point's own or the visit's
    PointChange change;
    int readings = 1;  // the point's readings in this visit; the others are kept, not used
};

struct PointHistory {
    qint64 pointId = 0;
    QString name;
    std::optional<double> ownLimit;
    qint64 baselineVisitId = 0;      // 0: the first visit
    std::vector<PointVisit> visits;  // in date order
    const PointVisit* latest() const { return visits.empty() ? nullptr : &visits.back(); }
};

struct VisitSummary {
    qint64 id = 0;
    QString date, source;
    int readings = 0;
};

// The archive of sites, test points, visits and readings in one SQLite file. Every filing
// and every change is one transaction: on failure the file stays as it was and `error` says
// why.
class Archive {
public:
    // Opens `path`, creating a new archive where there is no file (or an empty one). Refuses,
    // without writing it, a file that is not an archive or of a newer schema. A read-only
    // file opens for reading; readOnlyReason() then says why nothing can be filed.
    enum class Access { ReadWrite, ReadOnly };
    static std::unique_ptr<Archive> open(const QString& path, QString* error,
                                         Access access = Access::ReadWrite);

    const QString& path() const { return path_; }
    bool readOnly() const { return !readOnlyReason_.isEmpty(); }
    const QString& readOnlyReason() const { return readOnlyReason_; }

    std::optional<FilingResult> file(const VisitInput& visit, QString* error);
    // Many visits in one transaction (an import); the number added.
    std::optional<int> fileAll(const std::vector<VisitInput>& visits, QString* error);

    double thresholdPercent();
    bool setThresholdPercent(double percent, QString* error);

    // Sites whose name holds `filter` (any case), by name.
    std::vector<SiteSummary> sites(const QString& filter = {});
    std::optional<qint64> siteId(const QString& name);
    std::optional<qint64> pointId(qint64 siteId, const QString& name);
    // The site block and limit as last filed (TestDate empty).
    std::optional<VisitInput> siteDefaults(const QString& siteName);
    QStringList pointNames(qint64 siteId);
    // Record number -> test point in the site's latest visit, to pre-fill the next.
    std::map<int, QString> lastPointsOfRecords(qint64 siteId);
    std::vector<PointHistory> siteHistory(qint64 siteId);  // its points, by name
    std::optional<PointHistory> pointHistory(qint64 pointId);
    std::vector<VisitSummary> visits(qint64 siteId);
    // The point's latest value dated before `beforeDate` (YYYY-MM-DD; empty: any).
    std::optional<PointVisit> previousValue(const QString& siteName, const QString& pointName,
                                            const QString& beforeDate = {});
    // Everything filed in a visit, as it was given.
    std::optional<VisitInput> loadVisit(qint64 visitId, QString* contentKey = nullptr);

    bool setBaseline(qint64 pointId, qint64 visitId, QString* error);  // visitId 0: the first
    bool setPointLimit(qint64 pointId, std::optional<double> limitOhm, QString* error);
    bool renameSite(qint64 siteId, const QString& name, QString* error);
    bool renamePoint(qint64 pointId, const QString& name, QString* error);
    bool deleteVisit(qint64 visitId, QString* error);  // the visit and its readings only

    // A consistent copy of the archive while it is open; an existing `target` is replaced.
    bool backup(const QString& target, QString* error);
    // Adds every site, point and visit of `other` not here yet; the number of visits added.
    std::optional<int> merge(const QString& other, QString* error);

    Database& database() { return db_; }

private:
    explicit Archive(QString path) : path_(std::move(path)) {}
    bool writable(QString* error) const;
    qint64 ensureSite(const VisitInput& visit, bool updateFields);
    qint64 ensurePoint(qint64 siteId, const QString& name);
    std::optional<FilingResult> fileInTransaction(const VisitInput& visit, const QString& key,
                                                  bool updateSite, bool refresh, QString* error);
    bool refreshFlags(qint64 siteId);
    bool runEdit(const char* sql, qint64 id, const std::optional<double>& number,
                 const QString& text, qint64 siteId, QString* error);
    std::optional<qint64> siteOfPoint(qint64 pointId);

    QString path_;
    QString readOnlyReason_;
    Database db_;
};

// The key by which the same records are known again (a hex digest of the records).
QString contentKey(const std::vector<report::ReportRecord>& records);

}  // namespace kelvora::archive
