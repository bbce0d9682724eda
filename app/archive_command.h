#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

namespace kelvora {

struct CommandLine;

// What an archive command prints and ends with: exit 0, or 1 with one line for stderr and the
// archive as it was.
struct ArchiveCommandResult {
    int exitCode = 0;
    QByteArray output;  // on stdout
    QString error;
};

// --archive-add RECORDS.csv --site NAME [--date YYYY-MM-DD] [--limit OHMS] [--point K=NAME]...:
// files the records of a CSV saved by Kelvora as one visit, with the remembered site fields.
// `date` empty: today; `limitOhm` 0: the remembered one.
ArchiveCommandResult runArchiveAdd(const QString& archivePath, const QString& records,
                                   const QString& site, const QString& date, double limitOhm,
                                   const QMap<int, QString>& points);
// --history NAME [--point NAME]: the site's history as JSON.
ArchiveCommandResult runHistory(const QString& archivePath, const QString& site,
                                const QString& point);
// --archive-merge OTHER.sqlite: says how many visits it added.
ArchiveCommandResult runArchiveMerge(const QString& archivePath, const QString& other);

// The archive command `line` asks for, on its --archive FILE or the user's own archive.
ArchiveCommandResult runArchiveCommand(const CommandLine& line);

}  // namespace kelvora
