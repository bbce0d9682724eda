#include "app/command_line.h"

#include <QSet>
#include <optional>

#include "app/archive_options.h"
#include "modbus/port_map.h"
#include "visit/report_settings.h"

namespace kelvora {

namespace {

// "N=DEVICE" of one --port option into the map, or an error text.
QString addPort(const QString& value, QMap<int, QString>& ports) {
    const qsizetype equals = value.indexOf(QLatin1Char('='));
    if (equals < 0) {
        return QStringLiteral("--port needs N=DEVICE, got \"%1\"").arg(value);
    }
    const QString number = value.left(equals);
    const QString device = value.mid(equals + 1);
    bool digitsOnly = !number.isEmpty() && number.size() <= 2;
    for (const QChar c : number) {
        digitsOnly = digitsOnly && c >= QLatin1Char('0') && c <= QLatin1Char('9');
    }
    const int n = digitsOnly ? number.toInt() : 0;
    if (n < kFirstPort || n > kLastPort) {
        return QStringLiteral("--port: the port number must be %1 to %2, got \"%3\"")
            .arg(kFirstPort)
            .arg(kLastPort)
            .arg(number);
    }
    if (device.isEmpty()) {
        return QStringLiteral("--port %1=: the device path is empty").arg(n);
    }
    if (ports.contains(n)) {
        return QStringLiteral("--port: port %1 is given twice").arg(n);
    }
    ports.insert(n, device);
    return {};
}

// The value of an option written "--name VALUE" or "--name=VALUE"; advances k past it.
std::optional<QString> optionValue(const QStringList& arguments, qsizetype& k,
                                   const QString& name) {
    const QString& argument = arguments[k];
    if (argument.startsWith(name + QLatin1Char('='))) {
        return argument.mid(name.size() + 1);
    }
    if (argument == name && k + 1 < arguments.size()) {
        return arguments[++k];
    }
    return std::nullopt;
}

bool isOption(const QString& argument, const QString& name) {
    return argument == name || argument.startsWith(name + QLatin1Char('='));
}

enum class ToolkitOption { None, Flag, WithValue };

// The options QGuiApplication and QApplication take out of the command line themselves.
ToolkitOption toolkitOption(const QString& argument) {
    if (!argument.startsWith(QLatin1Char('-')) || argument.startsWith(QLatin1String("--port")) ||
        argument.startsWith(QLatin1String("--soil-model")) ||
        argument.startsWith(QLatin1String("--layers")) ||
        argument.startsWith(QLatin1String("--report")) ||
        argument.startsWith(QLatin1String("--limit")) ||
        argument.startsWith(QLatin1String("--lang")) || isArchiveOption(argument) ||
        argument == QLatin1String("--demo") || argument == QLatin1String("--help") ||
        argument == QLatin1String("-h") || argument == QLatin1String("--version")) {
        return ToolkitOption::None;
    }
    QString name = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
    const bool valueAttached = name.contains(QLatin1Char('='));
    name = name.section(QLatin1Char('='), 0, 0);
    static const QStringList withValue = {QStringLiteral("platform"),
                                          QStringLiteral("platformpluginpath"),
                                          QStringLiteral("platformtheme"),
                                          QStringLiteral("plugin"),
                                          QStringLiteral("qwindowgeometry"),
                                          QStringLiteral("qwindowicon"),
                                          QStringLiteral("qwindowtitle"),
                                          QStringLiteral("session"),
                                          QStringLiteral("icon"),
                                          QStringLiteral("style"),
                                          QStringLiteral("stylesheet"),
                                          QStringLiteral("display"),
                                          QStringLiteral("geometry"),
                                          QStringLiteral("title"),
                                          QStringLiteral("name"),
                                          QStringLiteral("qmljsdebugger"),
                                          QStringLiteral("visual"),
                                          QStringLiteral("ncols"),
                                          QStringLiteral("cmap")};
    static const QStringList flags = {QStringLiteral("reverse"), QStringLiteral("widgetcount"),
                                      QStringLiteral("nograb"),  QStringLiteral("dograb"),
                                      QStringLiteral("sync"),    QStringLiteral("testability")};
    if (withValue.contains(name)) {
        return valueAttached ? ToolkitOption::Flag : ToolkitOption::WithValue;
    }
    return flags.contains(name) ? ToolkitOption::Flag : ToolkitOption::None;
}

}  // namespace

CommandLine parseCommandLine(const QStringList& arguments) {
    CommandLine line;
    QSet<QString> given;
    for (qsizetype k = 0; k < arguments.size() && line.ok(); ++k) {
        const QString& argument = arguments[k];
        // The last of two would silently win over the first.
        // Only --port and --point may stand more than once.
        static const QStringList once = {
            QStringLiteral("--soil-model"),    QStringLiteral("--layers"),
            QStringLiteral("--report"),        QStringLiteral("--limit"),
            QStringLiteral("--lang"),          QStringLiteral("--demo"),
            QStringLiteral("--archive"),       QStringLiteral("--archive-add"),
            QStringLiteral("--archive-merge"), QStringLiteral("--history"),
            QStringLiteral("--site"),          QStringLiteral("--date")};
        const QString name = argument.section(QLatin1Char('='), 0, 0);
        if (once.contains(name) && given.contains(name)) {
            line.error = QStringLiteral("%1 is given twice").arg(name);
            break;
        }
        given.insert(name);
        if (argument == QLatin1String("--demo")) {
            line.demo = true;
        } else if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            line.help = true;
        } else if (argument == QLatin1String("--version")) {
            line.version = true;
        } else if (argument == QLatin1String("--port")) {
            if (k + 1 >= arguments.size()) {
                line.error = QStringLiteral("--port needs N=DEVICE");
            } else {
                line.error = addPort(arguments[++k], line.ports);
            }
        } else if (argument.startsWith(QLatin1String("--port="))) {
            line.error = addPort(argument.mid(7), line.ports);
        } else if (isOption(argument, QStringLiteral("--soil-model"))) {
            const std::optional<QString> file =
                optionValue(arguments, k, QStringLiteral("--soil-model"));
            if (!file || file->isEmpty() || file->startsWith(QLatin1String("--"))) {
                line.error = QStringLiteral("--soil-model needs a FILE");
            } else {
                line.soilModelFile = *file;
            }
        } else if (isOption(argument, QStringLiteral("--layers"))) {
            const std::optional<QString> value =
                optionValue(arguments, k, QStringLiteral("--layers"));
            const QString n = value.value_or(QString());
            line.layers = n.size() == 1 && n[0] >= QLatin1Char('1') && n[0] <= QLatin1Char('3')
                              ? n.toInt()
                              : 0;
            if (line.layers == 0) {
                line.error = QStringLiteral("--layers must be 1, 2 or 3, got \"%1\"").arg(n);
            }
        } else if (argument == QLatin1String("--report")) {
            if (k + 2 >= arguments.size() || arguments[k + 1].startsWith(QLatin1String("--")) ||
                arguments[k + 2].startsWith(QLatin1String("--"))) {
                line.error = QStringLiteral("--report needs RECORDS.csv and OUT.pdf");
            } else if (arguments[k + 1].isEmpty() || arguments[k + 2].isEmpty()) {
                line.error = QStringLiteral("--report: a file name is empty");
            } else {
                line.reportRecords = arguments[++k];
                line.reportPdf = arguments[++k];
            }
        } else if (isOption(argument, QStringLiteral("--limit"))) {
            const QString value =
                optionValue(arguments, k, QStringLiteral("--limit")).value_or(QString());
            QString why;
            line.limitOhm = report::parseLimit(value, &why).value_or(0);
            if (line.limitOhm <= 0 && value.trimmed().toDouble() > report::kMostLimitOhm) {
                line.error = QStringLiteral(
                                 "--limit %1 is more than the largest earth resistance the "
                                 "meter shows (65535 kOhm): a typo?")
                                 .arg(value);
            } else if (line.limitOhm <= 0) {
                line.error = QStringLiteral(
                                 "--limit must be a positive number of ohms with up to "
                                 "two decimals, got \"%1\"")
                                 .arg(value);
            }
        } else if (isOption(argument, QStringLiteral("--lang"))) {
            const QString value =
                optionValue(arguments, k, QStringLiteral("--lang")).value_or(QString());
            line.language = languageFromCode(value);
            if (!line.language) {
                line.error = QStringLiteral("--lang must be zh or en, got \"%1\"").arg(value);
            }
        } else if (isArchiveOption(argument)) {
            line.error = takeArchiveOption(arguments, k, line);
        } else {
            line.error = QStringLiteral("unknown option \"%1\"").arg(argument);
        }
    }
    if (line.ok()) {
        line.error = checkArchiveOptions(line);
    }
    if (line.ok() && line.layers > 0 && line.soilModelFile.isEmpty()) {
        line.error = QStringLiteral("--layers goes with --soil-model FILE");
    }
    if (line.ok() && line.limitOhm > 0 && line.reportPdf.isEmpty() && line.archiveAdd.isEmpty()) {
        line.error = QStringLiteral("--limit goes with --report RECORDS.csv OUT.pdf");
    }
    if (line.ok() && line.language && !line.soilModelFile.isEmpty()) {
        line.error = QStringLiteral("--lang goes with the window or --report, not --soil-model");
    }
    // Those two end before any window or port: other options would be silently ignored.
    const int alone = int(!line.soilModelFile.isEmpty()) + int(!line.reportPdf.isEmpty()) +
                      int(!line.archiveAdd.isEmpty()) + int(!line.history.isNull()) +
                      int(!line.archiveMerge.isEmpty());
    if (line.ok() && alone > 0 && (alone > 1 || line.demo || !line.ports.isEmpty())) {
        line.error = QStringLiteral(
            "--soil-model, --report, --archive-add, --history and --archive-merge each run on "
            "their own");
    }
    return line;
}

