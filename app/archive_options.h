#pragma once

#include <QString>
#include <QStringList>

namespace kelvora {

struct CommandLine;

// The archive's command-line options: --archive, --archive-add, --archive-merge, --history,
// --site, --date and --point, each with one value ("--name VALUE" or "--name=VALUE").
bool isArchiveOption(const QString& argument);
bool archiveOptionTakesValue(const QString& argument);  // written "--name VALUE"
// Takes the option at `k` (and its value) into `line`; an error text when it is wrong.
QString takeArchiveOption(const QStringList& arguments, qsizetype& k, CommandLine& line);
// Checks the archive options together once all are read; an error text when they do not fit.
QString checkArchiveOptions(CommandLine& line);

}  // namespace kelvora
