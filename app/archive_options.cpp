#include "app/archive_options.h"

#include <QDate>

#include "app/command_line.h"

namespace kelvora {

namespace {

const QStringList& archiveOptions() {
    static const QStringList names = {
        QStringLiteral("--archive"),       QStringLiteral("--archive-add"),
        QStringLiteral("--archive-merge"), QStringLiteral("--history"),
        QStringLiteral("--site"),          QStringLiteral("--date"),
        QStringLiteral("--point")};
    return names;
}

QString nameOf(const QString& argument) {
    return argument.section(QLatin1Char('='), 0, 0);
}

}  // namespace

bool isArchiveOption(const QString& argument) {
    return archiveOptions().contains(nameOf(argument));
}

bool archiveOptionTakesValue(const QString& argument) {
    return archiveOptions().contains(argument);
}

QString takeArchiveOption(const QStringList& arguments, qsizetype& k, CommandLine& line) {
    const QString name = nameOf(arguments[k]);
    QString value;
    if (arguments[k].size() > name.size()) {
        value = arguments[k].mid(name.size() + 1);
    } else if (k + 1 < arguments.size() && !arguments[k + 1].startsWith(QLatin1String("--"))) {
        value = arguments[++k];
    } else {
        return QStringLiteral("%1 needs a value").arg(name);
    }
    if (name == QLatin1String("--point")) {
        line.pointOptions << value;
        return {};
    }
    if (value.isEmpty()) {
        return QStringLiteral("%1: the value is empty").arg(name);
    }
    QString* target = name == QLatin1String("--archive")         ? &line.archiveFile
                      : name == QLatin1String("--archive-add")   ? &line.archiveAdd
                      : name == QLatin1String("--archive-merge") ? &line.archiveMerge
                      : name == QLatin1String("--history")       ? &line.history
                      : name == QLatin1String("--site")          ? &line.site
                                                                 : &line.date;
    *target = value;
    return {};
}

QString checkArchiveOptions(CommandLine& line) {
    const bool adding = !line.archiveAdd.isEmpty();
    const bool reporting = !line.reportPdf.isEmpty();
    if (!adding && !reporting && !line.site.isEmpty()) {
        return QStringLiteral("--site goes with --archive-add or --report");
    }
    if (!adding && !line.date.isEmpty()) {
        return QStringLiteral("--date goes with --archive-add");
    }
    if (adding && line.site.isEmpty()) {
        return QStringLiteral("--archive-add needs --site NAME");
    }
    if (!line.date.isEmpty() &&
        (line.date.size() != 10 || !QDate::fromString(line.date, Qt::ISODate).isValid())) {
        return QStringLiteral("--date must be a date YYYY-MM-DD, got \"%1\"").arg(line.date);
    }
    if (!line.history.isNull()) {
        if (line.pointOptions.size() > 1) {
            return QStringLiteral("--history takes one --point NAME");
        }
        if (!line.pointOptions.isEmpty() && line.pointOptions.front().isEmpty()) {
            return QStringLiteral("--point: the test point's name is empty");
        }
        line.historyPoint = line.pointOptions.value(0, QString());
        return {};
    }
    if (!adding && !line.pointOptions.isEmpty()) {
        return QStringLiteral("--point goes with --archive-add or --history");
    }
    for (const QString& point : line.pointOptions) {
        const qsizetype equals = point.indexOf(QLatin1Char('='));
        bool number = false;
        const int k = point.left(equals).toInt(&number);
        if (equals < 0 || !number || k < 1) {
            return QStringLiteral("--point needs K=NAME with a record number K, got \"%1\"")
                .arg(point);
        }
        if (point.mid(equals + 1).isEmpty()) {
            return QStringLiteral("--point %1=: the test point's name is empty").arg(k);
        }
        if (line.points.contains(k)) {
            return QStringLiteral("--point: record %1 is given twice").arg(k);
        }
        line.points.insert(k, point.mid(equals + 1));
    }
    return {};
}

}  // namespace kelvora
