#pragma once

#include <QByteArray>
#include <QString>

#include "archive/sqlite_db.h"

namespace kelvora::archive {

constexpr int kArchiveApplicationId = 0x4b4c5641;  // PRAGMA application_id: "KLVA"
constexpr int kArchiveSchemaVersion = 1;           // PRAGMA user_version

// Why the first bytes of a file of `fileSize` bytes are not those of a whole SQLite
// database; empty when they are. Needs the first 100 bytes.
QString sqliteHeaderProblem(const QByteArray& header, qint64 fileSize);

// Why an open database is not an archive this program can use (another program's, or of a
// newer schema); empty when it is. Reads only.
QString archiveProblem(Database& db);

// Brings the schema up to kArchiveSchemaVersion, one migration at a time, in one
// transaction; creates it in an empty database.
bool migrateArchive(Database& db, QString* error);

}  // namespace kelvora::archive