QStringList ownOptions(const QStringList& rawArguments) {
    QStringList own;
    for (qsizetype k = 0; k < rawArguments.size(); ++k) {
        const QString& argument = rawArguments[k];
        if (argument == QLatin1String("--port") || argument == QLatin1String("--soil-model") ||
            argument == QLatin1String("--layers") || argument == QLatin1String("--limit") ||
            argument == QLatin1String("--lang") || archiveOptionTakesValue(argument)) {
            own << rawArguments.mid(k, 2);
            ++k;
            continue;
        }
        if (argument == QLatin1String("--report")) {
            own << rawArguments.mid(k, 3);
            k += 2;
            continue;
        }
        const ToolkitOption option = toolkitOption(argument);
        if (option == ToolkitOption::None) {
            own << argument;  // ours, or wrong: either way it is checked before the toolkit starts
        } else if (option == ToolkitOption::WithValue && k + 1 < rawArguments.size() &&
                   !rawArguments[k + 1].startsWith(QLatin1Char('-'))) {
            ++k;
        }
    }
    return own;
}

QString commandLineUsage(const QString& programName) {
    return QStringLiteral(
               "Usage: %1 [--port N=DEVICE]... [--demo] [--lang zh|en]\n"
               "       %1 --soil-model FILE [--layers N]\n"
               "       %1 --report RECORDS.csv OUT.pdf [--limit OHMS] [--lang zh|en]\n"
               "                  [--site NAME [--archive FILE]]\n"
               "       %1 --archive-add RECORDS.csv --site NAME [--date YYYY-MM-DD]\n"
               "                  [--limit OHMS] [--point K=NAME]... [--archive FILE]\n"
               "       %1 --history NAME [--point NAME] [--archive FILE]\n"
               "       %1 --archive-merge OTHER.sqlite [--archive FILE]\n"
               "       %1 --version | --help\n"
               "  --port N=DEVICE    use DEVICE as port N (1 to 16), e.g. --port 3=/dev/ttyUSB0\n"
               "  --demo             run with a simulated meter on port 3\n"
               "  --soil-model FILE  fit layered soil models to the Wenner survey in FILE (a\n"
               "                     record CSV, or spacing in m and resistivity in Ohm m per\n"
               "                     row) and print them as JSON; no window opens\n"
               "  --layers N         only the model of N layers (1 to 3)\n"
               "  --report RECORDS.csv OUT.pdf\n"
               "                     write the test report of a record CSV saved by Kelvora,\n"
               "                     with the site fields last entered; no window opens\n"
               "  --site NAME        with --report: the site NAME, its fields as last filed and\n"
               "                     its test points' previous values from the archive\n"
               "  --limit OHMS       the earth-resistance limit of the report (default: the\n"
               "                     last one entered, or 4)\n"
               "  --lang zh|en       the language of the windows and the report for this run\n"
               "                     (default: the one last chosen in the Help menu, or zh)\n"
               "  --archive-add RECORDS.csv\n"
               "                     file the records of a record CSV saved by Kelvora as one\n"
               "                     visit to site NAME (date: today; record K belongs to\n"
               "                     test point NAME); no window opens\n"
               "  --history NAME     print the history of site NAME (or one point) as JSON\n"
               "  --archive-merge OTHER.sqlite\n"
               "                     add the sites, points and visits of another archive\n"
               "  --archive FILE     use the archive FILE instead of the user's own\n"
               "  --version          print the version\n"
               "  --help             show this text\n")
        .arg(programName);
}

}  // namespace kelvora
