#include "app/command_line.h"

#include "link/port_map.h"

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

}  // namespace

CommandLine parseCommandLine(const QStringList& arguments) {
    CommandLine line;
    for (qsizetype k = 0; k < arguments.size() && line.ok(); ++k) {
        const QString& argument = arguments[k];
        if (argument == QLatin1String("--demo")) {
            line.demo = true;
        } else if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            line.help = true;
        } else if (argument == QLatin1String("--port")) {
            if (k + 1 >= arguments.size()) {
                line.error = QStringLiteral("--port needs N=DEVICE");
            } else {
                line.error = addPort(arguments[++k], line.ports);
            }
        } else if (argument.startsWith(QLatin1String("--port="))) {
            line.error = addPort(argument.mid(7), line.ports);
        } else {
            line.error = QStringLiteral("unknown option \"%1\"").arg(argument);
        }
    }
    return line;
}

QStringList ownOptions(const QStringList& rawArguments) {
    QStringList own;
    for (qsizetype k = 0; k < rawArguments.size(); ++k) {
        const QString& argument = rawArguments[k];
        if (argument == QLatin1String("--port")) {
            own << rawArguments.mid(k, 2);
            ++k;
        } else if (argument == QLatin1String("--demo") || argument == QLatin1String("--help") ||
                   argument == QLatin1String("-h") ||
                   argument.startsWith(QLatin1String("--port="))) {
            own << argument;
        }
    }
    return own;
}

QString commandLineUsage(const QString& programName) {
    return QStringLiteral(
               "Usage: %1 [--port N=DEVICE]... [--demo]\n"
               "  --port N=DEVICE  use DEVICE as port N (1 to 16), e.g. --port 3=/dev/ttyUSB0\n"
               "  --demo           run with a simulated meter on port 3\n"
               "  --help           show this text\n")
        .arg(programName);
}

}  // namespace kelvora
