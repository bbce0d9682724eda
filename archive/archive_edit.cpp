#include "archive/archive.h"

namespace kelvora::archive {

// Runs one UPDATE or DELETE of `id` (?1) with a number (?2) or a text (?3), then refreshes
// the site's flags, in one transaction.
bool Archive::runEdit(const char* sql, qint64 id, const std::optional<double>& number,
                      const QString& text, qint64 siteId, QString* error) {
    if (!writable(error)) {
        return false;
    }
    Transaction transaction(db_);
    Statement statement(db_.handle(), sql);
    statement.bind(1, id).bind(2, number);
    if (!text.isNull()) {
        statement.bind(3, text);
    }
    if (!transaction.begun() || !statement.run()) {
        *error = transaction.begun() ? statement.error() : db_.error();
        return false;
    }
    if (db_.changes() == 0) {
        *error = QStringLiteral("nothing to change: it is no longer in the archive");
        return false;
    }
    if (!refreshFlags(siteId) || !transaction.commit()) {
        *error = db_.error();
        return false;
    }
    return true;
}

bool Archive::setBaseline(qint64 pointId, qint64 visitId, QString* error) {
    const qint64 site = siteOfPoint(pointId).value_or(0);
    // Only a visit of the point's own site.
    return runEdit(
        "UPDATE point SET baseline_visit_id = (SELECT id FROM visit WHERE id = ?2 "
        "AND site_id = point.site_id) WHERE id = ?1",
        pointId, double(visitId), QString(), site, error);
}

bool Archive::setPointLimit(qint64 pointId, std::optional<double> limitOhm, QString* error) {
    if (limitOhm && !(*limitOhm > 0)) {
        *error = QStringLiteral("a limit must be a positive number of ohms");
        return false;
    }
    return runEdit("UPDATE point SET limit_ohm = ?2 WHERE id = ?1", pointId, limitOhm, QString(),
                   siteOfPoint(pointId).value_or(0), error);
}

bool Archive::renameSite(qint64 siteId, const QString& name, QString* error) {
    if (name.trimmed().isEmpty()) {
        *error = QStringLiteral("a site needs a name");
        return false;
    }
    return runEdit("UPDATE site SET name = ?3 WHERE id = ?1", siteId, std::nullopt, name, siteId,
                   error);
}

bool Archive::renamePoint(qint64 pointId, const QString& name, QString* error) {
    if (name.trimmed().isEmpty()) {
        *error = QStringLiteral("a test point needs a name");
        return false;
    }
    return runEdit("UPDATE point SET name = ?3 WHERE id = ?1", pointId, std::nullopt, name,
                   siteOfPoint(pointId).value_or(0), error);
}

bool Archive::deleteVisit(qint64 visitId, QString* error) {
    qint64 siteId = 0;
    {
        // Finished before the edit begins, so no read is open while it takes the write lock.
        Statement site(db_.handle(), "SELECT site_id FROM visit WHERE id = ?1");
        siteId = site.bind(1, visitId).step() ? site.int64(0) : 0;
    }
    return runEdit("DELETE FROM visit WHERE id = ?1", visitId, std::nullopt, QString(), siteId,
                   error);
}

}  // namespace kelvora::archive
