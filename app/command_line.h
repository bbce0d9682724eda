#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>

#include "app/interface_language.h"

namespace kelvora {

// What the command line asks for. Without options the program searches the system's ports.
struct CommandLine {
    QMap<int, QString> ports;  // --port N=DEVICE: port N is DEVICE
    bool demo = false;         // --demo: the simulated meter as port 3, no system ports
    bool help = false;         // --help: print usage and end
    bool version = false;      // --version: print the version and end
    QString soilModelFile;     // --soil-model FILE: fit the survey in FILE, print JSON, end
    int layers = 0;            // --layers N with --soil-model: only the N-layer model
    QString reportRecords;     // --report RECORDS.csv OUT.pdf: write the test report, end
    QString reportPdf;
    double limitOhm = 0;               // --limit OHMS with --report (0: the remembered one)
    std::optional<Language> language;  // --lang zh|en: the windows' (or report's) language
    QString error;                     // non-empty: the command line is wrong; nothing may start

    QString archiveFile;        // --archive FILE: this archive instead of the default, one run
    QString archiveAdd;         // --archive-add RECORDS.csv: file them as a visit, end
    QString site;               // --site NAME with --archive-add or --report
    QString date;               // --date YYYY-MM-DD with --archive-add (empty: today)
    QMap<int, QString> points;  // --point K=NAME with --archive-add
    QString history;            // --history NAME: print the site's history as JSON, end
    QString historyPoint;       // --point NAME with --history (null: every point)
    QString archiveMerge;       // --archive-merge OTHER.sqlite: merge it, end
    QStringList pointOptions;   // the --point values, read once the command is known

    bool ok() const { return error.isEmpty(); }
    bool archiveCommand() const {
        return !archiveAdd.isEmpty() || !history.isNull() || !archiveMerge.isEmpty();
    }
};

// Parses the arguments after the program name (Qt's own options already removed).
CommandLine parseCommandLine(const QStringList& arguments);

// The raw arguments less the toolkit's own options: this program's options and anything unknown,
// so a wrong one is reported before the toolkit starts, which needs a display.
QStringList ownOptions(const QStringList& rawArguments);

// The usage text printed for --help and after an error.
QString commandLineUsage(const QString& programName);

}  // namespace kelvora
